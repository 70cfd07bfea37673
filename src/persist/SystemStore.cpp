#include "persist/SystemStore.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "decoder/P25Class.h"
#include "decoder/StoredKnowledge.h"
#include "persist/RadioFile.h"
#include "persist/SystemIni.h"
#include "persist/TalkgroupFile.h"
#include "persist/TalkgroupUseFile.h"
#include "persist/TowerFile.h"
#include "platform/AtomicFile.h"

namespace {

// What a save writes, taken from the decoder under its locks.
struct Snapshot {
    std::string folder;
    std::string towerFile;
    SystemIniData ini;
    std::string talkgroups;
    std::string talkgroupUse;
    int talkgroupUseLines = 0;
    std::string radios;
    std::string tower;
};

// The store of one decoder: reads its folders on identification and remembers which files could
// not be read, so that no save replaces them.
class SystemFolderKnowledge final : public StoredKnowledge {
public:
    void LoadInto(P25Class& decoder) override { LoadSystemData(decoder); }
    void SaveFrom(P25Class& decoder) override { SaveSystemData(decoder); }

    void SetNotices(std::function<void(const StoreNotice&)> notices)
    {
        std::lock_guard g(mutex_);
        notices_ = std::move(notices);
    }
    void Notify(const StoreNotice& notice)
    {
        std::function<void(const StoreNotice&)> notices;
        {
            std::lock_guard g(mutex_);
            notices = notices_;
        }
        if (notices)
            notices(notice);
    }
    // Holds a file back; true when it was not held yet (then it is reported).
    bool Hold(const std::string& path)
    {
        std::lock_guard g(mutex_);
        return held_.insert(path).second;
    }
    void Release(const std::string& path)
    {
        std::lock_guard g(mutex_);
        held_.erase(path);
    }
    bool Held(const std::string& path)
    {
        std::lock_guard g(mutex_);
        return held_.count(path) != 0;
    }

private:
    std::mutex mutex_;  // innermost: never held while calling out
    std::set<std::string> held_;
    std::function<void(const StoreNotice&)> notices_;
};

SystemFolderKnowledge* StoreOf(P25Class& decoder)
{
    return dynamic_cast<SystemFolderKnowledge*>(decoder.Knowledge());
}

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
    s.talkgroupUse = TalkgroupUseFile::Format(d.Talkgroups(), &s.talkgroupUseLines);
    s.radios = RadioFile::Format(d.Radios());
    s.tower = TowerFile::Format(d, info, d.Context().time.Now());
    return true;
}

bool WriteWhole(const std::string& path, const std::string& text, std::string& reason)
{
    if (WriteFileAtomically(path, text))
        return true;
    reason = ErrorText(errno);
    return false;
}

// Writes one file unless it is held back; reports a failure.
template <class Write>
bool SaveFile(SystemFolderKnowledge* store, const std::string& path, Write write)
{
    if (store && store->Held(path))
        return true;  // reported when it could not be read; kept as it is
    std::string reason;
    if (write(reason))
        return true;
    if (store)
        store->Notify({StoreNotice::Kind::NotSaved, path, reason});
    return false;
}

// Reads one file; a reader's exception (out of memory on a huge file, ...) is an unreadable file
// like any other, never the end of the thread that identified the system.
template <class Load>
void LoadFile(SystemFolderKnowledge* store, const std::string& path, Load load)
{
    RegularFileRead read;
    try {
        read = load();
    } catch (const std::exception& e) {
        read = {RegularFileRead::Status::Failed, e.what()};
    }
    if (!store)
        return;
    if (!read.Failed())
        store->Release(path);
    else if (store->Hold(path))
        store->Notify({StoreNotice::Kind::Unreadable, path, read.reason});
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
    SystemFolderKnowledge* store = StoreOf(decoder);
    Snapshot s;
    try {
        if (!TakeSnapshot(decoder, s))
            return false;
    } catch (const std::exception& e) {
        if (store)
            store->Notify(
                {StoreNotice::Kind::NotSaved, SystemFolder(decoder.ProgramFolder(), decoder.GetSystemId()), e.what()});
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(s.folder, ec);
    if (ec) {
        if (store)
            store->Notify({StoreNotice::Kind::NotSaved, s.folder, ec.message()});
        return false;
    }
    const std::string ini = s.folder + SystemIni::kFileName;
    const std::string talkgroups = s.folder + TalkgroupFile::kFileName;
    const std::string use = s.folder + TalkgroupUseFile::kFileName;
    const std::string radios = s.folder + RadioFile::kFileName;
    const std::string tower = s.folder + s.towerFile;
    bool ok = SaveFile(store, ini, [&](std::string& reason) { return SystemIni::Save(ini, s.ini, &reason); });
    ok = SaveFile(store, talkgroups,
                  [&](std::string& reason) { return WriteWhole(talkgroups, s.talkgroups, reason); }) &&
         ok;
    // The use of talkgroups the table does not hold (TalkGroups.txt held back) is only in the use
    // file: it is held back with TalkGroups.txt. A system with no call heard yet gets no use file.
    std::error_code exists;
    if (!(store && store->Held(talkgroups)) &&
        (s.talkgroupUseLines > 0 ||
         std::filesystem::symlink_status(use, exists).type() != std::filesystem::file_type::not_found))
        ok = SaveFile(store, use, [&](std::string& reason) { return WriteWhole(use, s.talkgroupUse, reason); }) && ok;
    ok = SaveFile(store, radios, [&](std::string& reason) { return WriteWhole(radios, s.radios, reason); }) && ok;
    ok = SaveFile(store, tower, [&](std::string& reason) { return WriteWhole(tower, s.tower, reason); }) && ok;
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
    SystemFolderKnowledge* store = StoreOf(decoder);
    const std::string ini = folder + SystemIni::kFileName;
    const std::string talkgroups = folder + TalkgroupFile::kFileName;
    const std::string use = folder + TalkgroupUseFile::kFileName;
    const std::string radios = folder + RadioFile::kFileName;
    const std::string tower = folder + TowerFile::FileName(rfss, site);
    LoadFile(store, ini, [&] { return SystemIni::Load(ini, decoder); });
    LoadFile(store, talkgroups, [&] { return TalkgroupFile::Load(talkgroups, decoder.Talkgroups()); });
    // The use belongs to the talkgroups of TalkGroups.txt: while that file is held back the table
    // lacks them, and the use is read (and added) by the load that reads them.
    if (!(store && store->Held(talkgroups)))
        LoadFile(store, use, [&] { return TalkgroupUseFile::Load(use, decoder.Talkgroups()); });
    LoadFile(store, radios, [&] { return RadioFile::Load(radios, decoder.Radios()); });
    LoadFile(store, tower, [&] { return TowerFile::Load(tower, decoder); });
}

void AttachSystemStore(P25Class& decoder)
{
    decoder.SetStoredKnowledge(std::make_unique<SystemFolderKnowledge>());
}

void SetStoreNotices(P25Class& decoder, std::function<void(const StoreNotice&)> notices)
{
    if (SystemFolderKnowledge* store = StoreOf(decoder))
        store->SetNotices(std::move(notices));
}
