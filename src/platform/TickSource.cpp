#include "platform/TickSource.h"

TickSource::TickSource(std::chrono::milliseconds interval, std::function<void()> onTick)
    : interval_(interval), onTick_(std::move(onTick))
{ }

TickSource::~TickSource()
{
    Stop();
}

void TickSource::Start()
{
    if (!thread_.joinable())
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void TickSource::Stop()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

void TickSource::Run(std::stop_token stop)
{
    // Deadlines advance by whole intervals, so the count of ticks keeps pace with the wall clock
    // even when one call runs late.
    auto next = std::chrono::steady_clock::now() + interval_;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop.stop_requested()) {
        if (wake_.wait_until(lock, stop, next, [] { return false; }))
            break;
        if (stop.stop_requested())
            break;
        lock.unlock();
        onTick_();
        lock.lock();
        next += interval_;
    }
}
