#include "platform/NamedLock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The decoder's area locks; "SYSINFOLOCK" may stand outside any of them.
constexpr const char* kDecoderAreaLocks[] = {
    "BSOLOCK", "FREQUENCY", "NEIGHBOR", "AFFILIATE", "AFFLOG", "AFILTER", "PATCHLOCK",
    "PATCHLOGLOCK", "TGLOCK", "RADIDLOCK", "GLLOCK", "UNKNOWNLOCK", "EVENTLOCK", "ALLPKTLOCK",
};

struct Nesting {
    const char* outer;
    const char* inner;
};

// Direct nestings besides SYSINFOLOCK; BSOLOCK before TGLOCK/RADIDLOCK follows through FREQUENCY.
constexpr Nesting kNestings[] = {
    {"BSOLOCK", "FREQUENCY"}, {"FREQUENCY", "TGLOCK"},   {"FREQUENCY", "RADIDLOCK"},
    {"BSOLOCK", "TGLOCK"},    {"BSOLOCK", "RADIDLOCK"}, {"AFFLOG", "AFFILIATE"},
    {"PATCHLOCK", "PATCHLOGLOCK"},
};

bool Same(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0;
}

#ifdef VARNEL_LOCK_CHECK
// Locks the current thread holds, innermost last; a recursive taking appears once per taking.
thread_local std::vector<const NamedLock*> t_held;
#endif

}  // namespace

bool NamedLock::NestingAllowed(const char* outer, const char* inner)
{
    if (Same(outer, inner))
        return true;
    if (Same(outer, "SYSINFOLOCK"))
        return std::any_of(std::begin(kDecoderAreaLocks), std::end(kDecoderAreaLocks),
                           [inner](const char* n) { return Same(n, inner); });
    return std::any_of(std::begin(kNestings), std::end(kNestings), [&](const Nesting& n) {
        return Same(n.outer, outer) && Same(n.inner, inner);
    });
}

void NamedLock::CheckOrder() const
{
#ifdef VARNEL_LOCK_CHECK
    if (std::find(t_held.begin(), t_held.end(), this) != t_held.end())
        return;  // recursive taking
    for (const NamedLock* held : t_held) {
        if (!NestingAllowed(held->name_, name_)) {
            std::fprintf(stderr, "lock order violation: \"%s\" taken while \"%s\" is held\n", name_,
                         held->name_);
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
        std::fprintf(stderr, "lock \"%s\" released by a thread that does not hold it\n", name_);
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
