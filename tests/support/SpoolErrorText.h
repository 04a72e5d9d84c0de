// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/Error.h"

namespace tavrin::test {

// The message of the Error that `run` raises, or "" when it raises none.
template <class Run>
std::string SpoolErrorText(Run run) {
    try {
        run();
    } catch (const Error& error) {
        return error.what();
    }
    return "";
}

}  // namespace tavrin::test
