#include "link/TBSKQueue.h"

#include <mutex>

TBSKQueue::TBSKQueue() : slots_(std::make_unique<std::array<Tsbk, kSlots>>())
{ }

bool TBSKQueue::Push(const Tsbk& block)
{
    bool wake = false;
    {
        LockGuard guard(lock_);
        if (count_ == kSlots)
            return false;
        (*slots_)[writeIndex_] = block;
        writeIndex_ = (writeIndex_ + 1) % kSlots;
        ++count_;
        wake = waiters_ > 0;
    }
    WakeIfWaiting(wake);
    return true;
}

bool TBSKQueue::Pop(Tsbk& out)
{
    bool wake = false;
    {
        LockGuard guard(lock_);
        if (count_ == 0)
            return false;
        out = (*slots_)[readIndex_];
        readIndex_ = (readIndex_ + 1) % kSlots;
        --count_;
        wake = waiters_ > 0;
    }
    WakeIfWaiting(wake);
    return true;
}

bool TBSKQueue::HasData() const
{
    LockGuard guard(lock_);
    return count_ > 0;
}

bool TBSKQueue::HasRoom() const
{
    LockGuard guard(lock_);
    return count_ < kSlots;
}

int TBSKQueue::Count() const
{
    LockGuard guard(lock_);
    return count_;
}

int TBSKQueue::FreePercent() const
{
    LockGuard guard(lock_);
    if (count_ == 0)
        return 100;
    // (200 - count) * 0.5 per cent, plus one half, truncated: in whole numbers so that the
    // halves round up exactly (in floating point 29 free slots would give 14 instead of 15).
    return (kSlots - count_ + 1) / 2;
}

bool TBSKQueue::WaitForData(std::stop_token stop, std::chrono::milliseconds max)
{
    return Wait(stop, max, true);
}

bool TBSKQueue::WaitForRoom(std::stop_token stop, std::chrono::milliseconds max)
{
    return Wait(stop, max, false);
}

bool TBSKQueue::Wait(std::stop_token& stop, std::chrono::milliseconds max, bool wantData)
{
    std::unique_lock<NamedLock> guard(lock_);
    auto ready = [this, wantData] { return wantData ? count_ > 0 : count_ < kSlots; };
    if (ready() || stop.stop_requested())
        return ready();
    // Registered under the lock, so a push or pop that follows the release inside wait_for sees
    // it and notifies; the stop token wakes the wait through its own callback.
    ++waiters_;
    const bool result = changed_.wait_for(guard, stop, max, ready);
    --waiters_;
    return result;
}

void TBSKQueue::WakeIfWaiting(bool wake)
{
    if (wake)
        changed_.notify_all();
}
