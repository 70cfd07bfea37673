#include "link/Procthread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "p25/BlockIntegrity.h"
#include "support/BlockBuilder.h"

namespace {

using namespace std::chrono_literals;
using testsupport::FlipBit;
using testsupport::MakePacket;
using testsupport::MakePacketFromBlocks;
using testsupport::MakeTsbk;
using testsupport::ToPacket;

std::string Hex(const Tsbk& block)
{
    std::string text;
    char digits[3];
    for (uint8_t b : block) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        text += digits;
    }
    return text;
}

// What reached the decoder, one text per call: "T <block>" or "P<count> <block>|<block>...".
std::string SingleEvent(const Tsbk& block)
{
    return "T " + Hex(block);
}

std::string PacketEvent(const MultiBlockPacket& packet)
{
    std::string text = "P" + std::to_string(packet.blockCount) + " ";
    for (int i = 0; i < packet.blockCount && i < static_cast<int>(packet.blocks.size()); ++i)
        text += (i ? "|" : "") + Hex(packet.blocks[i]);
    return text;
}

std::string PacketEvent(const std::vector<Tsbk>& blocks)
{
    return PacketEvent(ToPacket(blocks));
}

class RecordingSink : public BlockSink {
public:
    int DecodeTsbk(const Tsbk& block) override
    {
        std::lock_guard<std::mutex> guard(mutex_);
        events_.push_back(SingleEvent(block));
        return 1;
    }
    int DecodeMultiBlock(const MultiBlockPacket& packet) override
    {
        std::lock_guard<std::mutex> guard(mutex_);
        events_.push_back(PacketEvent(packet));
        return 1;
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return events_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> events_;
};

// Waits (without a time limit: a fault shows as a hanging test) until the queue is drained.
void WaitUntilDrained(const TBSKQueue& queue)
{
    while (queue.HasData())
        std::this_thread::sleep_for(1ms);
}

void Append(std::vector<Tsbk>& to, const std::vector<Tsbk>& blocks)
{
    to.insert(to.end(), blocks.begin(), blocks.end());
}

// Data blocks as a packet would carry them (no CRC-16 of their own): a block whose bytes
// 10..11 do not match its CRC-16.
Tsbk DataBlock(uint8_t fill)
{
    Tsbk block;
    block.fill(fill);
    if (TsbkCrcOk(block))
        block[0] ^= 0x01;
    return block;
}

// A header announcing no data blocks whose bytes 8..11 happen to equal the CRC-32 of empty input.
Tsbk HeaderWithEmptyCrc()
{
    Tsbk header{0x37, 0x00, 0, 0, 0, 0, 0x00, 0x00, 0xFF, 0xFF, 0, 0};
    for (int v = 0; v < 0x10000; ++v) {
        header[2] = static_cast<uint8_t>(v >> 8);
        header[3] = static_cast<uint8_t>(v);
        header = testsupport::WithCrc16(header);
        if (header[10] == 0xFF && header[11] == 0xFF)
            return header;
    }
    ADD_FAILURE() << "no header with CRC-16 0xFFFF found";
    return header;
}

class ProcThreadTest : public ::testing::Test {
protected:
    // Queues the blocks, runs the thread until the queue is drained, stops it the way a session
    // stop does and returns what reached the decoder.
    std::vector<std::string> Run(const std::vector<Tsbk>& input)
    {
        for (const Tsbk& block : input)
            EXPECT_TRUE(queue_.Push(block));
        ProcThread thread(queue_, sink_);
        thread.SetEndCallback([this] { ++ends_; });
        EXPECT_TRUE(thread.Start());
        WaitUntilDrained(queue_);
        thread.Terminate();
        thread.WaitFor();
        EXPECT_FALSE(thread.Running());
        EXPECT_EQ(ends_, 1);
        return sink_.Events();
    }

    TBSKQueue queue_;
    RecordingSink sink_;
    std::atomic<int> ends_{0};
};

struct Case {
    const char* name;
    std::vector<Tsbk> input;
    std::vector<std::string> expected;
};

TEST_F(ProcThreadTest, SingleBlocksAndPackets)
{
    const Tsbk single = MakeTsbk({0x00, 0x00, 0x01, 0x02, 0x03});
    const Tsbk other = MakeTsbk({0x3A, 0x90, 0x11});
    const auto good = MakePacket({0x37, 0x00, 0x10}, std::vector<uint8_t>(20, 0x5A));
    const auto goodOne = MakePacket({0x37, 0x00, 0x11}, {0x01, 0x02});

    // A good packet whose first data block looks like a header: data blocks are never headers.
    const auto headerLikeData = MakePacketFromBlocks(Tsbk{0x37}, {DataBlock(0x37), DataBlock(0x21)});

    // Byte 6 = 0x82: two data blocks, the top bit is not part of the count.
    Tsbk topBitHeader{};
    topBitHeader[6] = 0x80;
    const auto topBit = MakePacketFromBlocks(topBitHeader, {DataBlock(0x41), DataBlock(0x42)});

    // CRC-32 damaged: the header (good CRC-16) is decoded alone; so is a data block whose own
    // bytes 10..11 happen to match its CRC-16.
    auto badCrc = MakePacketFromBlocks(Tsbk{}, {DataBlock(0x61), DataBlock(0x62), DataBlock(0x63)});
    badCrc[2][0] ^= 0xFF;
    auto badCrcLucky = badCrc;
    badCrcLucky[2] = MakeTsbk({0x05, 0x00, 0x77});
    ASSERT_FALSE(TsbkCrcOk(badCrc[2]));
    ASSERT_FALSE(PacketCrc32Ok(ToPacket(badCrcLucky)));

    // Six data blocks: more than a packet holds. They leave the queue, nothing is decoded.
    const auto tooMany = MakePacket({0x37}, std::vector<uint8_t>(66, 0x33));
    ASSERT_EQ(tooMany.size(), 7u);

    Tsbk corruptHeader = FlipBit(good[0], 70);
    ASSERT_FALSE(TsbkCrcOk(good[1]) || TsbkCrcOk(good[2]));

    const Tsbk emptyNoMatch = MakeTsbk({0x37, 0x00, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x12, 0x34});
    const Tsbk emptyMatch = HeaderWithEmptyCrc();

    const Case cases[] = {
        {"good single", {single}, {SingleEvent(single)}},
        {"damaged single dropped", {FlipBit(single, 17), other}, {SingleEvent(other)}},
        {"good packet", good, {PacketEvent(good)}},
        {"packet of one data block", goodOne, {PacketEvent(goodOne)}},
        {"data block with opcode 0x37", headerLikeData, {PacketEvent(headerLikeData)}},
        {"count top bit ignored", topBit, {PacketEvent(topBit)}},
        {"bad CRC-32 falls back to header", badCrc, {SingleEvent(badCrc[0])}},
        {"bad CRC-32 lucky data block", badCrcLucky, {SingleEvent(badCrc[0]), SingleEvent(badCrcLucky[2])}},
        {"more than four data blocks", tooMany, {}},
        {"damaged header: its data blocks fail alone", {corruptHeader, good[1], good[2], other}, {SingleEvent(other)}},
        {"header without data blocks", {emptyNoMatch, single}, {SingleEvent(emptyNoMatch), SingleEvent(single)}},
        {"header without data blocks, CRC agrees",
         {emptyMatch, single},
         {PacketEvent(std::vector<Tsbk>{emptyMatch}), SingleEvent(single)}},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Tsbk> input = c.input;
        input.push_back(single);  // the stream carries on normally after each case
        std::vector<std::string> expected = c.expected;
        expected.push_back(SingleEvent(single));

        TBSKQueue queue;
        RecordingSink sink;
        for (const Tsbk& block : input)
            ASSERT_TRUE(queue.Push(block));
        ProcThread thread(queue, sink);
        ASSERT_TRUE(thread.Start());
        WaitUntilDrained(queue);
        thread.Terminate();
        thread.WaitFor();
        EXPECT_EQ(sink.Events(), expected);
    }
}

TEST_F(ProcThreadTest, StopWhileAPacketWaitsForDataBlocksDropsIt)
{
    // Three data blocks announced, one arrives: the thread waits for the rest until stopped.
    const auto packet = MakePacket({0x37}, std::vector<uint8_t>(30, 0x11));
    ASSERT_EQ(packet.size(), 4u);
    EXPECT_TRUE(Run({packet[0], packet[1]}).empty());
}

TEST_F(ProcThreadTest, EndsOnceAndStopsWithoutWork)
{
    EXPECT_TRUE(Run({}).empty());

    ProcThread thread(queue_, sink_);
    EXPECT_TRUE(thread.Start());
    EXPECT_FALSE(thread.Start());  // one loop per thread object
    // The destructor stops and joins a thread nobody terminated.
}

TEST_F(ProcThreadTest, NeverStartedThreadIsDestroyedQuietly)
{
    ProcThread thread(queue_, sink_);
    thread.Terminate();
    thread.WaitFor();
    EXPECT_FALSE(thread.Running());
}

// A producer thread feeds a long mixed stream through the queue while the processing thread
// empties it; every good block and packet must arrive once, in order, and nothing damaged.
TEST_F(ProcThreadTest, ConcurrentStreamArrivesExactlyOnceInOrder)
{
    std::mt19937 rng(20240611);
    auto byte = [&rng] { return static_cast<uint8_t>(rng()); };
    auto randomData = [&](int count) {
        std::vector<Tsbk> blocks;
        for (int i = 0; i < count; ++i) {
            Tsbk block;
            for (auto& b : block)
                b = byte();
            if (TsbkCrcOk(block))
                block[11] ^= 0x01;  // keep the fall-back outcome certain: data blocks fail alone
            blocks.push_back(block);
        }
        return blocks;
    };

    std::vector<Tsbk> stream;
    std::vector<std::string> expected;
    int serial = 0;
    while (stream.size() < 4000) {
        const int kind = static_cast<int>(rng() % 20);
        const int n = ++serial;
        Tsbk single = MakeTsbk({static_cast<uint8_t>(rng() % 0x37), byte(), static_cast<uint8_t>(n >> 8),
                                static_cast<uint8_t>(n), byte(), byte(), byte(), byte(), byte(), byte()});
        Tsbk header{0x37, 0x00, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n), byte(), byte()};
        auto packet = MakePacketFromBlocks(header, randomData(1 + static_cast<int>(rng() % 4)));
        if (kind < 10) {  // good single block
            stream.push_back(single);
            expected.push_back(SingleEvent(single));
        } else if (kind < 13) {  // damaged single block
            stream.push_back(FlipBit(single, static_cast<int>(rng() % 96)));
        } else if (kind < 16) {  // good packet
            Append(stream, packet);
            expected.push_back(PacketEvent(packet));
        } else if (kind < 18) {  // damaged data block: only the header gets through
            packet[1 + rng() % (packet.size() - 1)][rng() % 12] ^= 0x04;
            Append(stream, packet);
            expected.push_back(SingleEvent(packet[0]));
        } else {  // damaged header: its data blocks are dropped one by one
            packet[0] = FlipBit(packet[0], static_cast<int>(rng() % 96));
            Append(stream, packet);
        }
    }

    ProcThread thread(queue_, sink_);
    thread.SetEndCallback([this] { ++ends_; });
    ASSERT_TRUE(thread.Start());
    std::jthread producer([&](std::stop_token st) {
        for (const Tsbk& block : stream)
            while (!queue_.Push(block))
                queue_.WaitForRoom(st, 10ms);
    });
    producer.join();
    WaitUntilDrained(queue_);
    thread.Terminate();
    thread.WaitFor();

    EXPECT_EQ(ends_, 1);
    const auto events = sink_.Events();
    ASSERT_EQ(events.size(), expected.size());
    for (size_t i = 0; i < events.size(); ++i)
        ASSERT_EQ(events[i], expected[i]) << "event " << i;
}

}  // namespace

namespace {

// The batch notice comes once per batch taken off the queue, after its blocks reached the
// decoder: 150 queued blocks are one batch, and a block pushed later is a batch of its own.
TEST(ProcThreadBatches, OneNoticePerBatchAfterItsBlocksWereDecoded)
{
    TBSKQueue queue;
    RecordingSink sink;
    std::mutex mutex;
    std::vector<size_t> decodedAtNotice;
    for (int i = 0; i < 150; ++i)
        ASSERT_TRUE(queue.Push(MakeTsbk({0x00, 0x00, static_cast<uint8_t>(i)})));
    ProcThread thread(queue, sink);
    thread.SetBatchCallback([&] {
        const std::lock_guard lock(mutex);
        decodedAtNotice.push_back(sink.Events().size());
    });
    ASSERT_TRUE(thread.Start());
    auto notices = [&] {
        const std::lock_guard lock(mutex);
        return decodedAtNotice;
    };
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (notices().empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(queue.Push(MakeTsbk({0x00, 0x00, 0xFF})));
    while (notices().size() < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    thread.Terminate();
    thread.WaitFor();
    EXPECT_EQ(notices(), (std::vector<size_t>{150, 151}));
}

}  // namespace
