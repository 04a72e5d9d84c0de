// SPDX-License-Identifier: GPL-3.0-or-later
// What a hot folder's jobs go with on each class of printer, and how its files move aside.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "hotfolder/HotFolderMoves.h"
#include "hotfolder/HotFolderService.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// The boxes a folder asks for are ticked where that class of printer offers them, as a user
// would tick them in the window; the others are named and left off.
TEST(HotFolderChoices, EachOptionAppliesOnlyWhereThePrintersClassOffersIt) {
    HotFolder folder;
    folder.printer = "plotter";
    folder.copies = 3;
    folder.deviceCopies = folder.qualityOnPlotter = folder.collate = true;
    folder.fit = PageSize::A3;
    SpoolChoices base;
    base.tempFilesPath = "/tmp/spool";
    base.fromStart = 600;
    struct Case {
        DeviceKind kind;
        bool deviceCopies, quality, collate, fit;
        Names left;
    };
    const Case cases[] = {
        {DeviceKind::HpGl2, true, true, false, false, {"collate", "fit to size"}},
        {DeviceKind::PostScript, true, false, true, true, {"quality on plotter"}},
        {DeviceKind::Oce,
         true,
         false,
         false,
         false,
         {"quality on plotter", "collate", "fit to size"}},
        {DeviceKind::Other,
         false,
         false,
         false,
         false,
         {"copies by the device", "quality on plotter", "collate", "fit to size"}},
    };
    for (const Case& c : cases) {
        Names left;
        const SpoolChoices choices = ChoicesFor(folder, c.kind, base, left);
        EXPECT_EQ((std::tuple{choices.deviceCopies, choices.qualityOnPlotter, choices.collate,
                              choices.fitToPage, left}),
                  (std::tuple{c.deviceCopies, c.quality, c.collate, c.fit, c.left}))
            << static_cast<int>(c.kind);
        EXPECT_EQ((std::tuple{choices.printerName, choices.globalCopies, choices.tempFilesPath,
                              choices.fromStart, choices.pageSize}),
                  (std::tuple{std::string("plotter"), 3, std::string("/tmp/spool"), 600,
                              std::optional<PageSize>(PageSize::A3)}));
    }
}

// A name already taken gets the next free number; nothing is overwritten, and a file that did
// not print gets its reason beside it on one line.
TEST(HotFolderMoves, ANameTakenGetsANumberAndAFailedFileItsReasonOnOneLine) {
    test::TempFolder folder;
    const fs::path hot = folder / "hot";
    fs::create_directories(hot);
    std::vector<fs::path> moved;
    for (const char* bytes : {"first", "second", "third"}) {
        test::WriteBytes(hot / "plot.plt", bytes);
        moved.push_back(MoveKeepingName(hot / "plot.plt", hot / kPrintedFolder));
    }
    EXPECT_EQ(moved, (std::vector<fs::path>{hot / "Printed/plot.plt", hot / "Printed/plot (2).plt",
                                            hot / "Printed/plot (3).plt"}));
    EXPECT_EQ(test::ReadFile(hot / "Printed/plot.plt"), "first");
    EXPECT_EQ(test::ReadFile(hot / "Printed/plot (3).plt"), "third");

    test::WriteBytes(hot / "Sending.plt", "plot");
    const fs::path failed =
        MoveToFailed(hot / "Sending.plt", hot, "Unable to connect:\nconnection refused\t(111)");
    EXPECT_EQ(failed, hot / "Failed/Sending.plt");
    EXPECT_EQ(test::ReadFile(hot / "Failed/Sending.plt.txt"),
              "Unable to connect: connection refused (111)\n");
    EXPECT_FALSE(fs::exists(hot / "Sending.plt"));

    // A file that is not there stays not there, with the reason.
    try {
        MoveKeepingName(hot / "gone.plt", hot / kPrintedFolder);
        ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot move " + (hot / "gone.plt").string()),
                  std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace tavrin
