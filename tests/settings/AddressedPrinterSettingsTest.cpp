// SPDX-License-Identifier: GPL-3.0-or-later
// The printers by address the INI file keeps, in a section of their own.
#include <gtest/gtest.h>

#include "settings/AddressedPrinterSettings.h"
#include "settings/SettingsStartup.h"
#include "settings/SettingsStore.h"
#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

using Printers = std::vector<AddressedPrinter>;

class AddressedSettings : public ::testing::Test {
protected:
    AddressedSettings() {
        location = {folder / "tavrin.ini", (folder / "home").string(), (folder / "cache").string()};
    }
    std::string IniText() const { return test::ReadFile(location.IniFileName); }

    test::TempFolder folder;
    SettingsLocation location;
};

TEST_F(AddressedSettings, AMissingOrDamagedSectionReadsAsTheEntriesThatHaveAnAddress) {
    EXPECT_EQ(ReadAddressedPrinters(location), Printers{});  // no file
    const struct {
        std::string ini;
        Printers expected;
    } rows[] = {
        {"[Window]\nxpos=1\n", {}},
        {"[PrintersByAddress]\nCount=two\nAddress1=socket://a\n", {}},
        {"[PrintersByAddress]\nCount=-3\nAddress1=socket://a\n", {}},
        {"[PrintersByAddress]\nCount=1\nAddress1=socket://a\nAddress2=socket://b\n",
         {{"", "socket://a", ""}}},
        // Empty and missing entries are skipped, a wrong address is kept for its message.
        {"[printersbyaddress]\ncount=4\nName1=Plotter\nAddress1=socket://p:9101\nClass1=HPGL/2\n"
         "Name2=Gone\nAddress2=\nClass2=PostScript\nName4=Odd\nAddress4=lpd://x\n",
         {{"Plotter", "socket://p:9101", "HPGL/2"}, {"Odd", "lpd://x", ""}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ini);
        test::WriteBytes(location.IniFileName, row.ini);
        EXPECT_EQ(ReadAddressedPrinters(location), row.expected);
        EXPECT_EQ(IniText(), row.ini);
    }
}

// The first run writes the file it always wrote; the section comes with the first printer and
// stays through every later close, with every other line as it was.
TEST_F(AddressedSettings, WritesReadBackAndKeepEveryOtherLine) {
    const StartedSettings started = StartSettings(location, 320, 240);
    ASSERT_TRUE(started.firstRun);
    const std::string firstRun = IniText();
    EXPECT_EQ(firstRun.find("PrintersByAddress"), std::string::npos);
    EXPECT_EQ(ReadAddressedPrinters(location), Printers{});
    test::WriteBytes(location.IniFileName,
                     "; kept by hand\r\n" + firstRun + "[Plotter room]\r\nfloor=2\r\n");
    SaveSettings(location, started.values);
    const std::string before = IniText();

    const Printers steps[] = {
        {{"Plotter", "socket://10.0.0.7", "HPGL/2"},
         {"", "ipp://print.example.com/ipp/print", ""},
         {"Oce room", "socket://[fe80::1]:9101", "Oce 9X00"}},
        {{"PS", "socket://ps", "PostScript"}},  // the others' keys stay behind, unread
        {},
    };
    for (const Printers& printers : steps) {
        WriteAddressedPrinters(location, printers);
        SaveSettings(location, started.values);  // a close of the window
        EXPECT_EQ(ReadAddressedPrinters(location), printers);
        ASSERT_EQ(IniText().substr(0, before.size()), before);
    }
    EXPECT_EQ(IniText().substr(before.size()),
              "[PrintersByAddress]\r\nCount=0\r\nName1=PS\r\nAddress1=socket://ps\r\n"
              "Class1=PostScript\r\nName2=\r\nAddress2=ipp://print.example.com/ipp/print\r\n"
              "Class2=\r\nName3=Oce room\r\nAddress3=socket://[fe80::1]:9101\r\n"
              "Class3=Oce 9X00\r\n");

    // A name the file cannot hold changes nothing.
    const std::string kept = IniText();
    EXPECT_EQ(test::SpoolErrorText([&] {
                  WriteAddressedPrinters(location, {{"two\nlines", "socket://a", ""}});
              }),
              "Unable to write to " + location.IniFileName.string());
    EXPECT_EQ(IniText(), kept);
}

}  // namespace
}  // namespace tavrin
