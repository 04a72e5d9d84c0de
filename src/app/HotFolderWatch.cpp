// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HotFolderWatch.h"

#include <QDateTime>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "hotfolder/HotFolderService.h"
#include "hotfolder/HotFolderSettings.h"
#include "joblog/JobLogRecorder.h"
#include "platform/PrivateProfile.h"
#include "settings/IniNumbers.h"

namespace tavrin {
namespace {

// The service's lines, handed on as they come.
class LineTeller final : public HotFolderObserver {
public:
    explicit LineTeller(std::function<void(const std::string&)> tell) : tell_(std::move(tell)) {}
    void Line(const std::string& text) override { tell_(text); }

private:
    std::function<void(const std::string&)> tell_;
};

std::string FolderCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " hot folder" : " hot folders");
}

}  // namespace

void WriteWatchSetting(const SettingsLocation& location, bool on) {
    // A folder that cannot be made is reported by the write.
    std::error_code ignored;
    std::filesystem::create_directories(location.IniFileName.parent_path(), ignored);
    WriteProfileString(location.IniFileName, "HotFolders", "Watch", IniBoolText(on));
}

QString TellOnStderr(const std::string& line) {
    const QString stamped =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) +
        QString::fromStdString(line);
    // One write per line, so that lines of several threads do not run into each other.
    std::fprintf(stderr, "%s\n", stamped.toLocal8Bit().constData());
    return stamped;
}

void ShowLatestInStatusBar(QWidget& statusBar, const QString& stamped) {
    statusBar.setToolTip(stamped);
}

HotFolderWatch::HotFolderWatch(QWidget& window, SettingsLocation location,
                               RunPrintServerFactory connections, PrintSpooler& spooler,
                               DeviceProbe& probe)
    : QObject(&window),
      window_(window),
      location_(std::move(location)),
      connections_(std::move(connections)),
      spooler_(spooler),
      probe_(probe) {
    setObjectName(QStringLiteral("HotFolderWatch"));
    window.installEventFilter(this);
}

HotFolderWatch::~HotFolderWatch() {
    // Here, while everything the thread uses is still there.
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

void HotFolderWatch::SetOn(bool on) {
    on_ = on;
    if (on && window_.isVisible())
        Start();
    else if (!on)
        Stop();
}

void HotFolderWatch::Restart() {
    if (!on_ || !window_.isVisible())
        return;
    Stop();
    Start();
}

bool HotFolderWatch::eventFilter(QObject* watched, QEvent* event) {
    // A window that is minimised is hidden by the system (a spontaneous hide): it stays open.
    if (watched == &window_) {
        if (event->type() == QEvent::Show && on_)
            Start();
        else if (event->type() == QEvent::Hide && !event->spontaneous())
            Stop();
    }
    return QObject::eventFilter(watched, event);
}

void HotFolderWatch::Start() {
    if (running_)
        return;
    // A service asked to stop ends within one look at its folders.
    if (thread_.joinable())
        thread_.join();
    const HotFolderSettings settings = ReadHotFolderSettings(location_);
    for (const std::string& problem : settings.problems)
        Tell(problem);
    if (settings.folders.empty()) {
        Tell("No hot folders to watch: Configure > Hot folders... sets them up");
        return;
    }
    SpoolChoices base = BaseChoices ? BaseChoices() : SpoolChoices{};
    // Each file is a run of its own, with its folder's copies and options.
    base.jobAsSet = false;
    base.clearAfterSpooling = false;
    base.reverseSet = false;
    running_ = true;
    Tell("Watching " + FolderCount(settings.folders.size()));
    thread_ = std::jthread(
        [this, folders = settings.folders, base = std::move(base)](std::stop_token stop) {
            try {
                const std::unique_ptr<RunPrintServer> own = connections_ ? connections_() : nullptr;
                // The service writes its folder's path into each record.
                JobLogRecorder recorder("hot folder");
                LineTeller teller([this](const std::string& line) { Tell(line); });
                HotFolderService service(folders, own ? own->Spooler() : spooler_,
                                         own ? own->Probe() : probe_, recorder, teller, base);
                service.Run(stop);
            } catch (const std::exception& error) {
                Tell(std::string("Hot folders are not watched: ") + error.what());
            }
        });
}

void HotFolderWatch::Stop() {
    if (!running_)
        return;
    running_ = false;
    thread_.request_stop();
    Tell("Hot folders are no longer watched");
}

void HotFolderWatch::Tell(const std::string& line) {
    const QString stamped = TellOnStderr(line);
    // The watch waits for its thread before it goes, so it is there to take this.
    QMetaObject::invokeMethod(
        this,
        [this, stamped] {
            if (OnLine)
                OnLine(stamped);
        },
        Qt::QueuedConnection);
}

}  // namespace tavrin
