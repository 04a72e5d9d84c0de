// SPDX-License-Identifier: GPL-3.0-or-later
#include <pwd.h>
#include <unistd.h>

#include <climits>

#include "platform/CurrentUser.h"

namespace tavrin {

std::string CurrentUserName() {
    // The account, not $USER: a service started with another environment still says who.
    if (const passwd* account = getpwuid(geteuid()); account && account->pw_name)
        return account->pw_name;
    return {};
}

std::string CurrentHostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

}  // namespace tavrin
