#include "app/TavrinMain.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QPointer>
#include <QStyleFactory>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <future>

#include "app/SignalClose.h"
#include "app/SingleInstance.h"
#include "app/TavrinUnit.h"
#include "app/WindowPrintServer.h"
#include "joblist/LongFileName.h"
#include "settings/AddressedPrinterSettings.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"

namespace tavrin {

namespace {

constexpr std::chrono::milliseconds kListenAtTheLatest{500};

// Runs `then` once, right after the window's first paint.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(TTavrinForm& form, std::function<void()> then)
        : form_(form), then_(std::move(then)) {
        form.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            auto then = std::move(then_);
            then_ = nullptr;
            form_.removeEventFilter(this);
            QMetaObject::invokeMethod(this, then, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TTavrinForm& form_;
    std::function<void()> then_;
};

}  // namespace

void ListPrintersWhenAnswered(StartupPrefetch& prefetch, TTavrinForm& form) {
    const QPointer<TTavrinForm> answered(&form);
    prefetch.WhenReady([answered] {
        QMetaObject::invokeMethod(
            qApp,
            [answered] {
                if (answered)
                    answered->PrintersAnswered();
            },
            Qt::QueuedConnection);
    });
}

int RunTavrin(int& argc, char** argv, const StartHooks& hooks) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    // Every argument is a file name; the application object has taken its own options out.
    std::vector<std::string> args;
#ifdef _WIN32
    // argv is in the ANSI code page there; Qt reads the wide command line.
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        args.push_back(arguments[i].toStdString());
#else
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
#endif

    SingleInstance instance(SingleInstance::DefaultServerName());
    if (!args.empty() && instance.Answers()) {
        if (instance.HandOver(LongFileNames(args)))
            return 0;
    }

    // Work that needs no window is done beside the window's start-up, on worker threads: the
    // font database loads (its functions are thread-safe) while the window makes its menus,
    // the long forms of the command-line names are worked out, and the print server answers.
    auto fontDatabase = std::async(std::launch::async, [] { QFontDatabase::families(); });
    auto longNames = std::async(std::launch::async, [&args] { return LongFileNames(args); });
    // Qt gives the program's path with forward slashes; the folders taken from it are written
    // to the INI file as the system writes them.
    const SettingsLocation location = LocateSettings(std::filesystem::path(
        QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdU16String()));
    WindowPrintServer server(
        {}, [location] { return ReadStoredSettings(location).plain.PrinterIndex; },
        ReadAddressedPrinters(location));
    LocalClock clock;
    CreateCacheFolder(location);

    // The window does not wait for the print server: its printer box is filled once the
    // worker has the server's answers.
    TTavrinForm form(server.Spooler(), server.Probe(), clock, location, nullptr,
                     PrinterListing::WhenAnswered, server.RunConnections());
    form.FormCreate();
    form.FollowJobsWith(server.Watch());
    form.KeepPrintersByAddressIn(server.ByAddress());
    instance.OnFiles = [&form](const std::vector<std::string>& names) {
        form.AddHandedOverFiles(names);
    };
    SignalClose closeOnSignal([&form] { form.close(); });
    // What the window does not need in order to be seen waits until it has been painted once:
    // the About box and the Configure dialog, hidden until asked for, and taking names from later
    // starts. A window that is not painted soon (started minimised) takes names all the same.
    AfterFirstPaint afterFirstPaint(form, [&form, &hooks, &instance] {
        if (hooks.onFirstPaint)
            hooks.onFirstPaint(form);
        form.CreateDialogs();
        instance.Listen();
    });
    QTimer::singleShot(kListenAtTheLatest, &instance, [&instance] { instance.Listen(); });
    form.ShowFirst(longNames.get());
    ListPrintersWhenAnswered(server.Prefetch(), form);
    return QApplication::exec();
}

}  // namespace tavrin
