#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace tavrin {

// Turns SIGTERM and SIGINT into a call on the GUI thread: the signal handler only writes a byte
// to a socket pair, whose other end a QSocketNotifier watches. One per program.
class SignalClose : public QObject {
    Q_OBJECT
public:
    explicit SignalClose(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalClose() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tavrin
