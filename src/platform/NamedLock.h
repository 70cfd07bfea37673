#pragma once

#include <mutex>

// A recursive lock with a name ("TGLOCK", "FREQUENCY", ...). Every decoder state area and the
// block queue have one. Take it through LockGuard (or std::unique_lock for a try-once) so every
// path releases it.
//
// With VARNEL_LOCK_CHECK (debug and test builds) each thread records the locks it holds, and
// taking a lock while holding another in an order outside the allowed nestings aborts with both
// names. The allowed nestings, outer before inner:
//   SYSINFOLOCK before any other decoder area lock (reset and loading of per-system data)
//   BSOLOCK before FREQUENCY, FREQUENCY before TGLOCK or RADIDLOCK (and so BSOLOCK before those)
//   AFFLOG before AFFILIATE
//   PATCHLOCK before PATCHLOGLOCK
// Taking a lock the thread already holds is always allowed (the locks are recursive).
class NamedLock {
public:
    explicit NamedLock(const char* name) : name_(name) {}
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    const char* Name() const { return name_; }

    // Lockable, so std::unique_lock and std::lock_guard work too.
    void lock();
    bool try_lock();
    void unlock();

    // Whether the calling thread holds this lock (only known with VARNEL_LOCK_CHECK; true otherwise).
    bool HeldByThisThread() const;

    // Number of locks the calling thread holds (0 without VARNEL_LOCK_CHECK). Lets tests show
    // that an operation released everything on every path.
    static int HeldCount();

    // Whether the nesting outer -> inner is one of the allowed orders.
    static bool NestingAllowed(const char* outer, const char* inner);

private:
    void CheckOrder() const;
    void NoteTaken();
    void NoteReleased();

    const char* name_;
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
