// The long, absolute form of command-line file names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "joblist/LongFileName.h"
#include "support/ScratchFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

class LongFileNameTest : public ::testing::Test {
protected:
    LongFileNameTest() : before_(fs::current_path()) {
        fs::create_directories(folder / "Plots" / "Sub");
        test::WriteBytes(folder / "Plots" / "A.plt", "a");
        test::WriteBytes(folder / "Plots" / "Sub" / "b.plt", "b");
        fs::current_path(folder / "Plots");
    }
    ~LongFileNameTest() override { fs::current_path(before_); }

    std::string Root() const { return folder.path().string(); }

    test::ScratchFolder folder;

private:
    fs::path before_;
};

TEST_F(LongFileNameTest, RelativeNamesAreJoinedToTheCurrentFolder) {
    EXPECT_EQ(LongFileName("A.plt"), Root() + "/Plots/A.plt");
    EXPECT_EQ(LongFileName("Sub/b.plt"), Root() + "/Plots/Sub/b.plt");
}

TEST_F(LongFileNameTest, DotsAreResolvedByTheirText) {
    EXPECT_EQ(LongFileName("./Sub/../A.plt"), Root() + "/Plots/A.plt");
    EXPECT_EQ(LongFileName("../Plots/./Sub//b.plt"), Root() + "/Plots/Sub/b.plt");
    EXPECT_EQ(LongFileName(Root() + "/Plots/Sub/../../Plots/A.plt"), Root() + "/Plots/A.plt");
    EXPECT_EQ(LongFileName("/../.."), "/");
}

TEST_F(LongFileNameTest, AbsoluteNamesOfExistingFilesStayAsTheyAre) {
    EXPECT_EQ(LongFileName(Root() + "/Plots/Sub/b.plt"), Root() + "/Plots/Sub/b.plt");
    EXPECT_EQ(LongFileName(Root() + "/Plots/Sub/"), Root() + "/Plots/Sub");
}

TEST_F(LongFileNameTest, MissingFilesKeepTheirWholeAbsoluteName) {
    EXPECT_EQ(LongFileName("gone.plt"), Root() + "/Plots/gone.plt");
    EXPECT_EQ(LongFileName("No/Such/Folder/x.plt"), Root() + "/Plots/No/Such/Folder/x.plt");
    EXPECT_EQ(LongFileName(Root() + "/Missing/../Plots/A.plt"), Root() + "/Plots/A.plt");
}

TEST_F(LongFileNameTest, CaseDifferentNamesAreDifferentFilesHere) {
    // A file system that tells letter case apart stores both names as they are written.
    test::WriteBytes(folder / "Plots" / "a.plt", "other");
    EXPECT_EQ(LongFileName("a.plt"), Root() + "/Plots/a.plt");
    EXPECT_EQ(LongFileName("A.plt"), Root() + "/Plots/A.plt");
    // A name in another case that exists nowhere is kept as given.
    EXPECT_EQ(LongFileName("SUB/B.PLT"), Root() + "/Plots/SUB/B.PLT");
}

TEST_F(LongFileNameTest, LinksAreKeptAsNamed) {
    fs::create_symlink(folder / "Plots" / "Sub", folder / "Link");
    EXPECT_EQ(LongFileName(Root() + "/Link/b.plt"), Root() + "/Link/b.plt");
    fs::create_symlink(folder / "nowhere", folder / "Dangling");
    EXPECT_EQ(LongFileName(Root() + "/Dangling"), Root() + "/Dangling");
}

TEST_F(LongFileNameTest, FoldersWithoutReadRightsStillGiveTheName) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    fs::permissions(folder / "Plots" / "Sub", fs::perms::owner_exec);
    EXPECT_EQ(LongFileName("Sub/b.plt"), Root() + "/Plots/Sub/b.plt");
    fs::permissions(folder / "Plots" / "Sub", fs::perms::owner_all);
}

TEST_F(LongFileNameTest, NamesWithBlanksAndOddBytesPassThrough) {
    test::WriteBytes(folder / "Plots" / "Plan 1; rev\xc3\xa9.plt", "x");
    EXPECT_EQ(LongFileName("Plan 1; rev\xc3\xa9.plt"), Root() + "/Plots/Plan 1; rev\xc3\xa9.plt");
}

TEST_F(LongFileNameTest, EmptyNameStaysEmpty) {
    EXPECT_EQ(LongFileName(""), "");
}

TEST_F(LongFileNameTest, ABatchGivesWhatEachNameGivesAlone) {
    const std::vector<std::string> names = {"A.plt",
                                            "Sub/b.plt",
                                            "./Sub/../A.plt",
                                            "gone.plt",
                                            "No/Such/x.plt",
                                            "",
                                            "/",
                                            Root() + "/Plots/Sub/b.plt",
                                            Root() + "/Plots/Sub/",
                                            "Sub/b.plt",
                                            "No/Such/y.plt"};
    std::vector<std::string> alone;
    for (const std::string& name : names)
        alone.push_back(LongFileName(name));
    EXPECT_EQ(LongFileNames(names), alone);
    EXPECT_TRUE(LongFileNames({}).empty());
}

TEST(LongPathOf, RootGivesNothingSoThatNamesJoinWithOneSlash) {
    EXPECT_EQ(LongPathOf("/"), "");
    EXPECT_EQ(LongPathOf("/tmp"), "/tmp");
    EXPECT_EQ(LongPathOf("/no-such-folder-here/x"), "/no-such-folder-here/x");
}

}  // namespace
}  // namespace tavrin
