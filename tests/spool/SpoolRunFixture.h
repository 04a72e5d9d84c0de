#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "joblist/GridModel.h"
#include "joblist/JobList.h"
#include "platform/Error.h"
#include "platform/PlainForm.h"
#include "spool/Clock.h"
#include "spool/Session.h"
#include "support/FakeDeviceProbe.h"
#include "support/FakePrintSpooler.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin::test {

namespace fs = std::filesystem;

class StoppedClock : public Clock {
public:
    TimeOfDay Now() const override { return {3, 15}; }
};

// A whole engine over plain controls, an in-memory grid, a spooler in memory and a probe that
// answers from a table: printer 0 "plotter" is HP-GL/2, 1 "laser" PostScript, 2 "oce" an Oce
// (by its description), 3 "raw" a device without a technology.
class SpoolRunTest : public ::testing::Test {
public:
    static constexpr int kPlotter = 0;
    static constexpr int kLaser = 1;
    static constexpr int kOce = 2;
    static constexpr int kRaw = 3;

protected:
    SpoolRunTest() {
        LayOutJobListGrid(grid);
        form.onShowMessage = [this](const std::string& text) { messages.push_back(text); };
        form.onProcessMessages = [this] {
            ++messageRounds;
            if (betweenFiles)
                betweenFiles();
        };
        WirePlainForm(form, session);
        fs::create_directory(folder / "tmp");
        Settings settings;
        settings.TempFilesPath = (folder / "tmp").string();
        settings.PrinterIndex = kRaw;
        session.FormCreate(settings);
    }

    static FakePrintSpooler FourPrinters() {
        FakePrintSpooler spooler;
        spooler.printers = {"plotter", "laser", "oce", "raw"};
        return spooler;
    }
    static FakeDeviceProbe FourDevices() {
        FakeDeviceProbe probe;
        probe.answers["plotter"] = {"HP DesignJet 650C", "HPGL/2"};
        probe.answers["laser"] = {"LaserWriter", "PostScript"};
        probe.answers["oce"] = {"Oce 9600 plot room", std::nullopt};
        return probe;
    }

    // Writes a small file named `name` holding `bytes` and returns its path.
    std::string File(const std::string& name, const std::string& bytes = "") {
        const fs::path path = folder / name;
        WriteBytes(path, bytes.empty() ? "data of " + name : bytes);
        return path.string();
    }
    std::string Sample(const std::string& relative) { return (SamplesDir() / relative).string(); }

    void Select(int printer) { session.PrinterListChange(printer); }

    // A list of the given files, each with its own copy count text.
    void List(const std::vector<std::pair<std::string, std::string>>& rows) {
        std::vector<std::string> names;
        for (const auto& row : rows)
            names.push_back(row.first);
        session.AddFiles(names);
        for (std::size_t i = 0; i < rows.size(); ++i)
            grid.setCell(1, static_cast<int>(i) + 1, rows[i].second);
    }

    // The document names of the jobs the spooler took, in order.
    std::vector<std::string> Documents() const {
        std::vector<std::string> names;
        for (const auto& job : spooler.jobs)
            names.push_back(job.documentName);
        return names;
    }
    std::string TempFile() const { return (folder / "tmp" / "temp.$$$").string(); }

    void ExpectIdle() const {
        EXPECT_EQ(form.okPrint.caption(), "&OK, Print!!");
        EXPECT_TRUE(form.okPrint.enabled());
    }

    ScratchFolder folder;
    GridModel grid;
    PlainForm form{grid};
    FakePrintSpooler spooler = FourPrinters();
    FakeDeviceProbe probe = FourDevices();
    StoppedClock clock;
    Session session{form, spooler, probe, clock,
                    SettingsLocation{folder / "tavrin.ini", folder.path().string(),
                                     (folder / "cache").string()}};
    std::vector<std::string> messages;
    int messageRounds = 0;
    std::function<void()> betweenFiles;
};

}  // namespace tavrin::test
