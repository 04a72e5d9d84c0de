#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "joblist/GridModel.h"
#include "platform/PlainForm.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "support/ScratchFolder.h"

namespace tavrin::test {

// A scratch home with the INI file's folder, the home folder and the cache folder inside it,
// and the main window's controls in their start-up states.
class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture() {
        location.IniFileName = folder / "config/tavrin/tavrin.ini";
        location.HomeFolder = (folder / "home").string();
        location.CacheFolder = (folder / "cache/tavrin").string();
    }

    void WriteIni(const std::string& text) {
        std::filesystem::create_directories(location.IniFileName.parent_path());
        WriteBytes(location.IniFileName, text);
    }
    std::string IniText() const { return ReadBytes(location.IniFileName); }

    ScratchFolder folder;
    SettingsLocation location;
    GridModel grid;
    PlainForm form{grid};
    Settings settings;
};

}  // namespace tavrin::test
