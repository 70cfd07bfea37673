#pragma once

// Real parts for the tests of the live service: a Mosquitto broker on 127.0.0.1 and a free port,
// a subscriber (libmosquitto), the varnel binary as a child process, and the far side of a
// pseudo-terminal that collects what a controlled scanner receives.

#include <arpa/inet.h>
#include <fcntl.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace servicerig {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Waits until `done` holds or `timeout` passes; whether it holds.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

inline int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

inline bool PortAccepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// A child process; ended by the owner (a signal) or killed when the object goes.
class Child {
public:
    Child() = default;
    Child(const std::vector<std::string>& argv, const fs::path& errFile, const std::vector<std::string>& env = {})
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(err, 2);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            for (const std::string& e : env)
                ::putenv(const_cast<char*>(e.c_str()));
            std::vector<char*> args;
            for (const std::string& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
    }
    ~Child() { Kill(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    Child(Child&& o) noexcept : pid_(o.pid_) { o.pid_ = -1; }
    Child& operator=(Child&& o) noexcept
    {
        Kill();
        pid_ = o.pid_;
        o.pid_ = -1;
        return *this;
    }

    bool Running() const { return pid_ > 0; }
    void Signal(int signal) const
    {
        if (pid_ > 0)
            ::kill(pid_, signal);
    }
    // The exit status, -1 when it did not exit by itself within `timeout` (then it is killed).
    int Wait(std::chrono::milliseconds timeout = 10s)
    {
        if (pid_ <= 0)
            return -1;
        int raw = 0;
        const bool ended = WaitFor([&] { return ::waitpid(pid_, &raw, WNOHANG) == pid_; }, timeout);
        if (!ended) {
            Kill();
            return -1;
        }
        pid_ = -1;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    void Kill()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// Mosquitto on 127.0.0.1, anonymous or with one user, no persistence.
class Broker {
public:
    explicit Broker(fs::path folder, std::string user = {}, std::string password = {})
        : folder_(std::move(folder)), port_(FreePort())
    {
        std::ofstream conf(folder_ / "mosquitto.conf");
        conf << "listener " << port_ << " 127.0.0.1\npersistence false\n";
        if (user.empty()) {
            conf << "allow_anonymous true\n";
        } else {
            conf << "allow_anonymous false\npassword_file " << (folder_ / "passwords").string() << "\n";
            std::ofstream(folder_ / "passwords") << user << ":" << password << "\n";
            std::system(("mosquitto_passwd -U " + (folder_ / "passwords").string() + " 2>/dev/null").c_str());
        }
    }
    ~Broker() { Stop(); }

    bool Start()
    {
        process_ = Child({"mosquitto", "-c", (folder_ / "mosquitto.conf").string()}, folder_ / "mosquitto.log");
        return WaitFor([&] { return PortAccepts(port_); }, 5s);
    }
    void Kill() { process_.Kill(); }
    void Stop() { process_.Kill(); }
    int Port() const { return port_; }

private:
    fs::path folder_;
    int port_;
    Child process_;
};

struct Received {
    std::string topic;
    std::string payload;
    bool retained = false;
};

// Subscribes at QoS 1 and keeps every message in order of arrival.
class Subscriber {
public:
    Subscriber(int port, const std::string& filter, const std::string& id)
    {
        mosquitto_lib_init();
        client_ = mosquitto_new(id.c_str(), true, this);
        filter_ = filter;
        mosquitto_connect_callback_set(client_, [](mosquitto* m, void* self, int rc) {
            if (rc == 0)
                mosquitto_subscribe(m, nullptr, static_cast<Subscriber*>(self)->filter_.c_str(), 1);
        });
        mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
            static_cast<Subscriber*>(self)->subscribed_ = true;
        });
        mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
            auto* s = static_cast<Subscriber*>(self);
            std::lock_guard<std::mutex> g(s->mutex_);
            s->messages_.push_back(
                {m->topic, std::string(static_cast<const char*>(m->payload), static_cast<size_t>(m->payloadlen)),
                 m->retain});
        });
        mosquitto_reconnect_delay_set(client_, 1, 1, false);
        mosquitto_connect_async(client_, "127.0.0.1", port, 30);
        mosquitto_loop_start(client_);
    }
    ~Subscriber()
    {
        mosquitto_disconnect(client_);
        mosquitto_loop_stop(client_, true);
        mosquitto_destroy(client_);
    }
    bool WaitSubscribed()
    {
        return WaitFor([&] { return subscribed_.load(); }, 5s);
    }
    std::vector<Received> Messages()
    {
        std::lock_guard<std::mutex> g(mutex_);
        return messages_;
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> g(mutex_);
        return messages_.size();
    }

private:
    mosquitto* client_ = nullptr;
    std::string filter_;
    std::atomic<bool> subscribed_{false};
    std::mutex mutex_;
    std::vector<Received> messages_;
};

// The far side of a pseudo-terminal: a thread collects every byte sent to the slave side.
class PtyCollector {
public:
    PtyCollector()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master_);
        ::unlockpt(master_);
        path_ = ::ptsname(master_);
        // Held open so that the port's closing does not take unread bytes with it.
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
        thread_ = std::thread([this] {
            while (!stop_) {
                pollfd p{master_, POLLIN, 0};
                if (::poll(&p, 1, 20) <= 0)
                    continue;
                char buffer[512];
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n > 0) {
                    std::lock_guard<std::mutex> g(mutex_);
                    bytes_.append(buffer, static_cast<size_t>(n));
                }
            }
        });
    }
    ~PtyCollector()
    {
        stop_ = true;
        thread_.join();
        ::close(slave_);
        ::close(master_);
    }
    const std::string& Path() const { return path_; }
    std::string Bytes()
    {
        std::lock_guard<std::mutex> g(mutex_);
        return bytes_;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::string bytes_;
};

inline std::vector<std::string> FileLines(const fs::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline std::string FileText(const fs::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace servicerig
