// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>

#include "joblog/JobLog.h"

namespace tavrin {
namespace {

// Sets or clears an environment variable for one scope.
class Variable {
public:
    Variable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~Variable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(JobLogFile, TheVariableNamesTheFileElseTheXdgDataFolderElseTheHomeFolder) {
    struct Row {
        const char* joblog;
        const char* dataHome;
        std::string expected;
    };
    const Row rows[] = {
        {"/srv/logs/plots.sqlite", "/data", "/srv/logs/plots.sqlite"},
        {"relative.sqlite", nullptr, "relative.sqlite"},
        {"", "/data", "/data/tavrin/joblog.sqlite"},
        {nullptr, "/data", "/data/tavrin/joblog.sqlite"},
        {nullptr, "data", "/home/ada/.local/share/tavrin/joblog.sqlite"},
        {nullptr, "", "/home/ada/.local/share/tavrin/joblog.sqlite"},
        {nullptr, nullptr, "/home/ada/.local/share/tavrin/joblog.sqlite"},
    };
    const Variable home("HOME", "/home/ada");
    for (const Row& row : rows) {
        const Variable joblog("TAVRIN_JOBLOG", row.joblog);
        const Variable dataHome("XDG_DATA_HOME", row.dataHome);
        EXPECT_EQ(JobLogFile(), row.expected)
            << (row.joblog ? row.joblog : "-") << ' ' << (row.dataHome ? row.dataHome : "-");
    }
}

}  // namespace
}  // namespace tavrin
