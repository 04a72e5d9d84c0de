// SPDX-License-Identifier: GPL-3.0-or-later
// What a print file says about itself, read from its head and tail only.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <map>

#include "printers/PrintFileFacts.h"
#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

TEST(PrintFileFacts, EverySampleIsDescribedByItsLanguageAndWhatItStates) {
    const std::string plot = ", no QL, no RP";
    const std::map<std::string, std::string> expected = {
        {"cups/testfile.pcl", "PCL, 3817 bytes"},
        {"cups/testfile.ps", "PostScript, 17132 bytes, bounding box 0 0 612 792, 1 page"},
        {"ghostpdl/colorcir.ps", "PostScript, 2061 bytes"},
        {"ghostpdl/gl-chars.pcl", "PCL with HP-GL/2 in PJL, 685 bytes, page size Letter"},
        {"ghostpdl/golfer.eps", "PostScript, 25662 bytes, bounding box 7 31 577 726"},
        {"ghostpdl/grid.pcl", "HP-GL/2, 128 bytes, plot size not stated, 0 page ends" + plot},
        {"ghostpdl/lineprinter.pcl", "PCL in PJL, 637 bytes"},
        {"hp2xx/286x192.5_qh.hpg",
         "HP-GL/2, 4530 bytes, plot 198 x 271 mm, rotated 90, 0 page ends" + plot},
        {"hp2xx/acad.hp", "HP-GL, 29903 bytes, plot size not stated, 1 page end" + plot},
        {"hp2xx/dt.plt", "HP-GL/2, 329 bytes, plot 279 x 216 mm, 1 page end" + plot},
        {"hp2xx/inter.hp", "HP-GL, 70977 bytes, plot size not stated, 1 page end" + plot},
        {"hp2xx/lo-slash.hp", "HP-GL, 193 bytes, plot size not stated, 2 page ends" + plot},
        {"hp2xx/pages.hp", "HP-GL, 206 bytes, plot size not stated, 2 page ends" + plot},
        {"hp2xx/spectrum.plt",
         "HP-GL/2, 42150 bytes, plot size not stated, rotated 90, 0 page ends" + plot},
        {"hp2xx/win_1.hp", "HP-GL, 4430 bytes, plot size not stated, 0 page ends" + plot},
        {"hpgl-rendering/test-print.pcl", "PCL, 29257 bytes"},
        {"hpgl-rendering/test.plt", "HP-GL, 8186 bytes, plot size not stated, 0 page ends" + plot},
        {"hplip/align3_8xx.pcl", "PCL in PJL, 23838 bytes, page size Letter"},
        {"jem-green-HPGL2/XANADU-PLT-test.plt",
         "HP-GL/2 in PJL, 134688 bytes, plot 297 x 210 mm, rotated 90, 1 page end, QL, no RP"},
        {"jem-green-HPGL2/XANADU-PLT-test2.plt",
         "HP-GL/2, 5061 bytes, plot 297 x 210 mm, 1 page end" + plot},
        {"jem-green-HPGL2/test-Model.PLT",
         "HP-GL/2, 260 bytes, plot 276 x 199 mm, rotated 90, 1 page end" + plot},
        {"jem-green-HPGL2/test-Model_HEAD-utf8-mangled.PLT",
         "HP-GL/2, 306 bytes, plot 276 x 199 mm, rotated 90, 1 page end" + plot},
        {"jem-green-HPGL2/test2a-Layout1.PLT",
         "HP-GL/2, 193 bytes, plot 262 x 199 mm, rotated 90, 1 page end" + plot},
        {"plotutils/plot2hpgl.xout", "HP-GL/2, 46943 bytes, plot 267 x 267 mm, 1 page end" + plot},
        {"plotutils/plot2pcl.xout", "HP-GL/2, 43457 bytes, plot 267 x 267 mm, 1 page end" + plot},
        {"pret/cups.ps", "PostScript, 98840 bytes, bounding box 0 0 595 841, 1 page"},
        {"pret/gimp.pcl", "PCL, 54636 bytes"},
        {"pret/print.ps", "PostScript, 821 bytes, bounding box 100   300   500   700, 1 page"},
    };
    std::map<std::string, std::string> found;
    for (const auto& file : test::SamplePrintFiles())
        found[file.lexically_relative(test::SamplesDir()).string()] =
            DescribeFacts(InspectPrintFile(file.string()));
    EXPECT_EQ(found, expected);
}

TEST(PrintFileFacts, HeadersAndTrailersAreReadAsTheirLanguageWritesThem) {
    const struct {
        const char* name;
        std::string head;
        std::string tail;
        std::string described;
    } rows[] = {
        {"pdf page tree and first media box",
         "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
         "2 0 obj << /Kids [3 0 R] /Type /Pages /Count 12 >> endobj\n"
         "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 595.28 841.89] >> endobj\n",
         "", "PDF, 1000 bytes, first page 210 x 297 mm, 12 pages"},
        {"pdf with its page tree at the end", "%PDF-1.7\n%\xe2\xe3\n",
         "9 0 obj\n<</Type/Pages/Count 3/Kids[4 0 R]>>\nendobj\n", "PDF, 1000 bytes, 3 pages"},
        {"dsc pages at the end",
         "%!PS-Adobe-3.0\n%%BoundingBox: (atend)\n%%Pages: (atend)\n%%DocumentMedia: A3 842 1191 "
         "0 () ()\n",
         "showpage\n%%Trailer\n%%Pages: 7\n%%BoundingBox: 0 0 842 1191\n%%EOF\n",
         "PostScript, 1000 bytes, bounding box 0 0 842 1191, media A3 842 1191 0 () (), 7 pages"},
        {"pcl combined groups",
         "\x1b"
         "E\x1b&l0o27A\x1b*t300R",
         "", "PCL, 1000 bytes, page size A3"},
        {"pcl unknown size",
         "\x1b"
         "E\x1b&l999A",
         "", "PCL, 1000 bytes, page size size code 999"},
        {"hp-gl/2 square paper, labels and encoded data hide no instructions",
         "IN;PS20000;LBPSPGQLRP\x03PE<=PGQL;SP1;PD100,100;", "PU;PG;RP2;",
         "HP-GL/2, 1000 bytes, plot 500 x 500 mm, at least 1 page end, no QL, RP"},
        {"a rotation no plotter has", "IN;RO99999999999;PG;", "",
         "HP-GL, 1000 bytes, plot size not stated, rotated 1000000000, 1 page end, no QL, no RP"},
        {"unknown", "hello\n", "", "unknown language, 1000 bytes"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DescribeFacts(InspectPrintData(row.head, row.tail, 1000)), row.described)
            << row.name;
}

TEST(PrintFileFacts, AHugeFileIsReadOnlyAtItsEndsAndAMissingFileOrAFolderSaysSo) {
    test::TempFolder folder;
    const std::string huge = (folder / "huge.plt").string();
    test::WriteBytes(huge, "IN;PS44000,31000;SP1;PD0,0,1000,1000;");
    // 2 GB without writing them: the file is sparse, its middle reads as NUL bytes.
    const int fd = ::open(huge.c_str(), O_WRONLY | O_APPEND);
    ASSERT_EQ(::ftruncate(fd, 2'000'000'000), 0);
    ASSERT_EQ(::write(fd, "PU;PG;", 6), 6);
    ::close(fd);
    EXPECT_EQ(DescribeFacts(InspectPrintFile(huge)),
              "HP-GL/2, 2000000006 bytes, plot 1100 x 775 mm, at least 1 page end, no QL, no RP");

    for (const std::string& unreadable : {(folder / "gone.plt").string(), folder.path().string()})
        EXPECT_EQ(test::SpoolErrorText([&] { InspectPrintFile(unreadable); }),
                  "Cannot open file " + unreadable);
}

}  // namespace
}  // namespace tavrin
