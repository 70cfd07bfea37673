#pragma once

#include <stop_token>
#include <thread>

class P25Class;

// Without a window nothing else ends the calls whose channel fell silent and the patches no longer
// heard: this thread runs the decoder's expiry every 100 ms while a channel or a patch is active,
// and once a second otherwise, so a silent line costs almost no wake-ups.
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

    P25Class& decoder_;
    std::jthread thread_;
};
