#include "site/SystemInfoArea.h"

#include <algorithm>
#include <cctype>

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void SystemInfoArea::Reset()
{
    LockGuard g(lock_);
    info_ = SystemInfo{};
    ctx_.systemId = 0;
    ctx_.rfss = 0;
    ctx_.site = 0;
    changed_ = true;
}

void SystemInfoArea::StoreSystemId(uint32_t id)
{
    LockGuard g(lock_);
    info_.systemId = id;
    ctx_.systemId = id;
    changed_ = true;
}

bool SystemInfoArea::SameSiteIdentity(uint32_t systemId, uint32_t rfss, uint8_t serviceClass, uint32_t site)
{
    LockGuard g(lock_);
    return info_.systemId == systemId && info_.rfssId == rfss && info_.serviceClass == serviceClass &&
           info_.siteId == site;
}

void SystemInfoArea::StoreSiteIdentity(uint32_t systemId, uint32_t rfss, uint8_t serviceClass, uint32_t site)
{
    LockGuard g(lock_);
    info_.systemId = systemId;
    info_.rfssId = rfss;
    info_.serviceClass = serviceClass;
    info_.siteId = site;
    ctx_.systemId = systemId;
    ctx_.rfss = rfss;
    ctx_.site = site;
    changed_ = true;
}

void SystemInfoArea::StoreRfssSite(uint32_t rfss, uint32_t site)
{
    LockGuard g(lock_);
    info_.rfssId = rfss;
    info_.siteId = site;
    ctx_.rfss = rfss;
    ctx_.site = site;
    changed_ = true;
}

bool SystemInfoArea::SetWacn(uint32_t wacn)
{
    LockGuard g(lock_);
    if (info_.wacn == wacn)
        return false;
    info_.wacn = wacn;
    changed_ = true;
    return true;
}

bool SystemInfoArea::SetSiteStatus(int32_t bits)
{
    LockGuard g(lock_);
    if (info_.siteStatus == bits)
        return false;
    info_.siteStatus = bits;
    changed_ = true;
    return true;
}

void SystemInfoArea::SetSystemName(std::string_view text)
{
    LockGuard g(lock_);
    info_.systemName.assign(text.substr(0, kTextCapacity));
    changed_ = true;
}

void SystemInfoArea::StoreSiteName(std::string_view text)
{
    LockGuard g(lock_);
    info_.siteName.assign(text.substr(0, kTextCapacity));
    changed_ = true;
}

bool SystemInfoArea::AddCallSign(std::string_view text)
{
    // Trimmed first, then cut, so a padded call sign keeps all of its letters.
    const std::string_view sign = Trim(text).substr(0, kCallSignLength);
    if (sign.empty())
        return false;

    LockGuard g(lock_);
    int words = 0;
    std::string_view rest = info_.callSigns;
    while (!rest.empty()) {
        const size_t end = rest.find(' ');
        const std::string_view word = rest.substr(0, end);
        if (!word.empty()) {
            if (SameIgnoringCase(word, sign))
                return false;
            ++words;
        }
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    // Twenty words at most, and never cut a call sign in half to fit the text.
    const size_t needed = info_.callSigns.size() + (info_.callSigns.empty() ? 0 : 1) + sign.size();
    if (words >= kMaxCallSigns || needed > kTextCapacity)
        return false;
    if (!info_.callSigns.empty())
        info_.callSigns += ' ';
    info_.callSigns.append(sign);
    changed_ = true;
    return true;
}

void SystemInfoArea::CopySystemInfo(SystemInfo& out)
{
    LockGuard g(lock_);
    out = info_;
    out.changed = changed_.load();
    changed_ = false;
}
