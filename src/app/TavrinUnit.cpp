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
#include "spool/Session.h"
#include "widgets/DataGrid.h"
#include "widgets/DropFileTarget.h"
#include "widgets/ErrorReport.h"
#include "widgets/IntegerEdit.h"
#include "widgets/SpinEdit.h"

namespace tavrin {

TTavrinForm::TTavrinForm(PrintSpooler& spooler, DeviceProbe& probe, const Clock& clock,
                         SettingsLocation location, QWidget* parent, PrinterListing listing)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      spooler_(spooler),
      probe_(probe),
      clock_(clock),
      location_(std::move(location)),
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
    CreateFormControls();
    SetTabOrder();
    // The session reads the printer list when it is made (unless told to wait for the print
    // server's answer); the controls exist by now.
    session_ = std::make_unique<Session>(*this, spooler_, probe_, clock_, location_, listing);
    // A run waiting for a full print server gives up once the window has been closed.
    session_->runner().keepWaitingForRoom = [this](const std::string&, int) { return isVisible(); };
    ConnectHandlers();
    setFixedSize(sizeHint());
}

TTavrinForm::~TTavrinForm() {
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

void TTavrinForm::CreateFormControls() {
    smartReplotsControl_ = std::make_unique<ButtonControl>(*smartReplots_);
    removeQLControl_ = std::make_unique<ButtonControl>(*removeQL_);
    psCollateControl_ = std::make_unique<ButtonControl>(*psCollate_);
    fitToPageControl_ = std::make_unique<ButtonControl>(*fitToPage_);
    groupBox3Control_ = std::make_unique<GroupBoxControl>(*groupBox3_);
    jobAsSetControl_ = std::make_unique<ButtonControl>(*jobAsSet_);
    label3Control_ = std::make_unique<LabelControl>(*label3_);
    repModeControl_ = std::make_unique<ButtonControl>(*repMode_);
    addModeControl_ = std::make_unique<ButtonControl>(*addMode_);
    spinEdit1Control_ = std::make_unique<SpinEditControl>(*spinEdit1_);
    okPrintControl_ = std::make_unique<ButtonControl>(*okPrint_);
    scheduleControl_ = std::make_unique<ButtonControl>(*schedule_);
    uurControl_ = std::make_unique<IntegerEditControl>(*uur_);
    minuutControl_ = std::make_unique<IntegerEditControl>(*minuut_);
    label2Control_ = std::make_unique<LabelControl>(*label2_);
    label4Control_ = std::make_unique<LabelControl>(*label4_);
    timer1Control_ = std::make_unique<QtTimerControl>(*timer1_);
    clearafterspooling1Control_ = std::make_unique<ActionControl>(*clearafterspooling1_);
    reverseset1Control_ = std::make_unique<ActionControl>(*reverseset1_);
    printertype1Control_ = std::make_unique<ActionControl>(*printertype1_);
    portinStatusbar1Control_ = std::make_unique<ActionControl>(*portinStatusbar1_);
    for (QAction* item : pageSizeItems_)
        pageSizeControls_.push_back(std::make_unique<ActionControl>(*item));
    pauseprinting1Control_ = std::make_unique<ActionControl>(*pauseprinting1_);
    resumeprinting1Control_ = std::make_unique<ActionControl>(*resumeprinting1_);
    statusBar1Control_ = std::make_unique<PanelStatusBar>(panels_);
}

void TTavrinForm::FormCreate() {
    Guarded([this] { firstRun_ = session_->FormCreate(); });
    Guarded([this] { wrongDeviceGuard1_->setChecked(ReadWrongDeviceGuard(location_)); });
    FillPrinterList();
}

void TTavrinForm::PrintersAnswered() {
    Guarded([this] { session_->PrintersAnswered(); });
    FillPrinterList();
    printersListed_ = true;
    // The answers were asked for with the printers by address as they were at the start.
    if (std::exchange(listAgainWhenAnswered_, false))
        Guarded([this] { ListPrintersAgain(); });
}

void TTavrinForm::FillPrinterList() {
    const QSignalBlocker blocker(printerList_);
    printerList_->clear();
    for (const std::string& name : session_->printers().Printers())
        printerList_->addItem(ToQt(name));
    printerList_->setCurrentIndex(printerList_->count() > 0 ? session_->printers().PrinterIndex()
                                                            : -1);
}

void TTavrinForm::CreateDialogs() {
    if (!overTavrin_) {
        overTavrin_ = new TOverTavrin(this);
        overTavrin_->hide();
    }
    if (!configure_) {
        configure_ = new TConfigure(this, session_->settings());
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
    Guarded([&] { session_->FormShowWithLongNames(std::move(longNames)); });
}

Grid& TTavrinForm::StringGrid1() {
    return stringGrid1_->Grid();
}

Control& TTavrinForm::PageSizeItem(int index) {
    return *pageSizeControls_.at(static_cast<std::size_t>(index));
}

int TTavrinForm::Left() const {
    return pos().x();
}
int TTavrinForm::Top() const {
    return pos().y();
}
void TTavrinForm::MoveTo(int left, int top) {
    move(left, top);
}

void TTavrinForm::ProcessPendingMessages() {
    QCoreApplication::processEvents();
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
}

void TTavrinForm::closeEvent(QCloseEvent* event) {
    try {
        session_->FormClose();
    } catch (const std::exception& error) {
        // The settings could not be written: the window stays open and says why.
        event->ignore();
        ShowError(ErrorBoxText(error));
        return;
    }
    event->accept();
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
