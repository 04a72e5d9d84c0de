// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "printers/QueueManagement.h"
#include "printsystem/PrintSpooler.h"

// Pauses `queue` and leaves `count` small jobs waiting in it ("sheet0", "sheet1", ...); returns
// their ids. Exits the benchmark when the print server refuses.
inline std::vector<int> PauseWithWaitingJobs(tavrin::PrintSpooler& spooler,
                                             const std::string& queue, int count) {
    if (!tavrin::SendQueueCommand(spooler, queue, tavrin::QueueCommand::Pause).accepted) {
        std::fprintf(stderr, "cannot pause %s\n", queue.c_str());
        std::exit(1);
    }
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) {
        const auto job = spooler.Open(queue)->StartRawDocument("sheet" + std::to_string(i));
        job->Write("IN;PG;", 6);
        if (!job->Finish()) {
            std::fprintf(stderr, "job %d refused: %s\n", i, job->error().c_str());
            std::exit(1);
        }
        ids.push_back(job->id());
    }
    return ids;
}
