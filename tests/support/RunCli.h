#pragma once

#include "support/SandboxPrintServer.h"
