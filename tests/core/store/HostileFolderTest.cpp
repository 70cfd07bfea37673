#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/SystemFolderFixture.h"

// Per-system folders as someone attacking the program's own files would leave them: each file in
// turn replaced by something that is not a readable file of its kind. The load and the save run in
// a child process under a watchdog, so a crash or a hang shows as a failure instead of ending or
// stalling the test program; the child may drop root's privileges first.

namespace {

using testsupport::SystemFolderFixture;
namespace fs = std::filesystem;

constexpr auto kWatchdog = std::chrono::seconds(20);
constexpr uid_t kNobody = 65534;
constexpr int32_t kNewTalkgroup = 4242;  // heard in the run: every file written must hold it
const std::string kRadiosWithBom = "\xEF\xBB\xBF"
                                   "FileVersion:4\r\n"
                                   "777777,\"Engine 5\",1240322820,\"x\",\"#00FF00\",\"#000000\"\r\n";

enum class Outcome {
    HeldBack,  // reported, left exactly as it was, and the other files load and save normally
    Read,      // read as what it is, then saved normally
};

struct HostileCase {
    const char* name;
    const char* file;
    std::function<void(const std::string& path)> make;
    Outcome outcome;
    bool asNobody = false;  // root reads everything: the child drops its privileges first
};

void Replace(const std::string& path, const std::function<void()>& make)
{
    fs::remove(path);
    make();
}

std::string Text(const std::string& text)
{
    return text;
}

// What a file is before and after: type, and its text or link target.
std::string Fingerprint(const std::string& path)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0)
        return "missing";
    if (S_ISLNK(st.st_mode))
        return "link to " + fs::read_symlink(path).string();
    if (S_ISDIR(st.st_mode))
        return "folder";
    if (S_ISFIFO(st.st_mode))
        return "fifo";
    if (st.st_size > (1 << 20))
        return "large " + std::to_string(st.st_size);
    std::ifstream in(path, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    return "file " + text + " mode " + std::to_string(st.st_mode & 07777);
}

const HostileCase kCases[] = {
    {"Folder", "TalkGroups.txt", [](const std::string& p) { Replace(p, [&] { fs::create_directory(p); }); },
     Outcome::HeldBack},
    {"Fifo", "Radios.txt", [](const std::string& p) { Replace(p, [&] { ::mkfifo(p.c_str(), 0644); }); },
     Outcome::HeldBack},
    {"FifoTower", "Tower0105.txt", [](const std::string& p) { Replace(p, [&] { ::mkfifo(p.c_str(), 0644); }); },
     Outcome::HeldBack},
    {"FifoUse", "TalkGroupUse.txt", [](const std::string& p) { Replace(p, [&] { ::mkfifo(p.c_str(), 0644); }); },
     Outcome::HeldBack},
    {"LinkToDevZero", "Tower0105.txt",
     [](const std::string& p) { Replace(p, [&] { fs::create_symlink("/dev/zero", p); }); }, Outcome::HeldBack},
    {"DanglingLink", "TalkGroups.txt",
     [](const std::string& p) { Replace(p, [&] { fs::create_symlink("nowhere.txt", p); }); }, Outcome::HeldBack},
    {"LinkLoop", "Radios.txt",
     [](const std::string& p) {
         Replace(p, [&] {
             fs::create_symlink("loop.txt", p);
             fs::create_symlink("Radios.txt", fs::path(p).parent_path() / "loop.txt");
         });
     },
     Outcome::HeldBack},
    {"UnreadableByTheUser", "TalkGroups.txt", [](const std::string& p) { fs::permissions(p, fs::perms::owner_write); },
     Outcome::HeldBack, true},
    {"LargerThanAnyRealFile", "TalkGroups.txt",
     [](const std::string& p) { ASSERT_EQ(::truncate(p.c_str(), off_t{300} << 20), 0); }, Outcome::HeldBack},
    {"NegativeVersion", "Radios.txt",
     [](const std::string& p) {
         std::ofstream(p, std::ios::binary)
             << Text("FileVersion:-1\r\n7,\"seven\",1240322820,\"x\",\"#000000\",\"\"\r\n");
     },
     Outcome::HeldBack},
    {"VersionNotANumber", "TalkGroups.txt",
     [](const std::string& p) {
         std::ofstream(p, std::ios::binary) << Text("FileVersion:five\r\n100,1,\"Fire\",1240322820,\"x\"\r\n");
     },
     Outcome::HeldBack},
    {"VersionOverflowing", "Tower0105.txt",
     [](const std::string& p) {
         std::ofstream(p, std::ios::binary) << Text("FileVersion:99999999999999999999\r\n-Tables\r\n");
     },
     Outcome::HeldBack},
    {"NoRecordAtAll", "TalkGroups.txt",
     [](const std::string& p) { std::ofstream(p, std::ios::binary) << Text("name;id\r\nFire;100\r\n"); },
     Outcome::HeldBack},
    {"SystemIniIsAFolder", "System.ini", [](const std::string& p) { Replace(p, [&] { fs::create_directory(p); }); },
     Outcome::HeldBack},
    {"ByteOrderMark", "Radios.txt", [](const std::string& p) { std::ofstream(p, std::ios::binary) << kRadiosWithBom; },
     Outcome::Read},
    {"CarriageReturnsOnly", "TalkGroups.txt",
     [](const std::string& p) {
         std::ofstream(p, std::ios::binary) << Text(
             "FileVersion:5\r# list\r100,1,\"Fire Dispatch\",1240322820,\"x\",0,\"Unknown\",\"#0000FF\",\"#FFFFFF\"\r");
     },
     Outcome::Read},
    {"SystemIniWithMarkAndCarriageReturns", "System.ini",
     [](const std::string& p) {
         std::ofstream(p, std::ios::binary)
             << Text("\xEF\xBB\xBF[System]\rDescription=County Trunk\r[Towers]\r105=North\r");
     },
     Outcome::Read},
};

class HostileFolderTest : public SystemFolderFixture, public ::testing::WithParamInterface<HostileCase> {
protected:
    // The good state every case starts from, saved by an earlier run.
    void SaveGoodFolder()
    {
        auto a = NewDecoder();
        Identify(*a);
        a->SetSystemName("County Trunk");
        a->Talkgroups().SetTalkgroup(100, "Fire Dispatch", 1, 1240322820);
        a->Radios().SetRadio(777777, "Engine 5", 1240322820);
        a->Radios().SetRadioColors(777777, 0x00FF00, 0);
        a->Identifiers().StoreIdentifier(0, IdentifierEntry{851.00625, -45.0, 0.00625, 0.0125, false});
        ASSERT_TRUE(SaveSystemData(*a));
    }

    // In a child: load (identify), hear a talkgroup, save; what it saw goes to `report`.
    [[noreturn]] void RunChild(const std::string& report, bool asNobody)
    {
        if (asNobody && (::setresgid(kNobody, kNobody, kNobody) != 0 || ::setresuid(kNobody, kNobody, kNobody) != 0))
            ::_exit(3);
        std::string seen;
        auto b = NewDecoder();
        SetStoreNotices(*b, [&seen](const StoreNotice& n) { seen += "notice: " + n.Text() + "\n"; });
        Identify(*b);
        b->Talkgroups().SetTalkgroup(kNewTalkgroup, "heard", 50, 0);
        SaveSystemData(*b);
        seen += "talkgroup 100: " + b->Talkgroups().GetTalkgroupText(100) + "\n";
        seen += "radio 777777: " + b->Radios().GetRadioText(777777) + "\n";
        seen += "radio 7829367: " + b->Radios().GetRadioText(7829367) + "\n";
        seen += "system: " + Info(*b).systemName + "\n";
        std::ofstream(report, std::ios::binary) << seen;
        ::_exit(0);
    }

    // The child's exit status; -1 when it crashed, -2 when the watchdog had to end it.
    int RunUnderWatchdog(const std::string& report, bool asNobody)
    {
        const pid_t pid = ::fork();
        if (pid == 0)
            RunChild(report, asNobody);
        const auto deadline = std::chrono::steady_clock::now() + kWatchdog;
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                return -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_P(HostileFolderTest, NoCrashNoHangNoLoss)
{
    const HostileCase& c = GetParam();
    SaveGoodFolder();
    const std::string hostile = Folder() + c.file;
    c.make(hostile);
    if (c.asNobody) {
        // The user may write the folder and the other files; only the one file is not theirs.
        fs::permissions(root, fs::perms::all);
        fs::permissions(Folder(), fs::perms::all);
        for (const char* name : {"System.ini", "Radios.txt", "Tower0105.txt"})
            fs::permissions(Folder() + name, fs::perms::all);
    }
    const std::string before = Fingerprint(hostile);
    const std::string report = root + "report.txt";
    std::ofstream(report) << "";
    fs::permissions(report, fs::perms::all);

    ASSERT_EQ(RunUnderWatchdog(report, c.asNobody), 0) << "-1: crashed, -2: hung";
    const std::string seen = ReadFile(report);

    // A file that was not the hostile one, or was read after all.
    auto readable = [&](const char* name) { return std::string(c.file) != name || c.outcome == Outcome::Read; };
    if (c.outcome == Outcome::HeldBack) {
        EXPECT_EQ(Fingerprint(hostile), before) << "replaced";
        EXPECT_NE(seen.find("notice: cannot read " + hostile + " ("), std::string::npos) << seen;
    } else {
        EXPECT_EQ(seen.find("notice:"), std::string::npos) << seen;
    }
    // Whatever could be read was, and every file not held back was written.
    if (readable("TalkGroups.txt")) {
        EXPECT_NE(seen.find("talkgroup 100: Fire Dispatch\n"), std::string::npos) << seen;
        EXPECT_NE(ReadStored("TalkGroups.txt").find("\r\n4242,50,\"heard\""), std::string::npos);
    }
    if (readable("Radios.txt")) {
        EXPECT_NE(seen.find("radio 777777: Engine 5\n"), std::string::npos) << seen;
        EXPECT_NE(seen.find("radio 7829367: \n"), std::string::npos) << seen;  // not re-read as hexadecimal
        EXPECT_NE(ReadStored("Radios.txt").find("\r\n777777,\"Engine 5\""), std::string::npos);
    }
    if (readable("System.ini")) {
        EXPECT_NE(seen.find("system: County Trunk\n"), std::string::npos) << seen;
        EXPECT_NE(ReadStored("System.ini").find("Description=County Trunk\r\n"), std::string::npos);
    }
    if (readable("Tower0105.txt")) {
        EXPECT_EQ(ReadStored("Tower0105.txt").rfind("FileVersion:5\r\n-TowerInfo\r\n", 0), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileFolderTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// A file held back stays so for the whole run, through every save, until a load reads it.
TEST_F(SystemFolderFixture, AHeldBackFileIsWrittenAgainOnceItReads)
{
    WriteText("Radios.txt", "FileVersion:x\r\n7,\"seven\",1240322820,\"x\",\"#000000\",\"#000000\"\r\n");
    auto d = NewDecoder();
    int notices = 0;
    SetStoreNotices(*d, [&notices](const StoreNotice& n) { notices += n.kind == StoreNotice::Kind::Unreadable; });
    Identify(*d);
    d->Radios().SetRadio(8, "eight", 0);
    ASSERT_TRUE(SaveSystemData(*d));
    ASSERT_TRUE(SaveSystemData(*d));
    EXPECT_EQ(ReadStored("Radios.txt").find("8,"), std::string::npos);
    EXPECT_EQ(notices, 1);  // reported once

    WriteText("Radios.txt", "FileVersion:4\r\n7,\"seven\",1240322820,\"x\",\"#000000\",\"#000000\"\r\n");
    Identify(*d, kRfss, kSite + 1);  // a new site of the system reads the folder again
    d->Radios().SetRadio(9, "nine", 0);
    ASSERT_TRUE(SaveSystemData(*d));
    EXPECT_NE(ReadStored("Radios.txt").find("\r\n7,\"seven\""), std::string::npos);
    EXPECT_NE(ReadStored("Radios.txt").find("\r\n9,\"nine\""), std::string::npos);
}

}  // namespace
