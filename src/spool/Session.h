#pragma once

#include <string>
#include <vector>

#include "joblist/JobList.h"
#include "platform/DeviceProbe.h"
#include "platform/Form.h"
#include "platform/PlainForm.h"
#include "platform/PrintSpooler.h"
#include "printers/PrinterSelection.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "spool/Clock.h"
#include "spool/FormSpoolOptions.h"
#include "spool/PrinterListing.h"
#include "spool/Scheduler.h"
#include "spool/SpoolOptions.h"
#include "spool/SpoolRun.h"

namespace tavrin {

// The engine of one main window: the settings, the printer selection, the job list, the spool
// runner and the scheduler, joined to the window's controls. The window and tavrin-cli both
// run one. Each handler calls the engine routine that does the work; errors pass through to the
// caller (the window's top-level handler shows them, tavrin-cli prints them).
//
// The form, spooler, probe and clock belong to the owner and must outlive the session.
class Session {
public:
    Session(Form& form, PrintSpooler& spooler, DeviceProbe& probe, const Clock& clock,
            SettingsLocation location, PrinterListing listing = PrinterListing::AtCreate);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The parts, for the window's own commands (queue management, job-list files, dialogs).
    Form& form() { return form_; }
    Settings& settings() { return settings_; }
    const SettingsLocation& location() const { return location_; }
    PrinterSelection& printers() { return printers_; }
    JobList& jobList() { return jobList_; }
    SpoolRunner& runner() { return runner_; }
    Scheduler& scheduler() { return scheduler_; }
    // The options as a run reads them: the window's controls and the settings, at each use.
    const SpoolOptions& options() const { return options_; }

    // Start-up, creation part: the INI file (or the first run, which writes it), the printer
    // list and the start-up selection, the grid's titles "Filename" and "Copies", an empty
    // TempFilesPath filled, status panels 1 and 0, ClassifyPrinter with status panel 2, and
    // PSCollate disabled. Returns true on a first run (the window is then shown centred).
    // The window fills its printer box from printers().Printers() and shows
    // printers().PrinterIndex() afterwards.
    bool FormCreate();
    // The same with the given plain settings instead of the INI file: nothing is read or
    // written, and the controls keep their initial states apart from the page-size choice.
    // For tavrin-cli, which takes the window's settings but never writes them.
    void FormCreate(const Settings& given);
    // With PrinterListing::WhenAnswered, FormCreate keeps the stored printer index but lists,
    // selects and classifies no printer; this does that part, once the spooler can answer at
    // once. The window then fills its printer box as after FormCreate.
    void PrintersAnswered();
    // Start-up, show part: the command-line names (long forms) become the first batch; the
    // time edits and their labels are hidden; Resumeprinting1 is disabled.
    void FormShow(const std::vector<std::string>& args);
    // The same for names already in their long forms (LongFileNames), worked out ahead.
    void FormShowWithLongNames(std::vector<std::string> longNames);
    // Close: writes the settings. Throws "Unable to write to %s" when that fails; the window
    // then stays open.
    void FormClose();

    // The print button and the spool run.
    void OKPrintClick();
    void SpoolRun();

    // The printer box: `selectedIndex` is its selected item, -1 for none.
    void PrinterListChange(int selectedIndex);
    void Printertype1Click();
    void PortinStatusbar1Click();

    // Job-list controls.
    void SmartReplotsClick();
    void JobAsSetClick();
    void AddModeClick();
    void RepModeClick();
    void RemoveClick();
    void SpinEdit1Change();
    // Files chosen, dropped or handed over: they become the pending batch and enter the list.
    void AddFiles(const std::vector<std::string>& names);

    // "PS fit to size:" A5size1Click .. A0size1Click: checks that item, clears the others,
    // sets PSPageSize and the FitToPage caption.
    void PageSizeClick(PageSize size);
    // The menu check marks "C&lear list after spooling" and "Re&verse set order".
    void Clearafterspooling1Click();
    void Reverseset1Click();

    // Scheduling.
    void ScheduleClick();
    void UurChange();
    void UurClick();
    void UurExit();
    void MinuutChange();
    void MinuutClick();
    void MinuutExit();
    void Timer1Timer();

private:
    void CreateAfterSettings();

    Form& form_;
    bool printersPending_;
    SettingsLocation location_;
    Settings settings_;
    PrinterSelection printers_;
    FormSpoolOptions options_;
    JobList jobList_;
    SpoolRunner runner_;
    Scheduler scheduler_;
};

// Connects the plain controls' click and change handlers to the session's handlers, as the
// window connects its widgets: SmartReplots, JobAsSet, RepMode, AddMode, SpinEdit1, Schedule,
// Uur and Minuut.
void WirePlainForm(PlainForm& form, Session& session);

}  // namespace tavrin
