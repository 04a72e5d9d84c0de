// SPDX-License-Identifier: GPL-3.0-or-later
// What a file of the job list holds, as the tooltip of its Filename cell.
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <chrono>
#include <fstream>

#include "WindowTestSupport.h"
#include "widgets/DataGrid.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

const fs::path kPlot = Sample("jem-green-HPGL2/XANADU-PLT-test.plt");
const fs::path kPs = Sample("cups/testfile.ps");
const std::string kPlotText =
    "HP-GL/2 in PJL, 134688 bytes, plot 297 x 210 mm, rotated 90, 1 page end, QL, no RP";
const std::string kPsText = "PostScript, 17132 bytes, bounding box 0 0 612 792, 1 page";

void Write(const fs::path& path, const std::string& bytes, fs::file_time_type modified) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    fs::last_write_time(path, modified);
}

class FileTooltipTest : public WindowFixture {
protected:
    // The tooltip Qt shows with the mouse resting on cell (col, row), near its left end.
    std::string TipAt(int col, int row) {
        TDataGrid* grid = form->Grid();
        const QRect cell = grid->visualRect(grid->IndexOf(col, row));
        const QPoint at(cell.left() + 12, cell.center().y());
        QHelpEvent event(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    }
    Texts Tips() {
        Texts tips;
        for (int row = 1; row <= form->Jobs().FileCount(); ++row)
            tips.push_back(TipAt(0, row));
        return tips;
    }
    // The Filename tooltips once they are `expected`, or when waiting for them gave up.
    Texts WaitForTips(const Texts& expected) {
        (void)QTest::qWaitFor([&] { return Tips() == expected; }, 20000);
        return Tips();
    }
    // The window with the tooltip showing on it, as one picture in the test output.
    bool SaveShotWithTip(const std::string& name) {
        QWidget* tip = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            tip = window->inherits("QTipLabel") && window->isVisible() ? window : tip;
        if (!tip)
            return false;
        const QRect at(form->mapFromGlobal(tip->pos()), tip->size());
        QPixmap shot(form->rect().united(at).size());
        shot.fill(Qt::white);
        QPainter painter(&shot);
        painter.drawPixmap(0, 0, form->grab());
        painter.drawPixmap(at.topLeft(), tip->grab());
        painter.end();
        fs::create_directories(OutputDir());
        return shot.save(QString::fromStdString((OutputDir() / (name + ".png")).string()));
    }
};

TEST_F(FileTooltipTest, EachFileSaysWhatItHoldsAMissingOneSaysSoAChangedOneIsReadAgain) {
    const fs::path same = folders.root / "same-size-and-time.ps";
    const fs::path changed = folders.root / "rewritten.plt";
    const auto before = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const std::string plot = ReadFile(kPlot);
    const std::string ps = ReadFile(kPs);
    Write(same, ps, before);
    Write(changed, plot, before);
    Start();
    Texts names = {kPlot.string(), kPs.string(), (folders.root / "gone.plt").string(),
                   same.string(), changed.string()};
    Texts added = {kPlotText, kPsText, "File not found", kPsText, kPlotText};
    Texts reread = {kPlotText, kPsText, "File not found", kPsText, kPsText};
#ifndef _WIN32
    // A named pipe nobody writes to is never opened for reading: it would wait for ever.
    const fs::path fifo = folders.root / "fifo.plt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    names.push_back(fifo.string());
    for (Texts* texts : {&added, &reread})
        texts->push_back("Cannot open file " + fifo.string());
#endif
    form->AddHandedOverFiles(names);
    EXPECT_EQ(WaitForTips(added), added);
    // The Copies cells keep the grid's own hint.
    EXPECT_EQ(TipAt(1, 1), "Drag and drop your files here, or use \"Select files\" button");
    EXPECT_EQ(TipAt(0, 1), kPlotText);
    EXPECT_TRUE(SaveShotWithTip("file-tooltip"));

    // Other bytes of the same size under the same time are not read again: the text stays. The
    // rewritten file is asked for after it, and read again.
    Write(same, plot.substr(0, ps.size()), before);
    Write(changed, ps, before + std::chrono::minutes(1));
    EXPECT_EQ(WaitForTips(reread), reread);
    // The list itself is as it was added.
    EXPECT_EQ(Rows(), names);
}

}  // namespace
}  // namespace tavrin::test
