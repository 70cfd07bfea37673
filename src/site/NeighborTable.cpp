#include "site/NeighborTable.h"

#include <algorithm>

#include "site/IdentifierTable.h"
#include "site/TowerNames.h"

namespace {

int64_t SortKey(const NeighborSite& s)
{
    return static_cast<int64_t>(s.systemId) * 1000 + static_cast<int64_t>(s.rfssId) * 100 + s.siteId;
}

bool SameSite(const NeighborSite& a, const NeighborSite& b)
{
    return a.systemId == b.systemId && a.rfssId == b.rfssId && a.siteId == b.siteId;
}

bool SameRecord(const NeighborSite& a, const NeighborSite& b)
{
    return SameSite(a, b) && a.controlChannel == b.controlChannel && a.status == b.status &&
           a.controlFrequency == b.controlFrequency && a.name == b.name;
}

}  // namespace

NeighborTable::NeighborTable(const DecoderContext& ctx, const IdentifierTable& ids, const TowerNames& towers)
    : ctx_(ctx), ids_(ids), towers_(towers)
{ }

void NeighborTable::Reset()
{
    LockGuard g(lock_);
    count_ = 0;
    changed_ = true;
}

void NeighborTable::Complete(NeighborSite& record) const
{
    // 0xFFFF is "no channel": it has no frequency, whatever identifier 15 holds.
    record.controlFrequency =
        record.controlChannel == IdentifierTable::kNoChannel ? 0.0 : ids_.ChannelRxFrequency(record.controlChannel);
    // Tower names are those of the monitored system only; a neighbour of another system may
    // share its RFSS and site numbers with one of ours.
    if (static_cast<uint32_t>(record.systemId) == ctx_.systemId.load(std::memory_order_relaxed))
        record.name = towers_.GetTowerName(static_cast<uint32_t>(record.rfssId), static_cast<uint32_t>(record.siteId));
    else
        record.name = kOtherSystemName;
    if (record.name.size() > kNameCapacity)
        record.name.resize(kNameCapacity);
}

int NeighborTable::Find(const NeighborSite& record) const
{
    // The key is not unique (RFSS 1 site 150 and RFSS 2 site 50 share one), so search by the
    // site itself rather than stopping at the key's position.
    for (int i = 0; i < count_; ++i)
        if (SameSite(records_[i], record))
            return i;
    return -1;
}

bool NeighborTable::Insert(const NeighborSite& record)
{
    if (count_ >= kCapacity)
        return false;
    const int64_t key = SortKey(record);
    int at = 0;
    while (at < count_ && SortKey(records_[at]) <= key)
        ++at;
    std::move_backward(records_.begin() + at, records_.begin() + count_, records_.begin() + count_ + 1);
    records_[at] = record;
    ++count_;
    return true;
}

bool NeighborTable::AddNeighbor(NeighborSite record)
{
    LockGuard g(lock_);
    Complete(record);
    bool stored = false;
    const int found = Find(record);
    if (found >= 0) {
        if (!SameRecord(records_[found], record)) {
            records_[found] = record;  // still read below for the event feed
            stored = true;
        }
    } else {
        stored = Insert(record);
    }
    if (stored) {
        changed_ = true;
        if (ctx_.EventsWanted()) {
            SiteEvent e;
            e.kind = SiteEventKind::kNeighbor;
            e.neighborSystem = record.systemId;
            e.neighborRfss = record.rfssId;
            e.neighborSite = record.siteId;
            e.channel = record.controlChannel;
            e.frequency = record.controlFrequency;
            e.neighborName = record.name;
            e.result = (record.status & 1) != 0 ? "connected" : "failed";
            ctx_.Emit(e);
        }
    }
    return stored;
}

int NeighborTable::CopyNeighbors(NeighborSite* out, int n)
{
    if (n < 0)
        return 0;
    LockGuard g(lock_);
    const int copied = std::min(n, count_);
    std::copy_n(records_.begin(), copied, out);
    changed_ = false;
    return copied;
}
