#include "spool/TempFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "RewriterKinds.h"

namespace tavrin::rewrite_test {
namespace {

TEST(TempFileName, FolderThenSlashThenName) {
    EXPECT_EQ(TempFileName("/home/ann/.cache/tavrin"), "/home/ann/.cache/tavrin/temp.$$$");
    EXPECT_EQ(TempFileName("/home/ann/.cache/tavrin/"), "/home/ann/.cache/tavrin/temp.$$$");
    EXPECT_EQ(TempFileName("/"), "/temp.$$$");
    EXPECT_EQ(TempFileName("plots"), "plots/temp.$$$");
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

class TempFileSafetyTest : public EachRewriterTest {
protected:
    TempFileSafetyTest()
        : sample(ReadBytes(SamplePath("jem-green-HPGL2/test-Model.PLT"))),
          source(Source(sample, "test-Model.PLT")) {}

    std::string Refusal() const { return "Cannot create file " + tempFile().string(); }

    const std::string sample;
    const std::string source;
};

TEST_P(TempFileSafetyTest, NewTemporaryFileIsReadableByItsOwnerOnly) {
    const mode_t savedMask = ::umask(0);
    RunRewriter(kind(), source, options);
    ::umask(savedMask);

    EXPECT_EQ(ModeOf(tempFile()), 0600u);
}

TEST_P(TempFileSafetyTest, EarlierTemporaryFileIsMadeOwnerOnly) {
    WriteBytes(tempFile(), std::string(10000, 'z'));
    fs::permissions(tempFile(), fs::perms(0644));

    RunRewriter(kind(), source, options);

    EXPECT_EQ(ModeOf(tempFile()), 0600u);
    EXPECT_LT(fs::file_size(tempFile()), 10000u);
}

TEST_P(TempFileSafetyTest, PlantedSymbolicLinkIsNotFollowed) {
    const fs::path victim = sourceDir() / "drawing.plt";
    WriteBytes(victim, "the user's own drawing");
    const mode_t victimMode = ModeOf(victim);
    fs::create_symlink(victim, tempFile());

    EXPECT_EQ(Message(source), Refusal());

    EXPECT_EQ(ReadBytes(victim), "the user's own drawing");
    EXPECT_EQ(ModeOf(victim), victimMode);
    EXPECT_TRUE(fs::is_symlink(tempFile()));
    EXPECT_TRUE(ReadBytes(source) == sample);
}

TEST_P(TempFileSafetyTest, DanglingSymbolicLinkCreatesNothing) {
    const fs::path target = sourceDir() / "made-through-link";
    fs::create_symlink(target, tempFile());

    EXPECT_EQ(Message(source), Refusal());

    EXPECT_FALSE(fs::exists(target));
}

TEST_P(TempFileSafetyTest, NameSharedWithAnotherFileIsNotEmptied) {
    const fs::path other = sourceDir() / "other.plt";
    WriteBytes(other, "another name for the same data");
    fs::create_hard_link(other, tempFile());

    EXPECT_EQ(Message(source), Refusal());

    EXPECT_EQ(ReadBytes(other), "another name for the same data");
}

TEST_P(TempFileSafetyTest, SourceThatIsTheTemporaryFileIsNotEmptied) {
    WriteBytes(tempFile(), sample);

    EXPECT_EQ(Message(tempFile().string()), Refusal());

    EXPECT_TRUE(ReadBytes(tempFile()) == sample);
}

TEST_P(TempFileSafetyTest, PlantedPipeIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(tempFile().c_str(), 0600), 0);

    EXPECT_EQ(Message(source), Refusal());
    EXPECT_TRUE(fs::is_fifo(tempFile()));
}

TAVRIN_FOR_EACH_REWRITER(TempFileSafetyTest);

}  // namespace
}  // namespace tavrin::rewrite_test
