#pragma once

#include "support/FakePrintSpooler.h"
