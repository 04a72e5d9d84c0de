// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace tavrin::test {

// A real IPP printer (ippeveprinter from cups-ipp-utils) on a free loopback port, keeping every
// document it receives in a folder of its own and logging each request. It takes the
// `formats` given (a comma-separated list of MIME types) and is a "Test Plotter". `instant` has
// it end each job at once; without, each job keeps it busy for some seconds, as a printer
// printing it would. Throws std::runtime_error when it cannot
// start (it needs the DNS-SD daemon, which tools/start-dnssd starts).
class IppEvePrinter {
public:
    explicit IppEvePrinter(const std::string& formats, bool instant = true);
    ~IppEvePrinter();
    IppEvePrinter(const IppEvePrinter&) = delete;
    IppEvePrinter& operator=(const IppEvePrinter&) = delete;

    // "ipp://localhost:PORT/ipp/print"
    const std::string& Uri() const { return uri_; }
    int Port() const { return port_; }
    // The name it announces on DNS-SD.
    const std::string& Name() const { return name_; }
    // The documents kept so far, oldest first.
    std::vector<std::filesystem::path> Documents() const;
    // The document-format of every Send-Document and Print-Job, in the order received.
    std::vector<std::string> DocumentFormats() const;
    std::string Log() const;
    // Every attribute the printer keeps for job `jobId`, as text by name.
    std::map<std::string, std::string> JobAttributes(int jobId) const;

private:
    TempFolder folder_;
    int port_ = 0;
    std::string uri_;
    std::string name_;
    int pid_ = 0;
};

}  // namespace tavrin::test
