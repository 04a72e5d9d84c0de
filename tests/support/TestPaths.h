#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::test {

// Where the sample print files that nobody here wrote are kept (with SOURCES.md and LICENSES/).
inline std::filesystem::path SamplesDir() {
    return TAVRIN_SAMPLES_DIR;
}

// Every sample print file, sorted; the notes on where they come from are left out.
inline std::vector<std::filesystem::path> SamplePrintFiles() {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(SamplesDir());
         it != fs::recursive_directory_iterator(); ++it) {
        if (it->is_directory() && it->path().filename() == "LICENSES") {
            it.disable_recursion_pending();
        } else if (it->is_regular_file() && it->path().filename() != "SOURCES.md") {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::filesystem::path SourceDir() {
    return TAVRIN_SOURCE_DIR;
}

// Screenshots and other artefacts that a person looks at after a test run.
inline std::filesystem::path OutputDir() {
    return TAVRIN_TEST_OUTPUT_DIR;
}

inline std::filesystem::path CliPath() {
    return TAVRIN_CLI_PATH;
}

}  // namespace tavrin::test
