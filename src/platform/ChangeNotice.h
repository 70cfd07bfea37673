#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// A count of changes that one thread sleeps on while others raise it: the screen refresh waits on
// the decoder's notice instead of looking for changes at a fixed rate. Raise() may be called from
// any thread and costs two atomic operations while nobody sleeps; a sleeper is woken by the first
// raise after the count it last saw, so a raise is never missed.
class ChangeNotice {
public:
    ChangeNotice() = default;
    ChangeNotice(const ChangeNotice&) = delete;
    ChangeNotice& operator=(const ChangeNotice&) = delete;

    uint64_t Count() const { return count_.load(); }

    void Raise()
    {
        count_.fetch_add(1);
        if (sleepers_.load() > 0) {
            // Taken so the raise cannot fall between a sleeper's last look and its sleep.
            {
                const std::lock_guard lock(mutex_);
            }
            wake_.notify_all();
        }
    }

    // Sleeps until the count differs from `seen` (returns at once when it already does).
    void WaitPast(uint64_t seen)
    {
        std::unique_lock lock(mutex_);
        sleepers_.fetch_add(1);
        wake_.wait(lock, [&] { return count_.load() != seen; });
        sleepers_.fetch_sub(1);
    }

    // The same, for at most `limit`; false when the time ran out first.
    template <class Duration>
    bool WaitPastFor(uint64_t seen, Duration limit)
    {
        std::unique_lock lock(mutex_);
        sleepers_.fetch_add(1);
        const bool raised = wake_.wait_for(lock, limit, [&] { return count_.load() != seen; });
        sleepers_.fetch_sub(1);
        return raised;
    }

private:
    std::atomic<uint64_t> count_{0};
    std::atomic<int> sleepers_{0};
    std::mutex mutex_;
    std::condition_variable wake_;
};
