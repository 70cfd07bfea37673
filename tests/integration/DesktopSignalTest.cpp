// The desktop program, run for real on Qt's offscreen platform and decoding the scanner
// simulator, ended by a termination signal (a desktop logout sends SIGTERM): it runs the window's
// close sequence, writes its settings and the decoded system's files, and exits with status 0.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "persist/Settings.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

template <typename Pred>
bool WaitFor(Pred done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// Waits for the child's end; -1 when it is still running after `limit` (it is killed then).
int ExitStatus(pid_t pid, std::chrono::milliseconds limit)
{
    int raw = 0;
    if (!WaitFor([&] { return ::waitpid(pid, &raw, WNOHANG) == pid; }, limit)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &raw, 0);
        return -1;
    }
    if (WIFSIGNALED(raw))
        return 128 + WTERMSIG(raw);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class DesktopSignal : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("varnel-desktop-signal-" + std::to_string(::getpid()) + "-" + std::to_string(GetParam()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

TEST_P(DesktopSignal, RunsTheCloseSequenceAndExitsWithZero)
{
    std::vector<SimItem> capture;
    std::string error;
    ASSERT_TRUE(SimCapture::Load(VARNEL_DEMO_CAPTURE, 1, capture, error)) << error;
    const size_t items = capture.size();
    SimulatorOptions options;
    options.scannerType = 1;
    options.startDelay = 300ms;
    ScannerSimulator scanner(options);
    ASSERT_TRUE(scanner.Open()) << scanner.ErrorText();
    scanner.SetCapture(std::move(capture));
    ASSERT_TRUE(scanner.Start());

    Settings settings;
    settings.port = scanner.SlavePath();
    settings.scannerType = 1;
    const fs::path settingsFile = folder_ / "varnel.INI";
    ASSERT_TRUE(SaveSettings(settingsFile.string(), settings));

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const std::string dir = folder_.string();
        ::execl(VARNEL_BINARY, "varnel", "-DECODE", "--data-dir", dir.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The session reads the whole capture; the settings were read before it started, so the
    // file can go: the close sequence must write it again.
    const bool played = WaitFor([&] { return scanner.ItemsSent() == items; }, 60s);
    fs::remove(settingsFile);
    std::this_thread::sleep_for(500ms);  // the decoder takes the last blocks off the queue
    ::kill(pid, GetParam());
    const int status = ExitStatus(pid, 30s);
    scanner.Close();
    ASSERT_TRUE(played);

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::exists(settingsFile));
    const fs::path system = folder_ / "System1A3";
    for (const char* file : {"System.ini", "TalkGroups.txt", "Radios.txt"}) {
        EXPECT_TRUE(fs::exists(system / file)) << file;
        EXPECT_GT(fs::exists(system / file) ? fs::file_size(system / file) : 0u, 0u) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(TerminationSignals, DesktopSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

}  // namespace
