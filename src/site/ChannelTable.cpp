#include "site/ChannelTable.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "site/IdentifierTable.h"
#include "site/TalkgroupTable.h"

namespace {

constexpr const char* kUsageControl = "Control";

}  // namespace

bool IsCallUsage(const std::string& usage)
{
    return usage == "Group" || usage == "Private" || usage == "Phone" || usage == "GrpData" || usage == "PvtData";
}

void ReportCallEnd(const DecoderContext& ctx, const std::string& usage, int32_t target, const FreqInfo& rec,
                   const char* reason)
{
    SiteEvent e;
    e.kind = SiteEventKind::kCallEnd;
    e.channel = rec.channel;
    e.frequency = rec.rxFrequency;
    e.usage = usage;
    if (usage == "Group" || usage == "GrpData")
        e.talkgroup = target;
    else
        e.target = target;
    e.result = reason;
    ctx.Emit(e);
}

ChannelTable::ChannelTable(DecoderContext& ctx, IdentifierTable& ids, TalkgroupTable& talkgroups)
    : ctx_(ctx), ids_(ids), talkgroups_(talkgroups)
{
    Reset();
    ids.AttachListener(this);
}

ChannelTable::~ChannelTable()
{
    ids_.AttachListener(nullptr);
}

void ChannelTable::IdentifiersChanged()
{
    RecomputeFrequencies();
}

void ChannelTable::Reset()
{
    LockGuard g(lock_);
    count_ = 0;
    changed_ = true;
}

void ChannelTable::RefreshFrequencies(FreqInfo& rec, int32_t txChannel) const
{
    rec.rxFrequency = ids_.ChannelRxFrequency(rec.channel);
    // An explicit grant names the channel the radios transmit on; otherwise the identifier's
    // transmit offset gives it.
    rec.txFrequency = txChannel != 0 ? ids_.ChannelRxFrequency(txChannel) : ids_.ChannelTxFrequency(rec.channel);
}

int ChannelTable::FindOrAddChannel(int32_t channel, int32_t txChannel)
{
    LockGuard g(lock_);  // the callers hold it already; taking it again costs nothing and is safe
    const int count = count_;
    int pos = 0;
    while (pos < count && records_[pos].channel < channel)
        ++pos;
    if (pos < count && records_[pos].channel == channel) {
        RefreshFrequencies(records_[pos], txChannel);
        return pos;
    }
    if (count >= kCapacity)
        return -1;

    // Move the records after the insertion point up by one; moving keeps their strings' storage.
    std::move_backward(records_.begin() + pos, records_.begin() + count, records_.begin() + count + 1);
    FreqInfo& rec = records_[pos];
    rec.channel = channel;
    RefreshFrequencies(rec, txChannel);
    rec.usage.clear();
    rec.target = 0;
    rec.targetDescription.clear();
    rec.source = 0;
    rec.usageFlags = 0;
    rec.status.clear();
    rec.hits = 0;
    rec.lastActivity = 0;
    count_ = count + 1;
    changed_ = true;
    return pos;
}

int ChannelTable::ReleaseTarget(int keepIndex, int32_t target)
{
    if (target == 0)
        return 0;  // idle records all show target 0; releasing them would wipe phone and CWID lines
    LockGuard g(lock_);
    int released = 0;
    for (int i = 0; i < count_; ++i) {
        FreqInfo& rec = records_[i];
        if (i == keepIndex || rec.target != target)
            continue;
        if (ctx_.EventsWanted() && IsCallUsage(rec.usage))
            ReportCallEnd(ctx_, rec.usage, rec.target, rec, kEndReleased);
        rec.target = 0;
        rec.targetDescription.clear();
        rec.source = 0;
        rec.lastActivity = 0;
        if (rec.usage != kUsageControl) {
            rec.usage.clear();
            rec.status.clear();
        }
        ++released;
    }
    if (released > 0)
        changed_ = true;
    return released;
}

FreqInfo* ChannelTable::TouchLine(int32_t channel)
{
    const int index = FindOrAddChannel(channel, 0);
    if (index < 0)
        return nullptr;
    FreqInfo& rec = records_[index];
    rec.lastActivity = ctx_.time.Tick();
    return &rec;
}

bool ChannelTable::SetChannelId(int32_t channel, int32_t unit)
{
    LockGuard g(lock_);
    FreqInfo* const line = TouchLine(channel);
    if (!line)
        return false;
    FreqInfo& rec = *line;
    bool changed = false;
    if (rec.target != unit) {
        rec.target = unit;
        rec.targetDescription = talkgroups_.GetTalkgroupText(unit);  // TGLOCK inside FREQUENCY
        changed = true;
    }
    if (ReleaseTarget(static_cast<int>(line - records_.data()), unit) > 0)
        changed = true;
    if (changed)
        changed_ = true;
    return changed;
}

int ChannelTable::RefreshTalkgroupName(int32_t talkgroup)
{
    if (talkgroup == 0)
        return 0;
    LockGuard g(lock_);
    int renamed = 0;
    const int count = count_.load();
    for (int i = 0; i < count; ++i) {
        FreqInfo& rec = records_[static_cast<size_t>(i)];
        if (rec.target != talkgroup || (rec.usage != "Group" && rec.usage != "GrpData"))
            continue;
        std::string name = talkgroups_.GetTalkgroupText(talkgroup);  // TGLOCK inside FREQUENCY
        if (name != rec.targetDescription) {
            rec.targetDescription = std::move(name);
            ++renamed;
        }
    }
    if (renamed > 0)
        changed_ = true;
    return renamed;
}

bool ChannelTable::AddUsageFlags(int32_t channel, uint32_t bits)
{
    LockGuard g(lock_);
    FreqInfo* const line = TouchLine(channel);
    if (!line)
        return false;
    FreqInfo& rec = *line;
    const bool added = (rec.usageFlags | bits) != rec.usageFlags;
    rec.usageFlags |= bits;
    if (added)
        changed_ = true;
    return added;
}

bool ChannelTable::SetHits(int32_t channel, int32_t hits)
{
    LockGuard g(lock_);
    FreqInfo* const line = TouchLine(channel);
    if (!line)
        return false;
    FreqInfo& rec = *line;
    if (rec.hits != hits) {
        rec.hits = hits;
        changed_ = true;
    }
    return true;
}

int ChannelTable::CopyChannels(FreqInfo* out, int n)
{
    if (n <= 0 || out == nullptr)
        return 0;
    LockGuard g(lock_);
    const int copied = std::min(n, count_.load());
    std::copy(records_.begin(), records_.begin() + copied, out);
    changed_ = false;
    return copied;
}

void ChannelTable::RecomputeFrequencies()
{
    LockGuard g(lock_);
    for (int i = 0; i < count_; ++i)
        records_[i].rxFrequency = ids_.ChannelRxFrequency(records_[i].channel);
    changed_ = true;
}

FreqInfo& ChannelTable::Record(int i)
{
    assert(i >= 0 && i < count_);
    return records_.at(i);
}

const FreqInfo& ChannelTable::Record(int i) const
{
    assert(i >= 0 && i < count_);
    return records_.at(i);
}
