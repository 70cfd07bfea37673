#pragma once

#include <algorithm>
#include <atomic>
#include <vector>

// Fixed slots that the decoder fills and the refresh thread empties by copying them out. It never
// wraps: an entry offered while every slot is pending is dropped. A clear puts one clear marker
// in the place of everything pending; the screen empties itself when it meets it.
//
// The owner's area lock guards the slots: NextSlot, Commit, Marker, PostMarker and CopyOut are
// called with that lock held. The pending count and the changed flag may be read without it.
template <class Entry, int N>
class PendingBuffer {
public:
    static constexpr int kCapacity = N;

    PendingBuffer() : slots_(N) { }
    PendingBuffer(const PendingBuffer&) = delete;
    PendingBuffer& operator=(const PendingBuffer&) = delete;

    // The slot the next entry goes into, or nullptr while every slot is pending. The caller fills
    // it and then calls Commit.
    Entry* NextSlot()
    {
        const int n = count_.load(std::memory_order_relaxed);
        return n < N ? &slots_[static_cast<size_t>(n)] : nullptr;
    }
    void Commit()
    {
        count_.store(count_.load(std::memory_order_relaxed) + 1);
        changed_.store(true);
    }

    // The slot of the clear marker; the caller sets it to the marker and calls PostMarker.
    Entry& Marker() { return slots_[0]; }
    void PostMarker()
    {
        count_.store(1);
        changed_.store(true);
    }

    // Copies the oldest min(capacity, pending) entries in order. Entries beyond capacity stay
    // pending instead of being lost; rotating keeps every slot's own buffers (strings) in place.
    int CopyOut(Entry* out, int capacity)
    {
        const int count = count_.load(std::memory_order_relaxed);
        const int n = std::min(capacity, count);
        for (int i = 0; i < n; ++i)
            out[i] = slots_[static_cast<size_t>(i)];  // copy-assignment reuses the destination's buffers
        std::rotate(slots_.begin(), slots_.begin() + n, slots_.begin() + count);
        count_.store(count - n);
        changed_.store(count - n > 0);
        return n;
    }

    int Pending() const { return count_.load(); }
    bool Changed() const { return changed_.load(); }

    // For preparing the slots once (reserving text buffers).
    template <class F>
    void ForEachSlot(F f)
    {
        for (Entry& e : slots_)
            f(e);
    }

private:
    std::atomic<int> count_{0};
    std::atomic<bool> changed_{false};
    std::vector<Entry> slots_;  // allocated once; large entries stay off the owner's footprint
};
