#include "session/ActivityExpiry.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "decoder/P25Class.h"

namespace {

constexpr auto kTick = std::chrono::milliseconds(100);
// Nothing active: a call that starts meanwhile is found within this time (it lasts longer).
constexpr auto kQuietPeriod = std::chrono::milliseconds(1000);

}  // namespace

void ActivityExpiry::Start()
{
    if (!thread_.joinable())
        thread_ = std::jthread([this](std::stop_token stop) { Run(std::move(stop)); });
}

void ActivityExpiry::Stop()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

std::chrono::milliseconds ActivityExpiry::UntilNextExpiry()
{
    auto wait = kQuietPeriod;
    // A call ends once its channel has been silent for more than the time-out.
    if (const auto earliest = decoder_.Activity().EarliestCallActivity()) {
        const int64_t due = decoder_.Activity().ExpiryTick(*earliest);
        const int64_t ticks = std::max<int64_t>(1, due - decoder_.Tick());
        wait = std::min<std::chrono::milliseconds>(wait, ticks * kTick);
    }
    // A patch ends a whole number of seconds after it was last heard.
    if (const auto due = decoder_.Patches().NextExpiry()) {
        const int64_t seconds = std::max<int64_t>(0, *due - decoder_.Context().time.Now());
        wait = std::min<std::chrono::milliseconds>(
            wait, std::max<std::chrono::milliseconds>(kTick, std::chrono::seconds(seconds)));
    }
    return wait;
}

void ActivityExpiry::Run(std::stop_token stop)
{
    std::mutex mutex;
    std::condition_variable_any wake;  // only a stop request wakes it early
    while (!stop.stop_requested()) {
        decoder_.Activity().ExpireChannelActivity();
        decoder_.Patches().ExpirePatches();
        // Sleeps until the earliest call or patch can end instead of looking every tick: a busy
        // channel is refreshed by its grants long before it would end.
        const auto wait = UntilNextExpiry();
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait_for(lock, stop, wait, [] { return false; });
    }
}
