// The device side of the reader thread: preparing the scanner, reading the text devices line by
// line and polling the binary one.
#include <algorithm>
#include <array>

#include "link/ScannerPollFrame.h"
#include "link/TCommPort.h"
#include "link/TScannerReadThread.h"

namespace {

// Bytes taken from the driver per read call; the driver holds whatever is left.
constexpr int kReadChunk = 4096;
constexpr int kMinLatency = 1;
constexpr int kMaxLatency = 100;
constexpr uint32_t kPolledRate = 19200;

}  // namespace

void TScannerReadThread::PrepareDevice(TCommPort& port, std::stop_token& stop)
{
    switch (type_) {
    case ScannerLineFramer::kPsrType: {
        port.RaiseDtr();
        port.FlushOutput();
        port.DiscardInput();
        Pause(kPreparePause);
        // Starts the scanner's data output; what it answered is thrown away after a pause.
        auto start = ScannerPollFrame::StartCommand();
        port.Write(start.data(), static_cast<int>(start.size()));
        Pause(kPreparePause);
        port.DiscardInput();
        break;
    }
    case ScannerLineFramer::kUnidenType:
    case ScannerLineFramer::kAnalyzerType:
        port.RaiseDtr();
        port.FlushOutput();
        port.DiscardInput();
        Pause(kPreparePause);
        port.DiscardInput();
        break;
    default:
        port.SetBaudRate(kPolledRate);
        port.RaiseDtr();
        port.DropRts();
        port.FlushOutput();
        port.DiscardInput();
        break;
    }
}

void TScannerReadThread::ReadText(TCommPort& port, std::stop_token& stop)
{
    if (port.WaitForInput(kInputWait, wakeFd_) != TCommPort::WaitResult::kReadable)
        return;
    // Readable with nothing counted: a one-byte read tells data from an end of file, within the
    // port's read time-out, so this never spins.
    int waiting = std::clamp(port.BytesWaiting(), 1, kReadChunk);
    std::array<uint8_t, kReadChunk> bytes;
    int got = port.Read(bytes.data(), waiting);
    for (int i = 0; i < got && !stop.stop_requested(); ++i)
        if (framer_.Feed(bytes[i]))
            HandleLine(stop);
    if (got > 0 && got < kTrickleBytes)
        Pause(kGatherWait);
}

void TScannerReadThread::HandleLine(std::stop_token& stop)
{
    ScannerLine line = framer_.JudgeLine();
    if (line.keepRaw && config_.rawDump) {
        AddRawLine(framer_.Line());
        if (!line.hasBlock && onRawLine_)
            onRawLine_();
    }
    if (line.reply)
        replies_ = kRepliesPerLine;
    if (line.hasBlock && PushBlock(line.block, stop))
        ++blocks_;
}

bool TScannerReadThread::PushBlock(const Tsbk& block, std::stop_token& stop)
{
    // Several lines may come in one read: a block that meets a full queue waits for room
    // (reading nothing meanwhile) instead of being lost.
    while (!queue_.Push(block)) {
        if (stop.stop_requested())
            return false;
        queue_.WaitForRoom(stop, kQueueFullWait);
    }
    return true;
}

void TScannerReadThread::PollCycle(TCommPort& port, std::stop_token& stop)
{
    if (config_.latency >= kMinLatency && config_.latency <= kMaxLatency &&
        !Pause(std::chrono::milliseconds(config_.latency)))
        return;
    static constexpr auto kPoll = ScannerPollFrame::PollCommand();
    port.Write(kPoll.data(), static_cast<int>(kPoll.size()));
    CollectReply(port);

    Tsbk block{};
    auto kind = ScannerPollFrame::ParseReply(reply_.data(), reply_.size(), block);
    if (kind != ScannerPollFrame::ReplyKind::kDropped)
        ++replies_;
    if (kind == ScannerPollFrame::ReplyKind::kBlock && PushBlock(block, stop))
        ++blocks_;

    // Acknowledged whatever came; what the scanner answers to that is thrown away.
    const uint8_t ack = ScannerPollFrame::kAck;
    port.Write(&ack, 1);
    if (port.WaitForInput(kAckAnswerWait, wakeFd_) == TCommPort::WaitResult::kReadable)
        port.DiscardInput();
    reply_.clear();
}

void TScannerReadThread::CollectReply(TCommPort& port)
{
    reply_.clear();
    const auto deadline = std::chrono::steady_clock::now() + kReplyWait;
    std::array<uint8_t, kReadChunk> bytes;
    while (reply_.size() < ScannerPollFrame::kReplySize) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        if (port.WaitForInput(left, wakeFd_) != TCommPort::WaitResult::kReadable)
            break;
        int waiting = std::clamp(port.BytesWaiting(), 1, kReadChunk);
        int got = port.Read(bytes.data(), waiting);
        // The first kReplyCapacity bytes are kept; anything beyond is read and dropped.
        size_t room = ScannerPollFrame::kReplyCapacity - reply_.size();
        reply_.insert(reply_.end(), bytes.begin(), bytes.begin() + std::min<size_t>(got, room));
        if (got <= 0 && port.DeviceLost())
            break;
    }
}
