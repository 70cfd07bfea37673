#include "site/PatchList.h"

#include <algorithm>

#include "site/PatchLog.h"

namespace {

void ReportPatch(const DecoderContext& ctx, SiteEventKind kind, const PATCHENTRY& p)
{
    if (!ctx.EventsWanted())
        return;
    SiteEvent e;
    e.kind = kind;
    e.talkgroup = p.group;
    e.supergroup = p.supergroup;
    ctx.Emit(e);
}

}  // namespace

PatchList::PatchList(DecoderContext& ctx, PatchLog& log) : ctx_(ctx), log_(log)
{ }

bool PatchList::AddPatch(int32_t group, int32_t supergroup)
{
    LockGuard g(lock_);
    if (group == supergroup)
        return false;
    const int count = count_.load(std::memory_order_relaxed);
    const int64_t now = ctx_.time.Now();
    for (int i = 0; i < count; ++i) {
        if (patches_[i].group == group && patches_[i].supergroup == supergroup) {
            patches_[i].lastSeen = now;
            return true;
        }
    }
    if (count >= kCapacity)
        return false;
    patches_[count] = {group, supergroup, now};
    count_.store(count + 1);
    changed_.store(true);
    log_.AddPatchLogEntry('A', group, supergroup);
    ReportPatch(ctx_, SiteEventKind::kPatchAdded, patches_[count]);
    return true;
}

template <typename Pred>
bool PatchList::RemoveWhere(Pred matches)
{
    int count = count_.load(std::memory_order_relaxed);
    bool removed = false;
    int i = 0;
    while (i < count) {
        if (!matches(patches_[i])) {
            ++i;
            continue;
        }
        log_.AddPatchLogEntry('R', patches_[i].group, patches_[i].supergroup);
        ReportPatch(ctx_, SiteEventKind::kPatchRemoved, patches_[i]);
        std::copy(patches_.begin() + i + 1, patches_.begin() + count, patches_.begin() + i);
        --count;
        removed = true;  // the same position now holds the next patch: examine it again
    }
    count_.store(count);
    if (removed)
        changed_.store(true);
    return removed;
}

bool PatchList::ReleasePatches(int32_t supergroup)
{
    if (count_.load() == 0)
        return false;
    LockGuard g(lock_);
    return RemoveWhere([supergroup](const PATCHENTRY& p) { return p.supergroup == supergroup; });
}

bool PatchList::ExpirePatches()
{
    if (count_.load() == 0)
        return false;
    LockGuard g(lock_);
    const int64_t now = ctx_.time.Now();
    return RemoveWhere([now](const PATCHENTRY& p) { return p.lastSeen + kExpirySeconds < now; });
}

std::optional<int64_t> PatchList::NextExpiry()
{
    if (count_.load() == 0)
        return std::nullopt;
    LockGuard g(lock_);
    std::optional<int64_t> next;
    for (int i = 0; i < count_.load(std::memory_order_relaxed); ++i) {
        const int64_t due = patches_[static_cast<size_t>(i)].lastSeen + kExpirySeconds + 1;
        if (!next || due < *next)
            next = due;
    }
    return next;
}

int PatchList::CopyPatches(PATCHENTRY* out, int capacity)
{
    if (count_.load() == 0) {
        changed_.store(false);
        return 0;
    }
    LockGuard g(lock_);  // held across the expiry too, so the copy sees the list it expired
    ExpirePatches();
    const int n = std::max(0, std::min(capacity, count_.load(std::memory_order_relaxed)));
    std::copy_n(patches_.begin(), n, out);
    changed_.store(false);
    return n;
}

void PatchList::ClearPatches()
{
    LockGuard g(lock_);
    count_.store(0);
    changed_.store(true);
}
