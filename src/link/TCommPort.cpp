#include "link/TCommPort.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "link/PortAccessHint.h"

namespace {

struct RateEntry {
    uint32_t rate;
    speed_t speed;
};
constexpr RateEntry kRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
};

bool SpeedFor(uint32_t rate, speed_t& out)
{
    for (const RateEntry& e : kRates) {
        if (e.rate == rate) {
            out = e.speed;
            return true;
        }
    }
    return false;
}

}  // namespace

// Errors that mean the device itself has gone (unplugged adapter, closed pseudo-terminal master).
bool TCommPort::MeansDeviceGone(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF;
}

// Ioctls that a pseudo-terminal or a port without modem lines refuses; a real port carries on.
bool TCommPort::MeansNoModemLines(int err)
{
    return err == ENOTTY || err == EINVAL || err == EOPNOTSUPP;
}

TCommPort::TCommPort() = default;

TCommPort::~TCommPort()
{
    Close();
}

void TCommPort::SetPortName(std::string_view name)
{
    if (!IsOpen())
        portName_ = std::string(name);
}

std::string TCommPort::DevicePath(std::string_view name)
{
    // "COMn" (any case) is the n-th on-board UART, /dev/ttyS(n-1).
    if (name.size() > 3 && std::toupper(name[0]) == 'C' && std::toupper(name[1]) == 'O' &&
        std::toupper(name[2]) == 'M') {
        std::string_view digits = name.substr(3);
        if (digits.size() <= 4 &&
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            int n = std::stoi(std::string(digits));
            if (n >= 1)
                return "/dev/ttyS" + std::to_string(n - 1);
        }
    }
    // A bare device name ("ttyUSB0") lives in /dev; anything with a slash is a path.
    if (name.find('/') == std::string_view::npos)
        return "/dev/" + std::string(name);
    return std::string(name);
}

bool TCommPort::IsAccessDenied(int err)
{
    return err == EACCES || err == EPERM || err == EBUSY || err == EWOULDBLOCK;
}

std::string TCommPort::ErrorTextFor(int err)
{
    if (err == ENOENT || err == ENODEV || err == ENXIO)
        return kNoSuchPortText;
    if (IsAccessDenied(err))
        return kPortInUseText + PortAccessHint(err);
    char description[128];
    const char* text = strerror_r(err, description, sizeof description);
    char out[256];
    std::snprintf(out, sizeof out, "Error Code %d (%s)", err, text);
    return out;
}

void TCommPort::FailOpen(int err)
{
    lastError_ = err;
    errorText_ = ErrorTextFor(err);
}

bool TCommPort::Open()
{
    if (IsOpen())
        return false;
    const std::string path = DevicePath(portName_);
    // Non-blocking for good: every wait is a poll() bounded by the time-outs, and an open never
    // hangs waiting for carrier.
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        FailOpen(errno);
        return false;
    }
    termios probe{};
    if (::tcgetattr(fd, &probe) != 0) {
        int err = errno;
        ::close(fd);
        FailOpen(err);
        return false;
    }
    // TIOCEXCL keeps later opens out except root's; the advisory lock also holds against root
    // and against programs that lock their ports the same way.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        FailOpen(err == EWOULDBLOCK ? EBUSY : err);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    fd_ = fd;
    deviceLost_ = false;
    dtrControl_ = false;
    rtsControl_ = false;
    if (!ApplyLineSettings()) {
        int err = errno;
        Close();
        FailOpen(err != 0 ? err : EINVAL);
        return false;
    }
    // Both lines off after opening, until the caller raises them.
    SetModemLine(TIOCMBIC, TIOCM_DTR | TIOCM_RTS);
    return true;
}

void TCommPort::Close()
{
    if (fd_ < 0)
        return;
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // also releases the flock
    fd_ = -1;
}

bool TCommPort::ApplyLineSettings()
{
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0)
        return false;
    speed_t speed;
    if (!SpeedFor(baudRate_, speed) || byteSize_ < 5 || byteSize_ > 8 || parity_ > kSpaceParity ||
        stopBits_ > kTwoStopBits) {
        errno = EINVAL;
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[byteSize_ - 5] | CLOCAL | CREAD;
    if (parity_ != kNoParity)
        tio.c_cflag |= PARENB;
    if (parity_ == kOddParity || parity_ == kMarkParity)
        tio.c_cflag |= PARODD;
    if (parity_ == kMarkParity || parity_ == kSpaceParity)
        tio.c_cflag |= CMSPAR;
    if (stopBits_ != kOneStopBit)
        tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
        return false;
    if (::tcsetattr(fd_, TCSANOW, &tio) == 0)
        return true;
    // A pseudo-terminal has no line: it keeps 8 data bits without parity whatever is asked, and
    // the C library reports that as a refusal. The settings mean nothing there; carry on.
    return IsPseudoTerminal(fd_);
}

bool TCommPort::IsPseudoTerminal(int fd)
{
    // Unix98 pseudo-terminal slaves use majors 136 to 143.
    constexpr unsigned kPtySlaveMajorFirst = 136, kPtySlaveMajorLast = 143;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    unsigned m = major(st.st_rdev);
    return m >= kPtySlaveMajorFirst && m <= kPtySlaveMajorLast;
}

template <typename T>
bool TCommPort::SetLineValue(T& field, T value)
{
    T previous = field;
    field = value;
    if (!IsOpen())
        return true;
    if (ApplyLineSettings())
        return true;
    field = previous;
    ApplyLineSettings();
    return false;
}

bool TCommPort::SetBaudRate(uint32_t rate)
{
    return SetLineValue(baudRate_, rate);
}
bool TCommPort::SetByteSize(uint8_t bits)
{
    return SetLineValue(byteSize_, bits);
}
bool TCommPort::SetParity(uint8_t parity)
{
    return SetLineValue(parity_, parity);
}
bool TCommPort::SetStopBits(uint8_t stopBits)
{
    return SetLineValue(stopBits_, stopBits);
}

bool TCommPort::SetModemLine(int request, int lines)
{
    if (!IsOpen())
        return false;
    if (::ioctl(fd_, request, &lines) == 0)
        return true;
    int err = errno;
    if (MeansNoModemLines(err))
        return true;
    NoteIoError(err);
    return false;
}

bool TCommPort::RaiseDtr()
{
    if (!SetModemLine(TIOCMBIS, TIOCM_DTR))
        return false;
    dtrControl_ = true;
    return true;
}

bool TCommPort::DropDtr()
{
    if (!SetModemLine(TIOCMBIC, TIOCM_DTR))
        return false;
    dtrControl_ = false;
    return true;
}

bool TCommPort::RaiseRts()
{
    if (!SetModemLine(TIOCMBIS, TIOCM_RTS))
        return false;
    rtsControl_ = true;
    return true;
}

bool TCommPort::DropRts()
{
    if (!SetModemLine(TIOCMBIC, TIOCM_RTS))
        return false;
    rtsControl_ = false;
    return true;
}

int32_t TCommPort::GetError(char* buffer) const
{
    if (buffer != nullptr) {
        size_t n = std::min<size_t>(errorText_.size(), 255);
        std::memcpy(buffer, errorText_.data(), n);
        buffer[n] = '\0';
    }
    return lastError_;
}
