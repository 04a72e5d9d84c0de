// The main window's commands: printing, the printer box, the queue, the temp folder and Abort.
#include <QApplication>
#include <QComboBox>

#include "app/QueueWindow.h"
#include "app/TavrinUnit.h"
#include "platform/Error.h"
#include "printers/QueueManagement.h"
#include "spool/Session.h"

namespace tavrin {

void TTavrinForm::OKPrintClick() {
    session_->OKPrintClick();
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

void TTavrinForm::AddHandedOverFiles(const std::vector<std::string>& names) {
    if (names.empty())
        return;
    Guarded([&] { session_->AddFiles(names); });
}

}  // namespace tavrin
