// Adding one batch of 10,000 names to the job list and removing 1,000 rows one by one, on the
// window's real TDataGrid (offscreen), painted after each step. Next to it: the same rows in a
// QStandardItemModel shown by a plain QTableView, what a Qt program would otherwise use.
#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "joblist/JobList.h"
#include "widgets/DataGrid.h"
#include "widgets/JobListGrid.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Figures {
    double batchMs = 0;
    double removeMs = 0;
};

std::vector<std::string> Names(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back("/home/drawings/project-" + std::to_string(i / 100) + "/sheet-" +
                        std::to_string(i) + ".plt");
    }
    return names;
}

Figures DataGrid(const std::vector<std::string>& names, int removals) {
    tavrin::TDataGrid grid;
    tavrin::LayOutJobListGrid(grid.Grid());
    grid.resize(504, 191);
    grid.show();
    QApplication::processEvents();
    // As the window does it: the list changed, then shown in the grid.
    tavrin::JobList list;
    list.SetPending(names, int(names.size()));
    Figures figures;
    auto start = Clock::now();
    list.AddBatch(tavrin::ListMode::New, 1);
    tavrin::ShowJobList(grid.Grid(), list);
    tavrin::FitNameColumn(grid.Grid());
    grid.repaint();
    QApplication::processEvents();
    figures.batchMs = Milliseconds(Clock::now() - start);
    start = Clock::now();
    for (int i = 0; i < removals; ++i) {
        list.Remove(0, tavrin::ListMode::New);
        tavrin::ShowJobList(grid.Grid(), list);
        tavrin::FitNameColumn(grid.Grid());
        grid.repaint();
    }
    QApplication::processEvents();
    figures.removeMs = Milliseconds(Clock::now() - start);
    return figures;
}

Figures StandardModel(const std::vector<std::string>& names, int removals) {
    QStandardItemModel model(29, 2);
    QTableView view;
    view.setModel(&model);
    view.resize(504, 191);
    view.show();
    QApplication::processEvents();
    Figures figures;
    auto start = Clock::now();
    model.setRowCount(0);
    model.setRowCount(int(names.size()));
    for (int r = 0; r < int(names.size()); ++r) {
        model.setItem(r, 0, new QStandardItem(QString::fromStdString(names[r])));
        model.setItem(r, 1, new QStandardItem(QStringLiteral("1")));
    }
    view.repaint();
    QApplication::processEvents();
    figures.batchMs = Milliseconds(Clock::now() - start);
    start = Clock::now();
    for (int i = 0; i < removals; ++i) {
        model.removeRow(0);
        view.repaint();
    }
    QApplication::processEvents();
    figures.removeMs = Milliseconds(Clock::now() - start);
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int kNames = BenchSize(10'000, 200);
    const int kRemovals = BenchSize(1'000, 20);
    const std::vector<std::string> names = Names(kNames);
    Figures grid{1e9, 1e9};
    Figures standard{1e9, 1e9};
    for (int run = 0; run < 3; ++run) {
        Figures g = DataGrid(names, kRemovals);
        grid = {std::min(grid.batchMs, g.batchMs), std::min(grid.removeMs, g.removeMs)};
        Figures s = StandardModel(names, kRemovals);
        standard = {std::min(standard.batchMs, s.batchMs), std::min(standard.removeMs, s.removeMs)};
    }
    std::printf("job list on screen, %d names, %d removals (best of 3, offscreen)\n", kNames,
                kRemovals);
    std::printf("%-40s %14s %16s\n", "", "batch (ms)", "per removal (us)");
    std::printf("%-40s %14.2f %16.2f\n", "JobList on TDataGrid", grid.batchMs,
                grid.removeMs * 1000 / kRemovals);
    std::printf("%-40s %14.2f %16.2f\n", "QStandardItemModel + QTableView", standard.batchMs,
                standard.removeMs * 1000 / kRemovals);
    std::printf("target: batch under 100 ms: %s\n", grid.batchMs < 100 ? "met" : "MISSED");
    return TargetExitCode(grid.batchMs < 100);
}
