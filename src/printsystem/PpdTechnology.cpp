#include "printsystem/PpdTechnology.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tavrin {
namespace {

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool NamesHpgl2(const std::string& line) {
    static constexpr std::array<std::string_view, 5> kNames = {"hp-gl/2", "hpgl/2", "hpgl2",
                                                               "hp-gl2", "vnd.hp-hpgl"};
    const std::string lowered = Lowered(line);
    return std::any_of(kNames.begin(), kNames.end(), [&](std::string_view name) {
        return lowered.find(name) != std::string::npos;
    });
}

}  // namespace

std::optional<std::string> TechnologyFromPpd(std::istream& ppd) {
    bool isPpd = false;
    bool hasFilters = false;
    bool hpgl2 = false;
    std::string line;
    while (std::getline(ppd, line)) {
        if (StartsWith(line, "*PPD-Adobe:"))
            isPpd = true;
        const bool filter = StartsWith(line, "*cupsFilter:") || StartsWith(line, "*cupsFilter2:");
        if (filter)
            hasFilters = true;
        if (filter || StartsWith(line, "*ModelName:") || StartsWith(line, "*NickName:") ||
            StartsWith(line, "*ShortNickName:") || StartsWith(line, "*Product:")) {
            hpgl2 = hpgl2 || NamesHpgl2(line);
        }
    }
    if (!isPpd)
        return std::nullopt;
    if (hpgl2)
        return "HPGL/2";
    if (!hasFilters)
        return "PostScript";
    return std::nullopt;
}

}  // namespace tavrin
