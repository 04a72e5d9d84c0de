// SPDX-License-Identifier: GPL-3.0-or-later
// Printers reached at their own address, listed after the print server's queues.
#include <gtest/gtest.h>

#include "printers/AddressedPrinters.h"
#include "printers/DeviceClass.h"
#include "printers/ProbeDeviceClass.h"
#include "support/FakePrintSpooler.h"

namespace tavrin {
namespace {

// A loopback port nothing listens on.
constexpr const char* kDeadIpp = "ipp://127.0.0.1:9/ipp/print";

struct Printers {
    explicit Printers(std::vector<AddressedPrinter> list)
        : addressed(queues, queueProbe, std::move(list), {}, {{200, 1.0}, 0, 0}) {}
    test::FakePrintSpooler queues;
    test::FakeDeviceProbe queueProbe;
    AddressedPrinters addressed;
};

TEST(AddressedPrinters, AreListedAfterTheQueuesAndTheirClassComesFromWhatIsKnownOfThem) {
    Printers printers({{"Plotter", "socket://10.0.0.5", "HPGL/2"},
                       {"Oce room", "socket://10.0.0.6:9101", kOceDeviceClass},
                       {"", "socket://10.0.0.7", ""},
                       {"Far", kDeadIpp, ""}});
    printers.queues.printers = {"queue"};
    EXPECT_EQ(
        printers.addressed.Spooler().PrinterNames(),
        (std::vector<std::string>{"queue", "Plotter", "Oce room", "socket://10.0.0.7", "Far"}));
    // With printers by address on the list, a print server that does not answer fails nothing.
    printers.queues.unreachable = "Cannot reach the print server";
    EXPECT_EQ(printers.addressed.Spooler().PrinterNames().size(), 4u);
    EXPECT_EQ(printers.addressed.Spooler().LastError(), "");
    const std::pair<const char*, const char*> classes[] = {
        {"Plotter", "HPGL/2"},
        {"Oce room", kOceDeviceClass},
        {"socket://10.0.0.7", kUnknownDeviceClass},
        // An IPP printer that does not answer is not known, and no error until it is used.
        {"Far", kUnknownDeviceClass},
        {"socket://10.0.0.8", kUnknownDeviceClass},
    };
    for (const auto& [name, deviceClass] : classes)
        EXPECT_EQ(ProbeDeviceClass(printers.addressed.Probe(), name), deviceClass) << name;

    const auto job = printers.addressed.Spooler().Open("Far")->StartRawDocument("plot.plt");
    EXPECT_FALSE(job->ok());
    EXPECT_EQ(job->error().rfind(std::string("Cannot connect to ") + kDeadIpp + ": ", 0), 0u)
        << job->error();

    const auto plotter = printers.addressed.Spooler().Open("Plotter");
    EXPECT_FALSE(plotter->Send(QueueCommand::Pause));
    EXPECT_EQ(plotter->error(), "a device on a socket has no queue");

    printers.addressed.SetPrinters({});
    EXPECT_EQ(printers.addressed.Spooler().PrinterNames(), std::vector<std::string>{});
    EXPECT_EQ(printers.addressed.Spooler().LastError(), "Cannot reach the print server");
}

TEST(AddressedPrinters, AnIppPrintersClassComesFromWhatItTakesAndItsMakeAndModel) {
    const auto formats = [](std::vector<std::string> list) {
        IppPrinterDescription description;
        description.documentFormats = std::move(list);
        return description;
    };
    IppPrinterDescription oce = formats({"application/vnd.hp-hpgl"});
    oce.makeAndModel = "Oce 9600";
    const std::pair<IppPrinterDescription, const char*> rows[] = {
        {formats({"application/octet-stream", "application/vnd.hp-hpgl"}), "HPGL/2"},
        {formats({"application/pdf", "application/postscript"}), "POSTSCRIPT"},
        {formats({"application/postscript", "application/vnd.hp-hpgl"}), "HPGL/2"},
        {formats({"application/pdf", "image/pwg-raster"}), kUnknownDeviceClass},
        {oce, kOceDeviceClass},
    };
    for (const auto& [description, deviceClass] : rows) {
        test::FakeDeviceProbe probe;
        probe.answers["p"] = DeviceAnswerOfIppPrinter("p", description);
        EXPECT_EQ(ProbeDeviceClass(probe, "p"), deviceClass) << description.documentFormats[0];
    }
}

}  // namespace
}  // namespace tavrin
