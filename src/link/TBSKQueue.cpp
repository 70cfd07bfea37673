#include "link/TBSKQueue.h"

#include <algorithm>
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
        wake = dataWaiters_ > 0;
    }
    if (wake)
        dataArrived_.notify_all();
    return true;
}

size_t TBSKQueue::Push(const Tsbk* blocks, size_t count)
{
    bool wake = false;
    size_t n = 0;
    {
        LockGuard guard(lock_);
        n = std::min(count, static_cast<size_t>(kSlots - count_));
        for (size_t i = 0; i < n; ++i) {
            (*slots_)[writeIndex_] = blocks[i];
            writeIndex_ = (writeIndex_ + 1) % kSlots;
        }
        count_ += static_cast<int32_t>(n);
        wake = n > 0 && dataWaiters_ > 0;
    }
    if (wake)
        dataArrived_.notify_all();
    return n;
}

void TBSKQueue::NoteTaken(int before, int after, bool& wakeProducer) const
{
    // The producer sleeps while the ring is full; it is woken when the ring reaches the low-water
    // mark, so that it refills many slots at a time.
    wakeProducer = roomWaiters_ > 0 && before > kLowWater && after <= kLowWater;
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
        NoteTaken(count_ + 1, count_, wake);
    }
    if (wake)
        roomMade_.notify_all();
    return true;
}

int TBSKQueue::PopAll(std::array<Tsbk, kSlots>& out)
{
    bool wake = false;
    int n = 0;
    {
        LockGuard guard(lock_);
        n = count_;
        for (int i = 0; i < n; ++i) {
            out[static_cast<size_t>(i)] = (*slots_)[readIndex_];
            readIndex_ = (readIndex_ + 1) % kSlots;
        }
        count_ = 0;
        NoteTaken(n, 0, wake);
    }
    if (wake)
        roomMade_.notify_all();
    return n;
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
    std::unique_lock<NamedLock> guard(lock_);
    const auto ready = [this] { return count_ > 0; };
    if (ready() || stop.stop_requested())
        return ready();
    // Registered under the lock, so a push that follows the release inside the wait sees it and
    // notifies; the stop token wakes the wait through its own callback.
    ++dataWaiters_;
    const bool result =
        max == kNoTimeout ? dataArrived_.wait(guard, stop, ready) : dataArrived_.wait_for(guard, stop, max, ready);
    --dataWaiters_;
    return result;
}

bool TBSKQueue::WaitForRoom(std::stop_token stop, std::chrono::milliseconds max)
{
    std::unique_lock<NamedLock> guard(lock_);
    if (count_ < kSlots || stop.stop_requested())
        return count_ < kSlots;
    ++roomWaiters_;
    const auto drained = [this] { return count_ <= kLowWater; };
    if (max == kNoTimeout)
        roomMade_.wait(guard, stop, drained);
    else
        roomMade_.wait_for(guard, stop, max, drained);
    --roomWaiters_;
    return count_ < kSlots;
}
