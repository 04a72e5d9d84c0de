// The main window's commands: printing, the printer box and the options, the queue, the temp
// folder, the printers by address and Abort.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "app/AddressedPrintersDialog.h"
#include "app/PrintButtonCaptions.h"
#include "app/QueueWindow.h"
#include "app/TavrinUnit.h"
#include "platform/Error.h"
#include "printers/AddressedPrinters.h"
#include "printers/QueueManagement.h"
#include "settings/AddressedPrinterSettings.h"
#include "settings/GuardSettings.h"
#include "settings/SettingsStartup.h"
#include "spool/DeviceGuard.h"
#include "widgets/DataGrid.h"
#include "widgets/JobListGrid.h"

namespace tavrin {

void TTavrinForm::OKPrintClick() {
    if (runUnderWay_)
        return;
    // Asked here, not when a scheduled run starts, so that an unattended start never waits.
    if (!SendToWrongDeviceAnyway())
        return;
    const bool noFile = jobs_.Read([](const JobList& list) {
        return list.FileCount() == 0 || list.Rows().front().file.empty();
    });
    if (noFile)
        return;
    if (!schedule_->isChecked()) {
        timer1_->stop();
        StartRun(false);
    } else {
        ArmScheduledStart();
    }
}

bool TTavrinForm::SendToWrongDeviceAnyway() {
    if (!wrongDeviceGuard1_->isChecked())
        return true;
    std::vector<std::string> files;
    const JobList list = jobs_.Get();
    for (const JobRow& row : list.Rows())
        files.push_back(row.file);
    const std::vector<WrongDeviceFile> flagged =
        FilesForWrongDevice(printers_->DeviceClass(), printers_->DeviceFormats(), files);
    if (flagged.empty())
        return true;
    QString text = ToQt(FormatMessage(kWrongDeviceHeading, printers_->PrinterName()));
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
    ChoosePrinter(printerList_->currentIndex());
}

void TTavrinForm::ChoosePrinter(int index) {
    if (printers_->Choose(index)) {
        ApplyOptionSteps(
            OptionsForDevice(ClassOf(printers_->DeviceClass()), smartReplots_->isChecked()));
        panels_[status_panel::kPrinter]->setText(
            ToQt(printers_->PrinterPanelText(printertype1_->isChecked())));
        ApplyOptionSteps(OptionsAfterPrinterChosen(jobAsSet_->isChecked(), SelectedIsPostScript()));
    }
    values_.plain.PrinterIndex = printers_->PrinterIndex();
}

bool TTavrinForm::SelectedIsPostScript() const {
    return ClassOf(printers_->DeviceClass()) == DeviceKind::PostScript;
}

void TTavrinForm::ApplyOptionSteps(const OptionSteps& steps) {
    for (const OptionStep& step : steps) {
        QWidget* widget = nullptr;
        QAbstractButton* button = nullptr;
        switch (step.box) {
            case OptionBox::Group:
                widget = groupBox3_;
                break;
            case OptionBox::DeviceCopies:
                widget = button = smartReplots_;
                break;
            case OptionBox::QualityOnPlotter:
                widget = button = removeQL_;
                break;
            case OptionBox::Collate:
                widget = button = psCollate_;
                break;
            case OptionBox::FitToPage:
                widget = button = fitToPage_;
                break;
            case OptionBox::CopiesLabel:
                widget = label3_;
                break;
        }
        switch (step.change) {
            case OptionStep::Change::Caption:
                if (button)
                    button->setText(ToQt(step.caption));
                else if (step.box == OptionBox::Group)
                    groupBox3_->setTitle(ToQt(step.caption));
                else
                    label3_->setText(ToQt(step.caption));
                break;
            case OptionStep::Change::Visible:
                widget->setVisible(step.on);
                break;
            case OptionStep::Change::Enabled:
                widget->setEnabled(step.on);
                break;
            case OptionStep::Change::Checked:
                // A changed check runs the box's own handler, with the steps that follow it.
                if (button)
                    button->setChecked(step.on);
                break;
        }
    }
}

void TTavrinForm::Printertype1Click() {
    printertype1_->setChecked(true);
    portinStatusbar1_->setChecked(false);
    QLabel* panel = panels_[status_panel::kPrinter];
    panel->setText(QString());
    panel->setText(ToQt(printers_->ProbedTypeText()));
}

void TTavrinForm::PortinStatusbar1Click() {
    printertype1_->setChecked(false);
    portinStatusbar1_->setChecked(true);
    QLabel* panel = panels_[status_panel::kPrinter];
    panel->setText(QString());
    panel->setText(ToQt(printers_->PrinterPanelText(false)));
}

void TTavrinForm::SmartReplotsClick() {
    ApplyOptionSteps(OptionsForDeviceCopies(smartReplots_->isChecked(), SelectedIsPostScript()));
}

void TTavrinForm::JobAsSetClick() {
    const bool set = jobAsSet_->isChecked();
    ShowCopiesColumnForSets(StringGrid1(), set);
    ApplyOptionSteps(OptionsForSetMode(set, SelectedIsPostScript()));
}

void TTavrinForm::PageSizeClick(PageSize size) {
    const int chosen = static_cast<int>(size);
    for (std::size_t i = 0; i < pageSizeItems_.size(); ++i)
        pageSizeItems_[i]->setChecked(static_cast<int>(i) == chosen);
    values_.plain.PSPageSize = PageSizeItemName(chosen);
    fitToPage_->setText(ToQt(FitToPageCaption(values_.plain.PSPageSize)));
}

void TTavrinForm::Clearafterspooling1Click() {
    PublishOptions();
}

void TTavrinForm::Reverseset1Click() {
    PublishOptions();
}

void TTavrinForm::Abort1Click() {
    // When the settings cannot be written the window stays, and so does the program.
    if (!close())
        return;
    // A run under way still ends first: the window waits for it before it goes.
    if (EndProgram)
        EndProgram();
}

void TTavrinForm::SetTempdir1Click() {
    folderBrowse1_.SetDirectory(values_.plain.TempFilesPath);
    if (folderBrowse1_.Execute(this))
        values_.plain.TempFilesPath = folderBrowse1_.Directory();
}

void TTavrinForm::ShowQ1Click() {
    const std::string printer = printers_->PrinterName();
    if (!QueueWindow::ShowPrinterQueue(spooler_, printer, this, watch_))
        ShowMessage(FormatMessage("Queue for Printer %s not available", printer));
}

// The queue commands act on the printer selected at the moment of the command, whichever printer
// an earlier pause or resume went to. Pause and resume swap the enabled states of their items
// before the command is sent, so the items follow the user's last choice even when the spooler
// refuses it.
void TTavrinForm::Pauseprinting1Click() {
    resumeprinting1_->setEnabled(true);
    pauseprinting1_->setEnabled(false);
    SendQueueCommand(spooler_, printers_->PrinterName(), QueueCommand::Pause);
}

void TTavrinForm::Resumeprinting1Click() {
    resumeprinting1_->setEnabled(false);
    pauseprinting1_->setEnabled(true);
    SendQueueCommand(spooler_, printers_->PrinterName(), QueueCommand::Resume);
}

// The button's enabled state, and so an armed start, is left as it is.
void TTavrinForm::ClearQueu1Click() {
    SendQueueCommand(spooler_, printers_->PrinterName(), QueueCommand::Purge);
    okPrint_->setText(QString::fromUtf8(kPrintCaptionAtStart));
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
            // A failure stays with the dialog, which says why and stays open.
            StorePrintersByAddress(printers);
            PublishOptions();
        };
    }
    // The names the queues take: the printer list without the printers by address.
    const std::vector<AddressedPrinter> printers = byAddress_->Printers();
    std::vector<std::string> queues;
    for (const std::string& name : printers_->Printers()) {
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
    const int before = printers_->PrinterIndex();
    const std::vector<std::string>& names = printers_->Printers();
    const std::string selected = before >= 0 && before < static_cast<int>(names.size())
                                     ? names[static_cast<std::size_t>(before)]
                                     : std::string();
    printers_->ReadCatalogue();
    const std::vector<std::string>& now = printers_->Printers();
    const auto kept = std::find(now.begin(), now.end(), selected);
    // The printer may have a new address or class, so it is classified afresh.
    ChoosePrinter(kept == now.end() ? 0 : static_cast<int>(kept - now.begin()));
    FillPrinterList();
}

void TTavrinForm::AddHandedOverFiles(const std::vector<std::string>& names) {
    if (names.empty())
        return;
    Guarded([&] { AddFiles(names); });
}

}  // namespace tavrin
