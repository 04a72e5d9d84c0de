#include "app/TavrinMain.h"

#include <QApplication>
#include <QEvent>
#include <QStyleFactory>
#include <QTimer>

#include "app/SignalClose.h"
#include "app/SingleInstance.h"
#include "app/TavrinUnit.h"
#include "app/settings/SettingsLocation.h"
#include "joblist/LongFileName.h"
#include "platform/CupsDeviceProbe.h"
#include "platform/CupsPrintSpooler.h"

namespace tavrin {

namespace {

// Reports the first paint of a window once.
class FirstPaint : public QObject {
public:
    FirstPaint(TTavrinForm& form, std::function<void(TTavrinForm&)> report)
        : form_(form), report_(std::move(report)) {
        form.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && report_) {
            auto report = std::move(report_);
            report_ = nullptr;
            form_.removeEventFilter(this);
            QMetaObject::invokeMethod(
                this, [this, report] { report(form_); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TTavrinForm& form_;
    std::function<void(TTavrinForm&)> report_;
};

}  // namespace

int RunTavrin(int& argc, char** argv, const StartHooks& hooks) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    // Every argument is a file name; the application object has taken its own options out.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    SingleInstance instance(SingleInstance::DefaultServerName());
    if (!args.empty() && instance.Answers()) {
        if (instance.HandOver(LongFileNames(args)))
            return 0;
    }

    CupsPrintSpooler spooler;
    CupsDeviceProbe probe;
    LocalClock clock;
    const SettingsLocation location =
        LocateSettings(QCoreApplication::applicationFilePath().toStdString());
    CreateCacheFolder(location);

    TTavrinForm form(spooler, probe, clock, location);
    form.FormCreate();
    form.CreateDialogs();
    instance.OnFiles = [&form](const std::vector<std::string>& names) {
        form.AddHandedOverFiles(names);
    };
    SignalClose closeOnSignal([&form] { form.close(); });
    FirstPaint firstPaint(form, hooks.onFirstPaint);
    form.ShowFirst(args);
    // Taking names from later starts can wait until the window is up.
    QTimer::singleShot(0, &instance, [&instance] { instance.Listen(); });
    return QApplication::exec();
}

}  // namespace tavrin
