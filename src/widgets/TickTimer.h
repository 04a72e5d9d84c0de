#pragma once

#include <functional>
#include <memory>

namespace tavrin {

// A periodic timer that ticks on the GUI thread. The widgets take one from a factory, so that
// tests can drive the ticks with a clock of their own.
class TickTimer {
public:
    virtual ~TickTimer() = default;

    virtual void SetInterval(int milliseconds) = 0;
    virtual int Interval() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;

    std::function<void()> OnTick;
};

using TickTimerFactory = std::function<std::unique_ptr<TickTimer>()>;

// Timers on QTimer.
TickTimerFactory QtTickTimers();

}  // namespace tavrin
