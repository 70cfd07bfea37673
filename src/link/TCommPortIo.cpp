// Reading, writing and waiting on an open TCommPort, all bounded by the port's time-outs.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "link/TCommPort.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int MillisLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

void TCommPort::NoteIoError(int err)
{
    if (MeansDeviceGone(err))
        deviceLost_ = true;
}

bool TCommPort::WaitWritable(Clock::time_point deadline)
{
    for (;;) {
        pollfd p{fd_, POLLOUT, 0};
        int r = ::poll(&p, 1, MillisLeft(deadline));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            deviceLost_ = true;
            return false;
        }
        return true;
    }
}

int TCommPort::WriteBytes(const uint8_t* bytes, int count)
{
    if (!IsOpen() || bytes == nullptr || count <= 0)
        return 0;
    const auto deadline = Clock::now() + milliseconds(timeouts_.writeTotalConstant) +
                          milliseconds(uint64_t(timeouts_.writeTotalMultiplier) * count);
    int written = 0;
    while (written < count) {
        ssize_t n = ::write(fd_, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<int>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitWritable(deadline))
                break;
        } else {
            NoteIoError(n < 0 ? errno : EIO);
            break;
        }
    }
    return written;
}

int TCommPort::Write(const uint8_t* bytes, int count)
{
    int written = WriteBytes(bytes, count);
    if (written <= 0)
        return 0;
    return FlushOutput() ? written : 0;
}

int TCommPort::WriteText(const char* text)
{
    return text == nullptr ? 0 : WriteText(std::string_view(text));
}

int TCommPort::WriteText(std::string_view text)
{
    return WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
}

bool TCommPort::WriteByte(uint8_t byte)
{
    return WriteBytes(&byte, 1) == 1;
}

int TCommPort::Read(uint8_t* buffer, int count)
{
    if (!IsOpen() || buffer == nullptr || count <= 0)
        return 0;
    const auto deadline = Clock::now() + milliseconds(timeouts_.readTotalConstant) +
                          milliseconds(uint64_t(timeouts_.readTotalMultiplier) * count);
    int got = 0;
    while (got < count) {
        ssize_t n = ::read(fd_, buffer + got, count - got);
        if (n > 0) {
            got += static_cast<int>(n);
            continue;
        }
        if (n == 0) {  // end of file on a terminal: it was hung up
            deviceLost_ = true;
            break;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN) {
            NoteIoError(errno);
            break;
        }
        // Nothing there yet: wait for the rest of the total time, or only the gap between bytes
        // once some have come.
        int wait = MillisLeft(deadline);
        if (got > 0 && timeouts_.readInterval > 0)
            wait = std::min<int>(wait, static_cast<int>(timeouts_.readInterval));
        if (wait <= 0)
            break;
        pollfd p{fd_, POLLIN, 0};
        int r = ::poll(&p, 1, wait);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        if (!(p.revents & POLLIN) && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            deviceLost_ = true;
            break;
        }
    }
    if (got < count)
        buffer[got] = 0;
    return got;
}

uint8_t TCommPort::ReadByte()
{
    uint8_t byte[2] = {0, 0};
    return Read(byte, 1) == 1 ? byte[0] : 0;
}

int TCommPort::BytesWaiting()
{
    if (!IsOpen())
        return 0;
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) {
        NoteIoError(errno);
        return 0;
    }
    return n;
}

int TCommPort::OutputRoom()
{
    if (!IsOpen())
        return 0;
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) {
        NoteIoError(errno);
        return 0;
    }
    return std::max(0, kOutputBufferSize - queued);
}

bool TCommPort::DiscardInput()
{
    if (!IsOpen())
        return false;
    if (::tcflush(fd_, TCIFLUSH) == 0)
        return true;
    NoteIoError(errno);
    return false;
}

bool TCommPort::FlushOutput()
{
    if (!IsOpen())
        return false;
    // A bounded wait for the driver's output queue to empty, then tcdrain for the last bytes in
    // the UART; tcdrain alone could block without limit on a stalled line.
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) {
        int err = errno;
        NoteIoError(err);
        return !MeansDeviceGone(err) && ::tcdrain(fd_) == 0;
    }
    const auto deadline = Clock::now() + milliseconds(timeouts_.writeTotalConstant) +
                          milliseconds(uint64_t(timeouts_.writeTotalMultiplier) * queued);
    while (queued > 0) {
        if (Clock::now() >= deadline)
            return false;
        ::poll(nullptr, 0, 1);
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) {
            NoteIoError(errno);
            return false;
        }
    }
    return ::tcdrain(fd_) == 0 || MeansNoModemLines(errno);
}

TCommPort::WaitResult TCommPort::WaitForInput(milliseconds timeout, int wakeFd)
{
    if (!IsOpen())
        return WaitResult::kClosed;
    const bool forever = timeout < milliseconds::zero();
    const auto deadline = Clock::now() + (forever ? milliseconds::zero() : timeout);
    for (;;) {
        pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        int r = ::poll(p, wakeFd >= 0 ? 2 : 1, forever ? -1 : MillisLeft(deadline));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            NoteIoError(errno);
            return WaitResult::kHangup;
        }
        if (r == 0)
            return WaitResult::kTimeout;
        if (wakeFd >= 0 && (p[1].revents & POLLIN))
            return WaitResult::kWoken;
        if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // Bytes that came before the hang-up are still delivered; after them it is gone.
            if (BytesWaiting() > 0)
                return WaitResult::kReadable;
            deviceLost_ = true;
            return WaitResult::kHangup;
        }
        return WaitResult::kReadable;
    }
}
