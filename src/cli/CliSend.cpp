#include <algorithm>
#include <iostream>
#include <optional>

#include "cli/CliCommands.h"
#include "cli/CliSendArgs.h"
#include "cli/CliSpooler.h"
#include "cli/CliWait.h"
#include "cli/ListByPrinter.h"
#include "cli/PrinterArgument.h"
#include "joblist/JobListFile.h"
#include "joblist/LongFileName.h"
#include "joblist/SharedJobList.h"
#include "joblog/JobLogRecorder.h"
#include "platform/Error.h"
#include "printers/OptionRules.h"
#include "printers/PrinterSelection.h"
#include "settings/EffectiveSettings.h"
#include "settings/GuardSettings.h"
#include "settings/SettingsStartup.h"
#include "spool/DeviceGuard.h"
#include "spool/SpoolChoices.h"
#include "spool/SpoolRun.h"

namespace tavrin::cli {
namespace {

// A printer given by its name, else by its index in the printer list.
int PrinterIndexOf(const std::vector<std::string>& printers, const std::string& given) {
    if (const auto index = FindPrinter(printers, given))
        return *index;
    throw Error("No printer named '" + given + "' (tavrin-cli printers lists them)");
}

void Warn(const std::string& text) {
    std::cerr << "tavrin-cli: warning: " << text << '\n';
}

// Ticks a box as the user would: only when the window shows it enabled.
void TickAsUser(OptionBoxes& boxes, OptionBox box, const char* option, const std::string& printer) {
    if (!boxes.Tick(box, true))
        Warn(std::string(option) + " does not apply to " + printer + "; sent without it");
}

// A print server that holds as many jobs as it takes is waited for, at most --timeout.
class SendObserver final : public RunObserver {
public:
    explicit SendObserver(std::optional<int> timeout) : timeout_(timeout) {}
    bool KeepWaitingForRoom(const std::string& printer, int waited) override {
        if (waited == 0)
            std::cerr << "tavrin-cli: " << FormatMessage(SpoolRunner::kWaitingForRoom, printer)
                      << std::endl;
        return !timeout_ || waited < *timeout_;
    }

private:
    std::optional<int> timeout_;
};

void ReportRefusals(const SpoolRunReport& report) {
    ListByPrinter(std::cerr, "Not sent to %s:", report.refused,
                  [](const RefusedSend& send) { return send.reason; });
}

}  // namespace

int RunSend(const Args& args) {
    const SendArgs parsed = ParseSendArgs(args);
    if (parsed.help) {
        std::cout << kSendHelp;
        return kExitOk;
    }

    const SettingsLocation location = LocateSettings(WindowProgramFile());
    CliSpooler printersByAddress(location, parsed.printer);
    PrintSpooler& spooler = printersByAddress.Spooler();
    DeviceProbe& probe = printersByAddress.Probe();
    PrinterSelection printers(spooler, probe);
    if (!printers.Catalogue().ReadError().empty())
        throw Error(printers.Catalogue().ReadError());
    if (printers.Printers().empty())
        throw Error("No printer or plotter installed");

    // The window's settings, read only; the flags take their place where given.
    const CliDefaults defaults =
        ReadCliDefaults(location, static_cast<int>(printers.Printers().size()));
    // The printer first: its class decides which boxes the window offers.
    printers.Choose(parsed.printer ? PrinterIndexOf(printers.Printers(), *parsed.printer)
                                   : defaults.PrinterIndex);
    const std::string printer = printers.PrinterName();
    OptionBoxes boxes;
    boxes.ChoosePrinter(ClassOf(printers.DeviceClass()));

    SpoolChoices choices;
    if (const auto stored = PageSizeItemNamed(defaults.PSPageSize))
        choices.pageSize = static_cast<PageSize>(*stored);
    if (parsed.deviceCopies)
        TickAsUser(boxes, OptionBox::DeviceCopies, "--device-copies", printer);
    if (parsed.qualityOnPlotter)
        TickAsUser(boxes, OptionBox::QualityOnPlotter, "--quality-on-plotter", printer);
    if (parsed.collate)
        TickAsUser(boxes, OptionBox::Collate, "--collate", printer);
    if (parsed.fit) {
        choices.pageSize = *parsed.fit;
        TickAsUser(boxes, OptionBox::FitToPage, "--fit", printer);
    }
    if (parsed.set) {
        if (boxes[OptionBox::DeviceCopies].checked || boxes[OptionBox::Collate].checked)
            Warn("--set sends one job per file: --device-copies and --collate do not apply");
        boxes.SetSetMode(true);
    }
    choices.deviceCopies = boxes[OptionBox::DeviceCopies].checked;
    choices.qualityOnPlotter = boxes[OptionBox::QualityOnPlotter].checked;
    choices.collate = boxes[OptionBox::Collate].checked;
    choices.fitToPage = boxes[OptionBox::FitToPage].checked;
    choices.jobAsSet = parsed.set;
    choices.clearAfterSpooling = parsed.clear;
    choices.reverseSet = parsed.reverse;
    choices.globalCopies = parsed.copies.value_or(1);
    choices.fromStart = defaults.FromStart;
    choices.fromEnd = defaults.FromEnd;
    Settings folder;
    folder.TempFilesPath = parsed.tempDir.value_or(defaults.TempFilesPath);
    FillEmptyTempFilesPath(location, folder);
    choices.tempFilesPath = folder.TempFilesPath;
    choices.printerName = printer;

    JobList list;
    if (parsed.list)
        list = OpenJobListFile(*parsed.list);
    if (!parsed.files.empty()) {
        std::vector<std::string> names;
        for (const std::string& file : parsed.files)
            names.push_back(LongFileName(file));
        list.AddFiles(std::move(names), ListMode::Add, choices.globalCopies);
    }

    if (!parsed.force && ReadWrongDeviceGuard(location)) {
        std::vector<std::string> files;
        for (const JobRow& row : list.Rows())
            files.push_back(row.file);
        const std::vector<WrongDeviceFile> flagged =
            FilesForWrongDevice(printers.DeviceClass(), printers.DeviceFormats(), files);
        if (!flagged.empty()) {
            std::cerr << FormatMessage(kWrongDeviceHeading, printer) << '\n';
            for (const WrongDeviceFile& file : flagged)
                std::cerr << "  " << WrongDeviceLine(file) << '\n';
            return kExitError;
        }
    }

    const ChosenSpoolOptions options(choices);
    SpoolRunner runner(spooler, probe, options);
    SendObserver sendObserver(parsed.timeout);
    JobLogRecorder log("cli");
    RecordingRunObserver observer(sendObserver, log);
    // A job log that cannot be written never holds up the jobs: said once, on stderr.
    const auto reportLog = [&log] {
        if (const std::string problem = log.TakeProblem(); !problem.empty())
            Warn(problem);
    };
    // As the print button: nothing to do without a first file.
    if (!list.Rows().empty() && !list.Rows().front().file.empty()) {
        SharedJobList jobs(std::move(list));
        try {
            runner.Run(jobs, observer);
        } catch (const Error&) {
            ReportRefusals(runner.LastRun());
            reportLog();
            throw;
        }
    }
    reportLog();
    const SpoolRunReport& report = runner.LastRun();
    ReportRefusals(report);
    std::cout << report.accepted() << " of " << report.sends() << " jobs sent to " << printer
              << std::endl;
    const int sent = report.refused.empty() ? kExitOk : kExitRefused;
    if (!parsed.wait)
        return sent;
    const int waited = WaitForJobs(spooler, report.sent, parsed.timeout, std::cout, std::cerr,
                                   [&log](const TrackedJob& job) { log.Ended(job); });
    reportLog();
    return waited == kExitOk ? sent : waited;
}

}  // namespace tavrin::cli
