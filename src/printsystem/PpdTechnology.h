#pragma once

#include <istream>
#include <optional>
#include <string>

namespace tavrin {

// The technology a printer's PPD describes: "HPGL/2" when its model or filters name HP-GL/2,
// "PostScript" for a PostScript PPD (one without CUPS filters), otherwise nothing. Reads the PPD
// line by line.
std::optional<std::string> TechnologyFromPpd(std::istream& ppd);

}  // namespace tavrin
