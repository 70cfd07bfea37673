#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/TScannerReadThread.h"

class Clock;
class P25Class;
class ProcThread;
class ScannerSimulator;
class TBSKQueue;

// One decode session: the block queue and the decoder for the life of the program, and per session
// the processing thread and the source that feeds the queue (the scanner's reader thread, the
// built-in demo scanner, or a capture file). The desktop program and the headless run both drive
// this class; they only configure it and observe it.
//
// Start: processing thread, then the source. Stop: the source ends, the queue is drained into the
// decoder, the processing thread ends. Nothing here writes files by itself: the owners call
// SaveSystem or PeriodicSave when their rules say so.
class DecodeSession {
public:
    // Notices from the session's threads (called on those threads).
    struct Notices {
        std::function<void(const std::string& text, const std::string& title)> openError;
        std::function<void()> readerEnded;
        std::function<void()> processingEnded;
        std::function<void(const std::string& text)> deviceLost;
        std::function<void(const std::string& text)> deviceBack;
    };
    // How the owner waits: returns once `done()` holds, checking at least every `step`. The window
    // keeps its event loop running meanwhile; a headless run just sleeps.
    using WaitUntil = std::function<void(const std::function<bool()>& done, std::chrono::milliseconds step)>;
    // The drain step of a stop: the queue is looked at every 200 ms.
    static constexpr std::chrono::milliseconds kDrainStep{200};
    // The step of a wait for a thread's end.
    static constexpr std::chrono::milliseconds kThreadEndStep{10};

    DecodeSession(const Clock& clock, std::string programFolder);
    ~DecodeSession();
    DecodeSession(const DecodeSession&) = delete;
    DecodeSession& operator=(const DecodeSession&) = delete;

    P25Class& Decoder() { return *decoder_; }
    TBSKQueue& Queue() { return *queue_; }
    const std::string& ProgramFolder() const { return programFolder_; }

    void SetNotices(Notices notices) { notices_ = std::move(notices); }
    // The window runs its threads at idle priority; a headless run at normal priority.
    void SetIdlePriority(bool idle) { idlePriority_ = idle; }
    // The demo replaces the configured port and scanner type by the built-in simulator, started
    // on the first session and kept for the program's life.
    void UseDemo(std::string capturePath, int scannerType);
    bool DemoEnabled() const { return demo_; }

    void StartProcessing();
    // Starts the reader thread on `config` (or on the demo scanner). False with `error` when the
    // demo scanner cannot be started; a port that cannot be opened is reported by the reader
    // through Notices::openError instead.
    bool StartReader(ScannerReadConfig config, std::string& error);

    // Ends the reader (a reader that ended by itself is not waited for), drains the queue when
    // asked, then ends the processing thread.
    void Stop(bool drain, const WaitUntil& wait);
    void EndReader(const WaitUntil& wait);
    void DrainQueue(const WaitUntil& wait);
    void EndProcessing(const WaitUntil& wait);

    bool ReaderEnded() const { return readerEnded_.load(); }
    bool ProcessingEnded() const { return processingEnded_.load(); }
    TScannerReadThread* Reader() { return reader_.get(); }
    ProcThread* Processing() { return processing_.get(); }
    ScannerSimulator* DemoScanner() { return demoScanner_.get(); }
    void CloseDemo();

    // Receive-rate counters of the current reader since the last call (0/0 without a reader).
    // A call that finds good blocks also notes the time of the last block (below).
    void TakeCounters(int32_t& expected, int32_t& good);
    // Seconds without a block from the scanner at `now`: since the last TakeCounters that found
    // one, or since the reader started or its device came back. The owner calls TakeCounters
    // about once a second, so this is exact to that second. 0 without a reader.
    int64_t SecondsWithoutBlocks(int64_t now) const;
    // The device the current reader reads (the demo scanner's pseudo-terminal with the demo).
    const std::string& ReaderPort() const { return readerPort_; }

    // Feeds a capture file through the line rules of its scanner type into the queue, at full
    // speed or paced at about 40 blocks a second. `counted` runs after every queued block. False
    // when the file cannot be read.
    struct ReplayCounts {
        uint64_t lines = 0;   // lines read (the last one also without its line end)
        uint64_t blocks = 0;  // blocks found in them and queued
    };
    bool Replay(const std::string& path, int scannerType, bool realtime, const std::atomic<bool>& stop,
                const std::function<void()>& counted, ReplayCounts* counts = nullptr);
    // The scanner type a capture's first data line asks for: the hex form when it is a bare
    // block, else `fallback`. Lines starting with '#' and blank lines are passed over.
    static int DetectCaptureType(const std::string& path, int fallback);

    // The per-system files of the decoded system, now. True when every file was written.
    bool SaveSystem();
    // The periodic save: writes the files when a system is known and more than `intervalMinutes`
    // have passed since `lastSave` (the last save, or the session's start). Returns the time to
    // count the next interval from when it saved.
    std::optional<int64_t> PeriodicSave(int64_t now, int intervalMinutes, int64_t lastSave);

private:
    const Clock& clock_;
    std::string programFolder_;
    std::unique_ptr<TBSKQueue> queue_;
    std::unique_ptr<P25Class> decoder_;
    std::unique_ptr<ProcThread> processing_;
    std::unique_ptr<TScannerReadThread> reader_;
    std::unique_ptr<ScannerSimulator> demoScanner_;
    Notices notices_;
    bool idlePriority_ = true;
    bool demo_ = false;
    std::string demoCapture_;
    int demoScannerType_ = 1;
    std::atomic<bool> readerEnded_{true};
    std::atomic<bool> processingEnded_{true};
    std::string readerPort_;
    std::atomic<int64_t> lastBlockAt_{0};  // Clock time; written by the reader's notices too
};
