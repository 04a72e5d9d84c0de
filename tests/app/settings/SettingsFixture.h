#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/settings/Settings.h"
#include "app/settings/SettingsLocation.h"
#include "platform/PlainForm.h"
#include "support/ScratchFolder.h"

namespace tavrin::test {

// The settings code never touches the job list; the form only needs a grid to exist.
class UnusedGrid : public Grid {
public:
    int rowCount() const override { return 2; }
    void setRowCount(int) override {}
    int colCount() const override { return 2; }
    void setColCount(int) override {}
    int fixedRows() const override { return 1; }
    std::string cell(int, int) const override { return {}; }
    void setCell(int, int, const std::string&) override {}
    int colWidth(int) const override { return 64; }
    void setColWidth(int, int) override {}
    int currentRow() const override { return 1; }
    void setCurrentRow(int) override {}
    void deleteRow(int) override {}
    ColumnSettings column(int) const override { return {}; }
    void setColumn(int, const ColumnSettings&) override {}
    void repaint() override {}
};

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
    UnusedGrid grid;
    PlainForm form{grid};
    Settings settings;
};

}  // namespace tavrin::test
