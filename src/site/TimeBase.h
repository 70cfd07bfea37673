#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>

#include "platform/Clock.h"

// The decoder's two time bases: wall-clock "now" (Unix seconds, from an injectable Clock) and
// the tick counter that a 100 ms timer advances while the decoder exists. Channel activity
// expires on ticks; tables and logs stamp entries with "now".
//
// Whenever nothing needs a timer event every 100 ms (a run without a window, or a window with no
// session and nothing left to expire) the counter can instead follow the monotonic clock
// (FollowSteadyClock), one tick per 100 ms from its present value, with no thread waking;
// FollowTimer hands it back to the timer at the value it has reached.
class TimeBase {
    static constexpr int64_t kTickMs = 100;

public:
    static constexpr int32_t kTicksPerSecond = 1000 / kTickMs;

    explicit TimeBase(const Clock& clock = Clock::System()) : clock_(&clock) { }

    int64_t Now() const { return clock_->Now(); }
    void SetClock(const Clock& clock) { clock_ = &clock; }

    int32_t Tick() const
    {
        const int64_t origin = steadyOrigin_.load(std::memory_order_acquire);
        if (origin != kByTimer)
            return static_cast<int32_t>((SteadyMs() - origin) / kTickMs);
        return tick_.load(std::memory_order_relaxed);
    }
    // From now on the counter advances by itself, from its present value.
    void FollowSteadyClock()
    {
        if (steadyOrigin_.load() == kByTimer)
            steadyOrigin_.store(SteadyMs() - int64_t{tick_.load()} * kTickMs, std::memory_order_release);
    }
    // From now on only AdvanceTick moves the counter, from the value it has reached.
    void FollowTimer()
    {
        if (steadyOrigin_.load() == kByTimer)
            return;
        tick_.store(Tick());
        steadyOrigin_.store(kByTimer, std::memory_order_release);
    }
    bool FollowsSteadyClock() const { return steadyOrigin_.load() != kByTimer; }
    // One tick more, whichever way the counter is driven.
    void AdvanceTick()
    {
        if (steadyOrigin_.load() != kByTimer)
            steadyOrigin_.fetch_sub(kTickMs, std::memory_order_acq_rel);
        else
            tick_.fetch_add(1, std::memory_order_relaxed);
    }
    void SetTick(int32_t tick)
    {
        tick_.store(tick, std::memory_order_relaxed);
        if (steadyOrigin_.load() != kByTimer)
            steadyOrigin_.store(SteadyMs() - int64_t{tick} * kTickMs, std::memory_order_release);
    }

private:
    static constexpr int64_t kByTimer = std::numeric_limits<int64_t>::min();

    static int64_t SteadyMs()
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    const Clock* clock_;
    // While the counter follows the monotonic clock: the clock's milliseconds at which it stood at
    // 0; kByTimer while a timer drives it. One word, so a switch is never seen half done.
    std::atomic<int64_t> steadyOrigin_{kByTimer};
    std::atomic<int32_t> tick_{0};
};
