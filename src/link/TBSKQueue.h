#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>

#include "p25/Tsbk.h"
#include "platform/NamedLock.h"

// The 200-slot ring between the reader thread (the only producer) and the processing thread (the
// only consumer). Blocks are copied in and out under the "TSBKQUEUE" lock; no pointer into the
// slots ever leaves the queue. Besides the plain operations the queue offers waits that wake as
// soon as a block is pushed, room is made or a stop is asked, so neither thread has to sleep a
// fixed time while the other is ready.
//
// Hand-over in batches: the consumer takes every queued block in one lock (PopAll), and a producer
// waiting for room is woken once the ring has fallen to the low-water mark, not for every block
// taken, so a fast source and the decoder meet a few times per 200 blocks instead of per block.
class TBSKQueue {
public:
    static constexpr int kSlots = 200;
    static constexpr int kLowWater = kSlots / 2;
    // A wait without time limit (it still ends on a stop request).
    static constexpr std::chrono::milliseconds kNoTimeout = std::chrono::milliseconds::max();

    TBSKQueue();
    TBSKQueue(const TBSKQueue&) = delete;
    TBSKQueue& operator=(const TBSKQueue&) = delete;

    // false (and nothing changed) when full.
    bool Push(const Tsbk& block);
    // Copies in as many of `count` blocks as there is room for, in order, under one lock; returns
    // how many.
    size_t Push(const Tsbk* blocks, size_t count);
    // false when empty; otherwise the oldest block is copied out and removed.
    bool Pop(Tsbk& out);
    // Copies out and removes every queued block (at most kSlots), oldest first; returns how many.
    int PopAll(std::array<Tsbk, kSlots>& out);

    bool HasData() const;
    bool HasRoom() const;
    int Count() const;
    // Free share of the ring in whole per cent, half rounded up (100 when empty, 0 when full).
    int FreePercent() const;

    // Wait until a block is held, at most `max`, ending early on a stop request.
    // True when a block is held on return. Never call with the queue's lock held.
    bool WaitForData(std::stop_token stop, std::chrono::milliseconds max);
    // Wait until a slot is free, at most `max`, ending early on a stop request. A full ring wakes
    // its producer only once it has fallen to kLowWater (or the time is up).
    // True when there is room on return. Never call with the queue's lock held.
    bool WaitForRoom(std::stop_token stop, std::chrono::milliseconds max);

    NamedLock& Lock() { return lock_; }

private:
    void NoteTaken(int before, int after, bool& wakeProducer) const;

    mutable NamedLock lock_{"TSBKQUEUE"};
    std::condition_variable_any dataArrived_;
    std::condition_variable_any roomMade_;
    std::unique_ptr<std::array<Tsbk, kSlots>> slots_;
    int32_t readIndex_ = 0;
    int32_t writeIndex_ = 0;
    int32_t count_ = 0;
    // Threads inside a wait; a push or pop notifies only when someone waits.
    int32_t dataWaiters_ = 0;
    int32_t roomWaiters_ = 0;
};
