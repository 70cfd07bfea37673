#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

// Records with a 32-bit id kept in ascending id order, allocated once at full capacity. A record
// stays in the slot it was created in; a sorted array of 4-byte slot numbers gives the id order,
// so an insertion moves only those numbers (never whole records with their texts) and a lookup is
// a binary search. Clearing sets the count to 0 and reuses the slots (and their string buffers).
// The owner serialises every call with its lock; Count() alone may be read without it.
template <class Record>
class SortedRecordPool {
public:
    explicit SortedRecordPool(int capacity) : capacity_(capacity), pool_(capacity), order_(capacity) { }

    int Capacity() const { return capacity_; }
    int Count() const { return count_.load(std::memory_order_relaxed); }

    // Index 0..Count()-1 in ascending id order.
    const Record& At(int index) const { return pool_[order_[static_cast<size_t>(index)]]; }
    Record& At(int index) { return pool_[order_[static_cast<size_t>(index)]]; }

    // Sorted position of the first record whose id is not smaller than id.
    int LowerBound(int32_t id) const
    {
        const auto end = order_.begin() + Count();
        const auto it = std::lower_bound(order_.begin(), end, id,
                                         [this](uint32_t slot, int32_t key) { return pool_[slot].id < key; });
        return static_cast<int>(it - order_.begin());
    }

    // Sorted position of the record with this id, or -1.
    int Find(int32_t id) const
    {
        const int pos = LowerBound(id);
        return (pos < Count() && At(pos).id == id) ? pos : -1;
    }

    // Makes room for a new id at its sorted position and sets the record's id; the caller fills
    // the other fields. The sorted position, or -1 when the pool is full. The id must be absent.
    int Insert(int32_t id)
    {
        const int count = Count();
        if (count >= capacity_)
            return -1;
        const int pos = LowerBound(id);
        const uint32_t slot = static_cast<uint32_t>(count);
        std::memmove(order_.data() + pos + 1, order_.data() + pos, static_cast<size_t>(count - pos) * sizeof(uint32_t));
        order_[static_cast<size_t>(pos)] = slot;
        pool_[slot].id = id;
        count_.store(count + 1);
        return pos;
    }

    // Takes the record with this id out; false when it is absent. The record in the last used slot
    // moves into the freed one, so the used slots stay 0..Count()-1 and Insert keeps taking the
    // next; the string buffers travel with the swap.
    bool Remove(int32_t id)
    {
        const int pos = Find(id);
        if (pos < 0)
            return false;
        const int count = Count();
        const uint32_t slot = order_[static_cast<size_t>(pos)];
        const uint32_t last = static_cast<uint32_t>(count - 1);
        if (slot != last) {
            const int lastPos = Find(pool_[last].id);
            std::swap(pool_[slot], pool_[last]);
            order_[static_cast<size_t>(lastPos)] = slot;
        }
        std::memmove(order_.data() + pos, order_.data() + pos + 1,
                     static_cast<size_t>(count - pos - 1) * sizeof(uint32_t));
        count_.store(count - 1);
        return true;
    }

    void Clear() { count_.store(0); }

private:
    const int capacity_;
    std::vector<Record> pool_;     // slot k is the k-th record created since the last clear
    std::vector<uint32_t> order_;  // order_[i] = slot of the record with the i-th smallest id
    std::atomic<int> count_{0};
};
