#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/RegularFile.h"
#include "site/AffiliationFilter.h"
#include "site/TowerNames.h"

class P25Class;
struct SystemInfo;

// What System.ini of a system folder holds: the system's identity and name, the tower names and
// the affiliation filter.
struct SystemIniData {
    uint32_t systemId = 0;
    uint32_t wacn = 0;
    std::string description;
    std::vector<TOWERS> towers;
    bool filterEnabled = false;
    std::vector<FILTERRANGE> ranges;
};

namespace SystemIni {

constexpr const char* kFileName = "System.ini";

// Takes the tower names and the filter from the decoder; the caller holds "SYSINFOLOCK". The
// screens' changed flags are left as they were.
SystemIniData Collect(P25Class& decoder, const SystemInfo& info);

// Updates the file: section System, and the sections Towers and AffiliationFilters written anew
// (the latter only when ranges exist); the old Talkgroups and Radios sections are dropped. Other
// sections and keys stay. The file is replaced whole; false (and why in `reason`) when it could
// not be written, or when it exists but could not be read (it is kept then).
bool Save(const std::string& path, const SystemIniData& data, std::string* reason = nullptr);

// Reads the file when it exists into the decoder: system name, tower names (and the site name of
// the current site), the affiliation filter. Missing when there is no file, Failed when it
// exists but cannot be read.
RegularFileRead Load(const std::string& path, P25Class& decoder);

}  // namespace SystemIni
