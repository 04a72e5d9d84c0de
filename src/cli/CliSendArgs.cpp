#include "cli/CliSendArgs.h"

#include <array>

namespace tavrin::cli {

const char* const kSendHelp =
    "usage: tavrin-cli send [OPTIONS] [FILE...]\n"
    "\n"
    "Sends every file as a raw job to a printer, as the window's \"&OK, Print!!\" does, with\n"
    "the options a user would set in the window. Defaults come from the window's INI file,\n"
    "which is only read.\n"
    "\n"
    "  -p, --printer NAME|INDEX  the printer (default: the printer stored by the window)\n"
    "  -n, --copies N            copies of each file, 1..99 (default 1); the number of sets\n"
    "                            with --set\n"
    "      --list FILE.tjf       the rows of a job-list file, each with its own copy count,\n"
    "                            before the FILE arguments\n"
    "      --set                 treat the list as a set, sent N times file by file\n"
    "      --reverse             send each set last file first\n"
    "      --clear               remove each row from the list once it is sent (no effect\n"
    "                            with --set)\n"
    "      --device-copies       the printer makes the copies (\"Copies by plotter\" for\n"
    "                            HP-GL/2 and Oce devices, \"Copies by printer\" for PostScript)\n"
    "      --quality-on-plotter  blank the plot file's quality instruction (HP-GL/2 only)\n"
    "      --collate             collated copies (PostScript, with --device-copies)\n"
    "      --fit A0|A1|A2|A3|A4|A5\n"
    "                            fit the pages to that paper size (PostScript only)\n"
    "      --temp-dir DIR        folder of the temporary file (default: the window's)\n"
    "      --wait                wait until every job has ended at the printer, one line\n"
    "                            per job as it ends: file, job, printed or not, reason\n"
    "      --timeout SECONDS     with --wait: stop waiting after this long, 1..86400; also\n"
    "                            the longest wait for a print server that takes no more jobs\n"
    "      --force               send files the printer may not read all the same\n"
    "                            (PostScript or PDF to an HP-GL/2 device, HP-GL or\n"
    "                            HP-GL/2 to a PostScript device)\n"
    "  -h, --help                this text\n"
    "\n"
    "An option whose box the window does not offer for the chosen printer (--device-copies\n"
    "on a device without that box, --quality-on-plotter or --fit for another kind of device,\n"
    "--collate for a device that is not PostScript) is not applied, as the box cannot be\n"
    "checked there: a warning says so and the files are sent without it. --collate has an\n"
    "effect only together with --device-copies. --set clears --device-copies and --collate,\n"
    "as checking \"Treat joblist as set\" does.\n"
    "\n"
    "Files in a language the printer may not read are listed on stderr and nothing is sent\n"
    "(exit 2), unless --force is given or the window's \"Warn before sending to the wrong\n"
    "device\" is off.\n"
    "\n"
    "Exit codes: 0 every job accepted (with --wait: printed), 1 the spooler refused some, or\n"
    "with --wait some were not printed (listed on stderr with the reason), 2 an error ended\n"
    "the run (its message on stderr; jobs sent before it stay), 3 with --timeout: time ran\n"
    "out with jobs still open (listed on stderr with their state; they stay queued),\n"
    "64 bad usage.\n";

namespace {

// "--name=value" or "--name value" / "-x value".
class ArgReader {
public:
    explicit ArgReader(const Args& args) : args_(args) {}

    bool done() const { return at_ >= args_.size(); }
    const std::string& next() { return args_[at_++]; }
    std::string value(const std::string& option, const std::optional<std::string>& attached) {
        if (attached)
            return *attached;
        if (done())
            throw UsageError(option + " needs a value");
        return next();
    }

private:
    const Args& args_;
    std::size_t at_ = 0;
};

int CopiesValue(const std::string& text) {
    if (const std::optional<int> copies = WholeNumberIn(text, 1, 99))
        return *copies;
    throw UsageError("--copies takes a number from 1 to 99, not '" + text + "'");
}

}  // namespace

std::optional<PageSize> PageSizeNamed(const std::string& name) {
    constexpr std::array<const char*, 6> kNames = {"A5", "A4", "A3", "A2", "A1", "A0"};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i])
            return static_cast<PageSize>(i);
    }
    return std::nullopt;
}

SendArgs ParseSendArgs(const Args& args, bool filesNeeded) {
    SendArgs parsed;
    ArgReader reader(args);
    bool optionsEnded = false;
    while (!reader.done()) {
        const std::string arg = reader.next();
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string option = arg;
        std::optional<std::string> attached;
        if (const auto equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != arg.npos) {
            option = arg.substr(0, equals);
            attached = arg.substr(equals + 1);
        }
        const auto flag = [&](bool& target) {
            if (attached)
                throw UsageError(option + " takes no value");
            target = true;
        };
        if (option == "-h" || option == "--help") {
            parsed.help = true;
        } else if (option == "-p" || option == "--printer") {
            parsed.printer = reader.value(option, attached);
            if (parsed.printer->empty())
                throw UsageError(option + " needs a printer name");
        } else if (option == "-n" || option == "--copies") {
            parsed.copies = CopiesValue(reader.value(option, attached));
        } else if (option == "--set") {
            flag(parsed.set);
        } else if (option == "--reverse") {
            flag(parsed.reverse);
        } else if (option == "--clear") {
            flag(parsed.clear);
        } else if (option == "--device-copies") {
            flag(parsed.deviceCopies);
        } else if (option == "--quality-on-plotter") {
            flag(parsed.qualityOnPlotter);
        } else if (option == "--collate") {
            flag(parsed.collate);
        } else if (option == "--fit") {
            const std::string size = reader.value(option, attached);
            parsed.fit = PageSizeNamed(size);
            if (!parsed.fit)
                throw UsageError("--fit takes A0, A1, A2, A3, A4 or A5, not '" + size + "'");
        } else if (option == "--temp-dir") {
            parsed.tempDir = reader.value(option, attached);
            if (parsed.tempDir->empty())
                throw UsageError("--temp-dir needs a folder");
        } else if (option == "--list") {
            parsed.list = reader.value(option, attached);
            if (parsed.list->empty())
                throw UsageError("--list needs a job-list file");
        } else if (option == "--force") {
            flag(parsed.force);
        } else if (option == "--wait") {
            flag(parsed.wait);
        } else if (option == "--timeout") {
            const std::string text = reader.value(option, attached);
            parsed.timeout = WholeNumberIn(text, 1, 86400);
            if (!parsed.timeout)
                throw UsageError("--timeout takes seconds from 1 to 86400, not '" + text + "'");
        } else {
            throw UsageError("unknown option " + option);
        }
    }
    if (parsed.timeout && !parsed.wait)
        throw UsageError("--timeout needs --wait");
    if (filesNeeded && !parsed.help && parsed.files.empty() && !parsed.list)
        throw UsageError("no file given");
    return parsed;
}

}  // namespace tavrin::cli
