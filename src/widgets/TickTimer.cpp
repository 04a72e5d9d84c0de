#include "widgets/TickTimer.h"

#include <QTimer>

namespace tavrin {
namespace {

class QtTickTimer : public TickTimer {
public:
    QtTickTimer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (OnTick)
                OnTick();
        });
    }
    void SetInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
    int Interval() const override { return timer_.interval(); }
    void SetEnabled(bool enabled) override {
        if (enabled == timer_.isActive())
            return;
        if (enabled) {
            timer_.start();
        } else {
            timer_.stop();
        }
    }
    bool Enabled() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace

TickTimerFactory QtTickTimers() {
    return [] { return std::make_unique<QtTickTimer>(); };
}

}  // namespace tavrin
