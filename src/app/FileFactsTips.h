// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <string>
#include <vector>

#include "app/FileFactsCache.h"
#include "widgets/GridModel.h"

namespace tavrin {

class TDataGrid;

// What each file of the job list holds, as the tooltip of its Filename cell. Every name written
// into that column goes to a FileFactsCache, handed over once the window is back in its event
// loop, so that adding rows never waits for a file. Resting on a cell asks the cache again,
// which reads the file again only when it has changed.
class FileFactsTips : public QObject, public GridListener {
public:
    static constexpr const char* kReading = "Reading the file...";

    // The job list's grid, which must outlive this.
    explicit FileFactsTips(TDataGrid& grid);
    ~FileFactsTips() override;

    void cellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) override;

private:
    QString Hint(int col, int row);
    void HandOver();
    // A tooltip showing on the grid is asked for again: its file may have been read now.
    void RefreshShownTip();

    TDataGrid& grid_;
    std::vector<std::string> toHandOver_;
    // A tooltip has been asked for since the last file was read: it may show a text out of date.
    std::atomic<bool> tipAsked_{false};
    FileFactsCache cache_;  // last: its worker calls back into this
};

}  // namespace tavrin
