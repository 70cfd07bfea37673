#include "store/TalkgroupTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint8_t kNewPriority = 50;
constexpr int kKeepPriority = 255;
// SetTalkgroup leaves one slot free that NoteTalkgroup may still fill: the decoder can always
// add a talkgroup heard on the air even after the files or an import filled the table.
constexpr int kSetTalkgroupLimit = TalkgroupTable::kCapacity - 1;

}  // namespace

TalkgroupTable::TalkgroupTable(DecoderContext& ctx)
    : ctx_(ctx), pool_(kCapacity), order_(kCapacity)
{
}

NamedLock& TalkgroupTable::Lock()
{
    return lock_;
}

int TalkgroupTable::TalkgroupCount() const
{
    return count_.load();
}

const TGTAG& TalkgroupTable::At(int index) const
{
    return pool_[order_[static_cast<size_t>(index)]];
}

TGTAG& TalkgroupTable::Record(int index)
{
    return pool_[order_[static_cast<size_t>(index)]];
}

// Sorted position of the first record whose id is not smaller than id.
int TalkgroupTable::LowerBound(int32_t id) const
{
    const auto end = order_.begin() + count_.load(std::memory_order_relaxed);
    const auto it = std::lower_bound(order_.begin(), end, id,
                                     [this](uint32_t slot, int32_t key) { return pool_[slot].id < key; });
    return static_cast<int>(it - order_.begin());
}

int TalkgroupTable::Find(int32_t id) const
{
    const int pos = LowerBound(id);
    return (pos < count_.load(std::memory_order_relaxed) && At(pos).id == id) ? pos : -1;
}

int TalkgroupTable::Insert(int32_t id, std::string_view description)
{
    const int count = count_.load(std::memory_order_relaxed);
    if (id == 0 || count >= kCapacity)
        return -1;
    const int pos = LowerBound(id);
    // Records never move: the next free slot takes the record, and only the 4-byte indices
    // after the position shift up by one.
    const uint32_t slot = static_cast<uint32_t>(count);
    std::memmove(order_.data() + pos + 1, order_.data() + pos,
                 static_cast<size_t>(count - pos) * sizeof(uint32_t));
    order_[static_cast<size_t>(pos)] = slot;

    const int64_t now = ctx_.time.Now();
    TGTAG& r = pool_[slot];
    r.id = id;
    r.description.assign(description);  // keeps the slot's string buffer when it is reused
    r.lastSeen = now;
    r.priority = kNewPriority;
    r.firstSeen = now;
    r.textColor = 0;
    r.backColor = 0;
    count_.store(count + 1);
    changed_.store(true);
    return pos;
}

// "T: <rfss><site> DT: m/d/yy@h:mm" of the current site and local time.
std::string TalkgroupTable::GeneratedDescription()
{
    const int64_t now = ctx_.time.Now();
    if (now != stampTime_ || stamp_.empty()) {
        const std::tm t = Clock::Local(now);
        char buf[48];
        std::snprintf(buf, sizeof buf, "%d/%d/%02d@%d:%02d", t.tm_mon + 1, t.tm_mday,
                      t.tm_year + 1900 - 2000, t.tm_hour, t.tm_min);
        stamp_ = buf;
        stampTime_ = now;
    }
    char buf[96];
    std::snprintf(buf, sizeof buf, "T: %d%02d DT: %s", static_cast<int>(ctx_.rfss.load()),
                  static_cast<int>(ctx_.site.load()), stamp_.c_str());
    return buf;
}

bool TalkgroupTable::NoteTalkgroup(int32_t id)
{
    if (count_.load() >= kCapacity)
        return false;
    LockGuard g(lock_);
    if (id == 0 || Find(id) >= 0)
        return false;
    return Insert(id, GeneratedDescription()) >= 0;
}

bool TalkgroupTable::SetTalkgroup(int32_t id, std::string_view description, int priority,
                                  int64_t lastSeen)
{
    LockGuard g(lock_);
    bool added = false;
    int pos = Find(id);
    if (pos < 0 && count_.load(std::memory_order_relaxed) < kSetTalkgroupLimit) {
        pos = Insert(id, description);
        added = pos >= 0;
    }
    if (pos < 0)
        return false;
    TGTAG& r = Record(pos);
    r.description.assign(description);
    r.lastSeen = lastSeen != 0 ? lastSeen : ctx_.time.Now();
    if (priority != kKeepPriority)
        r.priority = static_cast<uint8_t>(priority);
    changed_.store(true);
    return added;
}

std::string TalkgroupTable::GetTalkgroupText(int32_t id)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    return pos >= 0 ? At(pos).description : std::string();
}

int TalkgroupTable::GetTalkgroupPriority(int32_t id)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    return pos >= 0 ? At(pos).priority : kNewPriority;
}

bool TalkgroupTable::TouchTalkgroup(int32_t id)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0)
        return false;
    TGTAG& r = Record(pos);
    r.lastSeen = ctx_.time.Now();
    if (r.firstSeen == 0)
        r.firstSeen = r.lastSeen;
    changed_.store(true);
    return true;
}

bool TalkgroupTable::IsTalkgroupKnown(int32_t id)
{
    LockGuard g(lock_);
    return Find(id) >= 0;
}

bool TalkgroupTable::GetTalkgroupColors(int32_t id, uint32_t& text, uint32_t& back)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0) {
        text = back = 0;
        return false;
    }
    const TGTAG& r = At(pos);
    if (r.textColor == r.backColor) {
        // No colours of its own: the list defaults, and still "true" (radios answer false here).
        text = ctx_.defaultTextColor.load();
        back = ctx_.defaultBackColor.load();
    } else {
        text = r.textColor;
        back = r.backColor;
    }
    return true;
}

bool TalkgroupTable::SetTalkgroupColors(int32_t id, uint32_t text, uint32_t back)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0)
        return false;
    TGTAG& r = Record(pos);
    r.textColor = text;
    r.backColor = back;
    changed_.store(true);
    return true;
}

bool TalkgroupTable::SetTalkgroupFirstSeen(int32_t id, int64_t t)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0)
        return false;
    Record(pos).firstSeen = t;
    changed_.store(true);
    return true;
}

void TalkgroupTable::ClearTalkgroups()
{
    LockGuard g(lock_);
    count_.store(0);
    changed_.store(true);
}
