#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"

class IdentifierTable;
class TowerNames;

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
// system ID * 1000 + RFSS ID * 100 + site ID, at most one record per (system, RFSS, site).
//
// It completes each record from the monitored system ID (the context's mirror), the tower names
// and the identifier table, so it is constructed after the identifier table and the tower names:
//   NeighborTable neighbors(ctx, identifiers, towers);
// None of them is locked here: "SYSINFOLOCK" may not be taken inside "NEIGHBOR", the tower names
// guard their records with their own innermost mutex, and the identifier table is written only
// by the processing thread, which is also the one that adds neighbours.
class NeighborTable {
public:
    static constexpr int kCapacity = 40;
    static constexpr size_t kNameCapacity = 254;
    static constexpr const char* kOtherSystemName = "Unknown (Different System)";

    NeighborTable(const DecoderContext& ctx, const IdentifierTable& ids, const TowerNames& towers);
    NeighborTable(const NeighborTable&) = delete;
    NeighborTable& operator=(const NeighborTable&) = delete;

    NamedLock& Lock() { return lock_; }

    void Reset();

    // Stores an adjacent site announced by a status broadcast (single block or multi-block).
    // The caller fills system, RFSS, site, control channel and status; the control channel's
    // receive frequency and the site's name are worked out here (any values given for them are
    // replaced). A known site is replaced when anything differs; a new one is inserted in key
    // order, or dropped when 40 sites are held. Returns whether the area changed.
    bool AddNeighbor(NeighborSite record);

    int CopyNeighbors(NeighborSite* out, int n);
    bool NeighborsChanged() const { return changed_.load(); }

    // For readers that hold Lock().
    int Count() const { return count_; }
    const NeighborSite& Record(int i) const { return records_[i]; }

private:
    void Complete(NeighborSite& record) const;
    int Find(const NeighborSite& record) const;
    bool Insert(const NeighborSite& record);

    const DecoderContext& ctx_;
    const IdentifierTable& ids_;
    const TowerNames& towers_;
    NamedLock lock_{area_locks::kNeighbors};
    std::array<NeighborSite, kCapacity> records_{};
    int count_ = 0;
    std::atomic<bool> changed_{false};
};
