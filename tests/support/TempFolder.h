#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::test {

// A fresh folder under /tmp (the temporary folder on Windows), removed with everything in it when
// the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& n) const { return path_ / n; }

private:
    std::filesystem::path path_;
};

// Replaces the file.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
// A pattern that varies with `seed`, never repeats within 16 KiB and is written as it is made.
void WritePatternFile(const std::filesystem::path& path, std::uintmax_t size,
                      std::uint32_t seed = 1);
// Whether two files hold the same bytes (compared piece by piece).
bool SameContents(const std::filesystem::path& a, const std::filesystem::path& b);
std::string ReadFile(const std::filesystem::path& path);

// Where the sample print files that nobody here wrote are kept (with SOURCES.md and LICENSES/).
inline std::filesystem::path SamplesDir() {
    return TAVRIN_SAMPLES_DIR;
}

// Every sample print file, sorted; the notes on where they come from are left out.
inline std::vector<std::filesystem::path> SamplePrintFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SamplesDir())) {
        const std::filesystem::path& path = entry.path();
        if (entry.is_regular_file() && path.filename() != "SOURCES.md" &&
            path.generic_string().find("/LICENSES/") == std::string::npos)
            files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Screenshots and other artefacts that a person looks at after a test run.
inline std::filesystem::path OutputDir() {
    return TAVRIN_TEST_OUTPUT_DIR;
}

inline std::filesystem::path CliPath() {
    return TAVRIN_CLI_PATH;
}

}  // namespace tavrin::test
