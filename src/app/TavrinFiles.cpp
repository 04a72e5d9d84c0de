// Files into the job list (the file dialog, a drop) and the job-list file commands.
#include <QDir>
#include <QFileInfo>
#include <QRadioButton>

#include "app/TavrinUnit.h"
#include "joblist/JobListFile.h"
#include "spool/Session.h"
#include "widgets/DataGrid.h"
#include "widgets/DropFileTarget.h"

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
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void TTavrinForm::SelectFilesClick() {
    FileDialogRequest request;
    request.filters = QtFilters(QString::fromUtf8(kPlotFileFilter));
    request.filterIndex = plotFilterIndex_ - 1;
    request.folder = ToQt(session_->settings().PlotFilesPath);
    request.multipleFiles = true;
    const std::optional<FileDialogAnswer> answer = fileDialogs_->Open(this, request);
    // Emptied before every use, whatever the answer: a plot file is never remembered as the
    // job-list file that "View / print list" shows.
    openDialogFileName_.clear();
    if (!answer || answer->files.isEmpty())
        return;
    plotFilterIndex_ = answer->filterIndex + 1;
    const std::vector<std::string> names = ToNames(answer->files);
    session_->AddFiles(names);
    session_->settings().PlotFilesPath = FolderWithSeparator(names.front());
}

void TTavrinForm::DropFileTarget1Drop() {
    JobList& list = session_->jobList();
    if (!addMode_->isChecked())
        list.ClearJobList();
    session_->AddFiles(dropFileTarget1_->Files());
}

void TTavrinForm::Savelisttofile1Click() {
    openDialogFileName_.clear();
    FileDialogRequest request;
    request.folder = ToQt(session_->settings().TempFilesPath);
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
    SaveJobListFile(StringGrid1(), FromQt(name));
}

void TTavrinForm::Openlistasfile1Click() {
    saveDialogFileName_.clear();
    FileDialogRequest request;
    request.folder = ToQt(session_->settings().TempFilesPath);
    request.fileName = openDialogFileName_;
    request.defaultSuffix = QString::fromUtf8(kJobListExtension);
    request.filters = QtFilters(QString::fromUtf8(kJobListFilter));
    request.multipleFiles = true;
    const std::optional<FileDialogAnswer> answer = fileDialogs_->Open(this, request);
    if (!answer || answer->files.isEmpty())
        return;
    openDialogFileName_ = answer->files.front();
    JobList& list = session_->jobList();
    int fileCount = list.FileCount();
    int batchCount = list.BatchCount();
    OpenJobListFile(StringGrid1(), FromQt(openDialogFileName_), fileCount, batchCount,
                    StatusBar1());
    list.SetFileCount(fileCount);
    list.SetBatchCount(batchCount);
}

void TTavrinForm::Viewprintlist1Click() {
    QString shown;
    if (openDialogFileName_.isEmpty() && saveDialogFileName_.isEmpty()) {
        shown = ToQt(WriteViewListFile(StringGrid1(), session_->settings().TempFilesPath));
    } else if (!openDialogFileName_.isEmpty()) {
        shown = openDialogFileName_;
    } else {
        shown = saveDialogFileName_;
    }
    if (OpenDocument)
        OpenDocument(shown);
}

}  // namespace tavrin
