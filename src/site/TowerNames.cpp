#include "site/TowerNames.h"

TowerNames::TowerNames(NamedLock& sysInfoLock, std::atomic<bool>& sysInfoChanged)
    : lock_(sysInfoLock), changed_(sysInfoChanged), records_(kCapacity)
{ }

bool TowerNames::SetTowerName(uint32_t rfss, uint32_t site, std::string_view text)
{
    const int32_t key = Key(rfss, site);
    LockGuard g(lock_);
    std::lock_guard<std::mutex> r(recordsMutex_);
    const int count = count_.load(std::memory_order_relaxed);
    bool found = false;
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        TOWERS& t = records_[static_cast<size_t>(i)];
        if (t.key != key)
            continue;
        found = true;
        if (t.description != text) {
            t.description.assign(text);
            changed = true;
        }
    }
    if (!found && count < kCapacity) {
        TOWERS& t = records_[static_cast<size_t>(count)];
        t.key = key;
        t.description.assign(text);
        count_.store(count + 1);
        found = changed = true;
    }
    if (changed)
        changed_.store(true);
    return found;
}

std::string TowerNames::GetTowerName(uint32_t rfss, uint32_t site) const
{
    const int32_t key = Key(rfss, site);
    std::lock_guard<std::mutex> r(recordsMutex_);
    const int count = count_.load(std::memory_order_relaxed);
    for (int i = 0; i < count; ++i) {
        if (records_[static_cast<size_t>(i)].key == key)
            return records_[static_cast<size_t>(i)].description;
    }
    return {};
}

void TowerNames::ClearTowerNames()
{
    LockGuard g(lock_);
    std::lock_guard<std::mutex> r(recordsMutex_);
    if (count_.load(std::memory_order_relaxed) != 0)
        changed_.store(true);
    count_.store(0);
}

int TowerNames::Count() const
{
    return count_.load();
}

const TOWERS& TowerNames::At(int index) const
{
    return records_[static_cast<size_t>(index)];
}
