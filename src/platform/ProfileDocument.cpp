#include "platform/ProfileDocument.h"

#include <stdexcept>

#include "platform/IniLine.h"

namespace tavrin {

namespace {

std::string_view WithoutByteOrderMark(std::string_view line) {
    if (line.starts_with(kUtf8ByteOrderMark))
        line.remove_prefix(kUtf8ByteOrderMark.size());
    return line;
}

bool HasForbiddenByte(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Follows the sections while lines are fed in order and tells whether a line holds the key.
class KeyMatcher {
public:
    // Empty names match nothing: they cannot be written either.
    KeyMatcher(std::string_view section, std::string_view key)
        : section_(section), key_(key), usable_(!section.empty() && !key.empty()) {}

    // Returns the parsed line when it is the wanted key in a wanted section.
    std::optional<IniLine> Feed(std::string_view line) {
        const IniLine parsed = ParseIniLine(line);
        if (parsed.kind == IniLineKind::Section || parsed.kind == IniLineKind::BrokenSection) {
            inSection_ =
                parsed.kind == IniLineKind::Section && IniNamesEqual(parsed.name, section_);
        } else if (usable_ && parsed.kind == IniLineKind::Key && inSection_ &&
                   IniNamesEqual(parsed.name, key_)) {
            return parsed;
        }
        return std::nullopt;
    }

private:
    std::string_view section_;
    std::string_view key_;
    bool usable_;
    bool inSection_ = false;
};

}  // namespace

std::optional<std::string> FindProfileValue(std::istream& in, std::string_view section,
                                            std::string_view key) {
    KeyMatcher matcher(section, key);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        std::string_view content = line;
        if (first)
            content = WithoutByteOrderMark(content);
        first = false;
        if (auto found = matcher.Feed(content))
            return std::string(found->value);
    }
    return std::nullopt;
}

bool CanStoreInProfile(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || key.empty())
        return false;
    if (HasForbiddenByte(section) || HasForbiddenByte(key) || HasForbiddenByte(value)) {
        return false;
    }
    if (TrimIniBlanks(section) != section || TrimIniBlanks(key) != key)
        return false;
    if (section.find(']') != std::string_view::npos)
        return false;
    if (key.find('=') != std::string_view::npos)
        return false;
    const char lead = key.front();
    return lead != '[' && lead != ';' && lead != '#';
}

ProfileDocument::ProfileDocument(std::string_view text) {
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        Line line;
        if (newline == std::string_view::npos) {
            line.body = std::string(text);
            text = {};
        } else {
            std::size_t bodyEnd = newline;
            if (bodyEnd > 0 && text[bodyEnd - 1] == '\r')
                --bodyEnd;
            line.body = std::string(text.substr(0, bodyEnd));
            line.end = std::string(text.substr(bodyEnd, newline + 1 - bodyEnd));
            text.remove_prefix(newline + 1);
        }
        lines_.push_back(std::move(line));
    }
}

std::string_view ProfileDocument::ContentOf(std::size_t index) const {
    std::string_view body = lines_[index].body;
    return index == 0 ? WithoutByteOrderMark(body) : body;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section,
                                                 std::string_view key) const {
    KeyMatcher matcher(section, key);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (auto found = matcher.Feed(ContentOf(i)))
            return std::string(found->value);
    }
    return std::nullopt;
}

void ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!CanStoreInProfile(section, key, value)) {
        throw std::invalid_argument("cannot store this key in an INI file");
    }
    KeyMatcher matcher(section, key);
    // Where a missing key goes: after the last key line of the first section of that name.
    std::optional<std::size_t> insertAfter;
    bool inFirstSection = false;
    bool firstSectionSeen = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view content = ContentOf(i);
        if (auto found = matcher.Feed(content)) {
            Line& line = lines_[i];
            const std::size_t prefix = line.body.size() - content.size() + found->valueStart;
            line.body.replace(prefix, std::string::npos, value);
            return;
        }
        const IniLine parsed = ParseIniLine(content);
        if (parsed.kind == IniLineKind::BrokenSection) {
            inFirstSection = false;
        } else if (parsed.kind == IniLineKind::Section) {
            inFirstSection = !firstSectionSeen && IniNamesEqual(parsed.name, section);
            if (inFirstSection) {
                firstSectionSeen = true;
                insertAfter = i;
            }
        } else if (parsed.kind == IniLineKind::Key && inFirstSection) {
            insertAfter = i;
        }
    }
    std::string keyLine = std::string(key) + "=" + std::string(value);
    if (insertAfter) {
        InsertLine(*insertAfter + 1, std::move(keyLine));
    } else {
        InsertLine(lines_.size(), "[" + std::string(section) + "]");
        InsertLine(lines_.size(), std::move(keyLine));
    }
}

std::string ProfileDocument::LineEnd() const {
    for (const Line& line : lines_) {
        if (!line.end.empty())
            return line.end;
    }
    return "\n";
}

void ProfileDocument::InsertLine(std::size_t position, std::string body) {
    const std::string end = LineEnd();
    if (position > 0 && lines_[position - 1].end.empty())
        lines_[position - 1].end = end;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                  Line{std::move(body), end});
}

std::string ProfileDocument::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.body;
        text += line.end;
    }
    return text;
}

}  // namespace tavrin
