// A save of a large system killed at random moments: a child process writes the per-system files
// and is killed with SIGKILL part way through. Afterwards every file of the system folder must be
// either the whole file of the last finished save or the whole new one, and the folder must load.
// VARNEL_CRASH_KILLS sets the number of kills (the long run uses a thousand).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "decoder/P25Class.h"
#include "persist/SystemStore.h"
#include "platform/Clock.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kSystem = 0x1A3;
constexpr uint32_t kRfss = 1;
constexpr uint32_t kSite = 5;
constexpr uint8_t kServiceClass = 0x70;
constexpr int kTalkgroups = 65535;
constexpr int kRadios = 100000;
constexpr int kDefaultKills = 40;  // rounds; one in kFinishEvery is let finish
constexpr int kGenerations = 2;
// Every few rounds the child is let finish, so the files move on from generation to generation.
constexpr int kFinishEvery = 5;

using Files = std::map<std::string, std::string>;  // file name -> contents

std::string ReadWhole(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Files ReadFolder(const fs::path& folder)
{
    Files files;
    for (const auto& e : fs::directory_iterator(folder))
        files[e.path().filename().string()] = ReadWhole(e.path());
    return files;
}

int KillCount()
{
    const char* env = std::getenv("VARNEL_CRASH_KILLS");
    return env != nullptr && std::atoi(env) > 0 ? std::atoi(env) : kDefaultKills;
}

class CrashSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("varnel-crash-" + std::to_string(getpid()));
        fs::remove_all(root_);
        for (int g = 0; g < kGenerations; ++g) {
            decoders_[g] = MakeDecoder(root_ / ("ref" + std::to_string(g)));
            Fill(*decoders_[g], g);
            ASSERT_TRUE(SaveSystemData(*decoders_[g]));
            reference_[g] = ReadFolder(SystemFolder(decoders_[g]->ProgramFolder(), kSystem));
            // The same decoder then writes to the folder under test.
            decoders_[g] = MakeDecoder(root_ / "live");
            Fill(*decoders_[g], g);
        }
        ASSERT_NE(reference_[0], reference_[1]);
        loader_ = MakeDecoder(root_ / "live");
    }
    void TearDown() override { fs::remove_all(root_); }

    std::unique_ptr<P25Class> MakeDecoder(const fs::path& programFolder)
    {
        fs::create_directories(programFolder);
        auto d = std::make_unique<P25Class>(clock_, programFolder.string() + "/");
        AttachSystemStore(*d);
        return d;
    }

    static void Fill(P25Class& d, int generation)
    {
        d.SetSiteIdentity(kSystem, kRfss, kServiceClass, kSite);
        const std::string mark = " gen " + std::to_string(generation);
        d.SetSystemName("Crash county" + mark);
        for (int id = 1; id <= kTalkgroups; ++id)
            d.Talkgroups().SetTalkgroup(id, "Talkgroup " + std::to_string(id) + mark, 50, 1240000000 + id);
        for (int id = 1; id <= kRadios; ++id)
            d.Radios().SetRadio(id, "Unit " + std::to_string(id) + mark, 1240000000 + id);
    }

    // Runs SaveSystemData in a child; kills it after `delay` unless it is null. True when the
    // child finished its save.
    bool SaveInChild(int generation, std::optional<std::chrono::microseconds> delay)
    {
        const pid_t pid = fork();
        child_ = pid;
        if (pid == 0)
            _exit(SaveSystemData(*decoders_[generation]) ? 0 : 1);
        if (delay) {
            usleep(static_cast<useconds_t>(delay->count()));
            kill(pid, SIGKILL);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    fs::path LiveFolder() const { return SystemFolder((root_ / "live").string() + "/", kSystem); }

    // The temporary file of the killed child, when it was killed between naming its finished
    // text and the rename (two system calls in a row); the next save of that file removes it.
    bool KilledChildsTemp(const std::string& name) const
    {
        for (const auto& [file, text] : reference_[0])
            if (name.rfind(file + ".varnel-tmp-" + std::to_string(child_) + "-", 0) == 0)
                return true;
        return false;
    }

    // Each file is the one of the last finished save or the new one; updates `current`.
    void CheckFolder(Files& current, int generation, int round)
    {
        const Files now = ReadFolder(LiveFolder());
        for (const auto& [name, text] : now) {
            const bool carried = KilledTempName(name) && current.count(name);
            if (KilledChildsTemp(name) || carried) {
                leftTemps_ += !carried;
                continue;
            }
            const auto ref = reference_[generation].find(name);
            ASSERT_NE(ref, reference_[generation].end()) << "round " << round << ": stray file " << name;
            const auto old = current.find(name);
            const bool isOld = old != current.end() && old->second == text;
            ASSERT_TRUE(isOld || ref->second == text) << "round " << round << ": " << name << " is torn";
        }
        for (const auto& [name, text] : current)
            ASSERT_TRUE(now.count(name) || KilledTempName(name)) << "round " << round << ": " << name << " vanished";
        current = now;
    }

    void CheckLoads(const Files& current, int round)
    {
        loader_->ResetAll();
        loader_->SetSiteIdentity(kSystem, kRfss, kServiceClass, kSite);  // loads the folder
        const int talkgroups = loader_->Talkgroups().TalkgroupCount();
        const int radios = loader_->Radios().RadioCount();
        if (current.count("TalkGroups.txt")) {
            EXPECT_EQ(talkgroups, decoders_[0]->Talkgroups().TalkgroupCount()) << "round " << round;
        }
        if (current.count("Radios.txt")) {
            EXPECT_EQ(radios, decoders_[0]->Radios().RadioCount()) << "round " << round;
        }
    }

    static bool KilledTempName(const std::string& name) { return name.find(".varnel-tmp-") != std::string::npos; }

    ManualClock clock_;
    pid_t child_ = 0;
    int leftTemps_ = 0;
    fs::path root_;
    std::unique_ptr<P25Class> decoders_[kGenerations];
    Files reference_[kGenerations];
    std::unique_ptr<P25Class> loader_;
};

TEST_F(CrashSave, KilledSaveLeavesOldOrNewFilesThatLoad)
{
    // How long a whole save takes here sets the range of the kill moments.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(SaveInChild(0, std::nullopt));
    const auto saveTime =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    Files current = ReadFolder(LiveFolder());
    ASSERT_EQ(current, reference_[0]);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int64_t> moment(0, saveTime.count() * 11 / 10);
    const int kills = KillCount();
    int finished = 0;
    int killed = 0;
    for (int round = 1; round <= kills; ++round) {
        const int generation = round % kGenerations;
        const bool letFinish = round % kFinishEvery == 0;
        const bool done = SaveInChild(generation, letFinish ? std::nullopt
                                                            : std::optional(std::chrono::microseconds(moment(random))));
        finished += done;
        killed += !done;
        CheckFolder(current, generation, round);
        if (letFinish) {
            ASSERT_EQ(current, reference_[generation]) << "round " << round;
        }
        CheckLoads(current, round);
        if (HasFatalFailure())
            return;
    }
    std::printf("%d rounds: %d saves killed part way, %d finished, %d temporary files left by a kill "
                "(removed by the next save); one save takes %lld us\n",
                kills, killed, finished, leftTemps_, static_cast<long long>(saveTime.count()));
}

}  // namespace
