// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window (F3): the first page of the job list's current file, following the list.
#include <QElapsedTimer>
#include <QTimer>
#include <fstream>

#include "WindowTestSupport.h"
#include "app/PreviewWindow.h"
#include "widgets/DataGrid.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

class PreviewWindowTest : public WindowFixture {
protected:
    QList<PreviewWindow*> Previews() const { return form->findChildren<PreviewWindow*>(); }
    std::string Line() const {
        const auto previews = Previews();
        return previews.size() == 1 ? previews[0]->Line()->text().toStdString() : "";
    }
    // The line once it begins with `start` and ends with `file`'s name, or when waiting gave up.
    std::string WaitForLine(const std::string& start, const fs::path& file) {
        (void)QTest::qWaitFor(
            [&] {
                const std::string line = Line();
                return line.starts_with(start) && line.ends_with(file.filename().string());
            },
            20000);
        return Line();
    }
    void PressF3() {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_F3);
    }
};

TEST_F(PreviewWindowTest, F3ShowsTheCurrentFileAndTheWindowFollowsTheListAsItsKeysMoveOn) {
#ifdef _WIN32
    GTEST_SKIP() << "previews of PostScript through Ghostscript and the gone file's POSIX message: "
                    "the Linux build's";
#endif
    Start();
    PressF3();
    ASSERT_EQ(Previews().size(), 1u);
    PreviewWindow* preview = Previews()[0];
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Preview"));
    EXPECT_FALSE(preview->isModal());
    EXPECT_FALSE(QApplication::activeModalWidget());
    EXPECT_EQ(QApplication::activeWindow(), form.get());
    EXPECT_EQ(Line(), PreviewWindow::kNoFile);

    // A file gone since it was listed says so; a big plot is drawn while the window goes on.
    const fs::path gone = folders.root / "gone.plt";
    fs::copy_file(Sample("jem-green-HPGL2/XANADU-PLT-test2.plt"), gone);
    const fs::path big = folders.root / "big.plt";
    {
        std::ofstream out(big, std::ios::binary);
        out << "IN;SP1;PU0,0;PD";
        for (int i = 0; out.tellp() < 10'000'000; ++i)
            out << (i * 37) % 10000 << ',' << (i * 91) % 7000 << ',';
        out << "0,0;PU;PG;";
    }
    struct Row {
        fs::path file;
        std::string start;  // how the line begins
        const char* shot;   // a screenshot's name, or none
        bool drawn;
        bool withoutGhostscript = false;  // drawn with no Ghostscript on the PATH
    };
    const std::vector<Row> rows = {
        {Sample("jem-green-HPGL2/XANADU-PLT-test.plt"), "HP-GL/2, ", "preview-hpgl", true},
        {Sample("ghostpdl/colorcir.ps"), "PostScript", "preview-postscript", true},
        {Sample("ghostpdl/golfer.eps"), "PostScript: no preview (Ghostscript is not installed",
         "preview-without-ghostscript", false, true},
        {Sample("cups/testfile.pcl"), "PCL: no preview (", nullptr, false},
        {gone, "Cannot open file " + gone.string(), nullptr, false},
        {big, "HP-GL, ", nullptr, true}};
    std::vector<fs::path> files;
    for (const Row& row : rows)
        files.push_back(row.file);
    dialogs.answers.push_back(Chosen(files));
    Click("SelectFiles");
    Texts names;
    for (const fs::path& file : files)
        names.push_back(file.string());
    ASSERT_EQ(Rows(), names);
    fs::remove(gone);

    TDataGrid* grid = form->Grid();
    grid->setFocus();
    while (grid->Grid().currentRow() > 1)
        QTest::keyClick(grid, Qt::Key_Up);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        // The worker is idle between rows, so the PATH it starts Ghostscript from can change.
        const QByteArray path = qgetenv("PATH");
        if (row.withoutGhostscript)
            qputenv("PATH", "/nonexistent");
        if (i > 0)
            QTest::keyClick(grid, Qt::Key_Down);
        EXPECT_EQ(grid->Grid().currentRow(), static_cast<int>(i) + 1);
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QElapsedTimer drawing;
        drawing.start();
        const std::string line = WaitForLine(row.start, row.file);
        EXPECT_TRUE(line.starts_with(row.start)) << line;
        // The window's thread is not the one drawing: its timer keeps ticking.
        if (row.file == big) {
            EXPECT_GT(ticks, drawing.elapsed() / 40) << drawing.elapsed() << " ms";
        }
        EXPECT_EQ(!preview->Picture().isNull(), row.drawn) << row.file;
        if (row.shot) {
            EXPECT_TRUE(SaveShot(*preview, row.shot));
        }
        qputenv("PATH", path);
    }
    EXPECT_EQ(Rows(), names);
    // Up to half as wide again the picture is scaled; a window much wider draws it anew.
    const int drawnWidth = preview->Picture().width();
    preview->resize(preview->width() * 2, preview->height());
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->Picture().width() > drawnWidth * 3 / 2; }))
        << drawnWidth;

    // F3 again raises the one window, also once it has been closed.
    PressF3();
    preview->close();
    PressF3();
    EXPECT_EQ(Previews(), QList<PreviewWindow*>{preview});
    EXPECT_TRUE(preview->isVisible());
}

}  // namespace
}  // namespace tavrin::test
