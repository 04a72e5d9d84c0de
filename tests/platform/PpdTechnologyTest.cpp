#include "platform/PpdTechnology.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tavrin {
namespace {

std::optional<std::string> FromPpd(const std::string& text) {
    std::istringstream ppd(text);
    return TechnologyFromPpd(ppd);
}

TEST(PpdTechnology, APostScriptPpdWithoutFiltersAnswersPostScript) {
    EXPECT_EQ(FromPpd("*PPD-Adobe: \"4.3\"\n*ModelName: \"Laser 9000\"\n*NickName: \"L\"\n"),
              "PostScript");
}

TEST(PpdTechnology, APpdNamingHpgl2InModelOrFilterAnswersHpgl2) {
    EXPECT_EQ(FromPpd("*PPD-Adobe: \"4.3\"\n*ModelName: \"DesignJet 500 HP-GL/2\"\n"
                      "*cupsFilter: \"application/vnd.cups-raster 0 rastertohp\"\n"),
              "HPGL/2");
    EXPECT_EQ(FromPpd("*PPD-Adobe: \"4.3\"\n*ModelName: \"Plotter\"\n"
                      "*cupsFilter2: \"application/vnd.hp-HPGL application/vnd.hp-HPGL 0 -\"\n"),
              "HPGL/2");
}

TEST(PpdTechnology, APpdWithOtherFiltersGivesNoAnswer) {
    EXPECT_EQ(FromPpd("*PPD-Adobe: \"4.3\"\n*ModelName: \"Inkjet\"\n"
                      "*cupsFilter: \"application/vnd.cups-raster 0 rastertoescpx\"\n"),
              std::nullopt);
}

TEST(PpdTechnology, TextThatIsNoPpdGivesNoAnswer) {
    EXPECT_EQ(FromPpd(""), std::nullopt);
    EXPECT_EQ(FromPpd("<html>Not Found</html>\n"), std::nullopt);
}

TEST(PpdTechnology, HpglInAnUnrelatedLineDoesNotCount) {
    EXPECT_EQ(FromPpd("*PPD-Adobe: \"4.3\"\n*% converted from an HPGL/2 driver\n"), "PostScript");
}

}  // namespace
}  // namespace tavrin
