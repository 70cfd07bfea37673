#include "site/PatchLog.h"

#include <mutex>

PatchLog::PatchLog(DecoderContext& ctx) : ctx_(ctx)
{ }

bool PatchLog::AddPatchLogEntry(char action, int32_t group, int32_t supergroup)
{
    LockGuard g(lock_);
    PATCHLOGENTRY* slot = buffer_.NextSlot();
    if (slot == nullptr)
        return false;
    *slot = {ctx_.time.Now(), action, group, supergroup};
    buffer_.Commit();
    return true;
}

void PatchLog::ClearPatchLog()
{
    LockGuard g(lock_);
    buffer_.Marker() = {};
    buffer_.PostMarker();
}

int PatchLog::CopyPatchLog(PATCHLOGENTRY* out, int capacity, bool tryOnce)
{
    if (buffer_.Pending() == 0 || capacity <= 0)
        return 0;
    if (tryOnce) {
        std::unique_lock<NamedLock> g(lock_, std::try_to_lock);
        return g.owns_lock() ? buffer_.CopyOut(out, capacity) : 0;
    }
    LockGuard g(lock_);
    return buffer_.CopyOut(out, capacity);
}
