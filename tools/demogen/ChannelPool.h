#pragma once

// The site's voice channels and who holds them when: a call books a channel for its length, and
// gets none while all are held (the caller is then queued).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace demo {

class ChannelPool {
public:
    explicit ChannelPool(std::vector<uint16_t> channels);

    // Books a channel free from `start` to `end` (slots): the preferred one when it is free,
    // else the one idle longest. -1 when every channel is held.
    int Book(int start, int end, int preferred = -1);

private:
    struct Booking {
        int start;
        int end;
    };
    bool Free(size_t index, int start, int end) const;
    int LastEnd(size_t index, int before) const;

    std::vector<uint16_t> channels_;
    std::vector<std::vector<Booking>> bookings_;
};

}  // namespace demo
