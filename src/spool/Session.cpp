#include "spool/Session.h"

#include <array>
#include <utility>

#include "joblist/LongFileName.h"
#include "platform/StatusPanels.h"
#include "settings/SettingsStartup.h"
#include "settings/SettingsStore.h"

namespace tavrin {

namespace {

constexpr std::array<const char*, 6> kPageSizeNames = {"A5", "A4", "A3", "A2", "A1", "A0"};

void SetTitle(Grid& grid, int col, const char* title) {
    ColumnSettings settings = grid.column(col);
    settings.titleCaption = title;
    grid.setColumn(col, settings);
}

}  // namespace

Session::Session(Form& form, PrintSpooler& spooler, DeviceProbe& probe, const Clock& clock,
                 SettingsLocation location, PrinterListing listing)
    : form_(form),
      printersPending_(listing == PrinterListing::WhenAnswered),
      location_(std::move(location)),
      printers_(printersPending_ ? PrinterSelection(spooler, probe, PrinterSelection::ReadLater{})
                                 : PrinterSelection(spooler, probe)),
      options_(form, settings_),
      jobList_(form, [this] { return printers_.DeviceClass(); }),
      runner_(form, spooler, printers_, jobList_, options_,
              [this] { scheduler_.ArmScheduledStart(); }),
      scheduler_(form, clock, [this] { runner_.SpoolRun(); }) {}

bool Session::FormCreate() {
    const bool firstRun = StartSettings(location_, settings_, form_);
    CreateAfterSettings();
    return firstRun;
}

void Session::FormCreate(const Settings& given) {
    settings_ = given;
    ApplyPageSizeSetting(settings_, form_);
    CreateAfterSettings();
}

void Session::CreateAfterSettings() {
    if (printersPending_) {
        // Kept as stored until the list is there, also when the window closes before that.
        printers_.SetPrinterIndex(settings_.PrinterIndex);
    } else {
        printers_.SelectStartupPrinter(form_, settings_.PrinterIndex);
    }
    Grid& grid = form_.StringGrid1();
    SetTitle(grid, 0, "Filename");
    SetTitle(grid, 1, "Copies");
    FillEmptyTempFilesPath(location_, settings_);
    form_.StatusBar1().setPanel(status_panel::kFileCount,
                                kFilesInJoblist + std::to_string(jobList_.BatchCount()));
    if (!printersPending_)
        printers_.ClassifyAtStartup(form_);
    form_.PSCollate().setEnabled(false);
    if (form_.AddMode().checked()) {
        jobList_.AddModeClick();
    } else {
        jobList_.RepModeClick();
    }
}

void Session::PrintersAnswered() {
    if (!std::exchange(printersPending_, false))
        return;
    printers_.ReadCatalogue();
    if (printers_.SelectStartupPrinter(form_, settings_.PrinterIndex))
        printers_.ClassifyAtStartup(form_);
    form_.PSCollate().setEnabled(false);
}

void Session::FormShow(const std::vector<std::string>& args) {
    FormShowWithLongNames(LongFileNames(args));
}

void Session::FormShowWithLongNames(std::vector<std::string> longNames) {
    jobList_.SetFileCount(0);
    const int count = static_cast<int>(longNames.size());
    jobList_.SetPendingFiles(std::move(longNames));
    if (count > 0) {
        jobList_.SetBatchCount(count);
        jobList_.AddBatch();
    }
    form_.Label2().setVisible(false);
    form_.Label4().setVisible(false);
    form_.Uur().setVisible(false);
    form_.Minuut().setVisible(false);
    form_.Resumeprinting1().setEnabled(false);
}

void Session::FormClose() {
    settings_.PrinterIndex = printers_.PrinterIndex();
    SaveSettings(location_, settings_, form_);
}

void Session::OKPrintClick() {
    runner_.OKPrintClick();
}
void Session::SpoolRun() {
    runner_.SpoolRun();
}

void Session::PrinterListChange(int selectedIndex) {
    printers_.PrinterListChange(form_, selectedIndex);
    settings_.PrinterIndex = printers_.PrinterIndex();
}
void Session::Printertype1Click() {
    printers_.Printertype1Click(form_);
}
void Session::PortinStatusbar1Click() {
    printers_.PortinStatusbar1Click(form_);
}

void Session::SmartReplotsClick() {
    jobList_.SmartReplotsClick();
}
void Session::JobAsSetClick() {
    jobList_.JobAsSetClick();
}
void Session::AddModeClick() {
    jobList_.AddModeClick();
}
void Session::RepModeClick() {
    jobList_.RepModeClick();
}
void Session::RemoveClick() {
    jobList_.RemoveClick();
}
void Session::SpinEdit1Change() {
    jobList_.SpinEdit1Change();
}

void Session::AddFiles(const std::vector<std::string>& names) {
    jobList_.SetPendingFiles(names);
    jobList_.SetBatchCount(static_cast<int>(names.size()));
    jobList_.AddBatch();
}

void Session::PageSizeClick(PageSize size) {
    const int chosen = static_cast<int>(size);
    for (int i = 0; i < static_cast<int>(kPageSizeNames.size()); ++i)
        form_.PageSizeItem(i).setChecked(i == chosen);
    settings_.PSPageSize = kPageSizeNames[static_cast<std::size_t>(chosen)];
    form_.FitToPage().setCaption("Fit to page: " + settings_.PSPageSize);
}

void Session::Clearafterspooling1Click() {
    Control& item = form_.Clearafterspooling1();
    item.setChecked(!item.checked());
}
void Session::Reverseset1Click() {
    Control& item = form_.Reverseset1();
    item.setChecked(!item.checked());
}

void Session::ScheduleClick() {
    scheduler_.ScheduleClick();
}
void Session::UurChange() {
    scheduler_.UurChange();
}
void Session::UurClick() {
    scheduler_.UurClick();
}
void Session::UurExit() {
    scheduler_.UurExit();
}
void Session::MinuutChange() {
    scheduler_.MinuutChange();
}
void Session::MinuutClick() {
    scheduler_.MinuutClick();
}
void Session::MinuutExit() {
    scheduler_.MinuutExit();
}
void Session::Timer1Timer() {
    scheduler_.Timer1Timer();
}

void WirePlainForm(PlainForm& form, Session& session) {
    form.smartReplots.onClick = [&session] { session.SmartReplotsClick(); };
    form.jobAsSet.onClick = [&session] { session.JobAsSetClick(); };
    // The two mode buttons form one radio group: checking one clears the other, and only the
    // button that becomes checked reports a click.
    form.repMode.onClick = [&form, &session] {
        if (!form.repMode.checked())
            return;
        form.addMode.setChecked(false);
        session.RepModeClick();
    };
    form.addMode.onClick = [&form, &session] {
        if (!form.addMode.checked())
            return;
        form.repMode.setChecked(false);
        session.AddModeClick();
    };
    form.spinEdit1.onChange = [&session] { session.SpinEdit1Change(); };
    form.schedule.onClick = [&session] { session.ScheduleClick(); };
    form.uur.onChange = [&session] { session.UurChange(); };
    form.minuut.onChange = [&session] { session.MinuutChange(); };
}

}  // namespace tavrin
