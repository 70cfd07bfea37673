#include "persist/SystemIni.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>

#include "decoder/P25Class.h"
#include "persist/DataFileText.h"
#include "persist/SplitCsvLine.h"
#include "platform/IniFile.h"

namespace {

constexpr const char* kSystem = "System";
constexpr const char* kTowers = "Towers";
constexpr const char* kFilters = "AffiliationFilters";
constexpr const char* kOldTalkgroups = "Talkgroups";
constexpr const char* kOldRadios = "Radios";
constexpr int kFilterFields = 3;
constexpr uint32_t kSitesPerRfss = 100;  // tower key = RFSS * 100 + site
// RFSS and site are bytes; a key beyond RFSS 255 names no tower (and would not fit the record).
constexpr int64_t kMaxTowerKey = 255 * kSitesPerRfss + kSitesPerRfss - 1;

std::string FilterKey(int i)
{
    char key[16];
    std::snprintf(key, sizeof key, "Filter%02d", i);
    return key;
}

std::string Hex(const char* format, uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(value));
    return text;
}

int32_t ToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

void WriteFilters(IniFile& ini, const SystemIniData& data)
{
    ini.EraseSection(kFilters);
    if (data.ranges.empty())
        return;
    ini.WriteInteger(kFilters, "Count", static_cast<int64_t>(data.ranges.size()));
    ini.WriteBool(kFilters, "Enabled", data.filterEnabled);
    for (size_t i = 0; i < data.ranges.size(); ++i) {
        const FILTERRANGE& r = data.ranges[i];
        char value[48];
        std::snprintf(value, sizeof value, "%d,%d,%d", r.active ? 1 : 0, r.low, r.high);
        ini.WriteString(kFilters, FilterKey(static_cast<int>(i)), value);
    }
}

void ReadTowers(const IniFile& ini, P25Class& d)
{
    d.Towers().ClearTowerNames();
    std::vector<std::string> keys = ini.ReadSection(kTowers);
    std::sort(keys.begin(), keys.end());
    for (const std::string& key : keys) {
        int64_t number = 0;
        if (!ParseDecimal(key, number) || number < 0 || number > kMaxTowerKey)
            continue;
        const uint32_t rfss = static_cast<uint32_t>(number) / kSitesPerRfss;
        const uint32_t site = static_cast<uint32_t>(number) - kSitesPerRfss * rfss;
        const std::string name = ini.ReadString(kTowers, key);
        d.Towers().SetTowerName(rfss, site, name);
        if (rfss == d.SysInfo().RfssId() && site == d.SysInfo().SiteId())
            d.SysInfo().StoreSiteName(name);
    }
}

void ReadFilters(const IniFile& ini, AffiliationFilter& filter)
{
    LockGuard g(filter.Lock());
    bool enabled = ini.ReadBool(kFilters, "Enabled", false);
    filter.ClearFilterRanges();
    const int64_t count = std::min<int64_t>(ini.ReadInteger(kFilters, "Count", 0), AffiliationFilter::kCapacity);
    int read = 0;
    std::vector<std::string> fields;
    for (int i = 0; i < count; ++i) {
        const std::string value = ini.ReadString(kFilters, FilterKey(i));
        if (value.empty() || SplitCsvLine(value, fields) < kFilterFields)
            continue;
        if (filter.SetFilterRange(LeadingDecimal(fields[0]) != 0, ToInt32(LeadingDecimal(fields[1])),
                                  ToInt32(LeadingDecimal(fields[2]))))
            ++read;
    }
    if (read == 0)
        enabled = false;
    filter.SetFilterEnabled(enabled);
}

}  // namespace

namespace SystemIni {

SystemIniData Collect(P25Class& d, const SystemInfo& info)
{
    SystemIniData data;
    data.systemId = info.systemId;
    data.wacn = info.wacn;
    data.description = info.systemName;
    const int towers = d.Towers().Count();
    for (int i = 0; i < towers; ++i)
        data.towers.push_back(d.Towers().At(i));

    AffiliationFilter& filter = d.Filter();
    LockGuard g(filter.Lock());
    const bool changed = filter.FilterRangesChanged();
    data.ranges.resize(AffiliationFilter::kCapacity);
    data.ranges.resize(static_cast<size_t>(filter.CopyFilterRanges(data.ranges.data(), AffiliationFilter::kCapacity)));
    data.filterEnabled = filter.GetFilterEnabled();
    if (changed)
        filter.MarkChanged();  // copying for the file must not hide a change from the screen
    return data;
}

bool Save(const std::string& path, const SystemIniData& data, std::string* reason)
{
    // Keys of other sections stay; a file that exists but cannot be read is left alone rather
    // than replaced by one without them.
    IniFile ini;
    const auto failed = [&] {
        if (reason)
            *reason = ini.Error();
        return false;
    };
    if (!ini.Load(path))
        return failed();
    ini.WriteInteger(kSystem, "SystemID", data.systemId);
    ini.WriteString(kSystem, "SystemIDHEX", Hex("%03X", data.systemId));
    ini.WriteString(kSystem, "WACN", Hex("%05X", data.wacn));
    ini.WriteString(kSystem, "Description", OneLineText(data.description));
    ini.EraseSection(kTowers);
    for (const TOWERS& t : data.towers)
        ini.WriteString(kTowers, std::to_string(t.key), OneLineText(t.description));
    WriteFilters(ini, data);
    ini.EraseSection(kOldTalkgroups);
    ini.EraseSection(kOldRadios);
    return ini.Save(path) || failed();
}

RegularFileRead Load(const std::string& path, P25Class& d)
{
    IniFile ini;
    if (!ini.Load(path))
        return {RegularFileRead::Status::Failed, ini.Error()};
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return {};
    d.SysInfo().SetSystemName(ini.ReadString(kSystem, "Description"));
    ReadTowers(ini, d);
    if (ini.SectionExists(kFilters))
        ReadFilters(ini, d.Filter());
    d.Filter().MarkChanged();
    return {RegularFileRead::Status::Read, {}};
}

}  // namespace SystemIni
