#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTimer>

#include "support/TempFolder.h"
#include "support/TestApplication.h"
#include "widgets/FolderBrowse.h"

namespace tavrin {
namespace {

TEST(FolderBrowse, OnlyAChosenFolderBecomesTheDirectory) {
    test::EnsureApplication();
    QWidget owner;
    TFolderBrowse browse;
    browse.SetDirectory("/var/tmp");
    const std::tuple<std::optional<std::string>, bool, std::string> rows[] = {
        {std::nullopt, false, "/var/tmp"},  // cancelled
        {"", false, "/var/tmp"},
        {"/home/plots", true, "/home/plots"},
    };
    for (const auto& [answer, chosen, directory] : rows) {
        std::string seen;  // owner, title and start directory the dialog was given
        browse.SetDialog([&](QWidget* o, const std::string& title, const std::string& start) {
            seen = (o == &owner ? "owner|" : "other|") + title + "|" + start;
            return answer;
        });
        EXPECT_EQ(browse.Execute(&owner), chosen) << directory;
        EXPECT_EQ(seen, "owner||/var/tmp");
        EXPECT_EQ(browse.Directory(), directory);
    }
}

// The real dialog: it opens at the directory, offers folders only, and hands back the full path
// of the folder the user accepts.
TEST(FolderBrowse, TheFileDialogStartsAtTheDirectoryAndOffersFoldersOnly) {
#ifdef _WIN32
    GTEST_SKIP()
        << "on Windows the folder dialog is the system's own (IFileDialog), which the test "
           "cannot reach through Qt's widgets";
#endif
    test::EnsureApplication();
    test::TempFolder temp;
    std::filesystem::create_directory(temp / "plots");
    const QString start = QString::fromStdString((temp / "plots").string());
    TFolderBrowse browse;
    browse.SetTitle("Temporary files");
    QString seen;  // the dialog's directory, file mode and title
    const auto run = [&](const QString& directory, bool accept) {
        browse.SetDirectory(directory.toStdString());
        QTimer::singleShot(0, [&, accept] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = dialog->directory().absolutePath() + '|' + QString::number(dialog->fileMode()) +
                   '|' + dialog->windowTitle();
            accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
        });
        return browse.Execute(nullptr);
    };
    EXPECT_TRUE(run(start, true));
    EXPECT_EQ(seen, QDir(start).absolutePath() + '|' + QString::number(QFileDialog::Directory) +
                        "|Temporary files");
    EXPECT_EQ(browse.Directory(), QDir(start).absolutePath().toStdString());

    // Without a directory it opens at the desktop folder, or at home where there is none.
    EXPECT_FALSE(run("", false));
    const QString opened = seen.section('|', 0, 0);
    EXPECT_TRUE(opened == QDir::homePath() ||
                opened == QStandardPaths::writableLocation(QStandardPaths::DesktopLocation))
        << opened.toStdString();
    EXPECT_EQ(browse.Directory(), "");
}

}  // namespace
}  // namespace tavrin
