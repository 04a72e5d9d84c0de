#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/FileDialogs.h"
#include "app/QtText.h"
#include "app/RunPrintServer.h"
#include "app/StatusPanels.h"
#include "joblist/SharedJobList.h"
#include "joblog/JobLogRecorder.h"
#include "printers/OptionRules.h"
#include "printers/PrinterSelection.h"
#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "spool/Clock.h"
#include "spool/JobWatch.h"
#include "spool/PrinterListing.h"
#include "spool/SpoolChoices.h"
#include "spool/SpoolRun.h"
#include "widgets/FolderBrowse.h"
#include "widgets/GridModel.h"

class QAbstractButton;
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
class TConfigure;
class TDataGrid;
class TDropFileTarget;
class FileFactsTips;
class TIntegerEdit;
class TOverTavrin;
class TSpinEdit;

// The main window: the job list, the printer choice, the options and the menus. It owns every
// control and the program's state: the settings, the printer selection, the job list it shares
// with a spool run, the options that run reads, and the run itself, which works on a thread of
// its own. Each handler reads its controls, asks the engine and shows what comes back. Every
// handler runs guarded: an Error it raises is shown in a message box and the window goes on.
class TTavrinForm : public QMainWindow {
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

    // The spooler, probe and clock belong to the caller and must outlive the window; the
    // spooler and probe serve the window's own thread. Builds the controls and menus in their
    // design states; FormCreate does the start-up work. With PrinterListing::WhenAnswered the
    // printer box stays empty until PrintersAnswered. `runServer` makes the connections of each
    // spool run; without it a run uses `spooler` and `probe` from its own thread, which they must
    // then allow.
    TTavrinForm(PrintSpooler& spooler, DeviceProbe& probe, const Clock& clock,
                SettingsLocation location, QWidget* parent = nullptr,
                PrinterListing listing = PrinterListing::AtCreate,
                RunPrintServerFactory runServer = {});
    // A run under way still ends first.
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
    // fills the printer box.
    void PrintersAnswered();
    bool FirstRun() const { return firstRun_; }

    // What the window holds.
    const StoredSettings& Stored() const { return values_; }
    const PrinterSelection& Printers() const { return *printers_; }
    JobList Jobs() const { return jobs_.Get(); }
    // The options as a run reads them.
    const SpoolOptions& Options() const { return options_; }
    // From the print button's press, or the scheduled start, until the window has shown how the
    // run ended.
    bool RunUnderWay() const { return runUnderWay_; }

    TOverTavrin* OverTavrin() const { return overTavrin_; }
    TConfigure* Configure() const { return configure_; }
    TDataGrid* Grid() const { return stringGrid1_; }
    GridModel& StringGrid1();
    TIntegerEdit& Uur() { return *uur_; }
    TIntegerEdit& Minuut() { return *minuut_; }
    std::string Panel(int index) const;
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

    // Handlers: printing and the printer box.
    void OKPrintClick();
    void PrinterListChange();
    void Printertype1Click();
    void PortinStatusbar1Click();
    // The job list.
    void SelectFilesClick();
    void DropFileTarget1Drop();
    void Savelisttofile1Click();
    void Openlistasfile1Click();
    void Viewprintlist1Click();
    void AddModeClick();
    void RepModeClick();
    void RemoveClick();
    void SpinEdit1Change();
    // Names handed over by a second start of the program: one batch, in the current mode.
    void AddHandedOverFiles(const std::vector<std::string>& names);
    // The options.
    void SmartReplotsClick();
    void JobAsSetClick();
    // "PS fit to size:" A5size1Click .. A0size1Click: checks that item, clears the others, sets
    // PSPageSize and the FitToPage caption.
    void PageSizeClick(PageSize size);
    // The check marks "C&lear list after spooling" and "Re&verse set order": the items check
    // and uncheck themselves as they are chosen; a run reads them from the options.
    void Clearafterspooling1Click();
    void Reverseset1Click();
    // The check mark "&Warn before sending to the wrong device", written to the settings at once.
    void WrongDeviceGuard1Click();
    // The start at a set time.
    void ScheduleClick();
    void UurChange();
    void UurClick();
    void UurExit();
    void MinuutChange();
    void MinuutClick();
    void MinuutExit();
    void Timer1Timer();
    // The rest of the menus.
    void Abort1Click();
    void SetTempdir1Click();
    void ShowQ1Click();
    void Pauseprinting1Click();
    void Resumeprinting1Click();
    void ClearQueu1Click();

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

    // Runs `handler`; an Error (or any other failure) it raises is shown and swallowed. Then
    // the options a run reads are set from the controls, whatever the handler changed.
    void Guarded(const std::function<void()>& handler);
    // Shows the text of an error as the application's error box does.
    void ShowError(const std::string& text);
    void ShowMessage(const std::string& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Enter that no control took presses the default button OKPrint.
    void keyPressEvent(QKeyEvent* event) override;

private:
    class CopiesEdits;
    class RunTeller;
    struct RunEnd;

    // Pieces of the constructor, each in its own file.
    void CreateControls();
    void CreateMenus();
    void ConnectHandlers();
    void SetTabOrder();
    void ChooseFont();
    QAction* AddItem(QMenu* menu, const char* name, const char* caption);

    // Start-up pieces.
    void ShowStartedSettings(const StoredSettings& values);
    void ShowPageSize(const std::string& name);
    // The selected printer classified, its options shown and its panel written; nothing while
    // no printer is installed.
    void ClassifyAtStartup();
    void FillPrinterList();
    // Reads the printer list again and selects the printer selected before, else the first.
    void ListPrintersAgain();
    void StorePrintersByAddress(const std::vector<AddressedPrinter>& printers);
    void ChoosePrinter(int index);

    // The options: each step applied to its box; a change of a box's check runs its handler.
    void ApplyOptionSteps(const OptionSteps& steps);
    bool SelectedIsPostScript() const;
    // Sets the options a run reads from the controls, the settings and the selected printer.
    void PublishOptions();

    // The job list.
    ListMode Mode() const;
    // The names become one batch, in the current mode, with the global copy count.
    void AddFiles(std::vector<std::string> names);
    // After a batch entered the list: the run panel emptied, the list, its width and count shown.
    void ShowAddedBatch();
    // The list shown as it is now.
    void ShowList();
    void ShowFileCount(int count);
    void CopiesEdited(int firstRow, int lastRow);

    // With the guard on, asks whether to send files the selected printer may not read; true
    // when nothing is flagged or the user sends them anyway.
    bool SendToWrongDeviceAnyway();
    // The print button's scheduled branch: the timer on, "Starts at HH:MM" on the disabled
    // button until the run.
    void ArmScheduledStart();
    void ShowTimeEdits(bool visible);
    // Starts a spool run on its own thread; the window shows its end in RunEnded.
    void StartRun(bool scheduled);
    void RunEnded(const RunEnd& end);
    void RoomWaited(const std::string& printer, bool waiting);

    void ShowJobNewsWhenIdle();

    PrintSpooler& spooler_;
    DeviceProbe& probe_;
    const Clock& clock_;
    SettingsLocation location_;
    RunPrintServerFactory runServer_;
    bool firstRun_ = false;

    // The program's state.
    StoredSettings values_;
    std::unique_ptr<PrinterSelection> printers_;
    // Whether the printer list waits for the print server's first answer.
    bool printersPending_ = false;
    SharedJobList jobs_;
    ChosenSpoolOptions options_;

    // The run under way, if any.
    std::thread run_;
    bool runUnderWay_ = false;
    bool runScheduled_ = false;
    bool rowsTakenDuringRun_ = false;
    // A run waiting for a full print server gives up once the window has been closed.
    std::atomic<bool> open_ = false;
    std::string panelBeforeRoomWait_;
    // The print button shows the set time of a start to come.
    bool armed_ = false;

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

    // The user's edits of the copy counts, into the job list.
    std::unique_ptr<CopiesEdits> copiesEdits_;
    // The window's own writing of the list into the grid, which is no edit.
    bool showingList_ = false;

    JobWatch* watch_ = nullptr;
    // Records the window's runs and their ends in the job log (front end "window").
    JobLogRecorder recorder_{"window"};
    // News of the watch not shown yet: the window was busy.
    static constexpr int kJobNewsRetryMilliseconds = 200;
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
