#include "link/TScannerReadThread.h"

#include <algorithm>

#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <utility>

#include "link/TCommPort.h"

namespace {

constexpr int kPolledType = 0;
constexpr uint32_t kPolledRate = 19200;
constexpr uint32_t kTextRate = 115200;

void SetIdleScheduling()
{
    sched_param param{};
    param.sched_priority = 0;
    // Failure (a policy refused by the system) leaves the thread at normal priority.
    (void)pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
}

}  // namespace

TScannerReadThread::TScannerReadThread(TBSKQueue& queue, ScannerReadConfig config)
    : queue_(queue), config_(std::move(config)), type_(NormalizedType(config_.scannerType)),
      wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), framer_(type_)
{ }

TScannerReadThread::~TScannerReadThread()
{
    Terminate();
    WaitFor();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

int TScannerReadThread::NormalizedType(int scannerType)
{
    return scannerType >= 0 && scannerType <= ScannerLineFramer::kAnalyzerType ? scannerType : kPolledType;
}

uint32_t TScannerReadThread::BitRateFor(const ScannerReadConfig& config)
{
    switch (NormalizedType(config.scannerType)) {
    case ScannerLineFramer::kPsrType:
    case ScannerLineFramer::kAnalyzerType: return kTextRate;
    case ScannerLineFramer::kUnidenType: return config.unidenSpeed;
    default: return kPolledRate;
    }
}

void TScannerReadThread::SetEndCallback(std::function<void()> onEnd)
{
    onEnd_ = std::move(onEnd);
}
void TScannerReadThread::SetOpenErrorCallback(OpenErrorCallback cb)
{
    onOpenError_ = std::move(cb);
}
void TScannerReadThread::SetDeviceLostCallback(DeviceCallback cb)
{
    onLost_ = std::move(cb);
}
void TScannerReadThread::SetDeviceBackCallback(DeviceCallback cb)
{
    onBack_ = std::move(cb);
}
void TScannerReadThread::SetRawLineCallback(std::function<void()> onRawLine)
{
    onRawLine_ = std::move(onRawLine);
}
void TScannerReadThread::SetIdlePriority(bool idle)
{
    idlePriority_ = idle;
}

bool TScannerReadThread::Start()
{
    if (started_)
        return false;  // one session per object
    started_ = true;
    thread_ = std::jthread([this](std::stop_token stop) { Execute(std::move(stop)); });
    return true;
}

void TScannerReadThread::Terminate()
{
    thread_.request_stop();
}

void TScannerReadThread::WaitFor()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void TScannerReadThread::Wake()
{
    uint64_t one = 1;
    (void)!::write(wakeFd_, &one, sizeof one);
}

bool TScannerReadThread::Pause(std::chrono::milliseconds time)
{
    // The wake descriptor stays readable once a stop was asked, so every later pause ends at once.
    pollfd p{wakeFd_, POLLIN, 0};
    int r = ::poll(&p, 1, static_cast<int>(time.count()));
    return !(r > 0 && (p.revents & POLLIN));
}

void TScannerReadThread::TakeCounters(int32_t& replies, int32_t& blocks)
{
    replies = replies_.exchange(0);
    blocks = blocks_.exchange(0);
}

bool TScannerReadThread::HasRawLines()
{
    if (!config_.rawDump || type_ == kPolledType || !running_.load())
        return false;
    LockGuard g(rawLock_);
    return !rawLines_.empty();
}

std::string TScannerReadThread::TakeRawLine()
{
    if (!config_.rawDump)
        return {};
    LockGuard g(rawLock_);
    if (rawLines_.empty())
        return {};
    std::string line = std::move(rawLines_.front());
    rawLines_.pop_front();
    return line;
}

std::vector<std::string> TScannerReadThread::TakeRawLines(size_t most)
{
    std::vector<std::string> lines;
    if (!config_.rawDump)
        return lines;
    LockGuard g(rawLock_);
    const size_t n = std::min(most, rawLines_.size());
    lines.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        lines.push_back(std::move(rawLines_.front()));
        rawLines_.pop_front();
    }
    return lines;
}

void TScannerReadThread::AddRawLine(const std::string& line)
{
    LockGuard g(rawLock_);
    // A source faster than the screen takes the lines must not grow the list without end: the
    // oldest line goes, and is counted.
    if (rawLines_.size() >= kRawLineCapacity) {
        rawLines_.pop_front();
        rawDropped_.fetch_add(1);
    }
    rawLines_.push_back(line);
}

void TScannerReadThread::ConfigurePort(TCommPort& port) const
{
    port.SetPortName(config_.port);
    port.SetByteSize(8);
    port.SetParity(TCommPort::kNoParity);
    port.SetStopBits(TCommPort::kOneStopBit);
    port.SetBaudRate(BitRateFor(config_));
}

void TScannerReadThread::Execute(std::stop_token stop)
{
    if (idlePriority_)
        SetIdleScheduling();
    std::stop_callback wakeOnStop(stop, [this] { Wake(); });
    running_ = false;
    replies_ = 0;
    blocks_ = 0;

    TCommPort port;
    ConfigurePort(port);
    if (!port.Open()) {
        // The owner shows the text and stops the session; this thread just ends.
        if (onOpenError_)
            onOpenError_(port.ErrorText(), kOpenErrorTitle);
        if (onEnd_)
            onEnd_();
        return;
    }
    PrepareDevice(port, stop);
    connected_ = true;
    running_ = true;

    while (!stop.stop_requested()) {
        if (port.DeviceLost()) {
            if (!Reconnect(port, stop))
                break;
            continue;
        }
        // While the queue is full nothing is read: the driver's input buffer (and behind it the
        // device) holds the backlog, and no block is ever dropped.
        if (!queue_.HasRoom()) {
            queue_.WaitForRoom(stop, kQueueFullWait);
            continue;
        }
        if (type_ == kPolledType)
            PollCycle(port, stop);
        else
            ReadText(port, stop);
    }

    running_ = false;
    connected_ = false;
    reply_.clear();
    framer_.Reset();
    if (port.IsOpen()) {
        port.DropDtr();
        port.Close();
    }
    if (onEnd_)
        onEnd_();
}

bool TScannerReadThread::Reconnect(TCommPort& port, std::stop_token& stop)
{
    port.Close();
    // A half-received line or reply from the lost device is of no use to the new one.
    framer_.Reset();
    reply_.clear();
    connected_ = false;
    replies_ = 0;
    blocks_ = 0;
    const std::string& name = port.PortName();
    if (onLost_)
        onLost_("Serial device lost: " + name + "; trying to reopen it");
    while (!stop.stop_requested()) {
        if (!Pause(config_.reopenInterval))
            return false;
        if (!port.Open())
            continue;
        PrepareDevice(port, stop);
        if (stop.stop_requested())
            return false;
        if (port.DeviceLost()) {
            port.Close();
            continue;
        }
        replies_ = 0;
        blocks_ = 0;
        connected_ = true;
        if (onBack_)
            onBack_("Serial device back: " + name);
        return true;
    }
    return false;
}
