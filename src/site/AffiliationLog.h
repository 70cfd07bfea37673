#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NamedLock.h"
#include "site/AffiliationList.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"
#include "site/PendingBuffer.h"

// One affiliation event. function: 'A' affiliation, 'U' unaffiliation (talkgroup 0), 'D' failed
// or denied, 'C' clear marker (the screen empties its affiliation lists).
struct AFFLOG {
    char function = 0;
    int32_t radio = 0;
    int32_t talkgroup = 0;
    std::string text;  // "Affiliate", "Failed", "Denied", "Forced", "Unaffiliate"
    int64_t time = 0;  // Unix seconds
};

// Pending buffer of affiliation events under "AFFLOG": the decoder fills up to 50 slots, the
// refresh thread takes them with CopyAffiliationLog. Logging an event also updates the
// AffiliationList, taking "AFFILIATE" inside "AFFLOG".
//
// The constructor attaches this log to the list (AffiliationList::AttachLog) so that
// AffiliationList::ClearAffiliations posts the clear marker here; the destructor detaches it.
class AffiliationLog final : public AffiliationClearSink {
public:
    static constexpr int kCapacity = 50;

    AffiliationLog(DecoderContext& ctx, AffiliationList& list);
    ~AffiliationLog();
    AffiliationLog(const AffiliationLog&) = delete;
    AffiliationLog& operator=(const AffiliationLog&) = delete;

    // Processing thread only. Drops the event (false) when 50 are pending, when it repeats the
    // last logged (function, talkgroup, radio), for 'A' with talkgroup 0, and for a function other
    // than 'A', 'U' or 'D'. Otherwise updates the list ('A' add, 'U' remove) and logs it.
    bool LogAffiliation(char function, int32_t radio, std::string_view text, int32_t talkgroup);
    // Replaces whatever is pending by the 'C' marker; the duplicate memory is kept.
    void ClearAffiliationLog() override;
    // Copies min(capacity, pending) entries in order. Entries beyond capacity stay pending.
    int CopyAffiliationLog(AFFLOG* out, int capacity);

    bool AffiliationLogChanged() const { return buffer_.Changed(); }
    int Pending() const { return buffer_.Pending(); }
    NamedLock& Lock() override { return lock_; }

private:
    struct LastEvent {
        char function = 0;
        int32_t talkgroup = 0;
        int32_t radio = 0;
    };

    DecoderContext& ctx_;
    AffiliationList& list_;
    NamedLock lock_{area_locks::kAffiliationLog};
    PendingBuffer<AFFLOG, kCapacity> buffer_;  // raised by the processing thread, lowered by the refresh thread
    LastEvent last_;                           // read and written by the processing thread only
};
