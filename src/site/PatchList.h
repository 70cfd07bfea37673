#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"

class PatchLog;

// One patch: a member talkgroup patched into a supergroup, and its last announcement.
struct PATCHENTRY {
    int32_t group = 0;
    int32_t supergroup = 0;
    int64_t lastSeen = 0;  // Unix seconds
};

// The current patches under "PATCHLOCK": up to 25 distinct (group, supergroup) pairs, group never
// equal to supergroup, in the order first announced. Additions and removals are written to the
// PatchLog while "PATCHLOCK" is held (order PATCHLOCK, then PATCHLOGLOCK).
class PatchList {
public:
    static constexpr int kCapacity = 25;
    static constexpr int64_t kExpirySeconds = 10;  // a pair not announced for longer is dropped

    PatchList(DecoderContext& ctx, PatchLog& log);
    PatchList(const PatchList&) = delete;
    PatchList& operator=(const PatchList&) = delete;

    // New pair: appended and logged 'A'. Known pair: last seen refreshed, nothing logged. False
    // when group equals supergroup or a new pair finds all 25 slots taken (not added, not logged).
    bool AddPatch(int32_t group, int32_t supergroup);
    // Removes every patch of the supergroup, logging 'R' for each; whether any was removed.
    bool ReleasePatches(int32_t supergroup);
    // Removes every patch whose last seen + 10 s is earlier than now, logging 'R' for each.
    bool ExpirePatches();
    // The earliest time (Unix seconds) at which ExpirePatches would remove a patch, or nullopt
    // without patches.
    std::optional<int64_t> NextExpiry();
    // Expires first, then copies min(capacity, count) patches and clears the changed flag.
    int CopyPatches(PATCHENTRY* out, int capacity);
    bool PatchesChanged() const { return changed_.load(); }
    void ClearPatches();  // nothing logged: the decoder reset clears the patch log itself

    int Count() const { return count_.load(); }
    NamedLock& Lock() { return lock_; }

private:
    // Removes, in order, every patch that matches and logs 'R' for it; caller holds lock_.
    template <typename Pred>
    bool RemoveWhere(Pred matches);

    DecoderContext& ctx_;
    PatchLog& log_;
    NamedLock lock_{area_locks::kPatches};
    std::atomic<bool> changed_{false};
    std::atomic<int> count_{0};
    std::array<PATCHENTRY, kCapacity> patches_{};
};
