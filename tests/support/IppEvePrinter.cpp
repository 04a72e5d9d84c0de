// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/IppEvePrinter.h"
#include "support/WaitUntil.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cups/cups.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace tavrin::test {
namespace {

// A loopback port nothing listens on now.
int FreePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

bool Answers(int port) {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{
        AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    const bool answered =
        connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return answered;
}

}  // namespace

IppEvePrinter::IppEvePrinter(const std::string& formats, bool instant) {
    if (std::system("'" TAVRIN_SOURCE_DIR "/tools/start-dnssd'") != 0)
        throw std::runtime_error("ippeveprinter needs avahi-daemon, which did not start");
    port_ = FreePort();
    uri_ = "ipp://localhost:" + std::to_string(port_) + "/ipp/print";
    std::filesystem::create_directory(folder_ / "spool");
    const std::string log = (folder_ / "log").string();
    const std::string spool = (folder_ / "spool").string();
    name_ = "tavrin-test-" + std::to_string(port_);
    pid_ = fork();
    if (pid_ == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<std::string> args = {
            "ippeveprinter",       "-vvv", "-k",        "-d", spool,  "-f", formats,  "-p",
            std::to_string(port_), "-n",   "localhost", "-M", "Test", "-m", "Plotter"};
        if (instant)
            args.insert(args.end(), {"-c", "/bin/true"});
        args.push_back(name_);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp("ippeveprinter", argv.data());
        _exit(127);
    }
    const bool answers = WaitUntil(
        [&] {
            if (Answers(port_))
                return true;
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = 0;
                throw std::runtime_error("ippeveprinter did not start:\n" + Log());
            }
            return false;
        },
        std::chrono::seconds(5), std::chrono::milliseconds(50));
    if (!answers)
        throw std::runtime_error("ippeveprinter does not answer on port " + std::to_string(port_));
}

IppEvePrinter::~IppEvePrinter() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

std::vector<std::filesystem::path> IppEvePrinter::Documents() const {
    std::vector<std::filesystem::path> documents;
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "spool"))
        // The output of the print command is kept beside each document, as NAME.prn.
        if (entry.path().extension() != ".prn")
            documents.push_back(entry.path());
    // Kept as JOBID-NAME.EXT.
    std::sort(documents.begin(), documents.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.filename().string()) < std::stoi(b.filename().string());
    });
    return documents;
}

std::vector<std::string> IppEvePrinter::DocumentFormats() const {
    std::vector<std::string> formats;
    std::istringstream lines(Log());
    const std::string mark = "Send-Document document-format=\"";
    for (std::string line; std::getline(lines, line);)
        if (const auto at = line.find(mark); at != std::string::npos)
            formats.push_back(line.substr(at + mark.size(), line.rfind('"') - at - mark.size()));
    return formats;
}

std::string IppEvePrinter::Log() const {
    return ReadFile(folder_ / "log");
}

std::map<std::string, std::string> IppEvePrinter::JobAttributes(int jobId) const {
    std::map<std::string, std::string> attributes;
    http_t* http = httpConnect2("localhost", port_, nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http)
        return attributes;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri_.c_str());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ipp_t* response = cupsDoRequest(http, request, "/ipp/print");
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr;
         attr = ippNextAttribute(response)) {
        if (ippGetGroupTag(attr) != IPP_TAG_JOB || !ippGetName(attr))
            continue;
        char value[1024];
        ippAttributeString(attr, value, sizeof value);
        attributes[ippGetName(attr)] = value;
    }
    ippDelete(response);
    httpClose(http);
    return attributes;
}

}  // namespace tavrin::test
