#include "ChannelPool.h"

#include <algorithm>

namespace demo {

ChannelPool::ChannelPool(std::vector<uint16_t> channels) : channels_(std::move(channels)), bookings_(channels_.size())
{ }

bool ChannelPool::Free(size_t index, int start, int end) const
{
    return std::none_of(bookings_[index].begin(), bookings_[index].end(),
                        [&](const Booking& b) { return b.start < end && start < b.end; });
}

int ChannelPool::LastEnd(size_t index, int before) const
{
    int last = -1;
    for (const Booking& b : bookings_[index])
        if (b.end <= before)
            last = std::max(last, b.end);
    return last;
}

int ChannelPool::Book(int start, int end, int preferred)
{
    int chosen = -1;
    for (size_t i = 0; i < channels_.size(); ++i) {
        if (!Free(i, start, end))
            continue;
        if (channels_[i] == preferred) {
            chosen = static_cast<int>(i);
            break;
        }
        if (chosen < 0 || LastEnd(i, start) < LastEnd(static_cast<size_t>(chosen), start))
            chosen = static_cast<int>(i);
    }
    if (chosen < 0)
        return -1;
    bookings_[chosen].push_back({start, end});
    return channels_[chosen];
}

}  // namespace demo
