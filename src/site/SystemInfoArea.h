#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"

// Identity and names of the monitored system and site.
struct SystemInfo {
    uint32_t systemId = 0;  // 12 significant bits; 0 = not yet known
    uint32_t wacn = 0;      // 20 significant bits; 0 = not yet known
    uint32_t rfssId = 0;    // 0 = not yet known
    uint32_t siteId = 0;
    int32_t siteStatus = 1;  // bit 0 set: the site has its network connection
    uint8_t serviceClass = 0;
    std::string systemName;  // at most 199 characters
    std::string siteName;    // at most 199 characters
    std::string callSigns;   // words separated by single blanks, at most 199 characters
    bool changed = false;
};

// The system information area ("SYSINFOLOCK"). The operations that reset the whole decoder or
// load stored data on an identity change belong to P25Class; this class keeps the record and
// mirrors the identity into the DecoderContext so the start-up filter and the generated
// descriptions can read it without taking the lock.
class SystemInfoArea {
public:
    static constexpr size_t kTextCapacity = 199;
    static constexpr size_t kCallSignLength = 19;
    static constexpr int kMaxCallSigns = 20;

    explicit SystemInfoArea(DecoderContext& ctx) : ctx_(ctx) { }

    NamedLock& Lock() { return lock_; }
    std::atomic<bool>& ChangedFlag() { return changed_; }

    void Reset();

    // Primitives for P25Class; each takes the lock.
    uint32_t SystemId() const { return ctx_.systemId.load(std::memory_order_relaxed); }
    uint32_t RfssId() const { return ctx_.rfss.load(std::memory_order_relaxed); }
    uint32_t SiteId() const { return ctx_.site.load(std::memory_order_relaxed); }
    void StoreSystemId(uint32_t id);
    void StoreSiteIdentity(uint32_t systemId, uint32_t rfss, uint8_t serviceClass, uint32_t site);
    void StoreRfssSite(uint32_t rfss, uint32_t site);
    bool SameSiteIdentity(uint32_t systemId, uint32_t rfss, uint8_t serviceClass, uint32_t site);

    bool SetWacn(uint32_t wacn);
    uint32_t Wacn()
    {
        LockGuard g(lock_);
        return info_.wacn;
    }
    bool SetSiteStatus(int32_t bits);
    void SetSystemName(std::string_view text);
    void StoreSiteName(std::string_view text);
    bool AddCallSign(std::string_view text);

    bool SystemInfoChanged() const { return changed_.load(); }
    void CopySystemInfo(SystemInfo& out);

private:
    DecoderContext& ctx_;
    NamedLock lock_{area_locks::kSysInfo};
    SystemInfo info_;
    std::atomic<bool> changed_{false};
};
