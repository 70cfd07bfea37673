#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"

// A range of radio IDs for the affiliation log screen; low <= high <= 0xFFFFFF.
struct FILTERRANGE {
    bool active = false;
    int32_t low = 0;
    int32_t high = 0;
};

// The affiliation log filter under "AFILTER": up to 40 ranges in the order added and an enabled
// switch. Stored per system; the decoder reset empties the ranges but keeps the switch.
class AffiliationFilter {
public:
    static constexpr int kCapacity = 40;
    static constexpr int32_t kMaxRadio = 0xFFFFFF;

    AffiliationFilter() = default;
    AffiliationFilter(const AffiliationFilter&) = delete;
    AffiliationFilter& operator=(const AffiliationFilter&) = delete;

    bool SetFilterEnabled(bool on);  // returns the switch
    bool GetFilterEnabled();
    // Updates the active flag of the range with exactly these bounds, or appends it. False for
    // invalid bounds (reversed, below 0 or above 0xFFFFFF) and when 40 ranges are held.
    bool SetFilterRange(bool active, int32_t low, int32_t high);
    // Removes the first range with exactly these bounds; false when none matched.
    bool RemoveFilterRange(int32_t low, int32_t high);
    bool ClearFilterRanges();
    int CopyFilterRanges(FILTERRANGE* out, int capacity);
    bool FilterRangesChanged();
    // Tells the screens to take the ranges again (after the per-system data was read).
    void MarkChanged() { changed_ = true; }

    int Count() const { return count_.load(); }
    NamedLock& Lock() { return lock_; }

    // Whether the affiliation log screen shows an entry of this radio: while the filter is enabled
    // and at least one of the ranges is active, only radios inside an active range; else all.
    static bool RadioShown(int32_t radio, const FILTERRANGE* ranges, int count, bool enabled);

private:
    static bool ValidBounds(int32_t low, int32_t high);

    NamedLock lock_{area_locks::kAffiliationFilter};
    bool enabled_ = false;
    std::atomic<bool> changed_{false};
    std::atomic<int> count_{0};
    std::array<FILTERRANGE, kCapacity> ranges_{};
};
