#include "site/AffiliationLog.h"

#include <algorithm>

AffiliationLog::AffiliationLog(DecoderContext& ctx, AffiliationList& list) : ctx_(ctx), list_(list)
{
    buffer_.ForEachSlot([](AFFLOG& e) { e.text.reserve(16); });
    list_.AttachLog(this);
}

AffiliationLog::~AffiliationLog()
{
    list_.AttachLog(nullptr);
}

bool AffiliationLog::LogAffiliation(char function, int32_t radio, std::string_view text, int32_t talkgroup)
{
    // These tests come before the lock: a dropped event must not touch the list either. Only this
    // thread raises the count and writes last_, so what they see cannot become wrong by the time
    // the lock is taken (the refresh thread only lowers the count, a clear sets it to 1).
    if (buffer_.Pending() >= kCapacity)
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

    AFFLOG& slot = *buffer_.NextSlot();  // room was made sure of above
    slot.function = function;
    slot.radio = radio;
    slot.talkgroup = talkgroup;
    slot.text.assign(text);
    slot.time = ctx_.time.Now();
    buffer_.Commit();
    return true;
}

void AffiliationLog::ClearAffiliationLog()
{
    LockGuard g(lock_);
    AFFLOG& marker = buffer_.Marker();
    marker.function = 'C';
    marker.radio = 0;
    marker.talkgroup = 0;
    marker.text.clear();
    marker.time = 0;
    buffer_.PostMarker();
}

int AffiliationLog::CopyAffiliationLog(AFFLOG* out, int capacity)
{
    if (buffer_.Pending() == 0 || capacity <= 0)
        return 0;
    LockGuard g(lock_);
    return buffer_.CopyOut(out, capacity);
}
