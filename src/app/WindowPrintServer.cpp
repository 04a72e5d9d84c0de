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

// Connections of their own, to the queues and to the printers by address, which they take from
// the window's list at each use: a printer added since they were made is known too.
class OwnConnections final : public RunPrintServer {
public:
    OwnConnections(CupsTimeouts timeouts, const AddressedPrinters& window)
        : window_(window),
          queues_(MakeSystemSpooler(timeouts)),
          queueProbe_(MakeSystemDeviceProbe(timeouts)),
          printers_(*queues_, *queueProbe_, window.Printers()) {}

    PrintSpooler& Spooler() override { return spooler_; }
    DeviceProbe& Probe() override { return probe_; }

private:
    AddressedPrinters& Current() {
        printers_.SetPrinters(window_.Printers());
        return printers_;
    }

    class Spooling final : public PrintSpooler {
    public:
        explicit Spooling(OwnConnections& owner) : owner_(owner) {}
        std::vector<std::string> PrinterNames() override {
            return owner_.Current().Spooler().PrinterNames();
        }
        std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override {
            return owner_.Current().Spooler().Open(printerName);
        }
        std::string LastError() const override { return owner_.printers_.Spooler().LastError(); }

    private:
        OwnConnections& owner_;
    };
    class Probing final : public DeviceProbe {
    public:
        explicit Probing(OwnConnections& owner) : owner_(owner) {}
        DeviceAnswer Probe(const std::string& deviceName) override {
            return owner_.Current().Probe().Probe(deviceName);
        }

    private:
        OwnConnections& owner_;
    };

    const AddressedPrinters& window_;
    std::unique_ptr<PrintSpooler> queues_;
    std::unique_ptr<DeviceProbe> queueProbe_;
    AddressedPrinters printers_;
    Spooling spooler_{*this};
    Probing probe_{*this};
};

// The watch owns its spooler.
class WatchSpooler final : public PrintSpooler {
public:
    WatchSpooler(CupsTimeouts timeouts, const AddressedPrinters& window)
        : own_(timeouts, window), spooler_(own_.Spooler()) {}
    std::vector<std::string> PrinterNames() override { return spooler_.PrinterNames(); }
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override {
        return spooler_.Open(printerName);
    }
    std::string LastError() const override { return spooler_.LastError(); }

private:
    OwnConnections own_;
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
    : timeouts_(timeouts),
      spooler_(MakeSystemSpooler(timeouts)),
      probe_(MakeSystemDeviceProbe(timeouts)),
      byAddress_(*spooler_, *probe_, std::move(printersByAddress)),
      prefetch_(byAddress_.Spooler(), byAddress_.Probe(), std::move(storedPrinterIndex)),
      calls_(prefetch_.Spooler(), prefetch_.Probe(), wait_),
      watch_([this, timeouts] { return std::make_unique<WatchSpooler>(timeouts, byAddress_); }) {}

RunPrintServerFactory WindowPrintServer::RunConnections() {
    return [this] { return std::make_unique<OwnConnections>(timeouts_, byAddress_); };
}

}  // namespace tavrin
