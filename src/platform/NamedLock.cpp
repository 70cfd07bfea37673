#include "platform/NamedLock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool Same(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0;
}

#ifdef VARNEL_LOCK_CHECK
// Locks the current thread holds, innermost last; a recursive taking appears once per taking.
thread_local std::vector<const NamedLock*> t_held;
#endif

}  // namespace

bool NamedLock::NestingAllowed(const LockOrder& outer, const LockOrder& inner)
{
    if (Same(outer.name, inner.name))
        return true;
    return std::any_of(inner.takenInside.begin(), inner.takenInside.end(),
                       [&](const char* allowed) { return allowed != nullptr && Same(allowed, outer.name); });
}

void NamedLock::CheckOrder() const
{
#ifdef VARNEL_LOCK_CHECK
    if (std::find(t_held.begin(), t_held.end(), this) != t_held.end())
        return;  // recursive taking
    for (const NamedLock* held : t_held) {
        if (!NestingAllowed(held->order_, order_)) {
            std::fprintf(stderr, "lock order violation: \"%s\" taken while \"%s\" is held\n", order_.name,
                         held->order_.name);
            std::fflush(stderr);
            std::abort();
        }
    }
#endif
}

void NamedLock::NoteTaken()
{
#ifdef VARNEL_LOCK_CHECK
    t_held.push_back(this);
#endif
}

void NamedLock::NoteReleased()
{
#ifdef VARNEL_LOCK_CHECK
    auto it = std::find(t_held.rbegin(), t_held.rend(), this);
    if (it == t_held.rend()) {
        std::fprintf(stderr, "lock \"%s\" released by a thread that does not hold it\n", order_.name);
        std::fflush(stderr);
        std::abort();
    }
    t_held.erase(std::next(it).base());
#endif
}

void NamedLock::lock()
{
    CheckOrder();
    mutex_.lock();
    NoteTaken();
}

bool NamedLock::try_lock()
{
    CheckOrder();
    if (!mutex_.try_lock())
        return false;
    NoteTaken();
    return true;
}

void NamedLock::unlock()
{
    NoteReleased();
    mutex_.unlock();
}

bool NamedLock::HeldByThisThread() const
{
#ifdef VARNEL_LOCK_CHECK
    return std::find(t_held.begin(), t_held.end(), this) != t_held.end();
#else
    return true;
#endif
}

int NamedLock::HeldCount()
{
#ifdef VARNEL_LOCK_CHECK
    return static_cast<int>(t_held.size());
#else
    return 0;
#endif
}
