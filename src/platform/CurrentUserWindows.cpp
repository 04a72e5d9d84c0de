// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CurrentUser.h"
#include "platform/WindowsApi.h"
#include "platform/WindowsText.h"

namespace tavrin {

std::string CurrentUserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? Utf8Text(name) : std::string();
}

std::string CurrentHostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? Utf8Text(name) : std::string();
}

}  // namespace tavrin
