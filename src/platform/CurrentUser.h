// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tavrin {

// Who is logged in and on which machine, for the records of the jobs they send; empty when the
// system will not say.
std::string CurrentUserName();
std::string CurrentHostName();

}  // namespace tavrin
