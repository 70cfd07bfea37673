#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NamedLock.h"

// One tower (site) name, keyed by RFSS * 100 + site.
struct TOWERS {
    int32_t key = 0;
    std::string description;
};

// Site names of the system being decoded, at most 500, in the order they were added. They belong
// to the system information: writes take its "SYSINFOLOCK" and a change sets its changed flag.
class TowerNames {
public:
    static constexpr int kCapacity = 500;

    TowerNames(NamedLock& sysInfoLock, std::atomic<bool>& sysInfoChanged);

    bool SetTowerName(uint32_t rfss, uint32_t site, std::string_view text);
    std::string GetTowerName(uint32_t rfss, uint32_t site) const;
    void ClearTowerNames();
    int Count() const;
    // Walking in insertion order, with the system information lock held by the caller.
    const TOWERS& At(int index) const;

    static int32_t Key(uint32_t rfss, uint32_t site) { return static_cast<int32_t>(rfss * 100 + site); }

private:
    NamedLock& lock_;
    std::atomic<bool>& changed_;
    // Readers look names up while holding other area locks (the adjacent-site table under
    // "NEIGHBOR"), where "SYSINFOLOCK" may not be taken. This innermost mutex, never held while
    // taking another lock, keeps them from reading a name that a writer is replacing.
    mutable std::mutex recordsMutex_;
    std::atomic<int> count_{0};
    std::vector<TOWERS> records_;
};
