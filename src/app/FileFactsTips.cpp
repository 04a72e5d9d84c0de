// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileFactsTips.h"

#include <QCoreApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QToolTip>
#include <utility>

#include "app/QtText.h"
#include "widgets/DataGrid.h"

namespace tavrin {

namespace {
constexpr int kFileNameColumn = 0;
}  // namespace

FileFactsTips::FileFactsTips(TDataGrid& grid)
    : grid_(grid), cache_([this](const std::string&) {
          if (tipAsked_.exchange(false)) {
              QMetaObject::invokeMethod(
                  this, [this] { RefreshShownTip(); }, Qt::QueuedConnection);
          }
      }) {
    grid_.Grid().addListener(this);
    grid_.SetCellHint([this](int col, int row) { return Hint(col, row); });
}

FileFactsTips::~FileFactsTips() {
    grid_.SetCellHint(nullptr);
    grid_.Grid().removeListener(this);
}

void FileFactsTips::cellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) {
    // Names are written one cell at a time; a range of cells is rows moving, whose names are
    // known already.
    if (firstCol != kFileNameColumn || lastCol != kFileNameColumn || firstRow != lastRow ||
        firstRow < grid_.Grid().fixedRows())
        return;
    const std::string& name = grid_.Grid().cellRef(kFileNameColumn, firstRow);
    if (name.empty())
        return;
    if (toHandOver_.empty())
        QMetaObject::invokeMethod(
            this, [this] { HandOver(); }, Qt::QueuedConnection);
    toHandOver_.push_back(name);
}

void FileFactsTips::HandOver() {
    cache_.Request(std::exchange(toHandOver_, {}));
}

QString FileFactsTips::Hint(int col, int row) {
    const GridModel& grid = grid_.Grid();
    if (col != kFileNameColumn || row < grid.fixedRows())
        return {};
    const std::string& name = grid.cellRef(col, row);
    if (name.empty())
        return {};
    // Before the cache is asked: a reading that ends after that shows its text.
    tipAsked_ = true;
    const std::optional<std::string> text = cache_.Text(name);
    cache_.Request({name});
    return text ? ToQt(*text) : QString::fromUtf8(kReading);
}

void FileFactsTips::RefreshShownTip() {
    QWidget* viewport = grid_.viewport();
    if (!QToolTip::isVisible() || !viewport->isVisible())
        return;
    const QPoint global = QCursor::pos();
    const QPoint local = viewport->mapFromGlobal(global);
    if (!viewport->rect().contains(local))
        return;
    QHelpEvent event(QEvent::ToolTip, local, global);
    QCoreApplication::sendEvent(viewport, &event);
}

}  // namespace tavrin
