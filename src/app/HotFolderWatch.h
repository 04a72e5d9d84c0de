// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <thread>

#include "app/RunPrintServer.h"
#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"
#include "settings/SettingsLocation.h"
#include "spool/SpoolChoices.h"

class QWidget;

namespace tavrin {

// The window's watch of its hot folders: while it is on and the window is open, a
// HotFolderService prints the folders' files on a thread of its own, with print server
// connections that it makes there, and each start takes the folders as the settings have them
// at that moment. It stops when it is turned off and when the window closes; the service looks
// at its stop request several times a second, so neither waits long. A child of the window,
// it goes with it.
class HotFolderWatch final : public QObject {
    Q_OBJECT

public:
    // `connections` makes the service's connections on its thread; without it the service uses
    // `spooler` and `probe` from that thread, which they must then allow.
    HotFolderWatch(QWidget& window, SettingsLocation location, RunPrintServerFactory connections,
                   PrintSpooler& spooler, DeviceProbe& probe);
    // Stops the service and waits for its thread.
    ~HotFolderWatch() override;

    void SetOn(bool on);
    bool On() const { return on_; }
    // Whether the service runs now.
    bool Running() const { return running_; }
    // Starts the service afresh, with the folders as the settings have them now, when it is on
    // and the window open.
    void Restart();

    // The choices the jobs start from (the temporary folder, the rewriters' search ranges),
    // asked for at each start.
    std::function<SpoolChoices()> BaseChoices;
    // Each line the service tells, with its time stamp, on the window's thread. It went to
    // stderr already.
    std::function<void(const QString& stamped)> OnLine;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Start();
    void Stop();
    // On the service's thread.
    void Tell(const std::string& line);

    QWidget& window_;
    SettingsLocation location_;
    RunPrintServerFactory connections_;
    PrintSpooler& spooler_;
    DeviceProbe& probe_;
    bool on_ = false;
    bool running_ = false;
    std::jthread thread_;
};

// Writes the check mark "Watch hot folders" (Watch in [HotFolders]) and nothing else: the
// folders' entries stay as they are, those the window could not read too. Throws Error
// "Unable to write to <path>".
void WriteWatchSetting(const SettingsLocation& location, bool on);

// "<YYYY-MM-DD HH:MM:SS> <line>", written on stderr as one line; returns what was written.
// From any thread.
QString TellOnStderr(const std::string& line);

// The window's background work (its job log, its hot folders) reports in the status bar's
// tooltip, which holds the latest stamped line: the panels keep what they show, and a panel
// without a tooltip of its own shows its bar's.
void ShowLatestInStatusBar(QWidget& statusBar, const QString& stamped);

}  // namespace tavrin
