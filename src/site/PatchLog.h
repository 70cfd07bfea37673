#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"
#include "site/PendingBuffer.h"

// One patch log entry: action 'A' patch added, 'R' patch removed. time 0 is the clear marker.
struct PATCHLOGENTRY {
    int64_t time = 0;  // Unix seconds
    char action = 0;
    int32_t group = 0;
    int32_t supergroup = 0;
};

// Pending buffer of patch additions and removals under "PATCHLOGLOCK" (50 slots). Filled only by
// the PatchList operations, which hold "PATCHLOCK" around it; emptied by the refresh thread.
class PatchLog {
public:
    static constexpr int kCapacity = 50;

    explicit PatchLog(DecoderContext& ctx);
    PatchLog(const PatchLog&) = delete;
    PatchLog& operator=(const PatchLog&) = delete;

    bool AddPatchLogEntry(char action, int32_t group, int32_t supergroup);  // false when full
    void ClearPatchLog();  // replaces what is pending by the clear marker
    // Copies min(capacity, pending) entries in order; entries beyond capacity stay pending.
    // With tryOnce the refresh thread gives up (0) when the lock is busy, leaving them pending.
    int CopyPatchLog(PATCHLOGENTRY* out, int capacity, bool tryOnce = false);
    bool PatchLogChanged() const { return buffer_.Changed(); }

    int Pending() const { return buffer_.Pending(); }
    NamedLock& Lock() { return lock_; }

private:
    DecoderContext& ctx_;
    NamedLock lock_{area_locks::kPatchLog};
    PendingBuffer<PATCHLOGENTRY, kCapacity> buffer_;
};
