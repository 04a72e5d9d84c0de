// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowsApi.h"

#include <shellapi.h>

#include <vector>

#include "platform/ProgramFile.h"
#include "platform/WindowsText.h"

namespace tavrin {

std::filesystem::path ProgramFilePath() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size())
            return std::filesystem::path(std::wstring(name.data(), length));
        name.resize(name.size() * 2);
    }
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide || count != argc) {
        if (wide)
            LocalFree(wide);
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc)
                        : std::vector<std::string>();
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(Utf8Text(wide[i]));
    LocalFree(wide);
    return arguments;
}

std::string CurrentUserId() {
    wchar_t name[256 + 1];
    DWORD length = sizeof name / sizeof name[0];
    return GetUserNameW(name, &length) && length > 1 ? Utf8Text(std::wstring(name, length - 1))
                                                     : std::string("user");
}

}  // namespace tavrin
