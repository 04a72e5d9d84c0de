// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowsApi.h"

#include <vector>

#include "joblist/LongFileName.h"
#include "platform/WindowsText.h"

namespace tavrin {

namespace {

std::wstring Called(DWORD (*call)(const wchar_t*, wchar_t*, DWORD), const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = call(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

DWORD FullPathName(const wchar_t* path, wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(path, size, buffer, nullptr);
}

// The long form of an absolute path: the system's, or when the path does not exist, the long
// form of its folder with the last component as it was given.
std::wstring LongOf(const std::wstring& absolute) {
    if (std::wstring found = Called(GetLongPathNameW, absolute); !found.empty())
        return found;
    const std::size_t separator = absolute.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator + 1 == absolute.size())
        return absolute;
    const std::wstring folder = absolute.substr(0, separator);
    // "C:" alone is the current folder of drive C; the root is "C:\".
    const std::wstring longFolder =
        LongOf(folder.size() == 2 && folder[1] == L':' ? folder + L"\\" : folder);
    const bool endsInSeparator = !longFolder.empty() && (longFolder.back() == L'\\');
    return longFolder + (endsInSeparator ? L"" : L"\\") + absolute.substr(separator + 1);
}

}  // namespace

std::string LongFileName(const std::string& name) {
    if (name.empty())
        return name;
    const std::wstring full = Called(FullPathName, WideText(name));
    return full.empty() ? name : Utf8Text(LongOf(full));
}

std::vector<std::string> LongFileNames(const std::vector<std::string>& names) {
    std::vector<std::string> longNames;
    longNames.reserve(names.size());
    for (const std::string& name : names)
        longNames.push_back(LongFileName(name));
    return longNames;
}

std::string LongPathOf(const std::string& path) {
    return Utf8Text(LongOf(WideText(path)));
}

}  // namespace tavrin
