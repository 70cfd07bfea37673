#include "link/TBSKQueue.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stop_token>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A block that carries its sequence number, so order and identity can be checked.
Tsbk Numbered(int n)
{
    Tsbk block{};
    block[2] = static_cast<uint8_t>(n >> 8);
    block[3] = static_cast<uint8_t>(n);
    block[11] = 0xA5;
    return block;
}

int NumberOf(const Tsbk& block)
{
    return (block[2] << 8) | block[3];
}

TEST(TBSKQueueTest, FillsToTwoHundredAndRefusesMore)
{
    TBSKQueue queue;
    EXPECT_FALSE(queue.HasData());
    EXPECT_TRUE(queue.HasRoom());
    Tsbk out{};
    EXPECT_FALSE(queue.Pop(out));

    for (int i = 0; i < TBSKQueue::kSlots; ++i)
        ASSERT_TRUE(queue.Push(Numbered(i))) << i;
    EXPECT_FALSE(queue.HasRoom());
    EXPECT_FALSE(queue.Push(Numbered(999)));  // refused without changing anything
    EXPECT_EQ(queue.Count(), TBSKQueue::kSlots);

    for (int i = 0; i < TBSKQueue::kSlots; ++i) {
        ASSERT_TRUE(queue.Pop(out));
        EXPECT_EQ(NumberOf(out), i);
        EXPECT_EQ(out[11], 0xA5);
    }
    EXPECT_FALSE(queue.Pop(out));
    EXPECT_EQ(NamedLock::HeldCount(), 0);
}

TEST(TBSKQueueTest, KeepsArrivalOrderAcrossTheWrap)
{
    TBSKQueue queue;
    Tsbk out{};
    // Move both indices to slot 150, then run 120 blocks through slots 150..199 and 0..69.
    for (int i = 0; i < 150; ++i) {
        ASSERT_TRUE(queue.Push(Numbered(0)));
        ASSERT_TRUE(queue.Pop(out));
    }
    int next = 0;
    for (int i = 0; i < 120; ++i) {
        ASSERT_TRUE(queue.Push(Numbered(1000 + i)));
        if (i % 3 == 2) {  // interleave a few pops with the pushes
            ASSERT_TRUE(queue.Pop(out));
            EXPECT_EQ(NumberOf(out), 1000 + next++);
        }
    }
    while (queue.Pop(out))
        EXPECT_EQ(NumberOf(out), 1000 + next++);
    EXPECT_EQ(next, 120);
}

// Blocks pushed together go in as far as there is room, in order and across the wrap, and wake a
// waiting consumer once.
TEST(TBSKQueueTest, PushingSeveralTakesWhatFitsInOrder)
{
    TBSKQueue queue;
    Tsbk out{};
    for (int i = 0; i < 150; ++i) {  // both indices to slot 150
        ASSERT_TRUE(queue.Push(Numbered(0)));
        ASSERT_TRUE(queue.Pop(out));
    }
    std::array<Tsbk, 120> blocks{};
    for (int i = 0; i < 120; ++i)
        blocks[static_cast<size_t>(i)] = Numbered(100 + i);
    EXPECT_EQ(queue.Push(blocks.data(), 120), 120u);
    EXPECT_EQ(queue.Push(blocks.data(), 0), 0u);
    EXPECT_EQ(queue.Push(blocks.data(), 120), 80u);  // only the room left
    EXPECT_EQ(queue.Push(blocks.data(), 1), 0u);     // full: nothing changed
    EXPECT_EQ(queue.Count(), TBSKQueue::kSlots);
    for (int i = 0; i < TBSKQueue::kSlots; ++i) {
        ASSERT_TRUE(queue.Pop(out));
        EXPECT_EQ(NumberOf(out), 100 + i % 120) << i;
    }

    std::atomic<bool> result{false};
    std::jthread consumer([&](std::stop_token st) { result = queue.WaitForData(st, 600s); });
    EXPECT_EQ(queue.Push(blocks.data(), 3), 3u);
    consumer.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(NamedLock::HeldCount(), 0);
}

TEST(TBSKQueueTest, FreePercentRoundsHalvesUp)
{
    // Free share in whole per cent, halves rounded up.
    const std::pair<int, int> cases[] = {{0, 100},  {1, 100},  {2, 99},  {3, 99}, {100, 50},
                                         {171, 15}, {172, 14}, {199, 1}, {200, 0}};
    for (auto [count, expected] : cases) {
        TBSKQueue queue;
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(queue.Push(Numbered(i)));
        EXPECT_EQ(queue.FreePercent(), expected) << count << " blocks queued";
    }
}

TEST(TBSKQueueTest, WaitsReturnAtOnceWhenAlreadySatisfied)
{
    TBSKQueue queue;
    std::stop_source stop;
    EXPECT_TRUE(queue.WaitForRoom(stop.get_token(), 10s));
    queue.Push(Numbered(1));
    EXPECT_TRUE(queue.WaitForData(stop.get_token(), 10s));
    EXPECT_EQ(NamedLock::HeldCount(), 0);
}

// The waits are bounded by ten minutes here: a missing wake-up shows as a hanging test.
TEST(TBSKQueueTest, PushWakesAWaitingConsumer)
{
    TBSKQueue queue;
    std::atomic<bool> result{false};
    std::jthread consumer([&](std::stop_token st) { result = queue.WaitForData(st, 600s); });
    queue.Push(Numbered(7));
    consumer.join();
    EXPECT_TRUE(result);
}

// A full ring wakes its producer once it has fallen to the low-water mark, by single pops or by
// one batch, so that the producer refills many slots per wake-up.
TEST(TBSKQueueTest, FallingToTheLowWaterMarkWakesAWaitingProducer)
{
    for (const bool batch : {false, true}) {
        TBSKQueue queue;
        for (int i = 0; i < TBSKQueue::kSlots; ++i)
            queue.Push(Numbered(i));
        std::atomic<bool> result{false};
        std::jthread producer([&](std::stop_token st) { result = queue.WaitForRoom(st, 600s); });
        if (batch) {
            std::array<Tsbk, TBSKQueue::kSlots> out{};
            EXPECT_EQ(queue.PopAll(out), TBSKQueue::kSlots);
            EXPECT_EQ(out[0], Numbered(0));
            EXPECT_EQ(out[TBSKQueue::kSlots - 1], Numbered(TBSKQueue::kSlots - 1));
        } else {
            Tsbk out{};
            for (int i = TBSKQueue::kSlots; i > TBSKQueue::kLowWater; --i)
                queue.Pop(out);
        }
        producer.join();
        EXPECT_TRUE(result) << (batch ? "batch" : "single pops");
    }
}

TEST(TBSKQueueTest, StopRequestEndsBothWaits)
{
    TBSKQueue empty;
    TBSKQueue full;
    for (int i = 0; i < TBSKQueue::kSlots; ++i)
        full.Push(Numbered(i));
    std::atomic<bool> gotData{true};
    std::atomic<bool> gotRoom{true};
    std::jthread consumer([&](std::stop_token st) { gotData = empty.WaitForData(st, 600s); });
    std::jthread producer([&](std::stop_token st) { gotRoom = full.WaitForRoom(st, 600s); });
    consumer.request_stop();
    producer.request_stop();
    consumer.join();
    producer.join();
    EXPECT_FALSE(gotData);
    EXPECT_FALSE(gotRoom);

    std::stop_source already;
    already.request_stop();
    EXPECT_FALSE(empty.WaitForData(already.get_token(), 600s));
}

TEST(TBSKQueueTest, TimedWaitEndsWithoutData)
{
    TBSKQueue queue;
    EXPECT_FALSE(queue.WaitForData(std::stop_token{}, 1ms));
    EXPECT_EQ(NamedLock::HeldCount(), 0);
}

TEST(TBSKQueueTest, ConcurrentProducerAndConsumerKeepEveryBlockInOrder)
{
    TBSKQueue queue;
    constexpr int kBlocks = 20000;
    std::jthread producer([&](std::stop_token st) {
        for (int i = 0; i < kBlocks; ++i)
            while (!queue.Push(Numbered(i & 0xFFFF)))
                queue.WaitForRoom(st, 10ms);
    });
    int received = 0;
    bool inOrder = true;
    Tsbk out{};
    while (received < kBlocks) {
        if (!queue.Pop(out)) {
            queue.WaitForData(std::stop_token{}, 5ms);
            continue;
        }
        inOrder = inOrder && NumberOf(out) == (received & 0xFFFF);
        ++received;
        if (received % 1000 == 0) {
            const int free = queue.FreePercent();  // an observer on the consumer side
            EXPECT_GE(free, 0);
            EXPECT_LE(free, 100);
        }
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_FALSE(queue.HasData());
}

}  // namespace
