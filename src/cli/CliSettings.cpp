#include <iostream>

#include "cli/CliCommands.h"
#include "printers/StartupPrinterIndex.h"
#include "printsystem/SystemSpooler.h"
#include "settings/EffectiveSettings.h"
#include "settings/IniNumbers.h"

namespace tavrin::cli {

int RunSettings(const Args& args) {
    if (!args.empty())
        throw UsageError("settings takes no arguments");
    const SettingsLocation location = LocateSettings(WindowProgramFile());
    const StoredSettings values = ReadEffectiveSettings(location);
    const Settings& plain = values.plain;
    const int printerCount = static_cast<int>(MakeSystemSpooler()->PrinterNames().size());

    std::cout << "IniFile=" << location.IniFileName.string() << '\n'
              << "xpos=" << plain.xpos << '\n'
              << "ypos=" << plain.ypos << '\n'
              << "Printer#=" << StartupPrinterIndex(plain.PrinterIndex, printerCount) << '\n'
              << "TempFilesPath=" << plain.TempFilesPath << '\n'
              << "PlotFilesPath=" << plain.PlotFilesPath << '\n'
              << "FromStart=" << plain.FromStart << '\n'
              << "FromEnd=" << plain.FromEnd << '\n'
              << "PSPageSize=" << plain.PSPageSize << '\n'
              << "AddMode=" << IniBoolText(values.AddMode) << '\n'
              << "ClearAfterSpool=" << IniBoolText(values.ClearAfterSpool) << '\n'
              << "ShowPrinterType=" << IniBoolText(values.ShowPrinterType) << '\n'
              << "ReverseSet=" << IniBoolText(values.ReverseSet) << '\n'
              << "Hours=" << values.Hours << '\n'
              << "Minutes=" << values.Minutes << '\n';
    return kExitOk;
}

}  // namespace tavrin::cli
