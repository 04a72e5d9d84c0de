// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "hotfolder/HotFolderSettings.h"
#include "printers/DeviceClass.h"
#include "printers/OptionRules.h"
#include "widgets/FolderBrowse.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace tavrin {

// The class of a printer of the window's list, by its name there.
using PrinterKindOf = std::function<DeviceKind(const std::string& printer)>;

// Asks for one hot folder: the folder (typed, or chosen with "Browse..."), the printer its files
// go to, the copies and the options the printer's class offers, ticked and greyed by the same
// rules as the main window's boxes, the settle time, and whether to look only. Modal. "OK" hands
// the entry to OnEntered, which returns why it cannot be taken (empty when it can); a refused
// entry is shown in a message and stays in the form to be mended.
class HotFolderForm : public QDialog {
    Q_OBJECT

public:
    HotFolderForm(QWidget* parent, std::function<void(const QString& text)> showMessage,
                  PrinterKindOf kindOf);

    // Shows the form with `folder` in its fields, its printer chosen among `printers` (added to
    // them when it is not one of them).
    void Ask(const QString& title, const HotFolder& folder,
             const std::vector<std::string>& printers);
    // The fields; an option counts only where the printer's class offers it.
    HotFolder Entered() const;

    std::function<std::string(const HotFolder& entered)> OnEntered;
    // The folder chooser of "Browse..."; tests give it a dialog of their own.
    TFolderBrowse& Browse() { return browse_; }

private:
    void PrinterChosen();
    void Ticked(OptionBox box, bool checked);
    // The boxes as the rules have them.
    void ShowBoxes();
    // Whether the printer's class offers the box, and whether it is ticked and offered.
    bool Offered(OptionBox box) const;
    bool Chosen(OptionBox box) const;
    void OkClick();

    std::function<void(const QString& text)> showMessage_;
    PrinterKindOf kindOf_;
    std::map<std::string, DeviceKind> kinds_;  // asked once a showing
    OptionBoxes boxes_;
    TFolderBrowse browse_;
    QLineEdit* path_;
    QComboBox* printer_;
    QSpinBox* copies_;
    QGroupBox* options_;
    QCheckBox* deviceCopies_;
    QCheckBox* quality_;
    QCheckBox* collate_;
    QCheckBox* fit_;
    QComboBox* page_;
    QSpinBox* settle_;
    QCheckBox* lookOnly_;
};

// The hot folders, listed with folder, printer, copies and options, to be added, changed and
// removed. Modal. "OK" hands the list to OnAccept; a failure it raises is shown and the dialog
// stays open with the list as it is. "Cancel" forgets the changes.
class HotFoldersDialog : public QDialog {
    Q_OBJECT

public:
    HotFoldersDialog(QWidget* mainWindow, std::function<void(const QString& text)> showMessage,
                     PrinterKindOf kindOf);

    // Shows the folders of `settings` for changing, each on one of `printers`; the entries the
    // settings could not read are told in one message.
    void Edit(const HotFolderSettings& settings, std::vector<std::string> printers);

    std::function<void(const std::vector<HotFolder>& folders)> OnAccept;

    HotFolderForm* Form() const { return form_; }

protected:
    // The dialog goes when the window closes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowList(int current);
    int Selected() const;
    std::string Refusal(const HotFolder& entered, int replacing) const;

    std::function<void(const QString& text)> showMessage_;
    std::vector<HotFolder> folders_;
    std::vector<std::string> printers_;
    int editing_ = -1;
    QTreeWidget* list_;
    QPushButton* edit_;
    QPushButton* remove_;
    HotFolderForm* form_;
};

// What the list says of a folder's options: "copies by the device, fit to A4, settle 5 s".
std::string OptionsText(const HotFolder& folder);

}  // namespace tavrin
