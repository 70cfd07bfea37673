// The reader thread over a real pseudo-terminal with the scanner simulator on the other side:
// every block the scanner prints reaches the queue exactly once and in order.
#include <gtest/gtest.h>

#include <set>

#include "ReaderRig.h"

namespace {

using namespace rig;

const char* TypeName(int type)
{
    static const char* names[] = {"Polled", "Psr", "Uniden", "Analyzer"};
    return names[type];
}

class ScannerReaderTypes : public ::testing::TestWithParam<int> { };

TEST_P(ScannerReaderTypes, BlocksArriveExactlyOnceAndInOrder)
{
    const int type = GetParam();
    const int count = type == 0 ? 60 : 300;  // the polled scanner gives one block per poll
    Rig rig({.scannerType = type});
    ASSERT_TRUE(rig.sim.Open()) << rig.sim.ErrorText();
    auto blocks = NumberedBlocks(0, count);
    rig.sim.SetCapture(AsItems(blocks));
    ASSERT_TRUE(rig.StartReader(ReaderConfig(type, rig.sim.SlavePath())));
    ASSERT_TRUE(rig.sim.Start());

    EXPECT_EQ(PopBlocks(rig.queue, count), blocks);
    EXPECT_TRUE(WaitUntil([&] { return rig.reader->Blocks() == count; }));  // counted after the push
    if (type == 0) {
        // Every acknowledged reply counts, the all-zero ones too; each reply is acknowledged.
        EXPECT_GE(rig.reader->Replies(), count);
        EXPECT_TRUE(WaitUntil([&] { return rig.sim.AcksSeen() >= size_t(count); }));
    } else {
        EXPECT_EQ(rig.reader->Replies(), TScannerReadThread::kRepliesPerLine);
    }
    // The PSR family is told to start its data output once, while the device is prepared.
    EXPECT_EQ(rig.sim.StartCommandsSeen(), type == 1 ? 1u : 0u);

    int32_t replies = 0, taken = 0;
    rig.reader->TakeCounters(replies, taken);
    EXPECT_EQ(taken, count);
    EXPECT_EQ(rig.reader->Blocks(), 0);

    rig.reader->Terminate();
    rig.reader->WaitFor();
    EXPECT_FALSE(rig.reader->Running());
    EXPECT_EQ(rig.queue.Count(), 0);
    EXPECT_EQ(rig.CountEvents("end"), 1u);
}

// The queue is full: the reader reads nothing more (the line backs up into the terminal and the
// simulator) and loses nothing; once the queue empties everything comes through in order.
TEST_P(ScannerReaderTypes, AFullQueueStopsTheReadingAndLosesNoBlock)
{
    const int type = GetParam();
    // More than the queue plus the terminal's buffers hold, for the text scanners.
    const int count = type == 0 ? 260 : 3000;
    Rig rig({.scannerType = type});
    ASSERT_TRUE(rig.sim.Open());
    auto blocks = NumberedBlocks(1000, count);
    rig.sim.SetCapture(AsItems(blocks));
    ASSERT_TRUE(rig.StartReader(ReaderConfig(type, rig.sim.SlavePath())));
    ASSERT_TRUE(rig.sim.Start());

    ASSERT_TRUE(WaitUntil([&] { return !rig.queue.HasRoom(); }));
    const size_t polls = rig.sim.PollsAnswered();
    std::this_thread::sleep_for(100ms);  // time for a reader that wrongly went on reading
    EXPECT_EQ(rig.queue.Count(), TBSKQueue::kSlots);
    EXPECT_EQ(rig.reader->Blocks(), TBSKQueue::kSlots);
    if (type == 0)
        EXPECT_LE(rig.sim.PollsAnswered(), polls + 1);  // at most the poll already under way
    else
        EXPECT_LT(rig.sim.ItemsSent(), size_t(count));

    EXPECT_EQ(PopBlocks(rig.queue, count), blocks);
}

TEST_P(ScannerReaderTypes, AStopRequestEndsTheReaderWhileTheQueueIsFull)
{
    const int type = GetParam();
    Rig rig({.scannerType = type});
    ASSERT_TRUE(rig.sim.Open());
    rig.sim.SetCapture(AsItems(NumberedBlocks(0, 400)));
    ASSERT_TRUE(rig.StartReader(ReaderConfig(type, rig.sim.SlavePath())));
    ASSERT_TRUE(rig.sim.Start());
    ASSERT_TRUE(WaitUntil([&] { return !rig.queue.HasRoom(); }));
    rig.reader->Terminate();
    rig.reader->WaitFor();
    EXPECT_EQ(rig.CountEvents("end"), 1u);
    EXPECT_EQ(rig.queue.Count(), TBSKQueue::kSlots);
}

INSTANTIATE_TEST_SUITE_P(AllScannerTypes, ScannerReaderTypes, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(TypeName(info.param)); });

TEST(ScannerReaderPlayback, ALoopedPacedCaptureRepeatsInOrder)
{
    Rig rig({.scannerType = 2, .blocksPerSecond = 400, .loop = true});
    ASSERT_TRUE(rig.sim.Open());
    auto blocks = NumberedBlocks(7, 5);
    rig.sim.SetCapture(AsItems(blocks));
    ASSERT_TRUE(rig.StartReader(ReaderConfig(2, rig.sim.SlavePath())));
    ASSERT_TRUE(rig.sim.Start());
    std::vector<Tsbk> expected;
    for (int i = 0; i < 12; ++i)
        expected.push_back(blocks[i % 5]);
    EXPECT_EQ(PopBlocks(rig.queue, expected.size()), expected);
}

// Written in bursts, the lines that fell due go out together, all of them and in order; the
// capture's end closes a burst, so a loop starts the next one from its first item.
TEST(ScannerReaderPlayback, ABurstyPacedCaptureArrivesInGroupsInOrder)
{
    Rig rig({.scannerType = 1, .blocksPerSecond = 400, .loop = true, .burstInterval = 50ms});
    ASSERT_TRUE(rig.sim.Open());
    auto blocks = NumberedBlocks(11, 30);
    rig.sim.SetCapture(AsItems(blocks));
    ASSERT_TRUE(rig.StartReader(ReaderConfig(1, rig.sim.SlavePath())));
    ASSERT_TRUE(rig.sim.Start());
    // The items of a write are counted as its bytes go out: a few values per burst (more when a
    // slow reader splits the writes), not one per item.
    std::set<size_t> seen;
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (rig.sim.ItemsSent() < 60 && std::chrono::steady_clock::now() < deadline) {
        seen.insert(rig.sim.ItemsSent());
        std::this_thread::yield();
    }
    EXPECT_LT(seen.size(), 40u) << "items written one by one";
    std::vector<Tsbk> expected = blocks;
    expected.insert(expected.end(), blocks.begin(), blocks.end());
    EXPECT_EQ(PopBlocks(rig.queue, expected.size()), expected);
}

TEST(ScannerReaderPlayback, AnOutOfRangeScannerTypeIsThePolledOne)
{
    Rig rig({.scannerType = 0});
    ASSERT_TRUE(rig.sim.Open());
    auto blocks = NumberedBlocks(3, 4);
    rig.sim.SetCapture(AsItems(blocks));
    ASSERT_TRUE(rig.StartReader(ReaderConfig(9, rig.sim.SlavePath())));
    ASSERT_TRUE(rig.sim.Start());
    EXPECT_EQ(PopBlocks(rig.queue, blocks.size()), blocks);
    EXPECT_EQ(TScannerReadThread::BitRateFor(rig.reader->Config()), 19200u);
}

TEST(ScannerReaderPlayback, BitRatesFollowTheScannerType)
{
    ScannerReadConfig config;
    config.unidenSpeed = 57600;
    const uint32_t expected[] = {19200, 115200, 57600, 115200, 19200};
    for (int type = 0; type <= 4; ++type) {
        config.scannerType = type;
        EXPECT_EQ(TScannerReadThread::BitRateFor(config), expected[type]) << "type " << type;
    }
}

}  // namespace
