#include "app/FileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace tavrin {

namespace {

std::optional<FileDialogAnswer> Run(QWidget* owner, const FileDialogRequest& request,
                                    QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(request.multipleFiles ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
        // Replacing an existing file is asked by nobody: the job-list file is rewritten as is.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex));
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileDialogAnswer answer;
    // Qt answers with forward slashes everywhere; the list shows Windows names as Windows writes
    // them.
    for (const QString& file : dialog.selectedFiles())
        answer.files.push_back(QDir::toNativeSeparators(file));
    answer.filterIndex = std::max<int>(0, request.filters.indexOf(dialog.selectedNameFilter()));
    return answer;
}

}  // namespace

std::optional<FileDialogAnswer> QtFileDialogs::Open(QWidget* owner,
                                                    const FileDialogRequest& request) {
    return Run(owner, request, QFileDialog::AcceptOpen);
}

std::optional<FileDialogAnswer> QtFileDialogs::Save(QWidget* owner,
                                                    const FileDialogRequest& request) {
    return Run(owner, request, QFileDialog::AcceptSave);
}

QStringList QtFilters(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        const QString pattern = parts.at(i + 1).trimmed();
        if (description.isEmpty() && pattern.isEmpty())
            continue;
        QStringList patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& one : patterns) {
            if (one == QLatin1String("*.*"))
                one = QStringLiteral("*");
        }
        const QString bracketed = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (description.endsWith(bracketed))
            description.chop(bracketed.size());
        filters << description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

}  // namespace tavrin
