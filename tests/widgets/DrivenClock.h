#pragma once

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "widgets/TickTimer.h"

namespace tavrin::test {

// Timers that tick only when the test moves the clock on. Each timer restarts from the current
// time when it is enabled or its interval changes, as QTimer does. The clock must outlive the
// widgets whose timers it made.
class DrivenClock {
public:
    TickTimerFactory Timers() {
        return [this] { return std::make_unique<Timer>(*this); };
    }

    long Now() const { return now_; }
    // Moves the time on by `milliseconds`, firing every tick that falls due on the way in order.
    void Advance(long milliseconds) {
        const long end = now_ + milliseconds;
        for (;;) {
            const auto next = std::ranges::min_element(timers_, {}, &Timer::Due);
            if (next == timers_.end() || (*next)->Due() > end)
                break;
            Timer& timer = **next;
            now_ = timer.due_;
            timer.due_ = now_ + timer.interval_;
            if (timer.OnTick)
                timer.OnTick();
        }
        now_ = end;
    }

private:
    class Timer : public TickTimer {
    public:
        explicit Timer(DrivenClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }
        ~Timer() override { std::erase(clock_.timers_, this); }
        void SetInterval(int milliseconds) override {
            interval_ = std::max(milliseconds, 1);
            due_ = clock_.now_ + interval_;
        }
        int Interval() const override { return interval_; }
        void SetEnabled(bool enabled) override {
            if (enabled && !enabled_)
                due_ = clock_.now_ + interval_;
            enabled_ = enabled;
        }
        bool Enabled() const override { return enabled_; }
        long Due() const { return enabled_ ? due_ : LONG_MAX; }

        DrivenClock& clock_;
        int interval_ = 1000;
        bool enabled_ = false;
        long due_ = 0;
    };

    long now_ = 0;
    std::vector<Timer*> timers_;
};

}  // namespace tavrin::test
