// Ports that cannot be opened, and a device that vanishes during a session and comes back.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "ReaderRig.h"

namespace {

using namespace rig;
namespace fs = std::filesystem;

// Another process holding the port the way a serial program does (an exclusive lock on it).
class PortHolder {
public:
    explicit PortHolder(const std::string& path)
    {
        int ready[2], hold[2];
        if (::pipe(ready) != 0 || ::pipe(hold) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {  // only async-signal-safe calls in the child
            ::close(hold[1]);
            ::close(ready[0]);
            int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            char ok = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? '1' : '0';
            (void)!::write(ready[1], &ok, 1);
            char c;
            (void)!::read(hold[0], &c, 1);  // until the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        holdFd_ = hold[1];
        char ok = '0';
        held_ = ::read(ready[0], &ok, 1) == 1 && ok == '1';
        ::close(ready[0]);
    }
    ~PortHolder()
    {
        if (holdFd_ >= 0)
            ::close(holdFd_);
        if (pid_ > 0)
            ::waitpid(pid_, nullptr, 0);
    }
    bool Held() const { return held_; }

private:
    pid_t pid_ = -1;
    int holdFd_ = -1;
    bool held_ = false;
};

TEST(PortOpenFailure, AMissingPortReportsItsTextUnderTheTitleAndEndsTheThread)
{
    Rig rig({});
    EXPECT_FALSE(rig.StartReader(ReaderConfig(1, "/dev/varnel-no-such-port")));
    rig.reader->WaitFor();
    EXPECT_EQ(rig.Events(),
              (std::vector<std::string>{"open error: Serial Port Open Error: Port does not exist!", "end"}));
    EXPECT_FALSE(rig.reader->Running());
}

TEST(PortOpenFailure, APortHeldByAnotherProcessIsInUse)
{
    Rig rig({.scannerType = 2});
    ASSERT_TRUE(rig.sim.Open());
    PortHolder holder(rig.sim.SlavePath());
    ASSERT_TRUE(holder.Held());
    EXPECT_FALSE(rig.StartReader(ReaderConfig(2, rig.sim.SlavePath())));
    rig.reader->WaitFor();
    EXPECT_EQ(rig.Events(), (std::vector<std::string>{
                                "open error: Serial Port Open Error: Access Denied: Port is already in use!", "end"}));
}

// The scanner's port is a symbolic link (as /dev/serial/by-id/ names are); the device behind it
// goes away and a new one appears under the same name.
class DeviceLoss : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("varnel-loss-" + std::to_string(::getpid()) + "-" + std::to_string(GetParam()));
        fs::create_directories(dir_);
        link_ = (dir_ / "scanner").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Points the link at a new target in one step, as udev does.
    void PointLinkAt(const std::string& target)
    {
        fs::path fresh = dir_ / "scanner.new";
        fs::create_symlink(target, fresh);
        fs::rename(fresh, link_);
    }

    fs::path dir_;
    std::string link_;
};

TEST_P(DeviceLoss, TheReaderReopensTheDeviceAndGoesOnWithoutLosingOrder)
{
    const int type = GetParam();
    Rig rig({.scannerType = type});
    ASSERT_TRUE(rig.sim.Open());
    PointLinkAt(rig.sim.SlavePath());
    auto first = NumberedBlocks(0, 20);
    rig.sim.SetCapture(AsItems(first));
    ScannerReadConfig config = ReaderConfig(type, link_);
    config.reopenInterval = 100ms;
    ASSERT_TRUE(rig.StartReader(config));
    ASSERT_TRUE(rig.sim.Start());
    ASSERT_EQ(PopBlocks(rig.queue, first.size()), first);

    rig.sim.Close();  // the adapter is unplugged
    ASSERT_TRUE(WaitUntil([&] { return rig.CountEvents("lost: ") == 1; }));
    EXPECT_FALSE(rig.reader->DeviceConnected());
    EXPECT_TRUE(rig.reader->Running());
    EXPECT_EQ(rig.reader->Replies(), 0);
    EXPECT_EQ(rig.reader->Blocks(), 0);

    ScannerSimulator second({.scannerType = type});
    ASSERT_TRUE(second.Open());
    auto more = NumberedBlocks(500, 20);
    second.SetCapture(AsItems(more));
    PointLinkAt(second.SlavePath());
    ASSERT_TRUE(WaitUntil([&] { return rig.CountEvents("back: ") == 1; }));
    EXPECT_TRUE(rig.reader->DeviceConnected());
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(PopBlocks(rig.queue, more.size()), more);
    EXPECT_TRUE(WaitUntil([&] { return rig.reader->Blocks() == 20; }));

    rig.reader.reset();  // before `second` goes
    auto events = rig.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], "lost: Serial device lost: " + link_ + "; trying to reopen it");
    EXPECT_EQ(events[1], "back: Serial device back: " + link_);
    EXPECT_EQ(events[2], "end");
}

INSTANTIATE_TEST_SUITE_P(AllScannerTypes, DeviceLoss, ::testing::Values(0, 1, 2, 3));

TEST(DeviceLossStop, AStopRequestEndsTheWaitForALostDevice)
{
    Rig rig({.scannerType = 1});
    ASSERT_TRUE(rig.sim.Open());
    ScannerReadConfig config = ReaderConfig(1, rig.sim.SlavePath());
    config.reopenInterval = std::chrono::hours(1);  // only a stop request can end this wait
    ASSERT_TRUE(rig.StartReader(config));
    rig.sim.Close();
    ASSERT_TRUE(WaitUntil([&] { return rig.CountEvents("lost: ") == 1; }));
    rig.reader->Terminate();
    rig.reader->WaitFor();
    EXPECT_EQ(rig.CountEvents("end"), 1u);
    EXPECT_FALSE(rig.reader->Running());
}

TEST(DeviceLossStop, TheDefaultReopenIntervalIsTwoSeconds)
{
    EXPECT_EQ(ScannerReadConfig{}.reopenInterval, std::chrono::seconds(2));
}

}  // namespace
