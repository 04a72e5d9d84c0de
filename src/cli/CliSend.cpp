#include <algorithm>
#include <iostream>

#include "cli/CliCommands.h"
#include "cli/CliSendArgs.h"
#include "cli/CliSpooler.h"
#include "cli/CliWait.h"
#include "cli/ListByPrinter.h"
#include "cli/PrinterArgument.h"
#include "joblist/GridModel.h"
#include "joblist/JobListFile.h"
#include "joblist/LongFileName.h"
#include "platform/Error.h"
#include "platform/PlainForm.h"
#include "settings/EffectiveSettings.h"
#include "settings/GuardSettings.h"
#include "spool/Clock.h"
#include "spool/DeviceGuard.h"
#include "spool/Session.h"

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

// Checks a box as the user would: only when the window shows it enabled.
void CheckAsUser(Control& box, const char* option, const std::string& printer) {
    if (box.visible() && box.enabled()) {
        box.setChecked(true);
        return;
    }
    Warn(std::string(option) + " does not apply to " + printer + "; sent without it");
}

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
    LocalClock clock;
    GridModel grid;
    LayOutJobListGrid(grid);
    PlainForm form(grid);
    Session session(form, spooler, probe, clock, location);
    WirePlainForm(form, session);
    form.onShowMessage = [](const std::string& text) { std::cerr << text << '\n'; };

    const std::vector<std::string>& printers = session.printers().Printers();
    if (!session.printers().Catalogue().ReadError().empty())
        throw Error(session.printers().Catalogue().ReadError());
    if (printers.empty())
        throw Error("No printer or plotter installed");

    // The window's settings, read only; the flags take their place where given.
    const CliDefaults defaults = ReadCliDefaults(location, static_cast<int>(printers.size()));
    Settings settings;
    settings.PrinterIndex = defaults.PrinterIndex;
    settings.TempFilesPath = parsed.tempDir.value_or(defaults.TempFilesPath);
    settings.FromStart = defaults.FromStart;
    settings.FromEnd = defaults.FromEnd;
    settings.PSPageSize = defaults.PSPageSize;
    session.FormCreate(settings);
    session.FormShow({});

    // The printer first: its class decides which boxes the window offers.
    const int printerIndex =
        parsed.printer ? PrinterIndexOf(printers, *parsed.printer) : defaults.PrinterIndex;
    session.PrinterListChange(printerIndex);
    const std::string printer = session.printers().PrinterName();

    if (parsed.deviceCopies)
        CheckAsUser(form.smartReplots, "--device-copies", printer);
    if (parsed.qualityOnPlotter)
        CheckAsUser(form.removeQL, "--quality-on-plotter", printer);
    if (parsed.collate)
        CheckAsUser(form.psCollate, "--collate", printer);
    if (parsed.fit) {
        session.PageSizeClick(*parsed.fit);
        CheckAsUser(form.fitToPage, "--fit", printer);
    }
    if (parsed.clear)
        session.Clearafterspooling1Click();
    if (parsed.reverse)
        session.Reverseset1Click();
    if (parsed.set) {
        if (form.smartReplots.checked() || form.psCollate.checked())
            Warn("--set sends one job per file: --device-copies and --collate do not apply");
        form.jobAsSet.setChecked(true);
    }
    if (parsed.copies)
        form.spinEdit1.setValue(*parsed.copies);

    if (parsed.list) {
        int fileCount = 0;
        int batchCount = 0;
        OpenJobListFile(grid, *parsed.list, fileCount, batchCount, form.statusBar1);
        session.jobList().SetFileCount(fileCount);
        session.jobList().SetBatchCount(batchCount);
    }
    if (!parsed.files.empty()) {
        form.addMode.setChecked(true);
        std::vector<std::string> names;
        for (const std::string& file : parsed.files)
            names.push_back(LongFileName(file));
        session.AddFiles(names);
    }

    if (!parsed.force && ReadWrongDeviceGuard(location)) {
        std::vector<std::string> files;
        for (int row = 1; row <= session.jobList().FileCount(); ++row)
            files.push_back(grid.cell(0, row));
        const std::vector<WrongDeviceFile> flagged = FilesForWrongDevice(
            session.printers().DeviceClass(), session.printers().DeviceFormats(), files);
        if (!flagged.empty()) {
            std::cerr << FormatMessage(kWrongDeviceHeading, printer) << '\n';
            for (const WrongDeviceFile& file : flagged)
                std::cerr << "  " << WrongDeviceLine(file) << '\n';
            return kExitError;
        }
    }

    // The run's own message about refused sends is replaced by the full list below.
    form.onShowMessage = nullptr;
    // A print server that holds as many jobs as it takes is waited for, at most --timeout.
    session.runner().keepWaitingForRoom = [&parsed](const std::string& printerName, int waited) {
        if (waited == 0)
            std::cerr << "tavrin-cli: " << FormatMessage(SpoolRunner::kWaitingForRoom, printerName)
                      << std::endl;
        return !parsed.timeout || waited < *parsed.timeout;
    };
    try {
        session.OKPrintClick();
    } catch (const Error&) {
        ReportRefusals(session.runner().LastRun());
        throw;
    }
    const SpoolRunReport& report = session.runner().LastRun();
    ReportRefusals(report);
    std::cout << report.accepted() << " of " << report.sends() << " jobs sent to " << printer
              << std::endl;
    const int sent = report.refused.empty() ? kExitOk : kExitRefused;
    if (!parsed.wait)
        return sent;
    const int waited = WaitForJobs(spooler, report.sent, parsed.timeout, std::cout, std::cerr);
    return waited == kExitOk ? sent : waited;
}

}  // namespace tavrin::cli
