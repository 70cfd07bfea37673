#pragma once

#include <chrono>
#include <stop_token>
#include <thread>

class P25Class;

// Without a window nothing else ends the calls whose channel fell silent and the patches no longer
// heard: this thread runs the decoder's expiry when the earliest call or patch can end (the tick
// counter follows the monotonic clock), and looks once a second while nothing is active, so
// neither a silent line nor a busy one wakes it every tick.
class ActivityExpiry {
public:
    explicit ActivityExpiry(P25Class& decoder) : decoder_(decoder) { }
    ~ActivityExpiry() { Stop(); }
    ActivityExpiry(const ActivityExpiry&) = delete;
    ActivityExpiry& operator=(const ActivityExpiry&) = delete;

    void Start();
    void Stop();

private:
    void Run(std::stop_token stop);
    // How long until the earliest active call or patch can expire, at most a second.
    std::chrono::milliseconds UntilNextExpiry();

    P25Class& decoder_;
    std::jthread thread_;
};
