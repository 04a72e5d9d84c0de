#include "app/WindowPrintServer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

namespace tavrin {

void PaintingWait::WaitUntil(const std::function<bool()>& done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers |
                                        QEventLoop::WaitForMoreEvents);
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
      calls_(prefetch_.Spooler(), prefetch_.Probe(), wait_) {}

}  // namespace tavrin
