#include "store/AffiliationLog.h"

#include <algorithm>

#include "store/AffiliationList.h"

AffiliationLog::AffiliationLog(DecoderContext& ctx, AffiliationList& list)
    : ctx_(ctx), list_(list), slots_(kCapacity)
{
    for (AFFLOG& e : slots_)
        e.text.reserve(16);
    list_.AttachLog(this);
}

AffiliationLog::~AffiliationLog()
{
    list_.AttachLog(nullptr);
}

bool AffiliationLog::LogAffiliation(char function, int32_t radio, std::string_view text,
                                    int32_t talkgroup)
{
    // These tests come before the lock: a dropped event must not touch the list either. Only this
    // thread raises the count and writes last_, so what they see cannot become wrong by the time
    // the lock is taken (the refresh thread only lowers the count, a clear sets it to 1).
    if (count_.load() >= kCapacity)
        return false;
    if (function == last_.function && talkgroup == last_.talkgroup && radio == last_.radio)
        return false;
    if (function != 'A' && function != 'U' && function != 'D')
        return false;  // 'C' is reserved for the clear marker
    if (function == 'A' && talkgroup == 0)
        return false;

    LockGuard g(lock_);
    last_ = {function, talkgroup, radio};
    if (function == 'A')
        list_.AddAffiliation(talkgroup, radio, text);
    else if (function == 'U')
        list_.RemoveAffiliation(radio);

    const int n = count_.load(std::memory_order_relaxed);
    AFFLOG& slot = slots_[static_cast<size_t>(n)];
    slot.function = function;
    slot.radio = radio;
    slot.talkgroup = talkgroup;
    slot.text.assign(text);
    slot.time = ctx_.time.Now();
    count_.store(n + 1);
    changed_.store(true);
    return true;
}

void AffiliationLog::ClearAffiliationLog()
{
    LockGuard g(lock_);
    AFFLOG& marker = slots_[0];
    marker.function = 'C';
    marker.radio = 0;
    marker.talkgroup = 0;
    marker.text.clear();
    marker.time = 0;
    count_.store(1);
    changed_.store(true);
}

int AffiliationLog::CopyAffiliationLog(AFFLOG* out, int capacity)
{
    if (count_.load() == 0 || capacity <= 0)
        return 0;
    LockGuard g(lock_);
    const int count = count_.load(std::memory_order_relaxed);
    const int n = std::min(capacity, count);
    for (int i = 0; i < n; ++i)
        out[i] = slots_[static_cast<size_t>(i)];
    // A short destination leaves the rest pending instead of losing it.
    std::rotate(slots_.begin(), slots_.begin() + n, slots_.begin() + count);
    count_.store(count - n);
    changed_.store(count - n > 0);
    return n;
}
