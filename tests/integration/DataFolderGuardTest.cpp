#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The varnel binary on a data folder it must share with nobody or cannot write: two programs on
// one folder, a read-only folder, a file size limit. Each run is bounded by a watchdog.

namespace fs = std::filesystem;

namespace {

constexpr auto kWatchdog = std::chrono::seconds(30);
constexpr uid_t kNobody = 65534;

struct Outcome {
    int status = -1;  // exit status; -1 killed by a signal, -2 ended by the watchdog
    std::string err;
};

// A running varnel; `prepare` runs in the child before exec (limits, privileges).
class Process {
public:
    Process(const std::vector<std::string>& arguments, const std::function<void()>& prepare = {})
    {
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(pipeFds[1], STDERR_FILENO);
            if (prepare)
                prepare();
            std::vector<char*> argv{const_cast<char*>(VARNEL_BINARY)};
            for (const std::string& a : arguments)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(VARNEL_BINARY, argv.data());
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        errFd_ = pipeFds[0];
    }
    ~Process()
    {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (errFd_ >= 0)
            ::close(errFd_);
    }

    Outcome Wait()
    {
        Outcome run;
        const auto deadline = std::chrono::steady_clock::now() + kWatchdog;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                waited_ = true;
                run.status = -2;
                return run;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        waited_ = true;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(errFd_, buffer, sizeof buffer)) > 0)
            run.err.append(buffer, static_cast<size_t>(n));
        return run;
    }
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int errFd_ = -1;
    bool waited_ = false;
};

std::string ReadWhole(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class DataFolderGuard : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataDir = fs::temp_directory_path() / ("varnel-guard-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dataDir);
        fs::create_directories(dataDir);
        folder = fs::absolute(dataDir).string() + "/";
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dataDir, fs::perms::all, ec);
        fs::remove_all(dataDir, ec);
    }

    std::vector<std::string> Replay(const std::string& capture, bool save = true) const
    {
        std::vector<std::string> args{"--headless", "--data-dir", dataDir.string(), "--replay", capture};
        if (save)
            args.push_back("--save");
        return args;
    }
    static std::string Capture() { return std::string(VARNEL_TEST_DATA) + "/captures/small-site-type1.txt"; }
    fs::path SystemFolder() const { return dataDir / "System1A3"; }

    // The folder as a first run left it.
    void SaveOnce()
    {
        Process first(Replay(Capture()));
        ASSERT_EQ(first.Wait().status, 0);
        ASSERT_TRUE(fs::exists(SystemFolder() / "TalkGroups.txt"));
        ASSERT_TRUE(fs::exists(SystemFolder() / "TalkGroupUse.txt"));  // the capture has calls
    }
    std::string Files() const
    {
        std::string all;
        for (const char* name : {"System.ini", "TalkGroups.txt", "TalkGroupUse.txt", "Radios.txt", "Tower0105.txt"})
            all += std::string(name) + ":" + ReadWhole(SystemFolder() / name) + "\n";
        return all;
    }

    fs::path dataDir;
    std::string folder;
};

TEST_F(DataFolderGuard, ASecondProgramOnTheFolderIsRefusedAndTheFirstGoesOn)
{
    // The first run replays a pipe that stays open until the second has been turned away.
    const fs::path fifo = dataDir / "capture.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Process first(Replay(fifo.string()));
    const int feed = ::open(fifo.c_str(), O_WRONLY);  // waits until the first run opened the pipe
    ASSERT_GE(feed, 0);

    Process second(Replay(Capture()));
    const Outcome refused = second.Wait();
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("The data folder " + folder + " is in use by another Varnel (process " +
                               std::to_string(first.Pid()) + ")"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("--data-dir"), std::string::npos);
    EXPECT_FALSE(fs::exists(SystemFolder())) << "the refused run wrote files";

    const std::string capture = ReadWhole(Capture());
    ASSERT_EQ(::write(feed, capture.data(), capture.size()), static_cast<ssize_t>(capture.size()));
    ::close(feed);
    const Outcome done = first.Wait();
    EXPECT_EQ(done.status, 0) << done.err;
    // Nothing on standard error but the replay's closing count.
    EXPECT_EQ(done.err.rfind("varnel: replay of ", 0), 0u) << done.err;
    EXPECT_EQ(std::count(done.err.begin(), done.err.end(), '\n'), 1) << done.err;
    EXPECT_NE(ReadWhole(SystemFolder() / "TalkGroups.txt").find("FileVersion:5"), std::string::npos);

    // Once the first has ended, the folder is free again.
    Process third(Replay(Capture()));
    EXPECT_EQ(third.Wait().status, 0);
}

struct FailedSave {
    const char* name;
    std::function<void()> prepare;  // in the child, before exec
    const char* reason;
};

// Saves that cannot write: one line per file naming it and the reason, exit status 2, and the
// files of the earlier run whole.
TEST_F(DataFolderGuard, FailedSavesAreReportedAndTheOldFilesStayWhole)
{
    const FailedSave cases[] = {
        {"file size limit",
         [] {
             ::signal(SIGXFSZ, SIG_DFL);  // the program must ignore it by itself
             rlimit limit{0, 0};
             ::setrlimit(RLIMIT_FSIZE, &limit);
         },
         "File too large"},
        {"read-only folder",
         [] {
             if (::setresgid(kNobody, kNobody, kNobody) != 0 || ::setresuid(kNobody, kNobody, kNobody) != 0)
                 ::_exit(126);
         },
         "Permission denied"},
    };
    SaveOnce();
    const std::string before = Files();
    // Readable by all, writable by root only: for the second case a read-only folder.
    for (const fs::path& p : {dataDir, SystemFolder()})
        fs::permissions(p, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(dataDir / "varnel.INI", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    for (const FailedSave& c : cases) {
        Process run(Replay(Capture()), c.prepare);
        const Outcome r = run.Wait();
        EXPECT_EQ(r.status, 2) << c.name << "\n" << r.err;
        for (const char* name : {"System.ini", "TalkGroups.txt", "TalkGroupUse.txt", "Radios.txt", "Tower0105.txt"}) {
            const std::string line = "varnel: cannot save " + (SystemFolder() / name).string() + ": " + c.reason;
            EXPECT_NE(r.err.find(line), std::string::npos) << c.name << "\n" << r.err;
        }
        EXPECT_EQ(Files(), before) << c.name;
        const auto entries = std::distance(fs::directory_iterator(SystemFolder()), fs::directory_iterator());
        EXPECT_EQ(entries, 5) << "a temporary file was left";
    }
}

TEST_F(DataFolderGuard, AFolderIsNoCaptureToReplay)
{
    Process run(Replay(dataDir.string(), false));
    const Outcome r = run.Wait();
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot read " + dataDir.string()), std::string::npos) << r.err;
}

}  // namespace
