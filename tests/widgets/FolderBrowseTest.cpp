#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>
#include <string>

#include "support/TestApplication.h"
#include "widgets/FolderBrowse.h"

namespace tavrin {
namespace {

struct DialogCall {
    QWidget* owner = nullptr;
    std::string title;
    std::string start;
};

TEST(FolderBrowse, AChosenFolderBecomesTheDirectory) {
    test::EnsureApplication();
    QWidget owner;
    TFolderBrowse browse;
    browse.SetDirectory("/var/tmp");
    DialogCall call;
    browse.SetDialog([&call](QWidget* o, const std::string& title, const std::string& start) {
        call = {o, title, start};
        return std::optional<std::string>("/home/plots");
    });
    EXPECT_TRUE(browse.Execute(&owner));
    EXPECT_EQ(browse.Directory(), "/home/plots");
    EXPECT_EQ(call.owner, &owner);
    EXPECT_EQ(call.start, "/var/tmp");
    EXPECT_EQ(call.title, "");
}

TEST(FolderBrowse, ACancelChangesNothing) {
    TFolderBrowse browse;
    browse.SetDirectory("/var/tmp");
    browse.SetTitle("Folder for temporary files");
    browse.SetDialog([](QWidget*, const std::string&, const std::string&) {
        return std::optional<std::string>();
    });
    EXPECT_FALSE(browse.Execute(nullptr));
    EXPECT_EQ(browse.Directory(), "/var/tmp");
    EXPECT_EQ(browse.Title(), "Folder for temporary files");

    browse.SetDialog([](QWidget*, const std::string&, const std::string&) {
        return std::optional<std::string>("");
    });
    EXPECT_FALSE(browse.Execute(nullptr));
    EXPECT_EQ(browse.Directory(), "/var/tmp");
}

// The real dialog: it opens at the directory, offers folders only, and hands back the full path
// of the folder the user accepts.
TEST(FolderBrowse, TheFileDialogStartsAtTheDirectoryAndOffersFoldersOnly) {
    test::EnsureApplication();
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ASSERT_TRUE(QDir(temp.path()).mkdir("plots"));
    const QString start = temp.path() + "/plots";

    QString seenDirectory;
    QFileDialog::FileMode seenMode = QFileDialog::AnyFile;
    QString seenTitle;
    bool accept = true;
    auto answer = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seenDirectory = dialog->directory().absolutePath();
        seenMode = dialog->fileMode();
        seenTitle = dialog->windowTitle();
        if (accept) {
            static_cast<QDialog*>(dialog)->accept();
        } else {
            dialog->reject();
        }
    };

    TFolderBrowse browse;
    browse.SetDirectory(start.toStdString());
    browse.SetTitle("Temporary files");
    QTimer::singleShot(0, answer);
    EXPECT_TRUE(browse.Execute(nullptr));
    EXPECT_EQ(seenDirectory, QDir(start).absolutePath());
    EXPECT_EQ(seenMode, QFileDialog::Directory);
    EXPECT_EQ(seenTitle, "Temporary files");
    EXPECT_EQ(browse.Directory(), QDir(start).absolutePath().toStdString());

    // Without a directory it opens at the desktop folder, or at home where there is none.
    accept = false;
    browse.SetDirectory("");
    QTimer::singleShot(0, answer);
    EXPECT_FALSE(browse.Execute(nullptr));
    EXPECT_TRUE(seenDirectory == QDir::homePath() ||
                seenDirectory == QStandardPaths::writableLocation(QStandardPaths::DesktopLocation))
        << seenDirectory.toStdString();
    EXPECT_EQ(browse.Directory(), "");

    browse.SetDirectory(temp.path().toStdString());
    QTimer::singleShot(0, answer);
    EXPECT_FALSE(browse.Execute(nullptr));
    EXPECT_EQ(browse.Directory(), temp.path().toStdString());
}

}  // namespace
}  // namespace tavrin
