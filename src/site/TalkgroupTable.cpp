#include "site/TalkgroupTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr uint8_t kNewPriority = 50;
constexpr int kKeepPriority = 255;
// The capacity is the whole id space 1..65535, so a table filled by the files or an import still
// knows every talkgroup the decoder may hear.
constexpr int32_t kMaxId = TalkgroupTable::kCapacity;

}  // namespace

TalkgroupTable::TalkgroupTable(DecoderContext& ctx) : ctx_(ctx)
{ }

NamedLock& TalkgroupTable::Lock()
{
    return lock_;
}

int TalkgroupTable::TalkgroupCount() const
{
    return records_.Count();
}

const TGTAG& TalkgroupTable::At(int index) const
{
    return records_.At(index);
}

int TalkgroupTable::Insert(int32_t id, std::string_view description)
{
    if (id == 0)
        return -1;
    const int pos = records_.Insert(id);
    if (pos < 0)
        return -1;
    const int64_t now = ctx_.time.Now();
    TGTAG& r = records_.At(pos);
    r.description.assign(description);  // keeps the slot's string buffer when it is reused
    r.lastSeen = now;
    r.priority = kNewPriority;
    r.firstSeen = now;
    r.textColor = 0;
    r.backColor = 0;
    r.calls = 0;  // a reused slot forgets the use of the talkgroup it held
    r.airtimeSeconds = 0;
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
        std::snprintf(buf, sizeof buf, "%d/%d/%02d@%d:%02d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900 - 2000,
                      t.tm_hour, t.tm_min);
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
    if (records_.Count() >= kCapacity)
        return false;
    LockGuard g(lock_);
    if (id == 0 || Find(id) >= 0)
        return false;
    return Insert(id, GeneratedDescription()) >= 0;
}

bool TalkgroupTable::SetTalkgroup(int32_t id, std::string_view description, int priority, int64_t lastSeen)
{
    if (id < 1 || id > kMaxId)
        return false;
    LockGuard g(lock_);
    bool added = false;
    int pos = Find(id);
    if (pos < 0 && records_.Count() < kCapacity) {
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

bool TalkgroupTable::RemoveTalkgroup(int32_t id)
{
    LockGuard g(lock_);
    if (!records_.Remove(id))
        return false;
    changed_.store(true);
    return true;
}

bool TalkgroupTable::CountTalkgroupCall(int32_t id)
{
    return AddTalkgroupUse(id, 1, 0);
}

bool TalkgroupTable::AddTalkgroupAirtime(int32_t id, int64_t seconds)
{
    return AddTalkgroupUse(id, 0, seconds);
}

bool TalkgroupTable::AddTalkgroupUse(int32_t id, uint32_t calls, int64_t airtimeSeconds)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0)
        return false;
    TGTAG& r = Record(pos);
    r.calls =
        calls > std::numeric_limits<uint32_t>::max() - r.calls ? std::numeric_limits<uint32_t>::max() : r.calls + calls;
    if (airtimeSeconds > 0)
        r.airtimeSeconds = airtimeSeconds > std::numeric_limits<int64_t>::max() - r.airtimeSeconds
                               ? std::numeric_limits<int64_t>::max()
                               : r.airtimeSeconds + airtimeSeconds;
    changed_.store(true);
    return true;
}

void TalkgroupTable::ClearTalkgroups()
{
    LockGuard g(lock_);
    records_.Clear();
    storedUseAdded_ = false;
    changed_.store(true);
}
