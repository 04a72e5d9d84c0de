#include "widgets/FolderBrowse.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace tavrin {

TFolderBrowse::TFolderBrowse() : dialog_(&TFolderBrowse::RunFileDialog) {}

bool TFolderBrowse::Execute(QWidget* owner) {
    const std::optional<std::string> chosen = dialog_(owner, title_, directory_);
    if (!chosen || chosen->empty())
        return false;
    directory_ = *chosen;
    return true;
}

std::optional<std::string> TFolderBrowse::RunFileDialog(QWidget* owner, const std::string& title,
                                                        const std::string& startDirectory) {
    // Without a start folder the dialog opens at the desktop, or the home folder where there is
    // no desktop folder.
    QString start = QString::fromStdString(startDirectory);
    if (start.isEmpty()) {
        start = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (start.isEmpty() || !QDir(start).exists())
            start = QDir::homePath();
    }
    const QString chosen = QFileDialog::getExistingDirectory(owner, QString::fromStdString(title),
                                                             start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath()).toStdString();
}

}  // namespace tavrin
