#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/NamedLock.h"

// One adjacent site as announced by the control channel.
struct NeighborSite {
    int32_t systemId = 0;
    int32_t rfssId = 0;
    int32_t siteId = 0;
    int32_t controlChannel = 0xFFFF;  // 0xFFFF when not known
    int32_t status = 0;               // bit 0 set: the site has its network connection
    double controlFrequency = 0.0;    // MHz
    std::string name;                 // at most 254 characters
};

// The adjacent sites area ("NEIGHBOR"): up to 40 sites in ascending order of
// system ID * 1000 + RFSS ID * 100 + site ID.
class NeighborTable {
public:
    static constexpr int kCapacity = 40;

    NamedLock& Lock() { return lock_; }

    void Reset();
    int CopyNeighbors(NeighborSite* out, int n);
    bool NeighborsChanged() const { return changed_.load(); }

    // For the broadcast handlers, which hold Lock() while they use these.
    int Count() const { return count_; }
    NeighborSite& Record(int i) { return records_[i]; }
    void SetCount(int count) { count_ = count; }
    void MarkChanged() { changed_ = true; }

private:
    NamedLock lock_{"NEIGHBOR"};
    std::array<NeighborSite, kCapacity> records_{};
    int count_ = 0;
    std::atomic<bool> changed_{false};
};
