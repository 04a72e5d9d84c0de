#include "settings/SettingsStore.h"

#include <system_error>
#include <vector>

#include "platform/Error.h"
#include "platform/PrivateProfile.h"
#include "settings/IniNumbers.h"
#include "settings/SearchWindows.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWindow = "Window";
constexpr const char* kPrinters = "Printers";
constexpr const char* kData = "Data";
constexpr const char* kSetUp = "SetUp";
constexpr const char* kMode = "Mode";
constexpr const char* kSchedule = "Schedule";

class SettingsReader {
public:
    explicit SettingsReader(const fs::path& file) : file_(file) {}

    std::string Text(const char* section, const char* key, const std::string& defaultValue) {
        return ReadProfileString(file_, section, key, defaultValue);
    }
    int Int(const char* section, const char* key, int defaultValue) {
        return IniTextToInt(Text(section, key, IniIntText(defaultValue)), defaultValue);
    }
    bool Bool(const char* section, const char* key, bool defaultValue) {
        return IniTextToBool(Text(section, key, IniBoolText(defaultValue)), defaultValue);
    }

private:
    const fs::path& file_;
};

void CreateIniFolder(const SettingsLocation& location) {
    const fs::path folder = location.IniFileName.parent_path();
    if (folder.empty())
        return;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        const fs::path full = fs::absolute(location.IniFileName, error);
        throw Error(
            FormatMessage("Unable to write to %s", (error ? location.IniFileName : full).string()));
    }
}

}  // namespace

StoredSettings ReadStoredSettings(const SettingsLocation& location) {
    SettingsReader read(location.IniFileName);
    StoredSettings stored;
    Settings& plain = stored.plain;
    plain.xpos = read.Int(kWindow, "xpos", 320);
    plain.ypos = read.Int(kWindow, "ypos", 240);
    plain.PrinterIndex = read.Int(kPrinters, "Printer#", 0);
    plain.TempFilesPath = read.Text(kData, "TempFilesPath", location.HomeFolder);
    plain.PlotFilesPath = read.Text(kData, "PlotFilesPath", location.HomeFolder);
    plain.FromStart = read.Int(kSetUp, "FromStart", kFromStartWhenKeyAbsent);
    plain.FromEnd = read.Int(kSetUp, "FromEnd", kFromEndWhenKeyAbsent);
    plain.PSPageSize = read.Text(kSetUp, "PSPageSize", "A4");
    stored.AddMode = read.Bool(kMode, "AddMode", false);
    stored.ClearAfterSpool = read.Bool(kMode, "ClearAfterSpool", false);
    stored.ShowPrinterType = read.Bool(kMode, "ShowPrinterType", false);
    stored.ReverseSet = read.Bool(kMode, "ReverseSet", false);
    stored.Hours = read.Int(kSchedule, "Hours", 12);
    stored.Minutes = read.Int(kSchedule, "Minutes", 30);
    return stored;
}

void WriteDefaultSettings(const SettingsLocation& location, const Settings& settings) {
    CreateIniFolder(location);
    WriteProfileStrings(location.IniFileName,
                        {
                            {kWindow, "xpos", IniIntText(settings.xpos)},
                            {kWindow, "ypos", IniIntText(settings.ypos)},
                            {kData, "TempFilesPath", location.HomeFolder},
                            {kPrinters, "Printer#", IniIntText(-1)},
                            {kSetUp, "FromStart", IniIntText(kFromStartFirstRun)},
                            {kSetUp, "FromEnd", IniIntText(kFromEndFirstRun)},
                            {kSetUp, "PSPageSize", "A4"},
                            {kMode, "AddMode", IniBoolText(false)},
                            {kMode, "ClearAfterSpool", IniBoolText(false)},
                            {kMode, "ShowPrinterType", IniBoolText(false)},
                            {kMode, "ReverseSet", IniBoolText(true)},
                            {kSchedule, "Hours", IniIntText(12)},
                            {kSchedule, "Minutes", IniIntText(30)},
                        });
}

void SaveSettings(const SettingsLocation& location, const StoredSettings& settings) {
    CreateIniFolder(location);
    const Settings& plain = settings.plain;
    WriteProfileStrings(location.IniFileName,
                        {
                            {kWindow, "xpos", IniIntText(plain.xpos)},
                            {kWindow, "ypos", IniIntText(plain.ypos)},
                            {kData, "TempFilesPath", plain.TempFilesPath},
                            {kData, "PlotFilesPath", plain.PlotFilesPath},
                            {kPrinters, "Printer#", IniIntText(plain.PrinterIndex)},
                            {kSetUp, "FromEnd", IniIntText(plain.FromEnd)},
                            {kSetUp, "FromStart", IniIntText(plain.FromStart)},
                            {kSetUp, "PSPageSize", plain.PSPageSize},
                            {kMode, "AddMode", IniBoolText(settings.AddMode)},
                            {kMode, "ClearAfterSpool", IniBoolText(settings.ClearAfterSpool)},
                            {kMode, "ShowPrinterType", IniBoolText(settings.ShowPrinterType)},
                            {kMode, "ReverseSet", IniBoolText(settings.ReverseSet)},
                            {kSchedule, "Hours", IniIntText(settings.Hours)},
                            {kSchedule, "Minutes", IniIntText(settings.Minutes)},
                        });
}

}  // namespace tavrin
