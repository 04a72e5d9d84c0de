#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// Looks a key up while reading the INI text line by line: the value of the first line with that
// key in a section of that name, both matched without regard to letter case; none when absent.
std::optional<std::string> FindProfileValue(std::istream& in, std::string_view section,
                                            std::string_view key);

// Whether a section, key and value can be stored as one "[section]" line and one "key=value"
// line that read back as the same texts: no line breaks or NUL bytes, no "]" in a section name,
// no "=" in a key, no blanks around names.
bool CanStoreInProfile(std::string_view section, std::string_view key, std::string_view value);

// The text of an INI file held in memory for changing some of its values. Every line that is
// not changed keeps its bytes, including its line terminator.
class ProfileDocument {
public:
    explicit ProfileDocument(std::string_view text = {});

    // The same lookup as FindProfileValue.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Replaces the value of the line Find reads; a key the section lacks is added after the
    // section's last key line; a section the text lacks is added at the end. Throws
    // std::invalid_argument when CanStoreInProfile is false.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Text() const;

private:
    struct Line {
        std::string body;  // without terminator
        std::string end;   // "\n", "\r\n" or empty for a last line without one
    };

    std::string_view ContentOf(std::size_t index) const;
    void InsertLine(std::size_t position, std::string body);
    std::string LineEnd() const;

    std::vector<Line> lines_;
};

}  // namespace tavrin
