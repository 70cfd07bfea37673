#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"
#include "site/PendingBuffer.h"

class IdentifierTable;

// One grant log entry. Time 0 marks the clear marker: the screen empties its list when it meets it.
struct GRANTLOG {
    int64_t time = 0;        // Unix seconds
    std::string type;        // "Group", "Private", "Phone", "GrpData", "PvtData", "CWID", "Queued", ...
    int32_t channel = -1;    // -1 when the event has no channel
    double frequency = 0.0;  // MHz, receive frequency of the channel when the entry was made
    int32_t target = 0;
    int32_t source = 0;
    std::string status;
    int32_t priority = 0;
};

// Pending grant events (area "GLLOCK"): the decoder adds, the refresh thread drains them into the
// grant screens. Not a history: only entries made since the last copy-out are held, at most 50.
class GrantLog {
public:
    static constexpr int kCapacity = 50;

    GrantLog(DecoderContext& ctx, const IdentifierTable& ids);
    GrantLog(const GrantLog&) = delete;
    GrantLog& operator=(const GrantLog&) = delete;

    // Dropped (false) while disabled or when 50 entries are pending.
    bool AddGrantLogEntry(std::string_view type, int32_t channel, int32_t priority, std::string_view status,
                          int32_t source, int32_t target);
    // The pending entries give way to one clear marker.
    void ClearGrantLog();
    // Copies the oldest min(capacity, pending) entries in order; 0 while disabled or empty.
    int CopyGrantLog(GRANTLOG* out, int capacity);
    bool GrantLogChanged() const;  // false while disabled
    bool SetGrantLogEnabled(bool on);

    NamedLock& Lock() { return lock_; }

private:
    DecoderContext& ctx_;
    const IdentifierTable& ids_;
    NamedLock lock_{area_locks::kGrantLog};
    std::atomic<bool> enabled_{false};
    PendingBuffer<GRANTLOG, kCapacity> buffer_;
};
