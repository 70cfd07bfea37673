#include "store/GrantLog.h"

#include <algorithm>

#include "decoder/IdentifierTable.h"

GrantLog::GrantLog(DecoderContext& ctx, const IdentifierTable& ids) : ctx_(ctx), ids_(ids) {}

bool GrantLog::AddGrantLogEntry(std::string_view type, int32_t channel, int32_t priority, std::string_view status,
                                int32_t source, int32_t target)
{
    if (!enabled_)
        return false;
    const double frequency = ids_.ChannelRxFrequency(channel);  // 0.0 for -1 (no channel)
    LockGuard g(lock_);
    if (count_ >= kCapacity)
        return false;
    GRANTLOG& e = slots_[count_];
    e.time = ctx_.time.Now();
    e.type.assign(type);
    e.channel = channel;
    e.frequency = frequency;
    e.target = target;
    e.source = source;
    e.status.assign(status);
    e.priority = priority;
    ++count_;
    changed_ = true;
    return true;
}

void GrantLog::ClearGrantLog()
{
    LockGuard g(lock_);
    GRANTLOG& marker = slots_[0];
    marker.time = 0;
    marker.type.clear();
    marker.channel = -1;
    marker.frequency = 0.0;
    marker.target = 0;
    marker.source = 0;
    marker.status.clear();
    marker.priority = 0;
    count_ = 1;
    changed_ = true;
}

int GrantLog::CopyGrantLog(GRANTLOG* out, int capacity)
{
    if (!enabled_ || out == nullptr || capacity <= 0)
        return 0;
    LockGuard g(lock_);
    if (count_ == 0)
        return 0;
    const int copied = std::min({capacity, kCapacity, count_});
    std::copy(slots_.begin(), slots_.begin() + copied, out);
    // A reader with less room than is pending gets the rest on its next copy instead of losing it.
    std::move(slots_.begin() + copied, slots_.begin() + count_, slots_.begin());
    count_ -= copied;
    changed_ = count_ > 0;
    return copied;
}

bool GrantLog::GrantLogChanged() const
{
    return enabled_ && changed_;
}

bool GrantLog::SetGrantLogEnabled(bool on)
{
    enabled_ = on;
    return on;
}
