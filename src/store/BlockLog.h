#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decoder/DecoderContext.h"
#include "decoder/Tsbk.h"
#include "platform/NamedLock.h"

// One recorded block with the decoder's description. time 0 is the clear marker.
struct BlockLogEntry {
    int64_t time = 0;  // Unix seconds
    Tsbk block{};
    std::string text;
};

// The pending buffer shared by the event log, the unknown packets and the packet dump: fixed
// slots that the decoder fills and the refresh thread empties by copying them out. It never wraps;
// entries offered while every slot is pending are dropped.
class BlockLog {
public:
    struct Options {
        const char* lockName;  // a string literal; NamedLock keeps the pointer
        int slotCount;  // not "slots": Qt defines that word as a macro
        // The switch refuses additions, makes Copy answer 0 and Changed false while off. Without
        // it the switch is only stored for the decoder to ask.
        bool switchGates;
        // Drop a block equal to the last one recorded (a control channel repeating a message
        // shows it once). The memory starts all zero and is never reset, not even by Clear.
        bool dropRepeats;
    };

    BlockLog(DecoderContext& ctx, const Options& options);
    BlockLog(const BlockLog&) = delete;
    BlockLog& operator=(const BlockLog&) = delete;

    bool Add(const Tsbk& block, std::string_view text);
    void Clear();  // replaces what is pending by the clear marker
    // Copies min(capacity, pending) entries in order; entries beyond capacity stay pending.
    // With tryOnce the refresh thread gives up (0) when the lock is busy, leaving them pending.
    int Copy(BlockLogEntry* out, int capacity, bool tryOnce = false);
    bool Changed() const;
    bool SetEnabled(bool on);  // returns the switch
    bool Enabled() const { return enabled_.load(); }

    int Pending() const { return count_.load(); }
    int Slots() const { return options_.slotCount; }
    NamedLock& Lock() { return lock_; }

private:
    int CopyLocked(BlockLogEntry* out, int capacity);
    bool Gated() const { return options_.switchGates && !enabled_.load(); }

    DecoderContext& ctx_;
    const Options options_;
    NamedLock lock_;
    std::atomic<bool> enabled_{false};
    std::atomic<bool> changed_{false};
    std::atomic<int> count_{0};
    std::vector<BlockLogEntry> slots_;
    Tsbk lastBlock_{};  // for dropRepeats; written under lock_
};
