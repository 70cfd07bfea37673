#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>

// Wall-clock source ("now" in Unix seconds). The decoder and its tables read time only through a
// Clock so that tests can set it instead of sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t Now() const;

    // The process-wide real clock.
    static const Clock& System();

    // Local broken-down time of a Unix time.
    static std::tm Local(int64_t unixTime);
};

// A clock that stands still until it is set or advanced; safe to read from any thread.
class ManualClock : public Clock {
public:
    explicit ManualClock(int64_t start = 1240322820) : now_(start) { }  // 21 Apr 2009 14:07:00 UTC
    int64_t Now() const override { return now_.load(std::memory_order_relaxed); }
    void Set(int64_t t) { now_.store(t, std::memory_order_relaxed); }
    void Advance(int64_t seconds) { now_.fetch_add(seconds, std::memory_order_relaxed); }

private:
    std::atomic<int64_t> now_;
};
