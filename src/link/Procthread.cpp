#include "link/Procthread.h"

#include <pthread.h>
#include <sched.h>

#include <utility>

#include "p25/BlockIntegrity.h"

namespace {

// Header byte 6: number of data blocks that follow (top bit not part of it).
constexpr int kDataBlockCountByte = 6;
constexpr uint8_t kDataBlockCountMask = 0x7F;

void SetIdleScheduling()
{
    sched_param param{};
    param.sched_priority = 0;
    // Failure (e.g. a policy refused by the system) leaves the thread at normal priority.
    (void)pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
}

}  // namespace

ProcThread::ProcThread(TBSKQueue& queue, BlockSink& sink) : queue_(queue), sink_(sink)
{ }

ProcThread::~ProcThread()
{
    Terminate();
    WaitFor();
}

void ProcThread::SetEndCallback(std::function<void()> onEnd)
{
    onEnd_ = std::move(onEnd);
}

void ProcThread::SetBatchCallback(std::function<void()> onBatch)
{
    onBatch_ = std::move(onBatch);
}

void ProcThread::SetIdlePriority(bool idle)
{
    idlePriority_ = idle;
}

bool ProcThread::Start()
{
    if (started_)
        return false;  // one loop per object: a session creates a new thread
    started_ = true;
    running_ = true;
    thread_ = std::jthread([this](std::stop_token stop) { Execute(std::move(stop)); });
    return true;
}

void ProcThread::Terminate()
{
    thread_.request_stop();
}

void ProcThread::WaitFor()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void ProcThread::Execute(std::stop_token stop)
{
    if (idlePriority_)
        SetIdleScheduling();

    Tsbk block{};
    // A stop is honoured between blocks, once every block already taken off the queue is decoded:
    // what the queue still holds stays there, nothing taken is lost.
    while (!stop.stop_requested() || batchNext_ < batchCount_) {
        // Sleep only while the queue is empty; queued blocks are taken in one batch.
        if (!NextBlock(block)) {
            queue_.WaitForData(stop, kIdleWait);
            continue;
        }
        if (!TsbkCrcOk(block))
            continue;  // damaged on the air: dropped without a word
        if ((block[0] & kOpcodeMask) != kMultiBlockHeaderOpcode) {
            sink_.DecodeTsbk(block);
            continue;
        }
        ProcessPacket(block, stop);
    }

    if (batchCount_ > 0 && onBatch_)
        onBatch_();
    running_ = false;
    if (onEnd_)
        onEnd_();
}

void ProcThread::ProcessPacket(const Tsbk& header, std::stop_token& stop)
{
    const int announced = header[kDataBlockCountByte] & kDataBlockCountMask;
    packet_ = MultiBlockPacket{};  // unused slots reach the decoder as zeros, not stale blocks
    packet_.blocks[0] = header;
    if (!GatherDataBlocks(announced, stop))
        return;  // stop asked mid-packet: the partial packet is dropped
    if (announced > kMaxPacketDataBlocks)
        return;  // more than the packet holds: taken off the queue, nothing decoded

    // With no data blocks the CRC input is empty and the expected value comes from the header's
    // bytes 8..11; they rarely agree, and the header then goes to the single-block decoder below.
    packet_.blockCount = 1 + announced;
    if (PacketCrc32Ok(packet_)) {
        sink_.DecodeMultiBlock(packet_);
        return;
    }
    // CRC-32 failed: whatever passes its own CRC-16 (in practice the header) is decoded alone.
    for (int i = 0; i < packet_.blockCount; ++i)
        DecodeSingleIfCrcOk(packet_.blocks[i]);
}

bool ProcThread::GatherDataBlocks(int count, std::stop_token& stop)
{
    Tsbk block{};
    int position = 1;
    while (count > 0) {
        if (NextBlock(block)) {
            // Data blocks carry no CRC-16 of their own; they are checked with the packet.
            if (position < static_cast<int>(packet_.blocks.size()))
                packet_.blocks[position] = block;
            ++position;
            --count;
            continue;
        }
        if (stop.stop_requested())
            return false;
        queue_.WaitForData(stop, kDataBlockWait);
    }
    return true;
}

bool ProcThread::NextBlock(Tsbk& out)
{
    if (batchNext_ == batchCount_) {
        if (batchCount_ > 0 && onBatch_)
            onBatch_();  // every block of the batch has been decoded (or belongs to a packet being gathered)
        batchCount_ = queue_.PopAll(batch_);
        batchNext_ = 0;
        if (batchCount_ == 0)
            return false;
    }
    out = batch_[static_cast<size_t>(batchNext_++)];
    return true;
}

void ProcThread::DecodeSingleIfCrcOk(const Tsbk& block)
{
    if (TsbkCrcOk(block))
        sink_.DecodeTsbk(block);
}
