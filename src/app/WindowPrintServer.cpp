#include "app/WindowPrintServer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

namespace tavrin {
namespace {

// The watch's own connections, to the queues and to the printers by address, which it takes
// from the window's list at each use: a printer added since the watch began is known too.
class WatchSpooler final : public PrintSpooler {
public:
    WatchSpooler(CupsTimeouts timeouts, const AddressedPrinters& window)
        : window_(window),
          queues_(MakeSystemSpooler(timeouts)),
          probe_(MakeSystemDeviceProbe(timeouts)),
          printers_(*queues_, *probe_, window.Printers()),
          spooler_(printers_.Spooler()) {}

    std::vector<std::string> PrinterNames() override {
        printers_.SetPrinters(window_.Printers());
        return spooler_.PrinterNames();
    }
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override {
        printers_.SetPrinters(window_.Printers());
        return spooler_.Open(printerName);
    }
    std::string LastError() const override { return spooler_.LastError(); }

private:
    const AddressedPrinters& window_;
    std::unique_ptr<PrintSpooler> queues_;
    std::unique_ptr<DeviceProbe> probe_;
    AddressedPrinters printers_;
    PrintSpooler& spooler_;
};

}  // namespace

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

WindowPrintServer::WindowPrintServer(CupsTimeouts timeouts, std::function<int()> storedPrinterIndex,
                                     std::vector<AddressedPrinter> printersByAddress)
    : spooler_(MakeSystemSpooler(timeouts)),
      probe_(MakeSystemDeviceProbe(timeouts)),
      byAddress_(*spooler_, *probe_, std::move(printersByAddress)),
      prefetch_(byAddress_.Spooler(), byAddress_.Probe(), std::move(storedPrinterIndex)),
      calls_(prefetch_.Spooler(), prefetch_.Probe(), wait_),
      watch_([this, timeouts] { return std::make_unique<WatchSpooler>(timeouts, byAddress_); }) {}

}  // namespace tavrin
