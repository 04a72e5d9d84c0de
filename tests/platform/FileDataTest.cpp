// SPDX-License-Identifier: GPL-3.0-or-later
// The file routines, the same cases on every system.
#include "platform/FileData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

#include "platform/AtomicFileWrite.h"
#include "platform/PrivateProfile.h"
#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteBytes;

class FileData : public ::testing::Test {
protected:
    test::TempFolder folder;
    fs::path temp = folder / "temp.$$$";
    fs::path source = folder / "plot.plt";
    fs::path other = folder / "other.plt";
};

// What may stand at the temporary file's name: a file it may empty, or one it must leave alone.
TEST_F(FileData, TempFileIsEmptiedOnlyWhenItIsAPlainFileOfItsOwn) {
    struct Row {
        const char* name;
        std::function<bool()> plant;  // false: this system cannot make it here
        bool useSource;               // the temporary name is the source itself
        std::string refusal;          // "": created and emptied
    };
    const std::string refused = "Cannot create file ";
    const Row rows[] = {
        {"nothing", [] { return true; }, false, ""},
        {"an old temporary file", [&] { return WriteBytes(temp, "old plot"), true; }, false, ""},
        {"the source", [] { return true; }, true, refused + source.string()},
        {"a second name of another file", [&] { return fs::create_hard_link(other, temp), true; },
         false, refused + temp.string()},
        {"a symbolic link to another file",
         [&] {
             std::error_code error;
             fs::create_symlink(other, temp, error);
             return !error;
         },
         false, refused + temp.string()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(temp);
        WriteBytes(source, "PG;");
        WriteBytes(other, "IN;PG;");
        if (!row.plant()) {
            continue;
        }
        const fs::path at = row.useSource ? source : temp;
        std::optional<TempFileCreation> created;
        const std::string error = test::SpoolErrorText(
            [&] { created = CreateTempFile(at.string(), IdentityOfPath(source.string())); });
        EXPECT_EQ(error, row.refusal);
        EXPECT_EQ(ReadFile(source), "PG;");
        EXPECT_EQ(ReadFile(other), "IN;PG;");
        if (row.refusal.empty()) {
            ASSERT_TRUE(created && created->file.valid()) << created->error;
            EXPECT_EQ(WriteFully(created->file, "RP2;;", 5).bytes, 5);
            EXPECT_EQ(created->file.Close(), 0);
            EXPECT_EQ(ReadFile(temp), "RP2;;");
        }
    }
}

TEST_F(FileData, OpenRefusesWhatIsNoPrintFileWithItsError) {
    WriteBytes(source, "IN;PA0,0;PG;");
    fs::create_directory(folder / "folder");
    struct Row {
        fs::path path;
        int error;
    } rows[] = {{source, 0}, {folder / "missing.plt", ENOENT}, {folder / "folder", EISDIR}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path.string());
        const SourceFile file = OpenSourceFile(row.path.string());
        EXPECT_EQ(file.error, row.error);
        EXPECT_EQ(file.file.valid(), row.error == 0);
        EXPECT_EQ(file.size, row.error == 0 ? 12 : 0);
    }
    EXPECT_EQ(OpenSourceFile(source.string()).identity, *IdentityOfPath(source.string()));
    EXPECT_NE(*IdentityOfPath(source.string()), *IdentityOfPath((folder / "folder").string()));
}

TEST_F(FileData, CopiesUpToTheLimitOrTheEndFromTheCurrentPositions) {
    const std::uintmax_t size = 3 * 128 * 1024 + 17;  // more than one buffer's worth
    test::WritePatternFile(source, size);
    const std::string whole = ReadFile(source);
    struct Row {
        std::optional<std::int64_t> limit;
        std::int64_t copied;
    } rows[] = {{std::nullopt, static_cast<std::int64_t>(size)},
                {0, 0},
                {1000, 1000},
                {static_cast<std::int64_t>(size) + 5, static_cast<std::int64_t>(size)}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.limit.value_or(-1));
        fs::remove(temp);
        SourceFile from = OpenSourceFile(source.string());
        TempFileCreation to = CreateTempFile(temp.string(), from.identity);
        ASSERT_EQ(WriteFully(to.file, "head", 4).bytes, 4);
        char first[3];
        ASSERT_EQ(ReadFully(from.file, first, 3).bytes, 3);
        const FileDataResult copied = CopyFileData(from.file, to.file, row.limit);
        EXPECT_FALSE(copied.failed());
        const std::int64_t expected = std::min<std::int64_t>(row.copied, size - 3);
        EXPECT_EQ(copied.bytes, expected);
        EXPECT_EQ(to.file.Close(), 0);
        EXPECT_EQ(ReadFile(temp), "head" + whole.substr(3, static_cast<std::size_t>(expected)));
    }
}

TEST_F(FileData, AtomicWriteReplacesTheWholeFileAndLeavesNothingBeside) {
    const fs::path ini = folder / "tavrin.ini";
    for (const std::string& text :
         {std::string("[Window]\r\nxpos=1\r\n"), std::string(300000, 'x'), std::string()}) {
        WriteFileAtomically(ini, text);
        EXPECT_EQ(ReadFile(ini), text);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
    EXPECT_THROW(WriteFileAtomically(folder / "missing" / "tavrin.ini", "x"), std::system_error);
    EXPECT_FALSE(fs::exists(folder / "missing"));
    EXPECT_EQ(ReadFile(ini), "");
}

// The INI file through the system's profile functions on Windows, our own writer elsewhere.
TEST_F(FileData, ProfileWritesKeepOtherLinesReplaceTheFileWholeOrAreRefusedLosingNothing) {
    const fs::path ini = folder / "tavrin.ini";
    WriteBytes(ini, "; kept\r\n[Window]\r\nxpos=1\r\n");
    WriteProfileStrings(ini, {{"Window", "xpos", "12"}, {"Data", "TempFilesPath", "C:\\plots"}});
    EXPECT_EQ(ReadProfileString(ini, "window", "XPOS", "0"), "12");
    EXPECT_EQ(ReadProfileString(ini, "Data", "TempFilesPath", ""), "C:\\plots");
    EXPECT_EQ(ReadProfileString(ini, "Data", "PlotFilesPath", "none"), "none");
    EXPECT_EQ(ReadFile(ini).rfind("; kept", 0), 0u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);

    const std::string before = ReadFile(ini);
    EXPECT_EQ(test::SpoolErrorText([&] { WriteProfileString(ini, "Win]dow", "xpos", "3"); }),
              "Unable to write to " + fs::absolute(ini).string());
    EXPECT_EQ(ReadFile(ini), before);
}

}  // namespace
}  // namespace tavrin
