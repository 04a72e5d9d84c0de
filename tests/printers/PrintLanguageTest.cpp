// SPDX-License-Identifier: GPL-3.0-or-later
// The language of every sample print file, and of the headers drivers write in front of them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/Error.h"
#include "printers/PrintLanguage.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

using L = PrintLanguage;

TEST(PrintLanguage, EverySampleFileIsKnownForWhatItHolds) {
    const std::map<std::string, std::string> expected = {
        {"cups/testfile.pcl", "PCL"},
        {"cups/testfile.ps", "PostScript"},
        {"ghostpdl/colorcir.ps", "PostScript"},
        {"ghostpdl/gl-chars.pcl", "PCL with HP-GL/2, PJL"},
        {"ghostpdl/golfer.eps", "PostScript"},
        {"ghostpdl/grid.pcl", "HP-GL/2"},
        {"ghostpdl/lineprinter.pcl", "PCL, PJL"},
        {"hp2xx/286x192.5_qh.hpg", "HP-GL/2"},
        {"hp2xx/acad.hp", "HP-GL"},
        {"hp2xx/dt.plt", "HP-GL/2"},
        {"hp2xx/inter.hp", "HP-GL"},
        {"hp2xx/lo-slash.hp", "HP-GL"},
        {"hp2xx/pages.hp", "HP-GL"},
        {"hp2xx/spectrum.plt", "HP-GL/2"},
        {"hp2xx/win_1.hp", "HP-GL"},
        {"hpgl-rendering/test-print.pcl", "PCL"},
        {"hpgl-rendering/test.plt", "HP-GL"},
        {"hplip/align3_8xx.pcl", "PCL, PJL PCL3GUI"},
        {"jem-green-HPGL2/XANADU-PLT-test.plt", "HP-GL/2, PJL HPGL2"},
        {"jem-green-HPGL2/XANADU-PLT-test2.plt", "HP-GL/2"},
        {"jem-green-HPGL2/test-Model.PLT", "HP-GL/2"},
        {"jem-green-HPGL2/test-Model_HEAD-utf8-mangled.PLT", "HP-GL/2"},
        {"jem-green-HPGL2/test2a-Layout1.PLT", "HP-GL/2"},
        {"plotutils/plot2hpgl.xout", "HP-GL/2"},
        {"plotutils/plot2pcl.xout", "HP-GL/2"},
        {"pret/cups.ps", "PostScript"},
        {"pret/gimp.pcl", "PCL"},
        {"pret/print.ps", "PostScript"},
    };
    std::map<std::string, std::string> found;
    for (const auto& file : test::SamplePrintFiles()) {
        const FileLanguage language = DetectFileLanguage(file.string());
        found[file.lexically_relative(test::SamplesDir()).generic_string()] =
            LanguageName(language.language) + std::string(language.pjl ? ", PJL" : "") +
            (language.pjlLanguage.empty() ? "" : " " + language.pjlLanguage);
    }
    EXPECT_EQ(found, expected);
}

TEST(PrintLanguage, HeadersPaddingAndTextDecideAsDriversMeanThem) {
    const std::string uel = "\x1b%-12345X";
    const struct {
        const char* name;
        std::string head;
        L language;
    } rows[] = {
        {"pdf", "%PDF-1.7\n", L::Pdf},
        {"pjl enters pdf", uel + "@PJL JOB\r\n@PJL ENTER LANGUAGE = PDF\r\n%PDF-1.4", L::Pdf},
        {"pjl names the language only", uel + "@pjl enter language=postscript\n", L::PostScript},
        {"ctrl-d before postscript", "\x04%!PS-Adobe-3.0\n", L::PostScript},
        {"nul padding", std::string(1000, '\0') + "IN;SP1;PA10,10;", L::HpGl},
        {"hp-gl/2 only instruction", "IN;PS1000,1000;", L::HpGl2},
        {"pcl then hp-gl/2",
         "\x1b"
         "E\x1b&l1O\x1b%1BIN;",
         L::PclWithHpGl2},
        {"plain text", "hello world\n", L::Unknown},
        {"nothing", "", L::Unknown},
        {"nuls only", std::string(64, '\0'), L::Unknown},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DetectPrintLanguage(row.head).language, row.language) << row.name;
}

TEST(PrintLanguage, TheDocumentFormatIsTheFilesOwnWhenThePrinterListsIt) {
    const std::vector<std::string> plotter = {"application/vnd.hp-hpgl", "image/pwg-raster"};
    const std::vector<std::string> office = {"application/vnd.hp-pcl", "application/postscript"};
    EXPECT_EQ(DocumentFormatFor(L::HpGl2, plotter), "application/vnd.hp-hpgl");
    EXPECT_EQ(DocumentFormatFor(L::PclWithHpGl2, plotter), "application/vnd.hp-hpgl");
    EXPECT_EQ(DocumentFormatFor(L::PclWithHpGl2, office), "application/vnd.hp-pcl");
    EXPECT_EQ(DocumentFormatFor(L::PostScript, plotter), "application/octet-stream");
    EXPECT_EQ(DocumentFormatFor(L::Unknown, office), "application/octet-stream");
    EXPECT_THAT([] { DetectFileLanguage("/nonexistent/plot.plt"); },
                testing::ThrowsMessage<Error>("Cannot open file /nonexistent/plot.plt"));
}

}  // namespace
}  // namespace tavrin
