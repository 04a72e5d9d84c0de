// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "printers/AddressedPrinters.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tavrin {

using ShowMessageText = std::function<void(const QString& text)>;

// Asks for one printer by address: its Address, a Name (optional; shown instead of the
// address) and, for a socket, which cannot be asked, the class of its device. Modal. "OK"
// hands the entry to OnEntered, which returns why it cannot be taken (empty when it can); a
// refused entry is shown in a message and stays in the form to be mended.
class AddressedPrinterForm : public QDialog {
    Q_OBJECT

public:
    explicit AddressedPrinterForm(QWidget* parent, ShowMessageText showMessage);

    // Shows the form with `printer` in its fields (empty ones for a new printer).
    void Ask(const QString& title, const AddressedPrinter& printer);
    // The fields, without blanks around the texts; no class for an IPP printer.
    AddressedPrinter Entered() const;

    std::function<std::string(const AddressedPrinter& entered)> OnEntered;

private:
    void OkClick();

    ShowMessageText showMessage_;
    QLineEdit* address_;
    QLineEdit* name_;
    QComboBox* deviceClass_;
};

// The printers reached at their own addresses, listed with name, address and device class,
// to be added, changed and removed. Modal. "OK" hands the list to OnAccept; a failure it
// raises is shown and the dialog stays open with the list as it is. "Cancel" forgets the
// changes.
class AddressedPrintersDialog : public QDialog {
    Q_OBJECT

public:
    AddressedPrintersDialog(QWidget* mainWindow, ShowMessageText showMessage);

    // Shows `printers` for changing; no printer by address may take one of `queueNames`.
    void Edit(std::vector<AddressedPrinter> printers, std::vector<std::string> queueNames);

    std::function<void(const std::vector<AddressedPrinter>& printers)> OnAccept;

    AddressedPrinterForm* Form() const { return form_; }

private:
    // Lists the printers and selects row `current`.
    void ShowList(int current);
    int Selected() const;
    // Why `entered` cannot be taken in place of row `replacing` (-1: as a new one); empty when
    // it can.
    std::string Refusal(const AddressedPrinter& entered, int replacing) const;

    ShowMessageText showMessage_;
    std::vector<AddressedPrinter> printers_;
    std::vector<std::string> queueNames_;
    int editing_ = -1;
    QTreeWidget* list_;
    QPushButton* edit_;
    QPushButton* remove_;
    AddressedPrinterForm* form_;
};

}  // namespace tavrin
