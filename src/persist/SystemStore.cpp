#include "persist/SystemStore.h"

#include <cstdio>
#include <filesystem>

#include "decoder/P25Class.h"
#include "decoder/StoredKnowledge.h"
#include "persist/RadioFile.h"
#include "persist/SystemIni.h"
#include "persist/TalkgroupFile.h"
#include "persist/TowerFile.h"
#include "platform/AtomicFile.h"

namespace {

// What a save writes, taken from the decoder under its locks.
struct Snapshot {
    std::string folder;
    std::string towerFile;
    SystemIniData ini;
    std::string talkgroups;
    std::string radios;
    std::string tower;
};

bool IdentityKnown(uint32_t systemId, uint32_t rfss, uint32_t site)
{
    return systemId != 0 && (rfss != 0 || site != 0);
}

// The system information record without taking the screens' changed flag away: the flag is only
// written under "SYSINFOLOCK", which the caller holds, so putting it back is exact.
SystemInfo PeekSystemInfo(SystemInfoArea& area)
{
    SystemInfo info;
    area.CopySystemInfo(info);
    if (info.changed)
        area.ChangedFlag() = true;
    return info;
}

bool TakeSnapshot(P25Class& d, Snapshot& s)
{
    LockGuard g(d.SysInfo().Lock());
    const SystemInfo info = PeekSystemInfo(d.SysInfo());
    if (d.ProgramFolder().empty() || !IdentityKnown(info.systemId, info.rfssId, info.siteId))
        return false;
    s.folder = SystemFolder(d.ProgramFolder(), info.systemId);
    s.towerFile = TowerFile::FileName(info.rfssId, info.siteId);
    s.ini = SystemIni::Collect(d, info);
    s.talkgroups = TalkgroupFile::Format(d.Talkgroups());
    s.radios = RadioFile::Format(d.Radios());
    s.tower = TowerFile::Format(d, info, d.Context().time.Now());
    return true;
}

}  // namespace

std::string SystemFolder(const std::string& programFolder, uint32_t systemId)
{
    char name[32];
    std::snprintf(name, sizeof name, "System%03X/", static_cast<unsigned>(systemId));
    return programFolder + name;
}

bool SaveSystemData(P25Class& decoder)
{
    Snapshot s;
    if (!TakeSnapshot(decoder, s))
        return false;
    std::error_code ec;
    std::filesystem::create_directories(s.folder, ec);
    bool ok = SystemIni::Save(s.folder + SystemIni::kFileName, s.ini);
    ok = WriteFileAtomically(s.folder + TalkgroupFile::kFileName, s.talkgroups) && ok;
    ok = WriteFileAtomically(s.folder + RadioFile::kFileName, s.radios) && ok;
    ok = WriteFileAtomically(s.folder + s.towerFile, s.tower) && ok;
    return ok;
}

void LoadSystemData(P25Class& decoder)
{
    SystemInfoArea& sys = decoder.SysInfo();
    LockGuard g(sys.Lock());
    const uint32_t rfss = sys.RfssId();
    const uint32_t site = sys.SiteId();
    if (decoder.ProgramFolder().empty() || !IdentityKnown(sys.SystemId(), rfss, site))
        return;
    const std::string folder = SystemFolder(decoder.ProgramFolder(), sys.SystemId());
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return;
    SystemIni::Load(folder + SystemIni::kFileName, decoder);
    TalkgroupFile::Load(folder + TalkgroupFile::kFileName, decoder.Talkgroups());
    RadioFile::Load(folder + RadioFile::kFileName, decoder.Radios());
    TowerFile::Load(folder + TowerFile::FileName(rfss, site), decoder);
}

namespace {

class SystemFolderKnowledge final : public StoredKnowledge {
public:
    void LoadInto(P25Class& decoder) override { LoadSystemData(decoder); }
};

}  // namespace

void AttachSystemStore(P25Class& decoder)
{
    static SystemFolderKnowledge store;
    decoder.SetStoredKnowledge(&store);
}
