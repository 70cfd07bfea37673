#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <stop_token>
#include <thread>

#include "link/TBSKQueue.h"
#include "p25/BlockSink.h"
#include "p25/Tsbk.h"

// The processing thread: empties the block queue, drops blocks whose CRC-16 fails, gathers
// multi-block packets (header opcode 0x37 plus the data blocks it announces), checks their CRC-32
// and feeds single blocks and complete packets to the decoder.
//
// Lifecycle: construct, configure (end callback, priority), Start(); Terminate() asks it to stop,
// WaitFor() joins. The destructor does both. The end callback runs on the processing thread
// itself once the loop has ended; the desktop program posts it on to its main thread.
class ProcThread {
public:
    // An idle thread sleeps until a block is pushed or a stop is asked: no periodic wake-ups. The
    // data blocks of a packet are waited for in bounded steps.
    static constexpr std::chrono::milliseconds kIdleWait = TBSKQueue::kNoTimeout;
    static constexpr std::chrono::milliseconds kDataBlockWait{10};

    ProcThread(TBSKQueue& queue, BlockSink& sink);
    ~ProcThread();
    ProcThread(const ProcThread&) = delete;
    ProcThread& operator=(const ProcThread&) = delete;

    // Called once when the loop ends (on the processing thread). Set before Start().
    void SetEndCallback(std::function<void()> onEnd);
    // Called on the processing thread each time the blocks taken off the queue in one batch have
    // been decoded: one call per batch, not per block. Set before Start().
    void SetBatchCallback(std::function<void()> onBatch);
    // Idle scheduling class (SCHED_IDLE) for the thread; on by default, a failure is ignored.
    void SetIdlePriority(bool idle);

    // Starts the loop; false when this object has been started before.
    bool Start();
    // Asks the loop to stop: a wait for a block or for a packet's data blocks ends at once and a
    // partly gathered packet is dropped. The block being decoded is finished first.
    void Terminate();
    // Waits until the loop has ended (no-op when not started or called from the thread itself).
    void WaitFor();
    bool Running() const { return running_.load(); }

private:
    void Execute(std::stop_token stop);
    void ProcessPacket(const Tsbk& header, std::stop_token& stop);
    // Takes `count` blocks off the queue into the packet from index 1; blocks beyond the
    // packet's room are taken and discarded. False when a stop request ended the wait.
    bool GatherDataBlocks(int count, std::stop_token& stop);
    void DecodeSingleIfCrcOk(const Tsbk& block);
    // The next block: from the batch taken off the queue, refilled with everything queued (one
    // lock) when it is used up. False when the queue is empty too.
    bool NextBlock(Tsbk& out);

    TBSKQueue& queue_;
    BlockSink& sink_;
    std::function<void()> onEnd_;
    std::function<void()> onBatch_;
    bool idlePriority_ = true;
    bool started_ = false;
    std::atomic<bool> running_{false};
    MultiBlockPacket packet_;  // touched only by the processing thread while it runs
    std::array<Tsbk, TBSKQueue::kSlots> batch_{};
    int batchCount_ = 0;
    int batchNext_ = 0;
    std::jthread thread_;  // last: stopped and joined before the members above go
};
