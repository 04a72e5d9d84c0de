// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the README's picture of the window: two sample files from a neutral folder (/tmp/plots)
// in the job list and the sandbox print server's HP-GL/2 plotter chosen, with the printer type in
// the status bar rather than the sandbox's port, which changes from run to run.
//
//     readme-screenshot docs/tavrin-window.png
#include <stdlib.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/TavrinMain.h"
#include "app/TavrinUnit.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 64;
    }
    const fs::path output = fs::absolute(argv[1]);
    const fs::path plots = "/tmp/plots";
    fs::create_directories(plots);
    std::vector<std::string> files;
    for (const char* sample : {"jem-green-HPGL2/XANADU-PLT-test.plt", "ghostpdl/colorcir.ps"}) {
        const fs::path target = plots / fs::path(sample).filename();
        fs::copy_file(tavrin::test::SamplesDir() / sample, target,
                      fs::copy_options::overwrite_existing);
        files.push_back(target.string());
    }

    tavrin::test::SandboxPrintServer server;
    tavrin::test::TempFolder user;
    for (const char* folder : {"config/tavrin", "cache", "run"})
        fs::create_directories(user / folder);
    fs::permissions(user / "run", fs::perms::owner_all);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("XDG_CONFIG_HOME", (user / "config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (user / "cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (user / "run").c_str(), 1);
    std::ofstream(user / "config/tavrin/tavrin.ini")
        << "[Window]\nxpos=100\nypos=100\n[Data]\nTempFilesPath=" << (user / "cache").string()
        << "\n[Printers]\nPrinter#=0\n[SetUp]\nFromStart=600\nFromEnd=30\nPSPageSize=A4\n"
           "[Mode]\nAddMode=0\nClearAfterSpool=0\nShowPrinterType=1\nReverseSet=1\n"
           "[Schedule]\nHours=12\nMinutes=0\n";

    std::vector<std::string> arguments{"tavrin"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    int childArgc = static_cast<int>(arguments.size());

    bool saved = false;
    tavrin::StartHooks hooks;
    hooks.onFirstPaint = [&](tavrin::TTavrinForm& form) {
        // Once the start-up's later steps (the printer panel, the long file names) are shown.
        QTimer::singleShot(500, &form, [&] {
            saved = form.grab().save(QString::fromStdString(output.string()), "PNG");
            QApplication::exit(saved ? 0 : 1);
        });
    };
    const int code = tavrin::RunTavrin(childArgc, pointers.data(), hooks);
    if (!saved) {
        std::fprintf(stderr, "no picture was saved to %s\n", output.c_str());
        return code == 0 ? 1 : code;
    }
    std::printf("%s\n", output.c_str());
    return 0;
}
