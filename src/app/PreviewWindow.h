// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <string>

#include "app/PreviewCache.h"
#include "widgets/GridModel.h"

class QLabel;

namespace tavrin {

class TDataGrid;

// The first page of the job list's current file, in a window beside the main window that
// follows the current row. The picture is drawn on the cache's worker, for the width the window
// has; under it one line says what the file is, or why it has no picture.
class PreviewWindow : public QWidget, public GridListener {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Preview";
    static constexpr const char* kNoFile = "No file selected";
    static constexpr const char* kDrawing = "Drawing the preview...";

    // Opens the preview window of `owner`, showing the current file of its job list `grid`
    // (which must outlive the window), or raises it when it is open already.
    static PreviewWindow* ShowFor(QWidget& owner, TDataGrid& grid);

    ~PreviewWindow() override;

    // The line under the picture, and the picture shown (a null image when none is).
    QLabel* Line() const { return line_; }
    const QImage& Picture() const;

    void rowCountChanged(int oldCount, int newCount) override;
    void layoutReset() override;
    void cellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) override;
    void currentCellChanged() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    class PaperView;

    PreviewWindow(TDataGrid& grid, QWidget* owner);
    // The grid changes in steps: its current file is looked at once they are done.
    void FollowSoon();
    void Follow();
    // Asks for the current file's picture at the width the window has now.
    void Ask();
    void ShowCurrent();
    int WantedWidth() const;

    // The grid may go first when the main window is torn down: its children go after its members.
    QPointer<TDataGrid> grid_;
    std::string name_;
    bool followQueued_ = false;
    PaperView* paper_ = nullptr;
    QLabel* line_ = nullptr;
    PreviewCache cache_;  // last: its worker calls back into this
};

}  // namespace tavrin
