#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "decoder/P25Class.h"
#include "link/Procthread.h"
#include "link/TBSKQueue.h"
#include "support/BlockBuilder.h"

using namespace testsupport;

namespace {

// Forwards to the real decoder and remembers the packets that reached it.
class PacketTap : public BlockSink {
public:
    explicit PacketTap(P25Class& decoder) : decoder_(decoder) { }
    int DecodeTsbk(const Tsbk& block) override { return decoder_.DecodeTsbk(block); }
    int DecodeMultiBlock(const MultiBlockPacket& packet) override
    {
        packets.push_back(packet.blocks[0]);
        return decoder_.DecodeMultiBlock(packet);
    }
    std::vector<Tsbk> packets;  // written by the processing thread only, read after it ended

private:
    P25Class& decoder_;
};

// Blocks, packets and damaged blocks from a producer thread go through the queue and the
// processing thread into the decoder, while a second thread copies the decoder's areas out the
// way the screen refresh does. Every good single block must reach the packet dump once and in
// order, every good packet the multi-block decoder, and nothing damaged anywhere.
TEST(DecodePipeline, EveryGoodBlockArrivesOnceAndInOrder)
{
    ManualClock clock;
    auto decoder = std::make_unique<P25Class>(clock);
    PresentationSwitches s;
    s.packetDump = true;
    s.recordUnknowns = true;
    decoder->SetSwitches(s);
    decoder->SetSiteIdentity(0x123, 1, 0x70, 5);

    std::vector<Tsbk> expectedSingles;
    std::vector<Tsbk> expectedPackets;
    std::vector<std::vector<Tsbk>> bursts;
    std::vector<Tsbk> burst;
    for (int i = 0; i < 3000; ++i) {
        // Opcode 0x13 has no handler: each block ends in the packet dump as "Unknown Op=13".
        const Tsbk single = MakeTsbk({0x13, 0x00, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)});
        burst.push_back(single);
        expectedSingles.push_back(single);
        if (i % 7 == 0)
            burst.push_back(FlipBit(single, i % 96));  // damaged: dropped
        if (i % 50 == 0) {
            auto packet =
                MakePacket({0x37, 0x00, 0, 0, 0, 0, 0, 0x15, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)},
                           std::vector<uint8_t>(static_cast<size_t>(i % 3) * 12 + 4, 0xA5));
            expectedPackets.push_back(packet[0]);
            burst.insert(burst.end(), packet.begin(), packet.end());
        }
        if (burst.size() >= 40) {
            bursts.push_back(burst);
            burst.clear();
        }
    }
    bursts.push_back(burst);

    TBSKQueue queue;
    PacketTap tap(*decoder);
    ProcThread processing(queue, tap);
    ASSERT_TRUE(processing.Start());

    std::atomic<bool> producing{true};
    std::mutex seenMutex;
    std::vector<Tsbk> seen;
    std::thread refresh([&] {
        std::vector<ALLPKT> dump(PacketDump::kCapacity);
        std::vector<FreqInfo> channels(ChannelTable::kCapacity);
        SystemInfo info;
        auto drain = [&] {
            const int n = decoder->Dump().CopyPacketDump(dump.data(), PacketDump::kCapacity);
            std::lock_guard<std::mutex> g(seenMutex);
            for (int i = 0; i < n; ++i)
                if (dump[i].time != 0)
                    seen.push_back(dump[i].block);
        };
        while (producing.load()) {
            drain();
            decoder->Activity().ExpireChannelActivity();
            decoder->Channels().CopyChannels(channels.data(), ChannelTable::kCapacity);
            decoder->CopySystemInfo(info);
            std::this_thread::yield();
        }
        drain();
    });

    // Bursts smaller than the dump's 100 pending slots, each sent once the previous one is
    // decoded and copied out, so nothing is dropped for lack of room.
    std::thread producer([&] {
        for (const auto& b : bursts) {
            for (const Tsbk& block : b) {
                while (!queue.Push(block))
                    queue.WaitForRoom(std::stop_token{}, std::chrono::milliseconds(5));
            }
            while (queue.HasData() || decoder->Dump().Pending() > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    producer.join();
    processing.Terminate();
    processing.WaitFor();
    producing = false;
    refresh.join();

    ASSERT_EQ(seen.size(), expectedSingles.size());
    EXPECT_TRUE(seen == expectedSingles);
    ASSERT_EQ(tap.packets.size(), expectedPackets.size());
    EXPECT_TRUE(tap.packets == expectedPackets);
    EXPECT_TRUE(decoder->MultiBlockSeen());
}

}  // namespace
