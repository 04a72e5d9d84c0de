#pragma once

#include <optional>
#include <string>

#include "cli/CliCommands.h"
#include "spool/SpoolOptions.h"

namespace tavrin::cli {

// What `tavrin-cli send` was asked to do: the choices a user makes in the window before
// pressing "&OK, Print!!".
struct SendArgs {
    bool help = false;
    std::optional<std::string> printer;  // name or index; none: the window's stored printer
    std::optional<int> copies;           // SpinEdit1, 1..99
    bool set = false;                    // "Treat joblist as set"
    bool reverse = false;                // "Re&verse set order"
    bool clear = false;                  // "C&lear list after spooling"
    bool deviceCopies = false;           // "Copies by plotter" / "Copies by printer"
    bool qualityOnPlotter = false;       // "Quality on plotter"
    bool collate = false;                // "Collate copies"
    std::optional<PageSize> fit;         // "Fit to page: " with this size
    std::optional<std::string> tempDir;  // folder of the temporary file
    std::optional<std::string> list;     // job-list file whose rows come first
    bool wait = false;                   // follow every job to its end
    std::optional<int> timeout;          // seconds --wait waits at most
    bool force = false;                  // send to a device that may not read the files
    Args files;
};

// Reads the arguments after "send". Throws UsageError for an unknown option, a missing or bad
// value, or (when `filesNeeded`) nothing to send.
SendArgs ParseSendArgs(const Args& args, bool filesNeeded = true);

// The page size named "A0" .. "A5"; nothing for any other text.
std::optional<PageSize> PageSizeNamed(const std::string& name);

extern const char* const kSendHelp;

}  // namespace tavrin::cli
