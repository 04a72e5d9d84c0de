// The main window's commands: printing, the printer box, the queue, the temp folder, the
// printers by address and Abort.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "app/AddressedPrintersDialog.h"
#include "app/QueueWindow.h"
#include "app/TavrinUnit.h"
#include "platform/Error.h"
#include "printers/AddressedPrinters.h"
#include "printers/QueueManagement.h"
#include "settings/AddressedPrinterSettings.h"
#include "settings/GuardSettings.h"
#include "spool/DeviceGuard.h"
#include "spool/Session.h"

namespace tavrin {

void TTavrinForm::OKPrintClick() {
    // Asked here, not when a scheduled run starts, so that an unattended start never waits.
    if (SendToWrongDeviceAnyway())
        session_->OKPrintClick();
}

bool TTavrinForm::SendToWrongDeviceAnyway() {
    if (!wrongDeviceGuard1_->isChecked())
        return true;
    std::vector<std::string> files;
    for (int row = 1; row <= session_->jobList().FileCount(); ++row)
        files.push_back(StringGrid1().cell(0, row));
    const std::vector<WrongDeviceFile> flagged = FilesForWrongDevice(
        session_->printers().DeviceClass(), session_->printers().DeviceFormats(), files);
    if (flagged.empty())
        return true;
    QString text = ToQt(FormatMessage(kWrongDeviceHeading, session_->printers().PrinterName()));
    for (const WrongDeviceFile& file : flagged)
        text += QLatin1Char('\n') + ToQt(WrongDeviceLine(file));
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text,
                    QMessageBox::NoButton, isVisible() ? this : nullptr);
    box.setObjectName(QStringLiteral("WrongDeviceQuestion"));
    QPushButton* send = box.addButton(QStringLiteral("Send anyway"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == send;
}

void TTavrinForm::WrongDeviceGuard1Click() {
    const bool on = wrongDeviceGuard1_->isChecked();
    try {
        WriteWrongDeviceGuard(location_, on);
    } catch (...) {
        // Not written: the check mark stays as the settings have it.
        wrongDeviceGuard1_->setChecked(!on);
        throw;
    }
}

void TTavrinForm::PrinterListChange() {
    session_->PrinterListChange(printerList_->currentIndex());
}

void TTavrinForm::Abort1Click() {
    // When the settings cannot be written the window stays, and so does the program.
    if (!close())
        return;
    // A run in progress (this command came between two of its files) still ends first: the
    // event loop returns only when the run hands control back to it.
    if (EndProgram)
        EndProgram();
}

void TTavrinForm::SetTempdir1Click() {
    folderBrowse1_.SetDirectory(session_->settings().TempFilesPath);
    if (folderBrowse1_.Execute(this))
        session_->settings().TempFilesPath = folderBrowse1_.Directory();
}

void TTavrinForm::ShowQ1Click() {
    const std::string printer = session_->printers().PrinterName();
    if (!QueueWindow::ShowPrinterQueue(spooler_, printer, this, watch_))
        ShowMessage(FormatMessage("Queue for Printer %s not available", printer));
}

void TTavrinForm::Pauseprinting1Click() {
    tavrin::Pauseprinting1Click(*this, spooler_, session_->printers().PrinterName());
}

void TTavrinForm::Resumeprinting1Click() {
    tavrin::Resumeprinting1Click(*this, spooler_, session_->printers().PrinterName());
}

void TTavrinForm::ClearQueu1Click() {
    tavrin::ClearQueu1Click(*this, spooler_, session_->printers().PrinterName());
}

void TTavrinForm::KeepPrintersByAddressIn(AddressedPrinters& printers) {
    byAddress_ = &printers;
    printersByAddress1_->setEnabled(true);
}

void TTavrinForm::PrintersByAddress1Click() {
    if (!byAddress_)
        return;
    if (!printersByAddress_) {
        printersByAddress_ = new AddressedPrintersDialog(this, [this](const QString& text) {
            if (MessageBox)
                MessageBox(text);
        });
        printersByAddress_->OnAccept = [this](const std::vector<AddressedPrinter>& printers) {
            StorePrintersByAddress(printers);
        };
    }
    // The names the queues take: the printer list without the printers by address.
    const std::vector<AddressedPrinter> printers = byAddress_->Printers();
    std::vector<std::string> queues;
    for (const std::string& name : session_->printers().Printers()) {
        if (std::none_of(printers.begin(), printers.end(), [&name](const AddressedPrinter& p) {
                return (p.name.empty() ? p.address : p.name) == name;
            }))
            queues.push_back(name);
    }
    printersByAddress_->Edit(printers, std::move(queues));
}

void TTavrinForm::StorePrintersByAddress(const std::vector<AddressedPrinter>& printers) {
    // An unchanged list is not written: the section comes with the first printer added.
    if (printers == byAddress_->Printers())
        return;
    WriteAddressedPrinters(location_, printers);
    byAddress_->SetPrinters(printers);
    if (printersListed_)
        ListPrintersAgain();
    else
        listAgainWhenAnswered_ = true;
}

void TTavrinForm::ListPrintersAgain() {
    PrinterSelection& printers = session_->printers();
    const int before = printers.PrinterIndex();
    const std::string selected =
        before >= 0 && before < static_cast<int>(printers.Printers().size())
            ? printers.Printers()[static_cast<std::size_t>(before)]
            : std::string();
    printers.ReadCatalogue();
    const auto& names = printers.Printers();
    const auto kept = std::find(names.begin(), names.end(), selected);
    // The printer may have a new address or class, so it is classified afresh.
    session_->PrinterListChange(kept == names.end() ? 0 : static_cast<int>(kept - names.begin()));
    FillPrinterList();
}

void TTavrinForm::AddHandedOverFiles(const std::vector<std::string>& names) {
    if (names.empty())
        return;
    Guarded([&] { session_->AddFiles(names); });
}

}  // namespace tavrin
