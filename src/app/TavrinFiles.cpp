// The job list: files into it (the file dialog, a drop), its mode, rows and copy counts, and the
// job-list file commands.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>

#include "app/TavrinUnit.h"
#include "joblist/JobListFile.h"
#include "widgets/DataGrid.h"
#include "widgets/DropFileTarget.h"
#include "widgets/JobListGrid.h"
#include "widgets/SpinEdit.h"

namespace tavrin {

namespace {

std::vector<std::string> ToNames(const QStringList& files) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(files.size()));
    for (const QString& file : files)
        names.push_back(FromQt(file));
    return names;
}

// The folder part of a path, up to and including its last separator.
std::string FolderWithSeparator(const std::string& path) {
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("\\/");
#else
    const std::size_t slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void TTavrinForm::SelectFilesClick() {
    FileDialogRequest request;
    request.filters = QtFilters(QString::fromUtf8(kPlotFileFilter));
    request.filterIndex = plotFilterIndex_ - 1;
    request.folder = ToQt(values_.plain.PlotFilesPath);
    request.multipleFiles = true;
    const std::optional<FileDialogAnswer> answer = fileDialogs_->Open(this, request);
    // Emptied before every use, whatever the answer: a plot file is never remembered as the
    // job-list file that "View / print list" shows.
    openDialogFileName_.clear();
    if (!answer || answer->files.isEmpty())
        return;
    plotFilterIndex_ = answer->filterIndex + 1;
    std::vector<std::string> names = ToNames(answer->files);
    const std::string folder = FolderWithSeparator(names.front());
    AddFiles(std::move(names));
    values_.plain.PlotFilesPath = folder;
}

void TTavrinForm::DropFileTarget1Drop() {
    if (!addMode_->isChecked()) {
        jobs_.Change([](JobList& list) { list.Clear(); });
        ShowList();
    }
    AddFiles(dropFileTarget1_->Files());
}

void TTavrinForm::Savelisttofile1Click() {
    openDialogFileName_.clear();
    FileDialogRequest request;
    request.folder = ToQt(values_.plain.TempFilesPath);
    request.fileName = saveDialogFileName_;
    request.defaultSuffix = QString::fromUtf8(kJobListExtension);
    request.filters = QtFilters(QString::fromUtf8(kJobListFilter));
    const std::optional<FileDialogAnswer> answer = fileDialogs_->Save(this, request);
    if (!answer || answer->files.isEmpty())
        return;
    QString name = answer->files.front();
    if (QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + request.defaultSuffix;
    saveDialogFileName_ = name;
    SaveJobListFile(jobs_.Get(), FromQt(name));
}

void TTavrinForm::Openlistasfile1Click() {
    saveDialogFileName_.clear();
    FileDialogRequest request;
    request.folder = ToQt(values_.plain.TempFilesPath);
    request.fileName = openDialogFileName_;
    request.defaultSuffix = QString::fromUtf8(kJobListExtension);
    request.filters = QtFilters(QString::fromUtf8(kJobListFilter));
    request.multipleFiles = true;
    const std::optional<FileDialogAnswer> answer = fileDialogs_->Open(this, request);
    if (!answer || answer->files.isEmpty())
        return;
    openDialogFileName_ = answer->files.front();
    // A file that cannot be read leaves the list as it was.
    JobList opened = OpenJobListFile(FromQt(openDialogFileName_));
    const int batchCount = opened.BatchCount();
    jobs_.Change([&](JobList& list) {
        opened.SetPending(list.PendingFiles(), batchCount);
        list = std::move(opened);
    });
    ShowList();
    ShowFileCount(batchCount);
}

void TTavrinForm::Viewprintlist1Click() {
    QString shown;
    if (openDialogFileName_.isEmpty() && saveDialogFileName_.isEmpty()) {
        shown = ToQt(WriteViewListFile(jobs_.Get(), values_.plain.TempFilesPath));
    } else if (!openDialogFileName_.isEmpty()) {
        shown = openDialogFileName_;
    } else {
        shown = saveDialogFileName_;
    }
    if (OpenDocument)
        OpenDocument(shown);
}

void TTavrinForm::AddModeClick() {
    panels_[status_panel::kMode]->setText(QStringLiteral("Mode: add files to joblist"));
}

void TTavrinForm::RepModeClick() {
    panels_[status_panel::kMode]->setText(QStringLiteral("Mode: start a new joblist"));
}

void TTavrinForm::RemoveClick() {
    // The current row only, also when a range is selected.
    GridModel& grid = StringGrid1();
    const int index = grid.currentRow() - grid.fixedRows();
    const ListMode mode = Mode();
    const int files = jobs_.Change([&](JobList& list) {
        list.Remove(index, mode);
        return list.FileCount();
    });
    ShowList();
    ShowFileCount(files);
    FitNameColumn(grid);
}

void TTavrinForm::SpinEdit1Change() {
    const int copies = spinEdit1_->Value();
    jobs_.Change([copies](JobList& list) { list.SetEveryCount(copies); });
    ShowList();
}

}  // namespace tavrin
