#include "site/GrantLog.h"

#include "site/IdentifierTable.h"

GrantLog::GrantLog(DecoderContext& ctx, const IdentifierTable& ids) : ctx_(ctx), ids_(ids)
{ }

bool GrantLog::AddGrantLogEntry(std::string_view type, int32_t channel, int32_t priority, std::string_view status,
                                int32_t source, int32_t target)
{
    if (!enabled_)
        return false;
    const double frequency = ids_.ChannelRxFrequency(channel);  // 0.0 for -1 (no channel)
    LockGuard g(lock_);
    GRANTLOG* e = buffer_.NextSlot();
    if (e == nullptr)
        return false;
    e->time = ctx_.time.Now();
    e->type.assign(type);
    e->channel = channel;
    e->frequency = frequency;
    e->target = target;
    e->source = source;
    e->status.assign(status);
    e->priority = priority;
    buffer_.Commit();
    return true;
}

void GrantLog::ClearGrantLog()
{
    LockGuard g(lock_);
    GRANTLOG& marker = buffer_.Marker();
    marker.time = 0;
    marker.type.clear();
    marker.channel = -1;
    marker.frequency = 0.0;
    marker.target = 0;
    marker.source = 0;
    marker.status.clear();
    marker.priority = 0;
    buffer_.PostMarker();
}

int GrantLog::CopyGrantLog(GRANTLOG* out, int capacity)
{
    if (!enabled_ || out == nullptr || capacity <= 0)
        return 0;
    LockGuard g(lock_);
    return buffer_.CopyOut(out, capacity);
}

bool GrantLog::GrantLogChanged() const
{
    return enabled_ && buffer_.Changed();
}

bool GrantLog::SetGrantLogEnabled(bool on)
{
    enabled_ = on;
    return on;
}
