// The serial port over a pseudo-terminal: opening, line settings, reading and writing, error
// texts and the port search.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/TCommPort.h"

namespace {

namespace fs = std::filesystem;

// A pseudo-terminal pair; the port opens the slave, the test plays the device on the master.
class Pty {
public:
    Pty()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        char name[128];
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0 &&
            ::ptsname_r(master_, name, sizeof name) == 0)
            path_ = name;
    }
    ~Pty()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    const std::string& Path() const { return path_; }
    void Send(const std::string& bytes)
    {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // What the port wrote, waiting up to a second for `count` bytes.
    std::string Receive(size_t count)
    {
        std::string out;
        char buf[256];
        while (out.size() < count) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 1000) <= 0)
                break;
            ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, size_t(n));
        }
        return out;
    }

private:
    int master_ = -1;
    std::string path_;
};

TEST(CommPortPath, ComNamesAreTheOnBoardUartsAndOtherNamesAreDevicePaths)
{
    EXPECT_EQ(TCommPort::DevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(TCommPort::DevicePath("COM7"), "/dev/ttyS6");
    EXPECT_EQ(TCommPort::DevicePath("COM12"), "/dev/ttyS11");
    EXPECT_EQ(TCommPort::DevicePath("com3"), "/dev/ttyS2");
    EXPECT_EQ(TCommPort::DevicePath("COM0"), "/dev/COM0");  // no such port
    EXPECT_EQ(TCommPort::DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(TCommPort::DevicePath("/dev/serial/by-id/usb-x"), "/dev/serial/by-id/usb-x");
}

TEST(CommPortOpen, AppliesTheLineSettingsAndRefusesASecondOpen)
{
    Pty pty;
    TCommPort port;
    EXPECT_TRUE(port.SetBaudRate(115200));  // closed: stored for the next open
    port.SetPortName(pty.Path());
    ASSERT_TRUE(port.Open()) << port.ErrorText();
    termios tio{};
    ASSERT_EQ(::tcgetattr(port.Fd(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B115200));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);

    EXPECT_FALSE(port.Open());
    EXPECT_TRUE(port.IsOpen());
    port.SetPortName("COM5");  // ignored while open
    EXPECT_EQ(port.PortName(), pty.Path());

    // Open: applied at once; a rate the device refuses leaves the old one.
    EXPECT_TRUE(port.SetBaudRate(19200));
    EXPECT_FALSE(port.SetBaudRate(12345));
    EXPECT_EQ(port.BaudRate(), 19200u);
    ASSERT_EQ(::tcgetattr(port.Fd(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B19200));

    // A pseudo-terminal has no line: parity, data bits and the modem lines are accepted and
    // mean nothing, as on a real port that has no such lines.
    EXPECT_TRUE(port.SetParity(TCommPort::kEvenParity));
    EXPECT_TRUE(port.SetByteSize(7));
    EXPECT_EQ(port.ByteSize(), 7);
    EXPECT_FALSE(port.SetByteSize(9));  // no such setting anywhere
    EXPECT_EQ(port.ByteSize(), 7);
    EXPECT_TRUE(port.RaiseDtr());
    EXPECT_TRUE(port.DropRts());
    EXPECT_TRUE(port.DropDtr());
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.RaiseDtr());
}

TEST(CommPortIo, WritesReadsAndCountsBytes)
{
    Pty pty;
    TCommPort port;
    port.SetPortName(pty.Path());
    ASSERT_TRUE(port.Open());
    const uint8_t frame[] = {0x02, 0x39, 0x44, 0x03, 0x80};
    EXPECT_EQ(port.Write(frame, 5), 5);
    EXPECT_EQ(port.WriteText("AB"), 2);
    EXPECT_TRUE(port.WriteByte(0x06));
    EXPECT_EQ(pty.Receive(8), std::string("\x02\x39\x44\x03\x80"
                                          "AB\x06",
                                          8));
    EXPECT_EQ(port.OutputRoom(), TCommPort::kOutputBufferSize);

    pty.Send("hello");
    ASSERT_EQ(port.WaitForInput(std::chrono::seconds(1)), TCommPort::WaitResult::kReadable);
    for (int i = 0; i < 100 && port.BytesWaiting() < 5; ++i)
        ::usleep(1000);
    EXPECT_EQ(port.BytesWaiting(), 5);
    // Fewer bytes than asked: what came, then a zero byte after them.
    uint8_t buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    EXPECT_EQ(port.Read(buffer, 8), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 6), std::string("hello\0", 6));
    EXPECT_EQ(buffer[6], 0xEE);

    pty.Send("xyz");
    ASSERT_EQ(port.WaitForInput(std::chrono::seconds(1)), TCommPort::WaitResult::kReadable);
    EXPECT_EQ(port.ReadByte(), 'x');
    EXPECT_TRUE(port.DiscardInput());
    EXPECT_EQ(port.BytesWaiting(), 0);
    EXPECT_EQ(port.WaitForInput(std::chrono::milliseconds(20)), TCommPort::WaitResult::kTimeout);
}

TEST(CommPortIo, EverythingAnswersNothingWhenClosed)
{
    TCommPort port;
    uint8_t byte = 1;
    EXPECT_EQ(port.Write(&byte, 1), 0);
    EXPECT_EQ(port.WriteText("x"), 0);
    EXPECT_EQ(port.Read(&byte, 1), 0);
    EXPECT_EQ(port.ReadByte(), 0);
    EXPECT_EQ(port.BytesWaiting(), 0);
    EXPECT_EQ(port.OutputRoom(), 0);
    EXPECT_FALSE(port.DiscardInput());
    EXPECT_FALSE(port.FlushOutput());
    EXPECT_EQ(port.WaitForInput(std::chrono::milliseconds(1)), TCommPort::WaitResult::kClosed);
}

TEST(CommPortIo, AVanishedDeviceIsSeenAsAHangUp)
{
    auto pty = std::make_unique<Pty>();
    TCommPort port;
    port.SetPortName(pty->Path());
    ASSERT_TRUE(port.Open());
    pty.reset();
    EXPECT_EQ(port.WaitForInput(std::chrono::seconds(1)), TCommPort::WaitResult::kHangup);
    EXPECT_TRUE(port.DeviceLost());
}

TEST(CommPortErrors, OpenFailuresGiveTheirTexts)
{
    char buffer[256];
    TCommPort missing;
    missing.SetPortName("/dev/varnel-no-such-port");
    EXPECT_FALSE(missing.Open());
    EXPECT_EQ(missing.GetError(buffer), ENOENT);
    EXPECT_STREQ(buffer, "Port does not exist!");

    Pty pty;
    TCommPort first, second;
    first.SetPortName(pty.Path());
    second.SetPortName(pty.Path());
    ASSERT_TRUE(first.Open());
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.ErrorText(), "Access Denied: Port is already in use!");
    first.Close();
    EXPECT_TRUE(second.Open());

    TCommPort notSerial;
    notSerial.SetPortName("/dev/null");
    EXPECT_FALSE(notSerial.Open());
    EXPECT_EQ(notSerial.ErrorText(), "Error Code 25 (Inappropriate ioctl for device)");
    EXPECT_FALSE(notSerial.IsOpen());
}

// A port the user may not open keeps the text that says so first and then names the group that
// may; a port held by another program is not a matter of the group.
TEST(CommPortErrors, PermissionRefusalPointsToTheDialoutGroup)
{
    const struct {
        int err;
        bool hint;
    } cases[] = {{EACCES, true}, {EPERM, true}, {EBUSY, false}, {EWOULDBLOCK, false}};
    const std::string denied = TCommPort::kPortInUseText;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        const std::string text = TCommPort::ErrorTextFor(c.err);
        EXPECT_EQ(text.substr(0, denied.size()), denied);
        EXPECT_EQ(text.find("'dialout' group") != std::string::npos, c.hint) << text;
        EXPECT_EQ(text.size() == denied.size(), !c.hint) << text;
    }
}

// A made-up /sys/class/tty and /dev: which entries count as serial ports and in what order.
class CommPortSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("varnel-ports-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "dev");
    }
    void TearDown() override { fs::remove_all(root_); }

    // A class entry with a device behind it; `uartType` for ttyS lines; `target` the /dev node.
    void AddTty(const std::string& name, const std::string& target, int uartType = -1, bool hasDevice = true)
    {
        fs::path entry = root_ / "sys" / name;
        fs::create_directories(entry);
        if (hasDevice)
            fs::create_directories(entry / "device");
        if (uartType >= 0)
            std::ofstream(entry / "type") << uartType << "\n";
        if (!target.empty())
            fs::create_symlink(target, root_ / "dev" / name);
    }
    std::string Sys() const { return (root_ / "sys").string(); }
    std::string Dev() const { return (root_ / "dev").string(); }
    std::string DevPath(const std::string& name) const { return (root_ / "dev" / name).string(); }

    fs::path root_;
};

TEST_F(CommPortSearch, ListsRealUartsFirstThenOtherDriversByNumber)
{
    AddTty("ttyUSB10", "/dev/null");
    AddTty("ttyS1", "/dev/null", 0);  // a line without a UART
    AddTty("ttyUSB2", "/dev/null");
    AddTty("ttyS0", "/dev/null", 4);
    AddTty("ttyACM0", "/dev/null");
    AddTty("tty0", "/dev/null", -1, false);  // a virtual terminal
    AddTty("ttyUSB3", "");                   // no node in /dev
    EXPECT_EQ(TCommPort::ListPorts(Sys(), Dev()), (std::vector<std::string>{DevPath("ttyS0"), DevPath("ttyACM0"),
                                                                            DevPath("ttyUSB2"), DevPath("ttyUSB10")}));
}

// The links under /dev/serial/by-id come first, by name, when they lead to a device found;
// links to anything else and dangling links are left out.
TEST_F(CommPortSearch, ListsTheStableByIdLinksAboveTheDevices)
{
    Pty first, second, stray;
    AddTty("ttyUSB0", first.Path());
    AddTty("ttyUSB1", second.Path());
    const fs::path byId = root_ / "dev" / "serial" / "by-id";
    fs::create_directories(byId);
    fs::create_symlink("../../ttyUSB1", byId / "usb-FTDI_FT232R_A50285BI-if00-port0");
    fs::create_symlink(first.Path(), byId / "usb-Prolific_PL2303-if00-port0");
    fs::create_symlink(stray.Path(), byId / "usb-Other_Device-if00");  // not a device found
    fs::create_symlink("../../ttyUSB9", byId / "usb-Gone-if00");       // dangling
    EXPECT_EQ(TCommPort::ListPorts(Sys(), Dev()),
              (std::vector<std::string>{(byId / "usb-FTDI_FT232R_A50285BI-if00-port0").string(),
                                        (byId / "usb-Prolific_PL2303-if00-port0").string(), DevPath("ttyUSB0"),
                                        DevPath("ttyUSB1")}));
}

TEST_F(CommPortSearch, FindsFreeAndHeldPortsAndSkipsTheRest)
{
    Pty free, held;
    AddTty("ttyACM0", free.Path());
    AddTty("ttyUSB0", "/dev/null");  // present but no serial device: not offered
    AddTty("ttyUSB1", held.Path());
    TCommPort other;
    other.SetPortName(held.Path());
    ASSERT_TRUE(other.Open());

    TCommPort port;
    port.SetSearchRoots(Sys(), Dev());
    EXPECT_EQ(port.FindFirstPort(), 1);
    EXPECT_EQ(port.PortName(), DevPath("ttyACM0"));
    EXPECT_FALSE(port.IsOpen());

    // An open object answers -2 and keeps its place in the search.
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(port.FindNextPort(), -2);
    port.Close();

    EXPECT_EQ(port.FindNextPort(), 3);  // held by another: listed all the same
    EXPECT_EQ(port.PortName(), DevPath("ttyUSB1"));
    EXPECT_EQ(port.FindNextPort(), -1);
}

}  // namespace
