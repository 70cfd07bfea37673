#include "session/ActivityExpiry.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "decoder/P25Class.h"

namespace {

constexpr auto kActivePeriod = std::chrono::milliseconds(100);  // one tick
constexpr auto kQuietPeriod = std::chrono::seconds(1);

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

void ActivityExpiry::Run(std::stop_token stop)
{
    std::mutex mutex;
    std::condition_variable_any wake;  // only a stop request wakes it early
    while (!stop.stop_requested()) {
        decoder_.Activity().ExpireChannelActivity();
        decoder_.Patches().ExpirePatches();
        const bool active = decoder_.Activity().AnyActive() || decoder_.Patches().Count() > 0;
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait_for(lock, stop,
                      active ? std::chrono::duration_cast<std::chrono::milliseconds>(kActivePeriod)
                             : std::chrono::duration_cast<std::chrono::milliseconds>(kQuietPeriod),
                      [] { return false; });
    }
}
