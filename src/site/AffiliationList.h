#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"

// Where a clear of the list posts its clear marker (the affiliation log). Its lock ("AFFLOG") is
// taken outside "AFFILIATE".
class AffiliationClearSink {
public:
    virtual NamedLock& Lock() = 0;
    virtual void ClearAffiliationLog() = 0;

protected:
    ~AffiliationClearSink() = default;
};

// One radio known to be affiliated: its talkgroup, when it last affiliated and the event text.
struct AFFENTRY {
    int32_t talkgroup = 0;
    int32_t radio = 0;  // the key: one entry per radio
    int64_t time = 0;   // Unix seconds
    std::string text;   // at most kTextSize - 1 characters
};

// The radios currently affiliated, in the order in which they first affiliated, under "AFFILIATE".
//
// Wiring: the AffiliationLog constructed on this list attaches itself (AttachLog) as its clear sink, so that the one
// call ClearAffiliations() that the decoder reset makes both empties the list and posts the clear
// marker into the log. Construct the list before the log (declare it first in the owner).
class AffiliationList {
public:
    static constexpr int kCapacity = 2000;
    static constexpr int kTextSize = 150;  // with the terminating zero of the record layout

    explicit AffiliationList(DecoderContext& ctx);

    // Refreshes the radio's entry in place (talkgroup kept when 0) or appends one; false only when
    // the radio is new and 2000 radios are held.
    bool AddAffiliation(int32_t talkgroup, int32_t radio, std::string_view text);
    // Removes the radio's entry keeping the order of the others; false when it had none.
    bool RemoveAffiliation(int32_t radio);
    // Empties the list and posts the clear marker into the attached log. Holds "AFFLOG" around the
    // whole (then "AFFILIATE" inside, the allowed order) so that an affiliation logged by another
    // thread cannot fall between emptying the list and the marker. Must not be called while the
    // caller holds "AFFILIATE" alone.
    void ClearAffiliations();
    bool AffiliationsChanged() const { return changed_.load(); }
    // Copies min(capacity, count) entries in list order and clears the changed flag.
    int CopyAffiliations(AFFENTRY* out, int capacity);

    int Count() const { return count_.load(); }
    NamedLock& Lock() { return lock_; }

    // Set by AffiliationLog's constructor and cleared by its destructor.
    void AttachLog(AffiliationClearSink* log) { log_ = log; }

private:
    int Find(int32_t radio) const;  // index or -1; caller holds lock_

    DecoderContext& ctx_;
    NamedLock lock_{area_locks::kAffiliations};
    std::atomic<bool> changed_{false};
    std::atomic<int> count_{0};
    std::vector<AFFENTRY> entries_;
    AffiliationClearSink* log_ = nullptr;
};
