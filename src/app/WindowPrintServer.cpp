#include "app/WindowPrintServer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

namespace tavrin {

void PaintingWait::WaitUntil(const std::function<bool()>& done) {
    // A wait the user may notice shows the busy cursor; the timer wakes the loop to show it.
    constexpr int kNoticeableMilliseconds = 150;
    QElapsedTimer waited;
    waited.start();
    QTimer noticeable;
    noticeable.setSingleShot(true);
    noticeable.start(kNoticeableMilliseconds);
    bool busy = false;
    ++depth_;
    while (!done()) {
        if (!busy && waited.elapsed() >= kNoticeableMilliseconds) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
            busy = true;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers |
                                        QEventLoop::WaitForMoreEvents);
    }
    --depth_;
    if (busy)
        QGuiApplication::restoreOverrideCursor();
}

void PaintingWait::Wake() {
    if (QAbstractEventDispatcher* dispatcher =
            QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread()))
        dispatcher->wakeUp();
}

WindowPrintServer::WindowPrintServer(CupsTimeouts timeouts, std::function<int()> storedPrinterIndex)
    : spooler_(timeouts),
      probe_(timeouts),
      prefetch_(spooler_, probe_, std::move(storedPrinterIndex)),
      calls_(prefetch_.Spooler(), prefetch_.Probe(), wait_),
      watch_([timeouts] { return std::make_unique<CupsPrintSpooler>(timeouts); }) {}

}  // namespace tavrin
