#pragma once

#include <filesystem>
#include <string>

namespace tavrin::test {

// Where the sample print files that nobody here wrote are kept.
inline std::filesystem::path SamplesDir() {
    return TAVRIN_SAMPLES_DIR;
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
