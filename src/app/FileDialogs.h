#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

namespace tavrin {

// What a file dialog is asked to show. `filters` are in Qt's form ("Description (*.ext)");
// `filterIndex` is 0-based and tells which one is selected when the dialog opens.
struct FileDialogRequest {
    QString folder;
    QString fileName;
    QStringList filters;
    int filterIndex = 0;
    QString defaultSuffix;
    bool multipleFiles = false;
};

// What the user confirmed: the chosen files as full paths, in the dialog's order, and the filter
// that was selected when the dialog closed (0-based).
struct FileDialogAnswer {
    QStringList files;
    int filterIndex = 0;
};

// The platform's file open and save dialogs, run modally over `owner`. Nothing when the user
// cancels. Tests put a scripted version in its place.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<FileDialogAnswer> Open(QWidget* owner,
                                                 const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogAnswer> Save(QWidget* owner,
                                                 const FileDialogRequest& request) = 0;
};

// QFileDialog.
class QtFileDialogs : public FileDialogs {
public:
    std::optional<FileDialogAnswer> Open(QWidget* owner, const FileDialogRequest& request) override;
    std::optional<FileDialogAnswer> Save(QWidget* owner, const FileDialogRequest& request) override;
};

// Turns a filter text of "description|pattern|" pairs into Qt's filter list. A pattern that
// the description ends with in brackets is not repeated; "*.*" (every file) becomes "*", since
// on this platform file names need no dot.
QStringList QtFilters(const QString& pairs);

}  // namespace tavrin
