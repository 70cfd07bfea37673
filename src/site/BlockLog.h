#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "p25/Tsbk.h"
#include "platform/NamedLock.h"
#include "site/DecoderContext.h"
#include "site/PendingBuffer.h"

// One recorded block with the decoder's description. time 0 is the clear marker.
struct BlockLogEntry {
    int64_t time = 0;  // Unix seconds
    Tsbk block{};
    std::string text;
};

// The pending buffer shared by the event log, the unknown packets and the packet dump: N blocks
// with their descriptions (PendingBuffer), under the area's lock.
template <int N>
class BlockLog {
public:
    struct Options {
        // The switch refuses additions, makes Copy answer 0 and Changed false while off. Without
        // it the switch is only stored for the decoder to ask.
        bool switchGates;
        // Drop a block equal to the last one recorded (a control channel repeating a message
        // shows it once). The memory starts all zero and is never reset, not even by Clear.
        bool dropRepeats;
    };

    BlockLog(DecoderContext& ctx, const LockOrder& lock, const Options& options)
        : ctx_(ctx), options_(options), lock_(lock)
    {
        // Most descriptions fit, so filling a slot does not allocate; longer ones grow the slot once.
        buffer_.ForEachSlot([](BlockLogEntry& e) { e.text.reserve(kReservedText); });
    }
    BlockLog(const BlockLog&) = delete;
    BlockLog& operator=(const BlockLog&) = delete;

    bool Add(const Tsbk& block, std::string_view text)
    {
        if (Gated())
            return false;
        LockGuard g(lock_);
        BlockLogEntry* slot = buffer_.NextSlot();
        if (slot == nullptr)
            return false;
        if (options_.dropRepeats) {
            if (block == lastBlock_)
                return false;
            lastBlock_ = block;
        }
        slot->time = ctx_.time.Now();
        slot->block = block;
        slot->text.assign(text);
        buffer_.Commit();
        return true;
    }

    // Replaces what is pending by the clear marker.
    void Clear()
    {
        LockGuard g(lock_);
        BlockLogEntry& marker = buffer_.Marker();
        marker.time = 0;
        marker.block.fill(0);
        marker.text.clear();
        buffer_.PostMarker();
    }

    // Copies min(capacity, pending) entries in order; entries beyond capacity stay pending.
    // With tryOnce the refresh thread gives up (0) when the lock is busy, leaving them pending.
    int Copy(BlockLogEntry* out, int capacity, bool tryOnce = false)
    {
        if (buffer_.Pending() == 0 || Gated() || capacity <= 0)
            return 0;
        if (tryOnce) {
            std::unique_lock<NamedLock> g(lock_, std::try_to_lock);
            return g.owns_lock() ? buffer_.CopyOut(out, capacity) : 0;
        }
        LockGuard g(lock_);
        return buffer_.CopyOut(out, capacity);
    }

    bool Changed() const { return !Gated() && buffer_.Changed(); }
    bool SetEnabled(bool on)  // returns the switch
    {
        enabled_.store(on);
        return on;
    }
    bool Enabled() const { return enabled_.load(); }

    int Pending() const { return buffer_.Pending(); }
    NamedLock& Lock() { return lock_; }

private:
    static constexpr size_t kReservedText = 160;

    bool Gated() const { return options_.switchGates && !enabled_.load(); }

    DecoderContext& ctx_;
    const Options options_;
    NamedLock lock_;
    std::atomic<bool> enabled_{false};
    PendingBuffer<BlockLogEntry, N> buffer_;
    Tsbk lastBlock_{};  // for dropRepeats; written under lock_
};
