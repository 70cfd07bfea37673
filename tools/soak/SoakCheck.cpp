// Checks the per-system folders of a program folder while a long session writes them: each file
// must be whole (CR LF at its end, every data line of the lists readable) and the folder must
// load into a fresh decoder. Prints one line per system folder; exit status 1 on any fault.
//   varnel-soakcheck PROGRAM_FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "decoder/P25Class.h"
#include "persist/DataFileReader.h"
#include "persist/RadioFile.h"
#include "persist/SystemIni.h"
#include "persist/SystemStore.h"
#include "persist/TalkgroupFile.h"
#include "persist/TowerFile.h"
#include "platform/IniFile.h"

namespace fs = std::filesystem;

namespace {

constexpr int kListDefaultVersion = 1;

std::string ReadWhole(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int DataLines(const std::string& text)
{
    DataFileReader reader(kListDefaultVersion);
    reader.SetText(text);
    int n = 0;
    std::string_view line;
    while (reader.Next(line))
        ++n;
    return n;
}

// A list file: whole, and every data line taken by its reader.
template <class Table, class ReadFn>
bool CheckList(const fs::path& file, Table& table, ReadFn read, std::string& why)
{
    const std::string text = ReadWhole(file);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) {
        why = file.filename().string() + " does not end with CR LF";
        return false;
    }
    DataFileReader reader(kListDefaultVersion);
    reader.SetText(text);
    const int taken = read(reader, table);
    if (taken != DataLines(text)) {
        why = file.filename().string() + ": " + std::to_string(DataLines(text) - taken) + " lines unreadable";
        return false;
    }
    return true;
}

bool CheckSystem(const fs::path& folder, uint32_t systemId)
{
    std::string why;
    ManualClock clock;
    DecoderContext ctx;
    auto talkgroups = std::make_unique<TalkgroupTable>(ctx);
    auto radios = std::make_unique<RadioTable>(ctx);
    bool ok = true;
    if (fs::exists(folder / TalkgroupFile::kFileName))
        ok = CheckList(folder / TalkgroupFile::kFileName, *talkgroups, TalkgroupFile::Read, why) && ok;
    if (fs::exists(folder / RadioFile::kFileName))
        ok = CheckList(folder / RadioFile::kFileName, *radios, RadioFile::Read, why) && ok;
    IniFile ini;
    if (!ini.Load((folder / SystemIni::kFileName).string()) || !ini.SectionExists("System")) {
        why = "System.ini has no [System]";
        ok = false;
    }

    // Every tower file loads into a fresh decoder identified as its site.
    static const std::regex kTowerName("Tower([0-9]{2})([0-9]{2})\\.txt");
    const std::string programFolder = folder.parent_path().string() + "/";
    int towers = 0;
    int loadedTalkgroups = 0;
    int loadedRadios = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        std::smatch m;
        const std::string name = e.path().filename().string();
        if (!std::regex_match(name, m, kTowerName))
            continue;
        if (ReadWhole(e.path()).empty()) {
            why = name + " is empty";
            ok = false;
        }
        auto d = std::make_unique<P25Class>(clock, programFolder);
        AttachSystemStore(*d);
        d->SetSiteIdentity(systemId, std::stoul(m[1]), 0x70, std::stoul(m[2]));  // loads the folder
        loadedTalkgroups = d->Talkgroups().TalkgroupCount();
        loadedRadios = d->Radios().RadioCount();
        ++towers;
    }
    if (loadedTalkgroups != talkgroups->TalkgroupCount() || loadedRadios != radios->RadioCount()) {
        why = "the loaded folder differs from its files";
        ok = false;
    }
    std::printf("%s: %s, %d talkgroups, %d radios, %d tower files%s%s\n", folder.filename().c_str(),
                ok ? "ok" : "FAULT", talkgroups->TalkgroupCount(), radios->RadioCount(), towers, ok ? "" : ": ",
                why.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnel-soakcheck PROGRAM_FOLDER\n");
        return 2;
    }
    static const std::regex kSystemName("System([0-9A-F]{3,})");
    bool ok = true;
    int systems = 0;
    for (const auto& e : fs::directory_iterator(argv[1])) {
        std::smatch m;
        const std::string name = e.path().filename().string();
        if (!e.is_directory() || !std::regex_match(name, m, kSystemName))
            continue;
        ok = CheckSystem(e.path(), static_cast<uint32_t>(std::stoul(m[1], nullptr, 16))) && ok;
        ++systems;
    }
    if (systems == 0)
        std::printf("no system folder yet\n");
    return ok ? 0 : 1;
}
