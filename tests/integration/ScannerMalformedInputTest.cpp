// Lines and replies that are not data are dropped by the reader over a real terminal; the raw
// lines of the text scanners are kept for the raw-data screen.
#include <gtest/gtest.h>

#include "ReaderRig.h"
#include "link/ScannerPollFrame.h"

namespace {

using namespace rig;

const std::string kHex = "00112233445566778899AABB";

struct MalformedCase {
    const char* name;
    int type;
    std::vector<std::string> lines;  // each sent with CR LF between two good blocks
    std::vector<std::string> raw;    // the lines the raw dump keeps of them
};

std::vector<MalformedCase> Cases()
{
    const std::string analyzerData = " 00 11 22 33 44 55 66 77 88 99 AA BB";
    return {
        {"Psr",
         1,
         {"p25,0," + kHex, "P25,0,001122 33445566778899AABB", "P25," + kHex, "P25,0," + kHex + "C",
          "P25,0,00112233445566778899AABG", "P25,0,0011", "GLT,FL,123,0,0,0,0,0,0,0"},
         {"p25,0," + kHex, "P25,0,001122 33445566778899AABB", "P25," + kHex, "P25,0," + kHex + "C",
          "P25,0,00112233445566778899AABG", "GLT,FL,123,0,0,0,0,0,0,0"}},
        {"Uniden",
         2,
         {"P25,0," + kHex, "P25 ," + kHex, "P25,0011223344556677889", "P25" + kHex},
         {"P25,0," + kHex, "P25 ," + kHex, "P25" + kHex}},
        {"Analyzer",
         3,
         {"0000000001xTSBK    " + analyzerData, "0000000001 TSBK    x" + analyzerData.substr(1),
          "0000000001 TSBK    " + analyzerData.substr(0, 35), "short line"},
         {"0000000001xTSBK    " + analyzerData, "0000000001 TSBK    x" + analyzerData.substr(1),
          "0000000001 TSBK    " + analyzerData.substr(0, 35), "short line"}},
    };
}

void PrintTo(const MalformedCase& c, std::ostream* os)
{
    *os << c.name;
}

class MalformedLines : public ::testing::TestWithParam<MalformedCase> { };

TEST_P(MalformedLines, AreDroppedAndOnlyDataLinesGiveBlocks)
{
    const MalformedCase& c = GetParam();
    Rig rig({.scannerType = c.type});
    ASSERT_TRUE(rig.sim.Open());
    std::vector<SimItem> items{SimItem::Block(NumberedBlock(1))};
    for (const std::string& line : c.lines)
        items.push_back(SimItem::Line(line));
    // The last good block shows that every line before it has been judged.
    items.push_back(SimItem::Block(NumberedBlock(2)));
    rig.sim.SetCapture(items);
    ScannerReadConfig config = ReaderConfig(c.type, rig.sim.SlavePath());
    config.rawDump = true;
    ASSERT_TRUE(rig.StartReader(config));
    ASSERT_TRUE(rig.sim.Start());

    EXPECT_EQ(PopBlocks(rig.queue, 2), (std::vector<Tsbk>{NumberedBlock(1), NumberedBlock(2)}));
    // The count follows the push.
    EXPECT_TRUE(WaitUntil([&] { return rig.reader->Blocks() == 2; }));
    EXPECT_EQ(rig.reader->Replies(), TScannerReadThread::kRepliesPerLine);

    // The raw list holds the good lines and the kept malformed ones, in arrival order.
    std::vector<std::string> raw;
    while (rig.reader->HasRawLines())
        raw.push_back(rig.reader->TakeRawLine());
    std::vector<std::string> expected{SimCapture::FormatLine(c.type, NumberedBlock(1), 1)};
    for (const std::string& line : c.raw)
        expected.push_back(line);
    expected.push_back(SimCapture::FormatLine(c.type, NumberedBlock(2), 2 + c.lines.size()));
    for (size_t i : {size_t(0), expected.size() - 1})
        expected[i] = expected[i].substr(0, expected[i].size() - 2);  // without CR LF
    EXPECT_EQ(raw, expected);
    EXPECT_EQ(rig.reader->TakeRawLine(), "");
}

INSTANTIATE_TEST_SUITE_P(TextScanners, MalformedLines, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MalformedLines, RawLinesAreKeptOnlyWhenTheDumpIsOn)
{
    Rig rig({.scannerType = 1});
    ASSERT_TRUE(rig.sim.Open());
    rig.sim.SetCapture(AsItems(NumberedBlocks(0, 3)));
    ASSERT_TRUE(rig.StartReader(ReaderConfig(1, rig.sim.SlavePath())));
    ASSERT_TRUE(rig.sim.Start());
    ASSERT_EQ(PopBlocks(rig.queue, 3).size(), 3u);
    EXPECT_FALSE(rig.reader->HasRawLines());
    EXPECT_EQ(rig.reader->TakeRawLine(), "");
}

std::string Bytes(const ScannerPollFrame::Reply& reply, size_t size = ScannerPollFrame::kReplySize)
{
    return std::string(reply.begin(), reply.begin() + size);
}

TEST(MalformedReplies, PolledRepliesWithoutAcknowledgementOrTooShortAreDroppedButAcknowledged)
{
    auto nak = ScannerPollFrame::BuildReply(NumberedBlock(5));
    nak[ScannerPollFrame::kAckIndex] = 0x15;
    auto shortReply = ScannerPollFrame::BuildReply(NumberedBlock(6));
    Rig rig({.scannerType = 0});
    ASSERT_TRUE(rig.sim.Open());
    rig.sim.SetCapture({SimItem::Block(NumberedBlock(1)), SimItem::Bytes(Bytes(nak)),
                        SimItem::Bytes(Bytes(shortReply, 10)), SimItem::Block(Tsbk{}),
                        SimItem::Block(NumberedBlock(2))});
    ScannerReadConfig config = ReaderConfig(0, rig.sim.SlavePath());
    config.rawDump = true;
    ASSERT_TRUE(rig.StartReader(config));
    ASSERT_TRUE(rig.sim.Start());

    EXPECT_EQ(PopBlocks(rig.queue, 2), (std::vector<Tsbk>{NumberedBlock(1), NumberedBlock(2)}));
    rig.reader->Terminate();
    rig.reader->WaitFor();
    EXPECT_EQ(rig.reader->Blocks(), 2);
    // Every acknowledged reply counts (the all-zero ones too); the two bad ones do not.
    const auto polls = static_cast<int32_t>(rig.sim.PollsAnswered());
    EXPECT_GE(rig.reader->Replies(), polls - 3);
    EXPECT_LE(rig.reader->Replies(), polls - 2);
    // Each answer was acknowledged, the dropped ones too (bar one cut short by the stop).
    EXPECT_GE(rig.sim.AcksSeen() + 1, rig.sim.PollsAnswered());
    EXPECT_FALSE(rig.reader->HasRawLines());  // the polled scanner has no text lines
    EXPECT_EQ(rig.queue.Count(), 0);
}

}  // namespace

namespace {

using namespace rig;

// With nobody taking the raw lines the list stops growing: the oldest go, and are counted.
TEST(RawLines, BoundedWithTheOldestDroppedAndCounted)
{
    constexpr int kExtra = 500;
    const int total = static_cast<int>(TScannerReadThread::kRawLineCapacity) + kExtra;
    Rig rig({.scannerType = 1});
    ASSERT_TRUE(rig.sim.Open());
    rig.sim.SetCapture(AsItems(NumberedBlocks(1, total)));
    ScannerReadConfig config = ReaderConfig(1, rig.sim.SlavePath());
    config.rawDump = true;
    ASSERT_TRUE(rig.StartReader(config));
    ASSERT_TRUE(rig.sim.Start());
    ASSERT_EQ(PopBlocks(rig.queue, static_cast<size_t>(total), 60s).size(), static_cast<size_t>(total));
    ASSERT_TRUE(WaitUntil([&] { return rig.reader->Blocks() == total; }));

    EXPECT_EQ(rig.reader->RawLinesDropped(), static_cast<uint64_t>(kExtra));
    std::vector<std::string> raw = rig.reader->TakeRawLines(static_cast<size_t>(total));
    ASSERT_EQ(raw.size(), TScannerReadThread::kRawLineCapacity);
    std::string first = SimCapture::FormatLine(1, NumberedBlock(1 + kExtra), 1 + kExtra);
    EXPECT_EQ(raw.front(), first.substr(0, first.size() - 2));  // the oldest kept, without CR LF
    EXPECT_FALSE(rig.reader->HasRawLines());
}

}  // namespace
