// SPDX-License-Identifier: GPL-3.0-or-later
#include "hotfolder/HotFolderSettings.h"

#include <array>
#include <functional>
#include <string_view>
#include <system_error>

#include "platform/Error.h"
#include "platform/IniLine.h"
#include "platform/PrivateProfile.h"
#include "platform/ProfileDocument.h"
#include "settings/IniNumbers.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSection = "HotFolders";
// More hot folders than anyone keeps, and fewer than the notifications a user may have.
constexpr int kMostFolders = 100;
constexpr int kMostCopies = 99;
constexpr int kMostSettleSeconds = 3600;
constexpr std::array<std::string_view, 6> kPageNames = {"A5", "A4", "A3", "A2", "A1", "A0"};

// A key's value, empty when the key is absent.
using Lookup = std::function<std::string(const std::string& key)>;

std::string Key(std::string_view stem, int number) {
    return std::string(stem) + std::to_string(number);
}

std::optional<PageSize> PageNamed(std::string_view name) {
    for (std::size_t i = 0; i < kPageNames.size(); ++i) {
        if (IniNamesEqual(name, kPageNames[i]))
            return static_cast<PageSize>(i);
    }
    return std::nullopt;
}

// A number in 1..most, or nothing; an empty text gives `absent`.
std::optional<int> NumberIn(const std::string& text, int most, int absent) {
    if (text.empty())
        return absent;
    const int value = IniTextToInt(text, 0);
    if (value < 1 || value > most)
        return std::nullopt;
    return value;
}

// Hot folder `number`, or nothing with what is wrong with it in `problem`.
std::optional<HotFolder> ReadEntry(const Lookup& value, int number, std::string& problem) {
    const std::string entry = "Hot folder " + std::to_string(number);
    const auto bad = [&](const char* stem, const std::string& text, const char* what) {
        problem = entry + ": " + Key(stem, number) + "=" + text + " is not " + what + "; left out";
        return std::nullopt;
    };
    HotFolder folder;
    folder.path = value(Key("Path", number));
    if (folder.path.empty()) {
        problem = entry + " has no " + Key("Path", number) + "; left out";
        return std::nullopt;
    }
    folder.printer = value(Key("Printer", number));
    if (folder.printer.empty()) {
        problem = entry + " has no " + Key("Printer", number) + "; left out";
        return std::nullopt;
    }
    const std::string copies = value(Key("Copies", number));
    const std::optional<int> copyCount = NumberIn(copies, kMostCopies, 1);
    if (!copyCount)
        return bad("Copies", copies, "a copy count (1..99)");
    folder.copies = *copyCount;
    const std::string fit = value(Key("Fit", number));
    if (!fit.empty()) {
        folder.fit = PageNamed(fit);
        if (!folder.fit)
            return bad("Fit", fit, "a page size (A0..A5, or empty for none)");
    }
    const std::string settle = value(Key("Settle", number));
    const std::optional<int> settleSeconds =
        NumberIn(settle, kMostSettleSeconds, kDefaultSettleSeconds);
    if (!settleSeconds)
        return bad("Settle", settle, "a settle time (1..3600 seconds)");
    folder.settleSeconds = *settleSeconds;
    folder.deviceCopies = IniTextToBool(value(Key("DeviceCopies", number)), false);
    folder.qualityOnPlotter = IniTextToBool(value(Key("Quality", number)), false);
    folder.collate = IniTextToBool(value(Key("Collate", number)), false);
    folder.pollOnly = IniTextToBool(value(Key("Poll", number)), false);
    return folder;
}

HotFolderSettings ReadSection(const Lookup& value) {
    HotFolderSettings settings;
    settings.watchInWindow = IniTextToBool(value("Watch"), false);
    // Without a usable Count (a section written by hand), every numbered entry that has a path
    // or a printer is read, up to the most there can be.
    const std::string countText = value("Count");
    int count = IniTextToInt(countText, -1);
    const bool counted = count >= 0;
    if (!countText.empty() && !counted) {
        settings.problems.push_back("Hot folders: Count=" + countText +
                                    " is not a number of folders; every numbered entry up to " +
                                    std::to_string(kMostFolders) + " was read");
    } else if (count > kMostFolders) {
        settings.problems.push_back("Hot folders: Count=" + countText + " is more than " +
                                    std::to_string(kMostFolders) + "; the first " +
                                    std::to_string(kMostFolders) + " were read");
    }
    const int last = counted ? std::min(count, kMostFolders) : kMostFolders;
    for (int number = 1; number <= last; ++number) {
        if (!counted && value(Key("Path", number)).empty() && value(Key("Printer", number)).empty())
            continue;
        std::string problem;
        if (std::optional<HotFolder> folder = ReadEntry(value, number, problem))
            settings.folders.push_back(std::move(*folder));
        else
            settings.problems.push_back(std::move(problem));
    }
    return settings;
}

std::string PageName(PageSize size) {
    return std::string(kPageNames[static_cast<std::size_t>(size)]);
}

// Whether a value reads back as it is written: reading trims blanks and cuts long values.
bool ReadsBack(const std::string& value) {
    return !value.empty() && value.size() <= kProfileValueMax && TrimIniBlanks(value) == value &&
           value.find('\0') == std::string::npos;
}

bool Writable(const HotFolder& folder) {
    return ReadsBack(folder.path) && ReadsBack(folder.printer) && folder.copies >= 1 &&
           folder.copies <= kMostCopies && folder.settleSeconds >= 1 &&
           folder.settleSeconds <= kMostSettleSeconds &&
           (!folder.fit || static_cast<std::size_t>(*folder.fit) < kPageNames.size());
}

[[noreturn]] void ThrowUnableToWrite(const fs::path& file) {
    std::error_code error;
    fs::path full = fs::absolute(file, error);
    if (error)
        full = file;
    throw Error(FormatMessage("Unable to write to %s", full.string()));
}

}  // namespace

HotFolderSettings ReadHotFolderSettings(const SettingsLocation& location) {
    return ReadSection([&location](const std::string& key) {
        return ReadProfileString(location.IniFileName, kSection, key, "");
    });
}

HotFolderSettings HotFolderSettingsFromText(const std::string& iniText) {
    const ProfileDocument document(iniText);
    return ReadSection([&document](const std::string& key) {
        // Cut as ReadProfileString cuts what it reads from the file.
        std::string value = document.Find(kSection, key).value_or("");
        value.resize(std::min({value.find('\0'), value.size(), kProfileValueMax}));
        return value;
    });
}

void WriteHotFolderSettings(const SettingsLocation& location, const HotFolderSettings& settings) {
    if (settings.folders.size() > static_cast<std::size_t>(kMostFolders))
        ThrowUnableToWrite(location.IniFileName);
    for (const HotFolder& folder : settings.folders) {
        if (!Writable(folder))
            ThrowUnableToWrite(location.IniFileName);
    }
    // A folder that cannot be made is reported by the write.
    std::error_code ignored;
    fs::create_directories(location.IniFileName.parent_path(), ignored);
    std::vector<ProfileEntry> entries{
        {kSection, "Watch", IniBoolText(settings.watchInWindow)},
        {kSection, "Count", IniIntText(static_cast<int>(settings.folders.size()))}};
    int number = 0;
    for (const HotFolder& folder : settings.folders) {
        ++number;
        const auto add = [&](const char* stem, std::string value) {
            entries.push_back({kSection, Key(stem, number), std::move(value)});
        };
        add("Path", folder.path);
        add("Printer", folder.printer);
        add("Copies", IniIntText(folder.copies));
        add("DeviceCopies", IniBoolText(folder.deviceCopies));
        add("Quality", IniBoolText(folder.qualityOnPlotter));
        add("Collate", IniBoolText(folder.collate));
        add("Fit", folder.fit ? PageName(*folder.fit) : "");
        add("Settle", IniIntText(folder.settleSeconds));
        add("Poll", IniBoolText(folder.pollOnly));
    }
    WriteProfileStrings(location.IniFileName, entries);
}

}  // namespace tavrin
