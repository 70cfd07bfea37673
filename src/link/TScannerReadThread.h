#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "link/ScannerLineFramer.h"
#include "link/TBSKQueue.h"
#include "link/TCommPort.h"
#include "p25/Tsbk.h"
#include "platform/NamedLock.h"

// What the reader needs to know of the settings, read once at session start.
struct ScannerReadConfig {
    // 0 Pro-96/Pro-2096 (polled binary frames), 1 PSR-500/600 and Pro-106/197, 2 Uniden BCD396XT,
    // 3 Anritsu S412D analyzer. Any other value is taken as 0.
    int scannerType = 0;
    std::string port = "COM1";
    uint32_t unidenSpeed = 115200;  // bit rate of type 2
    int latency = 10;               // ms before each type 0 poll; used only from 1 to 100
    bool rawDump = false;           // keep the text lines for the raw-data screen
    // How often a lost device is tried again until the session stops.
    std::chrono::milliseconds reopenInterval{2000};
};

// The reader thread of a decode session: owns the scanner's serial port, turns the scanner's
// output into 12-byte blocks and pushes them into the block queue, keeps the receive-rate
// counters and (when switched on) the raw text lines.
//
// Lifecycle: construct, configure (callbacks, priority), Start(); Terminate() asks it to stop and
// wakes whatever it waits on; WaitFor() joins. The destructor does both. All callbacks run on the
// reader thread; the desktop program posts them on to its main thread.
//
// A port that cannot be opened at the start ends the thread after the open-error callback (the
// owner shows the text under the title and stops the session). A device that goes away later
// (hang-up, I/O errors: an unplugged USB adapter) is closed and opened again every
// reopenInterval until the session stops; the device-lost and device-back callbacks tell the
// owner, and the counters stay 0 meanwhile.
class TScannerReadThread {
public:
    static constexpr const char* kOpenErrorTitle = "Serial Port Open Error";
    static constexpr int32_t kRepliesPerLine = 40;  // text devices: a data line shows as 40 replies

    static constexpr std::chrono::milliseconds kPreparePause{100};
    static constexpr std::chrono::milliseconds kQueueFullWait{10};
    // Bound of one wait for input; a stop request or arriving bytes end it sooner.
    // A text line's reader sleeps in the kernel until bytes arrive, the device hangs up or a stop
    // is asked: a silent line costs no wake-ups.
    static constexpr std::chrono::milliseconds kInputWait = TCommPort::kNoTimeout;
    // A control channel trickles in a line every 25 ms or so: after a read of less than
    // kTrickleBytes the reader lets the driver gather lines for kGatherWait (a stop still ends the
    // pause at once) and takes them in one read, so neither it nor the processing thread wakes per
    // line. A scanner sending faster fills reads beyond kTrickleBytes and is read without pause.
    static constexpr std::chrono::milliseconds kGatherWait{100};
    static constexpr int kTrickleBytes = 1024;
    // Type 0: how long a poll reply, and the answer to its acknowledgement, are waited for.
    static constexpr std::chrono::milliseconds kReplyWait{250};
    static constexpr std::chrono::milliseconds kAckAnswerWait{100};

    using OpenErrorCallback = std::function<void(const std::string& text, const std::string& title)>;
    using DeviceCallback = std::function<void(const std::string& text)>;

    TScannerReadThread(TBSKQueue& queue, ScannerReadConfig config);
    ~TScannerReadThread();
    TScannerReadThread(const TScannerReadThread&) = delete;
    TScannerReadThread& operator=(const TScannerReadThread&) = delete;

    // Set before Start().
    void SetEndCallback(std::function<void()> onEnd);
    void SetOpenErrorCallback(OpenErrorCallback onOpenError);
    void SetDeviceLostCallback(DeviceCallback onLost);
    void SetDeviceBackCallback(DeviceCallback onBack);
    // Called after a raw line was kept that carried no block (a line with a block is announced
    // by the processing thread once it has been decoded). Set before Start().
    void SetRawLineCallback(std::function<void()> onRawLine);
    // Idle scheduling class (SCHED_IDLE); on by default, a failure is ignored.
    void SetIdlePriority(bool idle);

    // Starts the session; false when this object has been started before.
    bool Start();
    void Terminate();
    // Waits until the thread has ended (no-op when not started or called from the thread itself).
    void WaitFor();

    // From the end of the device preparation until the loop ends.
    bool Running() const { return running_.load(); }
    // The device is open (false while a lost device is being waited for).
    bool DeviceConnected() const { return connected_.load(); }

    // Type 0: acknowledged poll replies; types 1 to 3: 40 once a data line arrived.
    int32_t Replies() const { return replies_.load(); }
    // Blocks pushed into the queue.
    int32_t Blocks() const { return blocks_.load(); }
    // Reads both counters and sets them to 0 (the main window, once a second).
    void TakeCounters(int32_t& replies, int32_t& blocks);

    // Raw dump on, a text device, running, and a line waiting (under "PSRRAW").
    bool HasRawLines();
    // The oldest raw line, removed; empty when the dump is off or nothing waits.
    std::string TakeRawLine();
    // Up to `most` of the oldest raw lines, removed, under one taking of the lock.
    std::vector<std::string> TakeRawLines(size_t most);
    // Raw lines waiting are bounded: beyond this many the oldest is dropped.
    static constexpr size_t kRawLineCapacity = 10000;
    // Raw lines dropped so far because nobody took them in time.
    uint64_t RawLinesDropped() const { return rawDropped_.load(); }

    const ScannerReadConfig& Config() const { return config_; }
    // Bit rate of a scanner type: 115200 for types 1 and 3, the Uniden speed for 2, else 19200.
    static uint32_t BitRateFor(const ScannerReadConfig& config);
    static int NormalizedType(int scannerType);

private:
    void Execute(std::stop_token stop);
    void ConfigurePort(TCommPort& port) const;
    void PrepareDevice(TCommPort& port, std::stop_token& stop);
    bool Reconnect(TCommPort& port, std::stop_token& stop);
    void ReadText(TCommPort& port, std::stop_token& stop);
    void HandleLine(std::stop_token& stop);
    void PollCycle(TCommPort& port, std::stop_token& stop);
    void CollectReply(TCommPort& port);
    bool PushBlock(const Tsbk& block, std::stop_token& stop);
    void AddRawLine(const std::string& line);
    // Sleeps up to `time`; false when a stop request ended it.
    bool Pause(std::chrono::milliseconds time);
    void Wake();

    TBSKQueue& queue_;
    const ScannerReadConfig config_;
    const int type_;
    std::function<void()> onEnd_;
    OpenErrorCallback onOpenError_;
    DeviceCallback onLost_;
    DeviceCallback onBack_;
    std::function<void()> onRawLine_;
    bool idlePriority_ = true;
    bool started_ = false;
    int wakeFd_ = -1;  // eventfd made readable by a stop request

    std::atomic<bool> running_{false};
    std::atomic<bool> connected_{false};
    std::atomic<int32_t> replies_{0};
    std::atomic<int32_t> blocks_{0};

    NamedLock rawLock_{"PSRRAW"};
    std::deque<std::string> rawLines_;
    std::atomic<uint64_t> rawDropped_{0};

    // Touched only by the reader thread.
    ScannerLineFramer framer_;
    std::vector<uint8_t> reply_;

    std::jthread thread_;  // last: stopped and joined before the members above go
};
