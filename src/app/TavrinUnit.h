#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/FileDialogs.h"
#include "app/QtFormControls.h"
#include "platform/DeviceProbe.h"
#include "platform/Form.h"
#include "platform/PrintSpooler.h"
#include "platform/StatusPanels.h"
#include "settings/SettingsLocation.h"
#include "spool/Clock.h"
#include "spool/JobWatch.h"
#include "spool/PrinterListing.h"
#include "spool/SpoolOptions.h"
#include "widgets/FolderBrowse.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tavrin {

class AddressedPrinters;
class AddressedPrintersDialog;
struct AddressedPrinter;
class Session;
class TConfigure;
class TDataGrid;
class TDropFileTarget;
class FileFactsTips;
class TIntegerEdit;
class TOverTavrin;
class TSpinEdit;

// The main window: the job list, the printer choice, the options and the menus. It owns every
// control and, through its Session, every piece of the program's state; the engine sees it
// through Form. Every handler runs guarded: an Error it raises is shown in a message box and
// the window goes on.
class TTavrinForm : public QMainWindow, public Form {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 521;
    static constexpr int kClientHeight = 380;
    static constexpr int kStatusBarHeight = 19;
    static constexpr std::array<int, status_panel::kCount> kPanelWidths = {126, 100, 240, 50};
    static constexpr const char* kCaption = "Dorwen's Tavrin";
    static constexpr const char* kPlotFileFilter =
        "All files (*.*)|*.*|AutoCAD / Arkey Plotfiles (*.plt)|*.plt|MicroStation Plotfiles "
        "(*.000)|*.000|AllPlan Plotfiles (*.pf*)|*.pf*|Windows Printfiles (*.prn)|*.prn|"
        "PostScript Printfiles (*.ps)|*.ps|";

    // The spooler, probe and clock belong to the caller and must outlive the window. Builds the
    // controls and menus in their design states; FormCreate does the start-up work.
    // With PrinterListing::WhenAnswered the printer box stays empty until PrintersAnswered.
    TTavrinForm(PrintSpooler& spooler, DeviceProbe& probe, const Clock& clock,
                SettingsLocation location, QWidget* parent = nullptr,
                PrinterListing listing = PrinterListing::AtCreate);
    ~TTavrinForm() override;

    // Start-up, in this order: FormCreate (settings, printers, status bar, drop target),
    // ShowFirst (centred on a first run, else where it was left; then the command-line files,
    // in their long forms (LongFileNames), enter the list). CreateDialogs makes the About box and
    // then the Configure dialog, both hidden; the program calls it once the window has been
    // painted, and the commands that show them call it too, so it makes each only once.
    void FormCreate();
    void ShowFirst(std::vector<std::string> longNames);
    void CreateDialogs();
    // The print server can answer at once now: lists, selects and classifies the printers and
    // fills the printer box (see Session::PrintersAnswered).
    void PrintersAnswered();
    bool FirstRun() const { return firstRun_; }

    Session& session() { return *session_; }
    TOverTavrin* OverTavrin() const { return overTavrin_; }
    TConfigure* Configure() const { return configure_; }
    TDataGrid* Grid() const { return stringGrid1_; }
    TDropFileTarget* DropFileTarget1() const { return dropFileTarget1_; }
    TFolderBrowse& FolderBrowse1() { return folderBrowse1_; }
    QMenu* PopupMenu1() const { return popupMenu1_; }
    // The filter index (1-based) that the file dialog opens on next.
    int PlotFilterIndex() const { return plotFilterIndex_; }

    // Replaceable pieces: the file dialogs, the plain message box and the viewer of text files.
    void SetFileDialogs(FileDialogs& dialogs) { fileDialogs_ = &dialogs; }
    std::function<void(const QString& text)> MessageBox;
    std::function<void(const QString& path)> OpenDocument;
    // Asks the application to end ("&Abort" after the window closed).
    std::function<void()> EndProgram;

    // Handlers.
    void OKPrintClick();
    void PrinterListChange();
    void SelectFilesClick();
    void DropFileTarget1Drop();
    void Savelisttofile1Click();
    void Openlistasfile1Click();
    void Viewprintlist1Click();
    void Abort1Click();
    void SetTempdir1Click();
    void ShowQ1Click();
    void Pauseprinting1Click();
    void Resumeprinting1Click();
    void ClearQueu1Click();
    // The check mark "&Warn before sending to the wrong device", written to the settings at once.
    void WrongDeviceGuard1Click();
    // Names handed over by a second start of the program: one batch, in the current mode.
    void AddHandedOverFiles(const std::vector<std::string>& names);

    // Every job a run of this window sends is followed with `watch`, which must outlive the
    // window's following (the destructor ends it). Jobs that end without printing turn status
    // panel 3 to "Failed" and are listed in a message; stuck ones are named in that panel's hint
    // and the queue window.
    void FollowJobsWith(JobWatch& watch);
    // What a look of the watch found, on the window's thread.
    void JobNewsArrived(const JobNews& news);

    // "Printers by address..." changes the list of `printers`, which must outlive the window,
    // writes it to the settings and lists it in the printer box after the queues. The item is
    // disabled until this is called.
    void KeepPrintersByAddressIn(AddressedPrinters& printers);
    void PrintersByAddress1Click();
    AddressedPrintersDialog* PrintersByAddress() const { return printersByAddress_; }

    // Runs `handler`; an Error (or any other failure) it raises is shown and swallowed.
    void Guarded(const std::function<void()>& handler);
    // Shows the text of an error as the application's error box does.
    void ShowError(const std::string& text);

    // Form
    Control& SmartReplots() override { return *smartReplotsControl_; }
    Control& RemoveQL() override { return *removeQLControl_; }
    Control& PSCollate() override { return *psCollateControl_; }
    Control& FitToPage() override { return *fitToPageControl_; }
    Control& GroupBox3() override { return *groupBox3Control_; }
    Control& JobAsSet() override { return *jobAsSetControl_; }
    Control& Label3() override { return *label3Control_; }
    Control& RepMode() override { return *repModeControl_; }
    Control& AddMode() override { return *addModeControl_; }
    ValueControl& SpinEdit1() override { return *spinEdit1Control_; }
    tavrin::Grid& StringGrid1() override;
    Control& OKPrint() override { return *okPrintControl_; }
    Control& Schedule() override { return *scheduleControl_; }
    ValueControl& Uur() override { return *uurControl_; }
    ValueControl& Minuut() override { return *minuutControl_; }
    Control& Label2() override { return *label2Control_; }
    Control& Label4() override { return *label4Control_; }
    Timer& Timer1() override { return *timer1Control_; }
    Control& Clearafterspooling1() override { return *clearafterspooling1Control_; }
    Control& Reverseset1() override { return *reverseset1Control_; }
    Control& Printertype1() override { return *printertype1Control_; }
    Control& PortinStatusbar1() override { return *portinStatusbar1Control_; }
    Control& PageSizeItem(int index) override;
    Control& Pauseprinting1() override { return *pauseprinting1Control_; }
    Control& Resumeprinting1() override { return *resumeprinting1Control_; }
    StatusBar& StatusBar1() override { return *statusBar1Control_; }
    int Left() const override;
    int Top() const override;
    void MoveTo(int left, int top) override;
    void ProcessPendingMessages() override;
    void ShowMessage(const std::string& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter that no control took presses the default button OKPrint.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Pieces of the constructor, each in its own file.
    void CreateControls();
    void CreateMenus();
    void ConnectHandlers();
    void SetTabOrder();
    void ChooseFont();
    void FillPrinterList();
    // Reads the printer list again and selects the printer selected before, else the first.
    void ListPrintersAgain();
    void StorePrintersByAddress(const std::vector<AddressedPrinter>& printers);
    // With the guard on, asks whether to send files the selected printer may not read; true
    // when nothing is flagged or the user sends them anyway.
    bool SendToWrongDeviceAnyway();
    void CreateFormControls();
    QAction* AddItem(QMenu* menu, const char* name, const char* caption);

    PrintSpooler& spooler_;
    DeviceProbe& probe_;
    const Clock& clock_;
    SettingsLocation location_;
    bool firstRun_ = false;

    QtFileDialogs qtFileDialogs_;
    FileDialogs* fileDialogs_ = &qtFileDialogs_;
    // The file dialog's remembered filter (1-based, as the filter text counts) and the names
    // the job-list commands remember.
    int plotFilterIndex_ = 1;
    QString openDialogFileName_;
    QString saveDialogFileName_;

    // Controls, by parent.
    QWidget* client_ = nullptr;
    QGroupBox* configuration_ = nullptr;
    QLabel* label1_ = nullptr;
    QComboBox* printerList_ = nullptr;
    QGroupBox* groupBox1_ = nullptr;
    QCheckBox* schedule_ = nullptr;
    TIntegerEdit* uur_ = nullptr;
    QLabel* label2_ = nullptr;
    TIntegerEdit* minuut_ = nullptr;
    QLabel* label4_ = nullptr;
    QCheckBox* jobAsSet_ = nullptr;
    QLabel* label3_ = nullptr;
    TDataGrid* stringGrid1_ = nullptr;
    TSpinEdit* spinEdit1_ = nullptr;
    QGroupBox* groupBox2_ = nullptr;
    QRadioButton* repMode_ = nullptr;
    QRadioButton* addMode_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* selectFiles_ = nullptr;
    QGroupBox* groupBox3_ = nullptr;
    QCheckBox* psCollate_ = nullptr;
    QCheckBox* smartReplots_ = nullptr;
    QCheckBox* removeQL_ = nullptr;
    QCheckBox* fitToPage_ = nullptr;
    QGroupBox* groupBox4_ = nullptr;
    QPushButton* okPrint_ = nullptr;
    QWidget* statusBar1_ = nullptr;
    std::array<QLabel*, status_panel::kCount> panels_{};
    QTimer* timer1_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    TDropFileTarget* dropFileTarget1_ = nullptr;
    TFolderBrowse folderBrowse1_;

    // Menu items.
    QAction* selectfiles1_ = nullptr;
    QAction* openlistasfile1_ = nullptr;
    QAction* viewprintlist1_ = nullptr;
    QAction* savelisttofile1_ = nullptr;
    QAction* abort1_ = nullptr;
    QAction* setTempdir1_ = nullptr;
    QAction* printersByAddress1_ = nullptr;
    QAction* qlFromStart1_ = nullptr;
    QAction* rpFromEnd1_ = nullptr;
    QAction* clearafterspooling1_ = nullptr;
    QAction* reverseset1_ = nullptr;
    QAction* wrongDeviceGuard1_ = nullptr;
    QAction* printertype1_ = nullptr;
    QAction* portinStatusbar1_ = nullptr;
    std::array<QAction*, 6> pageSizeItems_{};
    QAction* showQ1_ = nullptr;
    QAction* pauseprinting1_ = nullptr;
    QAction* resumeprinting1_ = nullptr;
    QAction* clearQueu1_ = nullptr;
    QAction* about2_ = nullptr;
    QAction* delete1_ = nullptr;

    // The engine's view of the controls.
    std::unique_ptr<ButtonControl> smartReplotsControl_;
    std::unique_ptr<ButtonControl> removeQLControl_;
    std::unique_ptr<ButtonControl> psCollateControl_;
    std::unique_ptr<ButtonControl> fitToPageControl_;
    std::unique_ptr<GroupBoxControl> groupBox3Control_;
    std::unique_ptr<ButtonControl> jobAsSetControl_;
    std::unique_ptr<LabelControl> label3Control_;
    std::unique_ptr<ButtonControl> repModeControl_;
    std::unique_ptr<ButtonControl> addModeControl_;
    std::unique_ptr<SpinEditControl> spinEdit1Control_;
    std::unique_ptr<ButtonControl> okPrintControl_;
    std::unique_ptr<ButtonControl> scheduleControl_;
    std::unique_ptr<IntegerEditControl> uurControl_;
    std::unique_ptr<IntegerEditControl> minuutControl_;
    std::unique_ptr<LabelControl> label2Control_;
    std::unique_ptr<LabelControl> label4Control_;
    std::unique_ptr<QtTimerControl> timer1Control_;
    std::unique_ptr<ActionControl> clearafterspooling1Control_;
    std::unique_ptr<ActionControl> reverseset1Control_;
    std::unique_ptr<ActionControl> printertype1Control_;
    std::unique_ptr<ActionControl> portinStatusbar1Control_;
    std::vector<std::unique_ptr<ActionControl>> pageSizeControls_;
    std::unique_ptr<ActionControl> pauseprinting1Control_;
    std::unique_ptr<ActionControl> resumeprinting1Control_;
    std::unique_ptr<PanelStatusBar> statusBar1Control_;

    std::unique_ptr<Session> session_;
    JobWatch* watch_ = nullptr;
    // News of the watch not shown yet: the window was busy.
    static constexpr int kJobNewsRetryMilliseconds = 200;
    void ShowJobNewsWhenIdle();
    std::vector<TrackedJob> notPrintedToShow_;
    std::set<std::string> newsPrinters_;
    bool showingNotPrinted_ = false;
    bool newsRetryArmed_ = false;
    TOverTavrin* overTavrin_ = nullptr;
    TConfigure* configure_ = nullptr;
    AddressedPrinters* byAddress_ = nullptr;
    AddressedPrintersDialog* printersByAddress_ = nullptr;
    // Whether the printer box has been filled: not while the print server's first answer is
    // awaited. A list changed meanwhile is listed again once it has come.
    bool printersListed_ = false;
    bool listAgainWhenAnswered_ = false;
    // What each file of the job list holds, as its tooltip.
    std::unique_ptr<FileFactsTips> fileFactsTips_;
};

}  // namespace tavrin
