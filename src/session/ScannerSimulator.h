#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "session/SimCapture.h"

struct SimulatorOptions {
    // 0 polled binary frames (Pro-96/2096), 1 PSR lines, 2 Uniden lines, 3 analyzer columns.
    int scannerType = 1;
    // Items per second; 0 plays as fast as the reader takes them.
    double blocksPerSecond = 0;
    // Start again from the first item after the last.
    bool loop = false;
    // Text types at a set rate: the items that fell due are written together at most this often,
    // the way a serial driver hands a scanner's output over in bursts (the average rate and the
    // order stay). 0 writes each item when it is due.
    std::chrono::milliseconds burstInterval{0};
    // Pause between the reader opening the port and the first item, so that the reader's
    // device preparation (which throws early input away) is over.
    std::chrono::milliseconds startDelay{0};
    // Type 0: answer the reader's acknowledgement byte with one 0x06.
    bool answerAck = true;
};

// A scanner on a pseudo-terminal. The reader opens SlavePath() as its serial port; the
// simulator plays a capture the way the chosen scanner type prints it, paced or as fast as the
// reader takes it, and for type 0 answers each poll with a reply frame: the next item's block, or
// an all-zero block when it has nothing to tell yet. Items of bytes are sent as they are, for
// malformed lines and replies.
//
// The simulator sends only while a reader has the port open; it notices the reader closing and
// reopening. Close() removes the pseudo-terminal: to the reader the device has vanished.
class ScannerSimulator {
public:
    explicit ScannerSimulator(SimulatorOptions options = {});
    ~ScannerSimulator();
    ScannerSimulator(const ScannerSimulator&) = delete;
    ScannerSimulator& operator=(const ScannerSimulator&) = delete;

    // Creates the pseudo-terminal (raw, no echo). False with ErrorText() on failure.
    bool Open();
    const std::string& SlavePath() const { return slavePath_; }
    const std::string& ErrorText() const { return error_; }

    // The items to play; set before Start().
    void SetCapture(std::vector<SimItem> items);
    // Starts playing (and answering); false when not open or already started.
    bool Start();
    void Stop();
    // Stops and closes the pseudo-terminal.
    void Close();

    // Items whose bytes were handed to the line completely.
    size_t ItemsSent() const { return itemsSent_.load(); }
    // Type 0: polls answered, with an item or with the all-zero block.
    size_t PollsAnswered() const { return pollsAnswered_.load(); }
    size_t AcksSeen() const { return acksSeen_.load(); }
    // Type 1: data-output start commands received from the reader.
    size_t StartCommandsSeen() const { return startsSeen_.load(); }
    // Whether a reader has the port open now.
    bool ReaderConnected() const { return connected_.load(); }
    // Waits until at least `count` items were sent or `timeout` passed.
    bool WaitForItemsSent(size_t count, std::chrono::milliseconds timeout) const;

private:
    using Clock = std::chrono::steady_clock;

    void Run(std::stop_token stop);
    bool ProbeConnection(short& revents);
    void ReadInput();
    void HandleCommands();
    void AnswerPoll();
    bool NextItemDue(Clock::time_point now) const;
    const SimItem* TakeItem();
    void QueueTextItem();
    void WriteOutput();
    int WaitTimeoutMs(Clock::time_point now) const;
    void Wake();

    SimulatorOptions options_;
    int master_ = -1;
    int wakeFd_ = -1;
    std::string slavePath_;
    std::string error_;
    std::vector<SimItem> items_;

    // Touched only by the simulator's thread while it runs.
    size_t next_ = 0;               // index of the next item
    uint64_t sequence_ = 0;         // items taken, for the analyzer's counter column
    std::string input_;             // bytes from the reader not yet understood
    std::string output_;            // bytes waiting to be written
    size_t outputItems_ = 0;        // items inside output_
    std::deque<size_t> itemBytes_;  // text types: bytes of each item in output_ not yet written
    bool wasConnected_ = false;
    Clock::time_point readyAt_{};
    Clock::time_point nextDue_{};
    Clock::time_point lastBurst_{};

    std::atomic<size_t> itemsSent_{0};
    std::atomic<size_t> pollsAnswered_{0};
    std::atomic<size_t> acksSeen_{0};
    std::atomic<size_t> startsSeen_{0};
    std::atomic<bool> connected_{false};
    std::jthread thread_;
};
