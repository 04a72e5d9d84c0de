#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace tavrin {

// Lets the user choose a folder: the dialog starts at Directory, offers folders only, and on a
// choice puts its full path into Directory.
class TFolderBrowse {
public:
    // Runs the folder dialog modally over `owner`; the chosen folder's full path, or none when
    // the user cancels.
    using FolderDialog = std::function<std::optional<std::string>(
        QWidget* owner, const std::string& title, const std::string& startDirectory)>;

    TFolderBrowse();

    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& directory) { directory_ = directory; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }

    // True when a folder was chosen; a cancel leaves Directory as it was.
    bool Execute(QWidget* owner);

    void SetDialog(FolderDialog dialog) { dialog_ = std::move(dialog); }

    // QFileDialog for existing directories.
    static std::optional<std::string> RunFileDialog(QWidget* owner, const std::string& title,
                                                    const std::string& startDirectory);

private:
    std::string directory_;
    std::string title_;
    FolderDialog dialog_;
};

}  // namespace tavrin
