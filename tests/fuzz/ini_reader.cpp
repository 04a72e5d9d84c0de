// Feeds arbitrary bytes to the INI reader and writer and checks what must always hold: the text
// comes back byte for byte when nothing is changed, the line-by-line reader and the in-memory
// reader agree, and a written key reads back without changing any other key's value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/ProfileDocument.h"

namespace {

constexpr std::string_view kSections[] = {"Window", "Data", "SetUp", "Mode", "a", "[x", "Data "};
constexpr std::string_view kKeys[] = {"xpos", "TempFilesPath", "Printer#", "Hours", "k", "a=b", ""};

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::optional<std::string> StreamedValue(const std::string& text, std::string_view section,
                                         std::string_view key) {
    std::istringstream in(text);
    return tavrin::FindProfileValue(in, section, key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the key to write, the rest is the file.
    const std::size_t pick = data[0];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    tavrin::ProfileDocument document(text);
    Check(document.Text() == text);
    for (std::string_view section : kSections) {
        for (std::string_view key : kKeys) {
            Check(document.Find(section, key) == StreamedValue(text, section, key));
        }
    }

    const std::string_view section = kSections[pick % std::size(kSections)];
    const std::string_view key = kKeys[(pick / std::size(kSections)) % std::size(kKeys)];
    const std::string value = "v" + std::to_string(size);
    if (!tavrin::CanStoreInProfile(section, key, value))
        return 0;

    tavrin::ProfileDocument changed(text);
    changed.Set(section, key, value);
    const std::string written = changed.Text();
    Check(StreamedValue(written, section, key) == value);
    for (std::string_view otherSection : kSections) {
        for (std::string_view otherKey : kKeys) {
            if (otherSection == section && otherKey == key)
                continue;
            Check(StreamedValue(written, otherSection, otherKey) ==
                  document.Find(otherSection, otherKey));
        }
    }
    return 0;
}
