#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

// The decoder's two time bases: wall-clock "now" (Unix seconds, from an injectable Clock) and
// the tick counter that a 100 ms timer advances while the decoder exists. Channel activity
// expires on ticks; tables and logs stamp entries with "now".
class TimeBase {
public:
    explicit TimeBase(const Clock& clock = Clock::System()) : clock_(&clock) { }

    int64_t Now() const { return clock_->Now(); }
    void SetClock(const Clock& clock) { clock_ = &clock; }

    int32_t Tick() const { return tick_.load(std::memory_order_relaxed); }
    void AdvanceTick() { tick_.fetch_add(1, std::memory_order_relaxed); }
    void SetTick(int32_t tick) { tick_.store(tick, std::memory_order_relaxed); }

private:
    const Clock* clock_;
    std::atomic<int32_t> tick_{0};
};
