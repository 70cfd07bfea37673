#pragma once

// Plays a control channel stream into the block queue and stands between the processing thread
// and the decoder, so the test knows when everything played has been decoded and what the
// decoder answered. It also keeps what the decoder should answer and describe.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "decoder/P25Class.h"
#include "link/TBSKQueue.h"
#include "p25/BlockSink.h"
#include "support/BlockBuilder.h"

namespace sitestream {

class StreamPlayer : public BlockSink {
public:
    using Dumped = std::vector<std::pair<Tsbk, std::string>>;

    StreamPlayer(TBSKQueue& queue, P25Class& decoder) : queue_(queue), decoder_(decoder) { }

    // Processing thread: decode, and note the answer.
    int DecodeTsbk(const Tsbk& block) override { return Note(decoder_.DecodeTsbk(block)); }
    int DecodeMultiBlock(const MultiBlockPacket& packet) override { return Note(decoder_.DecodeMultiBlock(packet)); }

    // A good block: recognised and described (with this text, when one is given).
    void Block(const Tsbk& b, const char* text = "") { Play(b, 1, {{b, text}}); }
    // A good block that the decoder answers with 0: held back, or unknown and then described.
    void Refused(const Tsbk& b, const char* dumped = nullptr) { Play(b, 0, dumped ? Dumped{{b, dumped}} : Dumped{}); }
    // A bit flipped on the air: dropped before the decoder.
    void Damaged(const Tsbk& b, int bit) { Push(testsupport::FlipBit(b, bit)); }
    // A packet described with its header and then with its data block.
    void Packet(const std::vector<Tsbk>& p, const char* header, const char* data)
    {
        for (size_t i = 0; i + 1 < p.size(); ++i)
            Push(p[i]);
        Play(p.back(), 1, {{p[0], header}, {p[1], data}});
    }
    // A packet whose data block is damaged: its header reaches the decoder alone and, once whole
    // packets have been seen, adds nothing.
    void DamagedPacket(std::vector<Tsbk> p)
    {
        p[1] = testsupport::FlipBit(p[1], 20);
        Push(p[0]);
        Play(p[1], 1, {});
    }

    // Waits until everything played has been decoded (false if that never happens).
    bool Settled()
    {
        std::unique_lock<std::mutex> g(mutex_);
        return decoded_.wait_for(g, std::chrono::seconds(60), [&] { return answers_.size() >= expected.size(); });
    }
    std::vector<int> Answers()
    {
        std::lock_guard<std::mutex> g(mutex_);
        return answers_;
    }

    std::vector<int> expected;  // what DecodeTsbk / DecodeMultiBlock should answer, in order
    Dumped dump;                // the packet dump, in order; an empty text is not checked

private:
    void Play(const Tsbk& last, int answer, const Dumped& described)
    {
        Push(last);
        expected.push_back(answer);
        dump.insert(dump.end(), described.begin(), described.end());
    }
    void Push(const Tsbk& b)
    {
        while (!queue_.Push(b))
            queue_.WaitForRoom(std::stop_token{}, std::chrono::milliseconds(5));
    }
    int Note(int answer)
    {
        {
            std::lock_guard<std::mutex> g(mutex_);
            answers_.push_back(answer);
        }
        decoded_.notify_all();
        return answer;
    }

    TBSKQueue& queue_;
    P25Class& decoder_;
    std::mutex mutex_;
    std::condition_variable decoded_;
    std::vector<int> answers_;
};

}  // namespace sitestream
