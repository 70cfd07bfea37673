#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

// Calls a function at a fixed interval on a thread of its own until stopped: the decoder's 100 ms
// tick counter in a run without a window, and the periodic save. A stop request ends the wait at
// once.
class TickSource {
public:
    TickSource(std::chrono::milliseconds interval, std::function<void()> onTick);
    ~TickSource();
    TickSource(const TickSource&) = delete;
    TickSource& operator=(const TickSource&) = delete;

    void Start();
    void Stop();

private:
    void Run(std::stop_token stop);

    const std::chrono::milliseconds interval_;
    std::function<void()> onTick_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::jthread thread_;
};
