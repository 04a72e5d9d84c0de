// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace tavrin {

// How a program run by RunProgram ended.
struct ProgramRun {
    // False when the program could not be found or executed; `errorOutput` then says why.
    bool started = false;
    // The exit status, or 128 + the signal's number when a signal ended the program.
    int exitCode = -1;
    // The time limit passed and the program was killed.
    bool timedOut = false;
    std::string output;       // the start of what it wrote on stdout, when asked for
    std::string errorOutput;  // the start of what it wrote on stderr
};

struct ProgramLimits {
    std::chrono::milliseconds time{15000};
    std::size_t output = 0;  // bytes of stdout kept; 0: stdout goes to the null device
    std::size_t errorOutput = 4096;
};

// Runs argv[0] (looked up on PATH when it holds no '/') with the arguments that follow, its
// stdin the null device, and waits for it to end. The program gets a process group of its own:
// when the time limit passes, the group is killed; when the program ends first, whatever it left
// running in the group is. Nothing is left unreaped, and the program inherits no pipe of ours.
// Output past the limits is read and dropped, so a talkative program never blocks.
ProgramRun RunProgram(const std::vector<std::string>& argv, const ProgramLimits& limits);

inline ProgramRun RunProgram(const std::vector<std::string>& argv,
                             std::chrono::milliseconds timeLimit) {
    return RunProgram(argv, ProgramLimits{timeLimit});
}

}  // namespace tavrin
