#include <QImage>
#include <QPainter>

#include <filesystem>

#include "DataGridTestSupport.h"
#include "support/TestPaths.h"
#include "widgets/PopupListbox.h"

namespace tavrin {
namespace {

// A small tile with a soft diagonal pattern, as a user's background picture would be.
QPixmap Tile() {
    QImage image(48, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            const int shade = 225 + ((x + y) % 24);
            image.setPixel(x, y, qRgb(shade - 20, shade - 5, std::min(shade + 6, 255)));
        }
    }
    return QPixmap::fromImage(image);
}

using ScreenshotTest = test::DataGridFixture;

TEST_F(ScreenshotTest, TitleRowPickListAndBackgroundImage) {
    grid.Columns(0).SetColor(Qt::white);
    grid.Columns(1).SetAlignment(TextAlignment::Right);
    grid.Columns(1).Title().SetAlignment(TextAlignment::Right);
    grid.Columns(1).SetDisplayMask("0.00");
    grid.Columns(2).Title().SetCaption("Paper");
    grid.Columns(2).SetPickList({"A4", "A3", "A2", "A1", "A0"});
    QFont bold = grid.font();
    bold.setBold(true);
    grid.Columns(0).Title().SetFont(bold, Qt::darkBlue);
    grid.Grid().setColWidth(0, 150);
    grid.Grid().setColWidth(1, 70);
    grid.Grid().setColWidth(2, 110);
    grid.SetBGImage(Tile());
    grid.resize(360, 220);

    TDataGridInplaceEdit* editor = Edit(2, 2);
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(editor->ListVisible());
    QApplication::processEvents();
    // Showing the list leaves the editor open, with the focus.
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->hasFocus());

    // The list is a window of its own: put it where it shows on the screen.
    const QPixmap shot = grid.grab();
    TPopupListbox* list = editor->PickList();
    const QPoint listAt = list->mapToGlobal(QPoint(0, 0)) - grid.mapToGlobal(QPoint(0, 0));
    QPixmap canvas(std::max(shot.width(), listAt.x() + list->width()),
                   std::max(shot.height(), listAt.y() + list->height()));
    canvas.fill(Qt::lightGray);
    QPainter painter(&canvas);
    painter.drawPixmap(0, 0, shot);
    painter.drawPixmap(listAt, list->grab());
    painter.end();

    const std::filesystem::path file = test::OutputDir() / "data_grid.png";
    ASSERT_TRUE(canvas.save(QString::fromStdString(file.string())));
    EXPECT_TRUE(std::filesystem::file_size(file) > 0);

    // The area below the last row shows the image, not the plain window colour.
    const QImage image = shot.toImage();
    const QColor below = image.pixelColor(20, shot.height() - 8);
    EXPECT_NE(below, QColor(Qt::white));
    // The number column draws its mask.
    EXPECT_EQ(grid.Grid().cell(1, 3), "3");
}

}  // namespace
}  // namespace tavrin
