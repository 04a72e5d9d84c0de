#include <signal.h>
#include <sys/resource.h>

#include <string>

#include "RewriterKinds.h"

namespace tavrin::rewrite_test {
namespace {

// While it lives, files of this process cannot grow beyond `bytes`: writes past it fail with
// EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    sighandler_t previousHandler_ = SIG_DFL;
};

class RewriterFailureTest : public EachRewriterTest {
protected:
    RewriterFailureTest() : sample(ReadBytes(SamplePath("hp2xx/win_1.hp"))) {
        source = Source(sample, "win_1.hp");
    }

    void ExpectSourceUntouched() const { EXPECT_TRUE(ReadBytes(source) == sample); }

    const std::string sample;
    std::string source;
};

TEST_P(RewriterFailureTest, MissingSource) {
    WriteBytes(tempFile(), "earlier run");
    const std::string missing = (sourceDir() / "gone.plt").string();

    if (isHpgl()) {
        EXPECT_EQ(Message(missing), "File not found");
        EXPECT_EQ(ReadBytes(tempFile()), "earlier run");
    } else {
        EXPECT_EQ(Message(missing), "Cannot open file " + missing);
        // The header is written before the source is opened, and left so.
        const std::string header = ReadBytes(tempFile());
        EXPECT_FALSE(header.empty());
        EXPECT_EQ(header.substr(header.size() - 2), "\r\n");
    }
    EXPECT_FALSE(fs::exists(missing));
}

TEST_P(RewriterFailureTest, FolderAsSource) {
    const std::string folder = sourceDir().string();

    EXPECT_EQ(Message(folder), isHpgl() ? "File access denied" : "Cannot open file " + folder);
    EXPECT_TRUE(fs::is_directory(folder));
    ExpectSourceUntouched();
}

TEST_P(RewriterFailureTest, SourceThatFailsToRead) {
    // Opens like a plain file; reading its first bytes fails with EIO.
    const std::string unreadable = "/proc/self/mem";

    EXPECT_EQ(Message(unreadable), isHpgl() ? "I/O error 5" : "Stream read error");
}

TEST_P(RewriterFailureTest, TemporaryFolderMissing) {
    options.tempFilesPath = (tempDir() / "removed").string();

    EXPECT_EQ(Message(source), isHpgl()
                                   ? "File not found"
                                   : "Cannot create file " + options.tempFilesPath + "/temp.$$$");
    EXPECT_FALSE(fs::exists(options.tempFilesPath));
    ExpectSourceUntouched();
}

TEST_P(RewriterFailureTest, TemporaryFolderNotWritable) {
    // No one may create files in /sys, not even root.
    options.tempFilesPath = "/sys";

    EXPECT_EQ(Message(source),
              isHpgl() ? "File access denied" : "Cannot create file /sys/temp.$$$");
    ExpectSourceUntouched();
}

TEST_P(RewriterFailureTest, TemporaryFolderIsAFile) {
    options.tempFilesPath = source;

    EXPECT_EQ(Message(source),
              isHpgl() ? "I/O error 20" : "Cannot create file " + source + "/temp.$$$");
    ExpectSourceUntouched();
}

TEST_P(RewriterFailureTest, WriteFailsPartWay) {
    {
        FileSizeLimit limit(1000);
        EXPECT_EQ(Message(source), isHpgl() ? "I/O error 27" : "Stream write error");
    }
    EXPECT_LE(fs::file_size(tempFile()), 1000u);
    ExpectSourceUntouched();
}

TAVRIN_FOR_EACH_REWRITER(RewriterFailureTest);

TEST_F(RewriterTest, WriteFailureInTheHeaderIsAStreamWriteError) {
    options.smartReplots = true;
    options.fitToPage = true;
    const std::string source = Source(ReadBytes(SamplePath("cups/testfile.ps")), "testfile.ps");
    FileSizeLimit limit(10);

    EXPECT_EQ(RewriterMessage(RewriterKind::PostScript, source, options), "Stream write error");
    EXPECT_EQ(RewriterMessage(RewriterKind::Oce, source, options), "Stream write error");
}

}  // namespace
}  // namespace tavrin::rewrite_test
