#include "site/AffiliationList.h"

#include <algorithm>

AffiliationList::AffiliationList(DecoderContext& ctx) : ctx_(ctx), entries_(kCapacity)
{
    for (AFFENTRY& e : entries_)
        e.text.reserve(32);  // the decoder's texts ("Affiliate", "Forced", ...) fit without growing
}

int AffiliationList::Find(int32_t radio) const
{
    const int count = count_.load(std::memory_order_relaxed);
    for (int i = 0; i < count; ++i)
        if (entries_[static_cast<size_t>(i)].radio == radio)
            return i;
    return -1;
}

bool AffiliationList::AddAffiliation(int32_t talkgroup, int32_t radio, std::string_view text)
{
    LockGuard g(lock_);
    int index = Find(radio);
    if (index < 0) {
        index = count_.load(std::memory_order_relaxed);
        if (index >= kCapacity)
            return false;
        entries_[static_cast<size_t>(index)].radio = radio;
        entries_[static_cast<size_t>(index)].talkgroup = talkgroup;
        count_.store(index + 1);
    }
    AFFENTRY& e = entries_[static_cast<size_t>(index)];
    if (talkgroup != 0)
        e.talkgroup = talkgroup;
    e.time = ctx_.time.Now();
    e.text.assign(text.substr(0, kTextSize - 1));
    changed_.store(true);
    return true;
}

bool AffiliationList::RemoveAffiliation(int32_t radio)
{
    if (count_.load() == 0)
        return false;
    LockGuard g(lock_);
    const int index = Find(radio);
    if (index < 0)
        return false;
    // Rotating moves later entries down one place and parks the removed slot (with its string
    // buffer) behind the last one, so nothing is freed or allocated.
    const int count = count_.load(std::memory_order_relaxed);
    std::rotate(entries_.begin() + index, entries_.begin() + index + 1, entries_.begin() + count);
    count_.store(count - 1);
    changed_.store(true);
    return true;
}

void AffiliationList::ClearAffiliations()
{
    if (log_ == nullptr) {
        LockGuard g(lock_);
        count_.store(0);
        changed_.store(true);
        return;
    }
    LockGuard outer(log_->Lock());
    {
        LockGuard g(lock_);
        count_.store(0);
        changed_.store(true);
    }
    log_->ClearAffiliationLog();  // takes "AFFLOG" again (recursive), "AFFILIATE" already released
}

int AffiliationList::CopyAffiliations(AFFENTRY* out, int capacity)
{
    if (count_.load() == 0) {
        changed_.store(false);
        return 0;
    }
    LockGuard g(lock_);
    const int n = std::min({capacity, kCapacity, count_.load(std::memory_order_relaxed)});
    for (int i = 0; i < n; ++i)
        out[i] = entries_[static_cast<size_t>(i)];
    changed_.store(false);
    return std::max(n, 0);
}
