// The readers of a system folder's files. The first byte picks the file; the rest is its text:
//   0 TalkGroups.txt, 1 Radios.txt (each read, written and read again: the second text must
//   equal the first, or a save and a load would change what the user stored), 2 a tower file
//   (any version; written again after reading), 3 System.ini (read from a file in a folder of this
//   process, collected and saved back), 4 one line through SplitCsvLine.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "decoder/P25Class.h"
#include "persist/DataFileReader.h"
#include "persist/RadioFile.h"
#include "persist/SplitCsvLine.h"
#include "persist/SystemIni.h"
#include "persist/TalkgroupFile.h"
#include "persist/TowerFile.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"

namespace {

constexpr uint32_t kSystem = 0x123;
constexpr uint32_t kRfss = 1;
constexpr uint32_t kSite = 5;
constexpr int kFiles = 5;
// The readers' versions for lines before any "FileVersion:" line.
constexpr int kListDefaultVersion = 1;
constexpr int kTowerDefaultVersion = 0;

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

struct Rig {
    ManualClock clock;
    std::unique_ptr<P25Class> decoder = std::make_unique<P25Class>(clock);
    DecoderContext ctx;
    std::unique_ptr<TalkgroupTable> talkgroups = std::make_unique<TalkgroupTable>(ctx);
    std::unique_ptr<RadioTable> radios = std::make_unique<RadioTable>(ctx);
    std::string folder;

    Rig()
    {
        setenv("TZ", "UTC", 1);
        // A memory file system where there is one: the saves sync every file they write.
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        folder = (base / ("varnel-fuzz-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(folder);
        PresentationSwitches s;
        s.saveHits = true;
        decoder->SetSwitches(s);
    }
    ~Rig() { std::filesystem::remove_all(folder); }
};

Rig& TheRig()
{
    static Rig rig;
    return rig;
}

void Identify(P25Class& d)
{
    d.ResetAll();
    d.SetSiteIdentity(kSystem, kRfss, 0x70, kSite);
}

template <class Table, class ReadFn, class FormatFn, class ClearFn>
void RoundTrip(const std::string& text, Table& first, Table& second, ReadFn read, FormatFn format, ClearFn clear)
{
    clear(first);
    clear(second);
    DataFileReader in(kListDefaultVersion);
    in.SetText(text);
    read(in, first);
    const std::string written = format(first);
    DataFileReader again(kListDefaultVersion);
    again.SetText(written);
    read(again, second);
    Check(format(second) == written);
}

void Talkgroups(Rig& rig, const std::string& text)
{
    RoundTrip(text, rig.decoder->Talkgroups(), *rig.talkgroups, TalkgroupFile::Read, TalkgroupFile::Format,
              [](TalkgroupTable& t) { t.ClearTalkgroups(); });
}

void Radios(Rig& rig, const std::string& text)
{
    RoundTrip(text, rig.decoder->Radios(), *rig.radios, RadioFile::Read, RadioFile::Format,
              [](RadioTable& t) { t.ClearRadios(); });
}

void Tower(Rig& rig, const std::string& text)
{
    P25Class& d = *rig.decoder;
    Identify(d);
    DataFileReader in(kTowerDefaultVersion);
    in.SetText(text);
    TowerFile::Read(in, d);
    LockGuard g(d.SysInfo().Lock());
    SystemInfo info;
    d.CopySystemInfo(info);
    TowerFile::Format(d, info, rig.clock.Now());
}

void SystemIniFile(Rig& rig, const std::string& text)
{
    P25Class& d = *rig.decoder;
    Identify(d);
    const std::string path = rig.folder + "/" + SystemIni::kFileName;
    Check(WriteFileAtomically(path, text));
    SystemIni::Load(path, d);
    SystemIniData data;
    {
        LockGuard g(d.SysInfo().Lock());
        SystemInfo info;
        d.CopySystemInfo(info);
        data = SystemIni::Collect(d, info);
    }
    SystemIni::Save(path, data);
}

void CsvLine(const std::string& text)
{
    std::vector<std::string> fields{"left over"};
    const int n = SplitCsvLine(text, fields);
    Check(n == static_cast<int>(fields.size()));
    for (const std::string& f : fields)
        Check(f.size() <= kMaxCsvField);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Rig& rig = TheRig();
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % kFiles) {
    case 0: Talkgroups(rig, text); break;
    case 1: Radios(rig, text); break;
    case 2: Tower(rig, text); break;
    case 3: SystemIniFile(rig, text); break;
    default: CsvLine(text); break;
    }
    return 0;
}
