#include "session/ScannerSimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "link/ScannerPollFrame.h"

namespace {

constexpr int kPolledType = 0;
constexpr int kIdleWaitMs = 50;
// A text type with nothing to write sleeps until its next item (or burst) is due; input from the
// reader, a hang-up and a stop wake it sooner.
constexpr int kLongestDueWaitMs = 1000;
// While no reader has the port open the master reports a hang-up at once; look again this often.
constexpr int kDisconnectedWaitMs = 10;
constexpr size_t kInputLimit = 65536;
constexpr size_t kMostBytesAWrite = 4096;
constexpr auto kMaxCatchUp = std::chrono::seconds(1);

template <typename Frame>
bool StartsWith(const std::string& text, const Frame& frame)
{
    return text.size() >= frame.size() &&
           std::equal(frame.begin(), frame.end(), text.begin(), [](uint8_t f, char c) { return f == uint8_t(c); });
}

template <typename Frame>
bool IsPrefixOf(const std::string& text, const Frame& frame)
{
    return text.size() < frame.size() &&
           std::equal(text.begin(), text.end(), frame.begin(), [](char c, uint8_t f) { return f == uint8_t(c); });
}

}  // namespace

ScannerSimulator::ScannerSimulator(SimulatorOptions options)
    : options_(options), wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{ }

ScannerSimulator::~ScannerSimulator()
{
    Close();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

bool ScannerSimulator::Open()
{
    if (master_ >= 0)
        return true;
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128];
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0)
            ::close(master);
        return false;
    }
    // Raw and without echo before any reader opens it, so nothing written early comes back or is
    // cooked. Opening and closing the slave once also makes the master report a hang-up until a
    // reader opens the port, which is how the simulator knows when someone listens.
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave >= 0) {
        termios tio{};
        if (::tcgetattr(slave, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slave, TCSANOW, &tio);
        }
        ::close(slave);
    }
    master_ = master;
    slavePath_ = name;
    return true;
}

void ScannerSimulator::SetCapture(std::vector<SimItem> items)
{
    items_ = std::move(items);
}

bool ScannerSimulator::Start()
{
    if (master_ < 0 || thread_.joinable())
        return false;
    uint64_t drained;
    (void)!::read(wakeFd_, &drained, sizeof drained);
    thread_ = std::jthread([this](std::stop_token stop) { Run(std::move(stop)); });
    return true;
}

void ScannerSimulator::Stop()
{
    if (!thread_.joinable())
        return;
    thread_.request_stop();
    thread_.join();
    thread_ = std::jthread();
}

void ScannerSimulator::Close()
{
    Stop();
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
    connected_ = false;
}

void ScannerSimulator::Wake()
{
    uint64_t one = 1;
    (void)!::write(wakeFd_, &one, sizeof one);
}

bool ScannerSimulator::WaitForItemsSent(size_t count, std::chrono::milliseconds timeout) const
{
    const auto deadline = Clock::now() + timeout;
    while (itemsSent_.load() < count) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void ScannerSimulator::Run(std::stop_token stop)
{
    std::stop_callback wakeOnStop(stop, [this] { Wake(); });
    while (!stop.stop_requested()) {
        short revents = 0;
        if (!ProbeConnection(revents)) {
            pollfd w{wakeFd_, POLLIN, 0};
            ::poll(&w, 1, kDisconnectedWaitMs);
            continue;
        }
        if (revents & POLLIN)
            ReadInput();
        HandleCommands();
        if (options_.scannerType != kPolledType && output_.empty())
            QueueTextItem();
        if (!output_.empty())
            WriteOutput();

        pollfd p[2] = {{master_, short(POLLIN | (output_.empty() ? 0 : POLLOUT)), 0}, {wakeFd_, POLLIN, 0}};
        ::poll(p, 2, WaitTimeoutMs(Clock::now()));
    }
}

bool ScannerSimulator::ProbeConnection(short& revents)
{
    pollfd p{master_, POLLIN, 0};
    ::poll(&p, 1, 0);
    revents = p.revents;
    if (!(revents & POLLHUP)) {
        if (!wasConnected_) {
            wasConnected_ = true;
            readyAt_ = Clock::now() + options_.startDelay;
            nextDue_ = readyAt_;
        }
        connected_ = true;
        return true;
    }
    if (wasConnected_) {
        // The reader went away: an item it did not get whole is played again to the next one.
        if (!output_.empty())
            next_ -= std::min(outputItems_, next_);
        output_.clear();
        outputItems_ = 0;
        itemBytes_.clear();
        input_.clear();
    }
    wasConnected_ = false;
    connected_ = false;
    return false;
}

void ScannerSimulator::ReadInput()
{
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            if (input_.size() + size_t(n) > kInputLimit)
                input_.clear();
            input_.append(buffer, size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return;  // EAGAIN, or EIO when the reader has just gone (seen at the next probe)
    }
}

void ScannerSimulator::HandleCommands()
{
    static constexpr auto kPoll = ScannerPollFrame::PollCommand();
    static constexpr auto kStart = ScannerPollFrame::StartCommand();
    while (!input_.empty()) {
        if (StartsWith(input_, kPoll)) {
            input_.erase(0, kPoll.size());
            if (options_.scannerType == kPolledType)
                AnswerPoll();
        } else if (StartsWith(input_, kStart)) {
            input_.erase(0, kStart.size());
            ++startsSeen_;
        } else if (uint8_t(input_[0]) == ScannerPollFrame::kAck) {
            input_.erase(0, 1);
            ++acksSeen_;
            if (options_.scannerType == kPolledType && options_.answerAck)
                output_.push_back(char(ScannerPollFrame::kAck));
        } else if (IsPrefixOf(input_, kPoll) || IsPrefixOf(input_, kStart)) {
            return;  // the rest of a command is still on its way
        } else {
            input_.erase(0, 1);
        }
    }
}

void ScannerSimulator::AnswerPoll()
{
    const SimItem* item = NextItemDue(Clock::now()) ? TakeItem() : nullptr;
    if (item != nullptr && item->kind == SimItem::Kind::kBytes) {
        output_ += item->bytes;
    } else {
        auto reply = ScannerPollFrame::BuildReply(item != nullptr ? item->block : Tsbk{});
        output_.append(reply.begin(), reply.end());
    }
    if (item != nullptr)
        ++outputItems_;
    ++pollsAnswered_;
}

bool ScannerSimulator::NextItemDue(Clock::time_point now) const
{
    if (items_.empty() || (next_ >= items_.size() && !options_.loop))
        return false;
    if (now < readyAt_)
        return false;
    return options_.blocksPerSecond <= 0 || now >= nextDue_;
}

const SimItem* ScannerSimulator::TakeItem()
{
    if (next_ >= items_.size())
        next_ = 0;  // looping
    const SimItem* item = &items_[next_++];
    ++sequence_;
    if (options_.blocksPerSecond > 0) {
        const auto now = Clock::now();
        nextDue_ +=
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options_.blocksPerSecond));
        // After a long stall (a full queue on the reader's side) pick up from now, no burst.
        if (nextDue_ + kMaxCatchUp < now)
            nextDue_ = now;
    }
    return item;
}

void ScannerSimulator::QueueTextItem()
{
    const auto now = Clock::now();
    if (!NextItemDue(now) || now < lastBurst_ + options_.burstInterval)
        return;
    lastBurst_ = now;
    // Every item due by now goes in one write. A burst ends at the end of the capture, so that a
    // reader going away mid-burst has the unsent items played again from the right place.
    // Unpaced, the items go out a few kilobytes a write, as fast as the reader takes them, instead
    // of a write per line.
    const bool together = options_.burstInterval.count() > 0 || options_.blocksPerSecond <= 0;
    do {
        const SimItem* item = TakeItem();
        const size_t before = output_.size();
        output_ += item->kind == SimItem::Kind::kBytes
                       ? item->bytes
                       : SimCapture::FormatLine(options_.scannerType, item->block, sequence_);
        itemBytes_.push_back(output_.size() - before);
        ++outputItems_;
    } while (together && next_ < items_.size() && output_.size() < kMostBytesAWrite && NextItemDue(now));
}

void ScannerSimulator::WriteOutput()
{
    ssize_t n = ::write(master_, output_.data(), output_.size());
    if (n <= 0)
        return;  // full (POLLOUT will tell) or the reader has gone (the probe will tell)
    output_.erase(0, size_t(n));
    if (!itemBytes_.empty()) {
        // Text items count as sent once their last byte is written, so that a reader going away in
        // the middle of a write gets only the items it did not have played again.
        size_t written = size_t(n);
        while (!itemBytes_.empty() && written >= itemBytes_.front()) {
            written -= itemBytes_.front();
            itemBytes_.pop_front();
            --outputItems_;
            ++itemsSent_;
        }
        if (!itemBytes_.empty())
            itemBytes_.front() -= written;
        return;
    }
    if (output_.empty()) {
        itemsSent_ += outputItems_;
        outputItems_ = 0;
    }
}

int ScannerSimulator::WaitTimeoutMs(Clock::time_point now) const
{
    // Text types sleep until the next item is due; input, room to write and a stop wake sooner.
    if (options_.scannerType == kPolledType || !output_.empty() || items_.empty() ||
        (next_ >= items_.size() && !options_.loop))
        return kIdleWaitMs;
    auto due = readyAt_;
    if (options_.blocksPerSecond > 0)
        due = std::max(due, nextDue_);
    due = std::max(due, lastBurst_ + options_.burstInterval);
    if (due <= now)
        return 0;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count() + 1;
    return static_cast<int>(std::min<long long>(ms, kLongestDueWaitMs));
}
