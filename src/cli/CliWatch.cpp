// SPDX-License-Identifier: GPL-3.0-or-later
#include <atomic>
#include <chrono>
#include <csignal>
#include <ctime>
#include <iostream>
#include <stop_token>
#include <thread>

#include "cli/CliCommands.h"
#include "cli/CliSendArgs.h"
#include "cli/CliSpooler.h"
#include "hotfolder/HotFolderService.h"
#include "hotfolder/HotFolderSettings.h"
#include "platform/Error.h"
#include "platform/LocalTime.h"
#include "settings/EffectiveSettings.h"
#include "settings/SettingsStartup.h"

namespace tavrin::cli {
namespace {

const char* const kWatchHelp =
    "usage: tavrin-cli watch [--once] [--list]\n"
    "       tavrin-cli watch --folder DIR -p PRINTER [OPTIONS] [--once]\n"
    "\n"
    "Prints the files that come into hot folders: each complete file is moved into the\n"
    "folder's Sending/, sent as a raw job to the folder's printer with its options, followed\n"
    "to its end, then moved into Printed/ or, with NAME.txt saying why, into Failed/. Runs\n"
    "until SIGTERM or SIGINT. The hot folders are those the window keeps (Configure > Hot\n"
    "folders...), or the one --folder names, which leaves the INI file alone.\n"
    "\n"
    "      --once                take what is in the folders now, wait for those jobs' ends,\n"
    "                            and exit\n"
    "      --list                list the window's hot folders and exit\n"
    "      --folder DIR          watch DIR only, with the options below\n"
    "  -p, --printer NAME        its printer: a queue's name or a printer's address\n"
    "  -n, --copies N            copies of each file, 1..99 (default 1)\n"
    "      --device-copies       the printer makes the copies\n"
    "      --quality-on-plotter  blank the plot file's quality instruction (HP-GL/2 only)\n"
    "      --collate             collated copies (PostScript, with --device-copies)\n"
    "      --fit A0|A1|A2|A3|A4|A5\n"
    "                            fit the pages to that paper size (PostScript only)\n"
    "      --settle SECONDS      where the folder gives no notice of closed files (a share),\n"
    "                            a file is complete once unchanged this long (default 5)\n"
    "      --poll                never wait for notices: look at the folder every moment\n"
    "      --temp-dir DIR        folder of the temporary file (default: the window's)\n"
    "  -h, --help                this text\n"
    "\n"
    "One line per event on stdout; trouble with a folder on stdout too, and the other\n"
    "folders go on. Exit codes: 0 done (with --once: every file printed), 1 with --once some\n"
    "file failed, 2 an error (no hot folders, say), 64 bad usage.\n";

std::atomic<bool> stopAsked{false};

extern "C" void AskStop(int) {
    stopAsked = true;
}

std::string TimeNow() {
    return LocalTimeText(std::time(nullptr), "%Y-%m-%d %H:%M:%S");
}

class PrintLines final : public HotFolderObserver {
public:
    void Line(const std::string& text) override {
        std::cout << TimeNow() << ' ' << text << std::endl;
    }
    void FileEnded(const HotFolderFileEnd& end) override { failed = failed || !end.printed; }
    bool failed = false;
};

struct WatchArgs {
    bool help = false;
    bool once = false;
    bool list = false;
    std::optional<std::string> folder;
    std::optional<int> settle;
    bool poll = false;
    Args rest;  // the options send takes
};

WatchArgs ParseWatchArgs(const Args& args) {
    WatchArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&] {
            if (i + 1 >= args.size())
                throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--once") {
            parsed.once = true;
        } else if (arg == "--list") {
            parsed.list = true;
        } else if (arg == "--poll") {
            parsed.poll = true;
        } else if (arg == "--folder") {
            parsed.folder = value();
            if (parsed.folder->empty())
                throw UsageError("--folder needs a folder");
        } else if (arg == "--settle") {
            const std::string text = value();
            parsed.settle = WholeNumberIn(text, 1, 3600);
            if (!parsed.settle)
                throw UsageError("--settle takes seconds from 1 to 3600, not '" + text + "'");
        } else if (arg == "-h" || arg == "--help") {
            parsed.help = true;
        } else {
            parsed.rest.push_back(arg);
        }
    }
    return parsed;
}

// The folder the command line gives, with send's options.
HotFolder FolderFromArgs(const WatchArgs& watch) {
    const SendArgs send = ParseSendArgs(watch.rest, false);
    const auto refuse = [](bool given, const char* option) {
        if (given)
            throw UsageError(std::string("watch does not take ") + option);
    };
    refuse(send.set, "--set");
    refuse(send.reverse, "--reverse");
    refuse(send.clear, "--clear");
    refuse(send.list.has_value(), "--list FILE");
    refuse(send.wait, "--wait");
    refuse(send.force, "--force");
    if (!send.files.empty())
        throw UsageError("watch takes no files: '" + send.files.front() + "'");
    if (!watch.folder) {
        if (send.printer || send.copies || send.deviceCopies || send.qualityOnPlotter ||
            send.collate || send.fit || watch.settle || watch.poll)
            throw UsageError("the folder's options need --folder DIR");
        return {};
    }
    if (!send.printer)
        throw UsageError("--folder needs -p PRINTER");
    HotFolder folder;
    folder.path = *watch.folder;
    folder.printer = *send.printer;
    folder.copies = send.copies.value_or(1);
    folder.deviceCopies = send.deviceCopies;
    folder.qualityOnPlotter = send.qualityOnPlotter;
    folder.collate = send.collate;
    folder.fit = send.fit;
    folder.settleSeconds = watch.settle.value_or(kDefaultSettleSeconds);
    folder.pollOnly = watch.poll;
    return folder;
}

std::string ListLine(const HotFolder& folder) {
    std::string line = folder.path + "\t" + folder.printer + "\t" + std::to_string(folder.copies);
    if (folder.deviceCopies)
        line += "\tdevice-copies";
    if (folder.qualityOnPlotter)
        line += "\tquality-on-plotter";
    if (folder.collate)
        line += "\tcollate";
    if (folder.fit)
        line += "\tfit " + std::string("A") + std::to_string(5 - static_cast<int>(*folder.fit));
    line += "\tsettle " + std::to_string(folder.settleSeconds);
    if (folder.pollOnly)
        line += "\tpoll";
    return line;
}

}  // namespace

int RunWatch(const Args& args) {
    const WatchArgs watch = ParseWatchArgs(args);
    if (watch.help) {
        std::cout << kWatchHelp;
        return kExitOk;
    }
    const HotFolder given = FolderFromArgs(watch);
    const SettingsLocation location = LocateSettings(WindowProgramFile());

    std::vector<HotFolder> folders;
    if (watch.folder) {
        folders.push_back(given);
    } else {
        const HotFolderSettings settings = ReadHotFolderSettings(location);
        for (const std::string& problem : settings.problems)
            std::cerr << "tavrin-cli: " << problem << '\n';
        folders = settings.folders;
        if (watch.list) {
            for (const HotFolder& folder : folders)
                std::cout << ListLine(folder) << '\n';
            return kExitOk;
        }
    }
    if (folders.empty())
        throw Error(
            "No hot folders: add them in the window (Configure > Hot folders...) or give "
            "--folder DIR -p PRINTER");

    std::vector<std::string> printers;
    for (const HotFolder& folder : folders)
        printers.push_back(folder.printer);
    CliSpooler spoolers(location, printers);
    const CliDefaults defaults = ReadCliDefaults(location, 0);
    SpoolChoices base;
    if (const auto stored = PageSizeItemNamed(defaults.PSPageSize))
        base.pageSize = static_cast<PageSize>(*stored);
    base.fromStart = defaults.FromStart;
    base.fromEnd = defaults.FromEnd;
    Settings folder;
    const SendArgs send = ParseSendArgs(watch.rest, false);
    folder.TempFilesPath = send.tempDir.value_or(defaults.TempFilesPath);
    FillEmptyTempFilesPath(location, folder);
    base.tempFilesPath = folder.TempFilesPath;

    std::signal(SIGTERM, AskStop);
    std::signal(SIGINT, AskStop);
    std::stop_source stop;
    std::jthread signals([&stop](std::stop_token done) {
        while (!done.stop_requested() && !stopAsked)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stop.request_stop();
    });

    PrintLines lines;
    JobLogRecorder log("watch");
    HotFolderService service(folders, spoolers.Spooler(), spoolers.Probe(), log, lines, base);
    for (const HotFolder& watched : folders)
        lines.Line(watched.path + ": watching for " + watched.printer);
    service.Run(stop.get_token(), watch.once);
    signals.request_stop();
    return watch.once && lines.failed ? kExitRefused : kExitOk;
}

}  // namespace tavrin::cli
