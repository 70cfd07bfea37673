#include "site/RadioTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

RadioTable::RadioTable(DecoderContext& ctx) : ctx_(ctx)
{ }

NamedLock& RadioTable::Lock()
{
    return lock_;
}

int RadioTable::RadioCount() const
{
    return records_.Count();
}

const RADTAG& RadioTable::At(int index) const
{
    return records_.At(index);
}

int RadioTable::Insert(int32_t id, std::string_view description)
{
    if (id == 0)
        return -1;
    const int pos = records_.Insert(id);
    if (pos < 0)
        return -1;
    RADTAG& r = records_.At(pos);
    r.description.assign(description);  // reuses the slot's string buffer after a clear
    r.lastSeen = ctx_.time.Now();
    r.textColor = 0;
    r.backColor = 0;
    changed_.store(true);
    return pos;
}

// "TG: <talkgroup> DT: m/d/yy@h:mm" in local time.
std::string RadioTable::GeneratedDescription(int32_t talkgroup)
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
    std::snprintf(buf, sizeof buf, "TG: %d DT: %s", static_cast<int>(talkgroup), stamp_.c_str());
    return buf;
}

bool RadioTable::NoteRadio(int32_t id, int32_t talkgroup)
{
    LockGuard g(lock_);
    if (id == 0 || records_.Count() >= kCapacity || Find(id) >= 0)
        return false;
    return Insert(id, GeneratedDescription(talkgroup)) >= 0;
}

bool RadioTable::SetRadio(int32_t id, std::string_view description, int64_t lastSeen)
{
    LockGuard g(lock_);
    int pos = Find(id);
    if (pos < 0 && (pos = Insert(id, description)) < 0)
        return false;
    RADTAG& r = Record(pos);
    r.description.assign(description);
    r.lastSeen = lastSeen != 0 ? lastSeen : ctx_.time.Now();
    changed_.store(true);
    return true;
}

std::string RadioTable::GetRadioText(int32_t id)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0)
        return {};
    RADTAG& r = Record(pos);
    r.lastSeen = ctx_.time.Now();  // every display of a radio counts as seeing it
    changed_.store(true);
    return r.description;
}

std::string RadioTable::PeekRadioText(int32_t id)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    return pos < 0 ? std::string{} : Record(pos).description;
}

bool RadioTable::TouchRadio(int32_t id)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0)
        return false;
    Record(pos).lastSeen = ctx_.time.Now();
    changed_.store(true);
    return true;
}

bool RadioTable::SetRadioColors(int32_t id, uint32_t text, uint32_t back)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0)
        return false;
    RADTAG& r = Record(pos);
    r.textColor = text;
    r.backColor = back;
    changed_.store(true);
    return true;
}

bool RadioTable::GetRadioColors(int32_t id, uint32_t& text, uint32_t& back)
{
    LockGuard g(lock_);
    const int pos = Find(id);
    if (pos < 0) {
        text = back = 0;
        return false;
    }
    const RADTAG& r = At(pos);
    if (r.textColor == r.backColor) {
        // No colours of its own: the defaults, but "false" so a view falls back to the
        // talkgroup's colours (talkgroups answer true here).
        text = ctx_.defaultTextColor.load();
        back = ctx_.defaultBackColor.load();
        return false;
    }
    text = r.textColor;
    back = r.backColor;
    return true;
}

bool RadioTable::RemoveRadio(int32_t id)
{
    LockGuard g(lock_);
    if (!records_.Remove(id))
        return false;
    changed_.store(true);
    return true;
}

void RadioTable::ClearRadios()
{
    LockGuard g(lock_);
    records_.Clear();
    changed_.store(true);
}
