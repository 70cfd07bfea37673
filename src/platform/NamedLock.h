#pragma once

#include <array>
#include <mutex>

// The place of a lock in the nesting order, given by the lock's owner: its name and the locks
// that may already be held by a thread that takes it. Owners keep these as constants beside the
// data they guard.
struct LockOrder {
    static constexpr int kMaxOuter = 4;
    const char* name = "";
    std::array<const char*, kMaxOuter> takenInside{};  // unused entries null
};

// A recursive lock with a name ("TGLOCK", "FREQUENCY", ...). Every decoder state area and the
// block queue have one. Take it through LockGuard (or std::unique_lock for a try-once) so every
// path releases it.
//
// With VARNEL_LOCK_CHECK (debug and test builds) each thread records the locks it holds, and
// taking a lock while holding another that its order does not list aborts with both names.
// Taking a lock the thread already holds is always allowed (the locks are recursive).
class NamedLock {
public:
    explicit NamedLock(const LockOrder& order) : order_(order) { }
    // A lock that is never taken inside another.
    explicit NamedLock(const char* name) : order_{name, {}} { }
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    const char* Name() const { return order_.name; }

    // Lockable, so std::unique_lock and std::lock_guard work too.
    void lock();
    bool try_lock();
    void unlock();

    // Whether the calling thread holds this lock (only known with VARNEL_LOCK_CHECK; true otherwise).
    bool HeldByThisThread() const;

    // Number of locks the calling thread holds (0 without VARNEL_LOCK_CHECK). Lets tests show
    // that an operation released everything on every path.
    static int HeldCount();

    // Whether a thread holding `outer` may take `inner`.
    static bool NestingAllowed(const LockOrder& outer, const LockOrder& inner);

private:
    void CheckOrder() const;
    void NoteTaken();
    void NoteReleased();

    const LockOrder order_;
    std::recursive_mutex mutex_;
};

class LockGuard {
public:
    explicit LockGuard(NamedLock& lock) : lock_(lock) { lock_.lock(); }
    ~LockGuard() { lock_.unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    NamedLock& lock_;
};
