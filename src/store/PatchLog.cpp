#include "store/PatchLog.h"

#include <algorithm>
#include <mutex>

PatchLog::PatchLog(DecoderContext& ctx) : ctx_(ctx) {}

bool PatchLog::AddPatchLogEntry(char action, int32_t group, int32_t supergroup)
{
    LockGuard g(lock_);
    const int n = count_.load(std::memory_order_relaxed);
    if (n >= kCapacity)
        return false;
    slots_[n] = {ctx_.time.Now(), action, group, supergroup};
    count_.store(n + 1);
    changed_.store(true);
    return true;
}

void PatchLog::ClearPatchLog()
{
    LockGuard g(lock_);
    slots_[0] = {};
    count_.store(1);
    changed_.store(true);
}

int PatchLog::CopyPatchLog(PATCHLOGENTRY* out, int capacity, bool tryOnce)
{
    if (count_.load() == 0 || capacity <= 0)
        return 0;
    if (tryOnce) {
        std::unique_lock<NamedLock> g(lock_, std::try_to_lock);
        return g.owns_lock() ? CopyLocked(out, capacity) : 0;
    }
    LockGuard g(lock_);
    return CopyLocked(out, capacity);
}

int PatchLog::CopyLocked(PATCHLOGENTRY* out, int capacity)
{
    const int count = count_.load(std::memory_order_relaxed);
    const int n = std::min(capacity, count);
    std::copy_n(slots_.begin(), n, out);
    std::copy(slots_.begin() + n, slots_.begin() + count, slots_.begin());
    count_.store(count - n);
    changed_.store(count - n > 0);
    return n;
}
