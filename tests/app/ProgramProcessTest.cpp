// The program as a user starts it: a second start hands its files over and ends, and SIGTERM
// closes the window as its close box does, settings saved.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "WindowTestSupport.h"
#include "platform/PrivateProfile.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ProgramProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrintServer();
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
    }
    void TearDown() override {
        for (pid_t pid : started) {
            if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
    }

    pid_t Launch(const std::vector<std::string>& args) {
        // Everything the child needs is made before the fork: between fork and exec a child of
        // a threaded process may only make plain system calls.
        const std::vector<std::pair<std::string, std::string>> overrides = {
            {"QT_QPA_PLATFORM", "offscreen"},
            {"XDG_CONFIG_HOME", (folders.root / "config").string()},
            {"XDG_CACHE_HOME", (folders.root / "cache").string()},
            {"XDG_RUNTIME_DIR", runtime.string()},
            {"HOME", (folders.root / "home").string()},
        };
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) {
            const std::string text = *entry;
            bool replaced = false;
            for (const auto& [name, value] : overrides)
                replaced = replaced || text.rfind(name + "=", 0) == 0;
            if (!replaced)
                environment.push_back(text);
        }
        for (const auto& [name, value] : overrides)
            environment.push_back(name + "=" + value);
        std::vector<std::string> arguments = {TAVRIN_WINDOW_PATH};
        arguments.insert(arguments.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);

        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        started.push_back(pid);
        return pid;
    }

    // The exit status of `pid`, or -1 when it has not ended within `limit`.
    static int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

    static bool WaitForFile(const fs::path& file, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (fs::exists(file))
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    UserFolders folders;
    fs::path runtime = folders.root / "run";
    std::vector<pid_t> started;
};

TEST_F(ProgramProcessTest, ASecondStartHandsOverAndSigtermClosesWithSettingsSaved) {
    const pid_t window = Launch({Sample("ghostpdl/colorcir.ps").string()});
    // The window takes names from later starts once it is up.
    ASSERT_TRUE(WaitForFile(runtime / "tavrin.socket", 60s));
    const fs::path ini = folders.root / "config" / "tavrin" / "tavrin.ini";
    ASSERT_TRUE(fs::exists(ini));
    EXPECT_EQ(ReadProfileString(ini, "Data", "PlotFilesPath", "<none>"), "<none>");

    const pid_t second = Launch({Sample("jem-green-HPGL2/test-Model.PLT").string(), "b.plt"});
    EXPECT_EQ(WaitFor(second, 30s), 0);
    EXPECT_EQ(WaitFor(window, 200ms), -1) << "the first window must still run";

    ASSERT_EQ(::kill(window, SIGTERM), 0);
    EXPECT_EQ(WaitFor(window, 30s), 0);
    // Closed as by its close box: the settings were written.
    EXPECT_NE(ReadProfileString(ini, "Data", "PlotFilesPath", "<none>"), "<none>");
    EXPECT_EQ(ReadProfileString(ini, "Schedule", "Minutes", ""), "0");
}

}  // namespace
}  // namespace tavrin::test
