#pragma once

#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

// The controlled scanner's side of a pseudo-terminal: ScannerControl opens Path() as its port,
// the test reads here what the scanner would receive and can answer like a scanner.
class ScannerPeer {
public:
    using Bytes = std::vector<uint8_t>;

    ScannerPeer()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            path_ = ::ptsname(master_);
    }
    ~ScannerPeer() { ::close(master_); }
    ScannerPeer(const ScannerPeer&) = delete;
    ScannerPeer& operator=(const ScannerPeer&) = delete;

    // Empty when no pseudo-terminal could be made.
    const std::string& Path() const { return path_; }

    // The bytes that arrived. The port has sent everything when an action returns, so this stops
    // once nothing more comes for 50 ms, and after 2 s in any case.
    Bytes Received()
    {
        Bytes out;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        pollfd p{master_, POLLIN, 0};
        while (std::chrono::steady_clock::now() < deadline && ::poll(&p, 1, 50) > 0) {
            uint8_t buffer[256];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;  // the port side was closed
            out.insert(out.end(), buffer, buffer + n);
        }
        return out;
    }
    std::string Text()
    {
        const Bytes b = Received();
        return std::string(b.begin(), b.end());
    }

    // A reply of the scanner; whether all of it was written.
    bool Reply(const std::string& text)
    {
        return ::write(master_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    // The port's line settings as the port side set them.
    termios Settings() const
    {
        termios t{};
        ::tcgetattr(master_, &t);
        return t;
    }

private:
    int master_ = -1;
    std::string path_;
};
