#include "app/TavrinUnit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <utility>

#include "app/AddressedPrintersDialog.h"
#include "app/ErrorBox.h"
#include "app/FileFactsTips.h"
#include "app/GlyphIcon.h"
#include "app/Over.h"
#include "app/PreviewWindow.h"
#include "app/QueueWindow.h"
#include "app/Stelin.h"
#include "platform/Error.h"
#include "settings/GuardSettings.h"
#include "settings/SettingsStartup.h"
#include "widgets/DataGrid.h"
#include "widgets/DropFileTarget.h"
#include "widgets/ErrorReport.h"
#include "widgets/IntegerEdit.h"
#include "widgets/JobListGrid.h"
#include "widgets/SpinEdit.h"

namespace tavrin {

// The user's edits of copy counts in the grid go into the job list, where a run reads them.
class TTavrinForm::CopiesEdits final : public GridListener {
public:
    explicit CopiesEdits(TTavrinForm& form) : form_(form) {}
    void cellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) override {
        if (firstCol <= job_grid::kCopiesColumn && job_grid::kCopiesColumn <= lastCol)
            form_.CopiesEdited(firstRow, lastRow);
    }

private:
    TTavrinForm& form_;
};

namespace {

// Writes an edit's number only when it is another: a change runs the edit's change handler.
void SetValueIfOther(TIntegerEdit& edit, int value) {
    if (edit.Value() != value)
        edit.SetValue(value);
}

}  // namespace

TTavrinForm::TTavrinForm(PrintSpooler& spooler, DeviceProbe& probe, const Clock& clock,
                         SettingsLocation location, QWidget* parent, PrinterListing listing,
                         RunPrintServerFactory runServer)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      spooler_(spooler),
      probe_(probe),
      clock_(clock),
      location_(std::move(location)),
      runServer_(std::move(runServer)),
      printersPending_(listing == PrinterListing::WhenAnswered),
      printersListed_(listing == PrinterListing::AtCreate) {
    setObjectName(QStringLiteral("TavrinForm"));
    setWindowTitle(QString::fromUtf8(kCaption));
    setWindowIcon(GlyphIcon(":/tavrin/resources/tavrin.png"));
    MessageBox = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                        isVisible() ? this : nullptr);
        box.exec();
    };
    EndProgram = [] { QCoreApplication::quit(); };
    OpenDocument = [](const QString& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    SetErrorReport([this](const Error& error) { ShowError(ReportText(error)); });

    // The menus need no font measures, so they are made while the font database may still be
    // loading on a worker (see RunTavrin); the controls are made once the font is chosen.
    CreateMenus();
    ChooseFont();
    CreateControls();
    fileFactsTips_ = std::make_unique<FileFactsTips>(*stringGrid1_);
    copiesEdits_ = std::make_unique<CopiesEdits>(*this);
    StringGrid1().addListener(copiesEdits_.get());
    SetTabOrder();
    // The printer list is read here, unless it waits for the print server's answer; the
    // controls exist by now.
    printers_ = printersPending_ ? std::make_unique<PrinterSelection>(spooler_, probe_,
                                                                      PrinterSelection::ReadLater{})
                                 : std::make_unique<PrinterSelection>(spooler_, probe_);
    ConnectHandlers();
    setFixedSize(sizeHint());
    PublishOptions();
}

TTavrinForm::~TTavrinForm() {
    open_ = false;
    if (run_.joinable())
        run_.join();
    StringGrid1().removeListener(copiesEdits_.get());
    SetErrorReport(nullptr);
    if (watch_)
        watch_->SetListener({});
    // The window's drop registration is withdrawn before the window goes.
    if (dropFileTarget1_) {
        try {
            dropFileTarget1_->Unregister();
        } catch (const Error&) {
            // Already withdrawn: nothing is left to undo.
        }
    }
}

void TTavrinForm::FormCreate() {
    Guarded([this] {
        StartedSettings started = StartSettings(location_, pos().x(), pos().y());
        values_ = std::move(started.values);
        firstRun_ = started.firstRun;
        ShowStartedSettings(values_);
        move(values_.plain.xpos, values_.plain.ypos);

        if (printersPending_) {
            // Kept as stored until the list is there, also when the window closes before that.
            printers_->SetPrinterIndex(values_.plain.PrinterIndex);
        } else if (!printers_->SelectStartupPrinter(values_.plain.PrinterIndex)) {
            ShowMessage(PrinterSelection::kNoPrinterInstalled);
        }
        GridModel& grid = StringGrid1();
        grid.columnAt(job_grid::kNameColumn).title().setCaption("Filename");
        grid.columnAt(job_grid::kCopiesColumn).title().setCaption("Copies");
        FillEmptyTempFilesPath(location_, values_.plain);
        ShowFileCount(jobs_.Read([](const JobList& list) { return list.BatchCount(); }));
        if (!printersPending_)
            ClassifyAtStartup();
        psCollate_->setEnabled(false);
        if (addMode_->isChecked()) {
            AddModeClick();
        } else {
            RepModeClick();
        }
    });
    Guarded([this] { wrongDeviceGuard1_->setChecked(ReadWrongDeviceGuard(location_)); });
    FillPrinterList();
}

void TTavrinForm::ShowStartedSettings(const StoredSettings& values) {
    // Each change runs the control's own handler, as a user's would.
    if (values.AddMode)
        addMode_->setChecked(true);
    clearafterspooling1_->setChecked(values.ClearAfterSpool);
    printertype1_->setChecked(values.ShowPrinterType);
    reverseset1_->setChecked(values.ReverseSet);
    SetValueIfOther(*uur_, values.Hours);
    SetValueIfOther(*minuut_, values.Minutes);
    if (!printertype1_->isChecked())
        portinStatusbar1_->setChecked(true);
    ShowPageSize(values.plain.PSPageSize);
}

void TTavrinForm::ShowPageSize(const std::string& name) {
    if (const std::optional<int> item = PageSizeItemNamed(name)) {
        for (std::size_t i = 0; i < pageSizeItems_.size(); ++i)
            pageSizeItems_[i]->setChecked(static_cast<int>(i) == *item);
    }
    fitToPage_->setText(ToQt(FitToPageCaption(name)));
}

void TTavrinForm::ClassifyAtStartup() {
    if (printers_->Printers().empty())
        return;
    printers_->Choose(printers_->PrinterIndex());
    ApplyOptionSteps(
        OptionsForDevice(ClassOf(printers_->DeviceClass()), smartReplots_->isChecked()));
    panels_[status_panel::kPrinter]->setText(
        ToQt(printers_->PrinterPanelText(printertype1_->isChecked())));
}

void TTavrinForm::PrintersAnswered() {
    Guarded([this] {
        if (!std::exchange(printersPending_, false))
            return;
        printers_->ReadCatalogue();
        if (printers_->SelectStartupPrinter(values_.plain.PrinterIndex)) {
            ClassifyAtStartup();
        } else {
            ShowMessage(PrinterSelection::kNoPrinterInstalled);
        }
        psCollate_->setEnabled(false);
    });
    FillPrinterList();
    printersListed_ = true;
    // The answers were asked for with the printers by address as they were at the start.
    if (std::exchange(listAgainWhenAnswered_, false))
        Guarded([this] { ListPrintersAgain(); });
}

void TTavrinForm::FillPrinterList() {
    const QSignalBlocker blocker(printerList_);
    printerList_->clear();
    for (const std::string& name : printers_->Printers())
        printerList_->addItem(ToQt(name));
    printerList_->setCurrentIndex(printerList_->count() > 0 ? printers_->PrinterIndex() : -1);
}

void TTavrinForm::CreateDialogs() {
    if (!overTavrin_) {
        overTavrin_ = new TOverTavrin(this);
        overTavrin_->hide();
    }
    if (!configure_) {
        configure_ = new TConfigure(this, values_.plain);
        // The run reads the values from the options.
        configure_->OnStored = [this] { PublishOptions(); };
        configure_->hide();
    }
}

void TTavrinForm::ShowFirst(std::vector<std::string> longNames) {
    if (firstRun_) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    okPrint_->setFocus();
    show();
    Guarded([&] {
        const int count = static_cast<int>(longNames.size());
        const ListMode mode = Mode();
        const int copies = spinEdit1_->Value();
        jobs_.Change([&](JobList& list) {
            list.SetPending(std::move(longNames), count > 0 ? count : list.BatchCount());
            if (count > 0)
                list.AddBatch(mode, copies);
        });
        if (count > 0)
            ShowAddedBatch();
        label2_->setVisible(false);
        label4_->setVisible(false);
        uur_->setVisible(false);
        minuut_->setVisible(false);
        resumeprinting1_->setEnabled(false);
    });
}

GridModel& TTavrinForm::StringGrid1() {
    return stringGrid1_->Grid();
}

std::string TTavrinForm::Panel(int index) const {
    if (index < 0 || index >= status_panel::kCount)
        return {};
    return FromQt(panels_[static_cast<std::size_t>(index)]->text());
}

void TTavrinForm::ShowMessage(const std::string& text) {
    // Message texts break their lines with a carriage return.
    QString shown = ToQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (MessageBox)
        MessageBox(shown);
}

void TTavrinForm::ShowError(const std::string& text) {
    ShowMessage(text);
}

void TTavrinForm::Guarded(const std::function<void()>& handler) {
    RunGuarded(handler, [this](const std::string& text) { ShowError(text); });
    PublishOptions();
}

void TTavrinForm::PublishOptions() {
    SpoolChoices choices;
    choices.deviceCopies = smartReplots_->isChecked();
    choices.qualityOnPlotter = removeQL_->isChecked();
    choices.collate = psCollate_->isChecked();
    choices.fitToPage = fitToPage_->isChecked();
    choices.pageSize.reset();
    for (std::size_t i = 0; i < pageSizeItems_.size() && !choices.pageSize; ++i) {
        if (pageSizeItems_[i]->isChecked())
            choices.pageSize = static_cast<PageSize>(i);
    }
    choices.jobAsSet = jobAsSet_->isChecked();
    choices.clearAfterSpooling = clearafterspooling1_->isChecked();
    choices.reverseSet = reverseset1_->isChecked();
    choices.globalCopies = spinEdit1_->Value();
    choices.fromStart = values_.plain.FromStart;
    choices.fromEnd = values_.plain.FromEnd;
    choices.tempFilesPath = values_.plain.TempFilesPath;
    choices.printerName = printers_ ? printers_->PrinterName() : std::string();
    options_.Set(std::move(choices));
}

ListMode TTavrinForm::Mode() const {
    return repMode_->isChecked() ? ListMode::New : ListMode::Add;
}

void TTavrinForm::AddFiles(std::vector<std::string> names) {
    if (names.empty())
        return;
    const ListMode mode = Mode();
    const int copies = spinEdit1_->Value();
    jobs_.Change([&](JobList& list) { list.AddFiles(std::move(names), mode, copies); });
    ShowAddedBatch();
}

void TTavrinForm::ShowAddedBatch() {
    panels_[status_panel::kRun]->setText(QString());
    ShowList();
    FitNameColumn(StringGrid1());
    ShowFileCount(jobs_.Read([](const JobList& list) { return list.FileCount(); }));
}

void TTavrinForm::ShowList() {
    const JobList list = jobs_.Get();
    // The grid's change notices of this writing are no edits of the user's.
    const bool before = std::exchange(showingList_, true);
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{showingList_, before};
    ShowJobList(StringGrid1(), list);
}

void TTavrinForm::ShowFileCount(int count) {
    panels_[status_panel::kFileCount]->setText(ToQt(kFilesInJoblist + std::to_string(count)));
}

void TTavrinForm::CopiesEdited(int firstRow, int lastRow) {
    if (showingList_)
        return;
    const GridModel& grid = StringGrid1();
    std::vector<std::pair<int, std::string>> edited;
    for (int row = std::max(firstRow, grid.fixedRows()); row <= lastRow; ++row)
        edited.emplace_back(row - grid.fixedRows(), grid.cell(job_grid::kCopiesColumn, row));
    jobs_.Change([&](JobList& list) {
        for (auto& [index, text] : edited)
            list.SetCopies(index, std::move(text));
    });
}

void TTavrinForm::closeEvent(QCloseEvent* event) {
    try {
        values_.plain.xpos = pos().x();
        values_.plain.ypos = pos().y();
        values_.plain.PrinterIndex = printers_->PrinterIndex();
        values_.AddMode = addMode_->isChecked();
        values_.ClearAfterSpool = clearafterspooling1_->isChecked();
        values_.ShowPrinterType = printertype1_->isChecked();
        values_.ReverseSet = reverseset1_->isChecked();
        values_.Hours = uur_->Value();
        values_.Minutes = minuut_->Value();
        SaveSettings(location_, values_);
    } catch (const std::exception& error) {
        // The settings could not be written: the window stays open and says why.
        event->ignore();
        ShowError(ErrorBoxText(error));
        return;
    }
    event->accept();
    open_ = false;
    // The window's own windows go with it, so that closing it ends the program.
    if (overTavrin_)
        overTavrin_->hide();
    if (configure_)
        configure_->hide();
    if (printersByAddress_)
        printersByAddress_->reject();
    for (QueueWindow* queue : findChildren<QueueWindow*>())
        queue->close();
    for (PreviewWindow* preview : findChildren<PreviewWindow*>())
        preview->close();
}

void TTavrinForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    open_ = true;
}

void TTavrinForm::keyPressEvent(QKeyEvent* event) {
    // Enter inside the grid ends a cell edit; it never starts a print run.
    const QWidget* focus = QApplication::focusWidget();
    const bool inGrid = focus && (focus == stringGrid1_ || stringGrid1_->isAncestorOf(focus));
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !inGrid &&
        event->modifiers() == Qt::NoModifier && okPrint_->isEnabled() && okPrint_->isVisible()) {
        okPrint_->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace tavrin
