#include "site/AffiliationFilter.h"

#include <algorithm>

bool AffiliationFilter::ValidBounds(int32_t low, int32_t high)
{
    return low >= 0 && low <= high && high <= kMaxRadio;
}

bool AffiliationFilter::SetFilterEnabled(bool on)
{
    LockGuard g(lock_);
    enabled_ = on;
    return enabled_;
}

bool AffiliationFilter::GetFilterEnabled()
{
    LockGuard g(lock_);
    return enabled_;
}

bool AffiliationFilter::SetFilterRange(bool active, int32_t low, int32_t high)
{
    if (!ValidBounds(low, high))
        return false;
    LockGuard g(lock_);
    changed_ = true;
    const int count = count_.load(std::memory_order_relaxed);
    for (int i = 0; i < count; ++i) {
        if (ranges_[i].low == low && ranges_[i].high == high) {
            ranges_[i].active = active;
            return true;
        }
    }
    if (count >= kCapacity)
        return false;
    ranges_[count] = {active, low, high};
    count_.store(count + 1);
    return true;
}

bool AffiliationFilter::RemoveFilterRange(int32_t low, int32_t high)
{
    if (count_.load() == 0 || !ValidBounds(low, high))
        return false;
    LockGuard g(lock_);
    const int count = count_.load(std::memory_order_relaxed);
    auto end = ranges_.begin() + count;
    auto it = std::find_if(ranges_.begin(), end, [&](const FILTERRANGE& r) { return r.low == low && r.high == high; });
    if (it == end)
        return false;
    std::copy(it + 1, end, it);
    count_.store(count - 1);
    changed_ = true;
    return true;
}

bool AffiliationFilter::ClearFilterRanges()
{
    LockGuard g(lock_);
    count_.store(0);
    changed_ = true;
    return true;
}

int AffiliationFilter::CopyFilterRanges(FILTERRANGE* out, int capacity)
{
    if (capacity <= 0)
        return 0;
    LockGuard g(lock_);
    const int n = std::min(capacity, count_.load(std::memory_order_relaxed));
    std::copy_n(ranges_.begin(), n, out);
    changed_ = false;
    return n;
}

bool AffiliationFilter::FilterRangesChanged()
{
    LockGuard g(lock_);
    return changed_;
}

bool AffiliationFilter::RadioShown(int32_t radio, const FILTERRANGE* ranges, int count, bool enabled)
{
    if (!enabled)
        return true;
    bool anyActive = false;
    for (int i = 0; i < count; ++i) {
        if (!ranges[i].active)
            continue;
        anyActive = true;
        if (ranges[i].low <= radio && radio <= ranges[i].high)
            return true;
    }
    return !anyActive;
}
