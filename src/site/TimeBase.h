#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "platform/Clock.h"

// The decoder's two time bases: wall-clock "now" (Unix seconds, from an injectable Clock) and
// the tick counter that a 100 ms timer advances while the decoder exists. Channel activity
// expires on ticks; tables and logs stamp entries with "now".
//
// Without a window nothing needs a timer event every 100 ms: the counter can instead follow the
// monotonic clock (FollowSteadyClock), one tick per 100 ms since that call, with no thread waking.
class TimeBase {
    static constexpr int64_t kTickMs = 100;

public:
    static constexpr int32_t kTicksPerSecond = 1000 / kTickMs;

    explicit TimeBase(const Clock& clock = Clock::System()) : clock_(&clock) { }

    int64_t Now() const { return clock_->Now(); }
    void SetClock(const Clock& clock) { clock_ = &clock; }

    int32_t Tick() const
    {
        if (steady_.load(std::memory_order_relaxed)) {
            const auto elapsed = std::chrono::steady_clock::now() - steadyStart_;
            return tick_.load(std::memory_order_relaxed) +
                   static_cast<int32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() /
                                        kTickMs);
        }
        return tick_.load(std::memory_order_relaxed);
    }
    // From now on the counter advances by itself, from its present value.
    void FollowSteadyClock()
    {
        steadyStart_ = std::chrono::steady_clock::now();
        steady_.store(true);
    }
    void AdvanceTick() { tick_.fetch_add(1, std::memory_order_relaxed); }
    void SetTick(int32_t tick) { tick_.store(tick, std::memory_order_relaxed); }

private:
    const Clock* clock_;
    std::chrono::steady_clock::time_point steadyStart_{};  // set before steady_ is
    std::atomic<bool> steady_{false};
    std::atomic<int32_t> tick_{0};
};
