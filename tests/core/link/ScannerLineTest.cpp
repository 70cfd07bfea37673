// Line framing and the field rules of the text scanners, and the binary poll frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "link/ScannerLineFramer.h"
#include "link/ScannerPollFrame.h"

namespace {

const std::string kHex = "00112233445566778899AABB";
const Tsbk kBlock = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB};

// The analyzer's columns: counter (0..9), blank, label (11..18), blank, data from column 20.
std::string AnalyzerLine(const std::string& data, char col10 = ' ', char col19 = ' ')
{
    std::string line = "0000000001" + std::string(1, col10) + "TSBK    " + std::string(1, col19);
    return line + data;
}

struct LineCase {
    const char* name;
    int type;
    std::string line;
    bool keepRaw;
    bool reply;
    bool block;
};

std::vector<LineCase> LineCases()
{
    const std::string spaced = "00 11 22 33 44 55 66 77 88 99 AA BB";  // 35 characters, 20..54
    return {
        {"PsrDataLine", 1, "P25,0," + kHex, true, true, true},
        {"PsrFourthFieldStillAccepted", 1, "P25,0," + kHex + ",7", true, true, true},
        {"PsrColonsAndLowerCaseHex", 1, "P25:0:00112233445566778899aabb", true, true, true},
        {"PsrEmptySecondField", 1, "P25,," + kHex, true, true, true},
        {"PsrTextAfterBlankIgnored", 1, "P25,0," + kHex + " comment,x", true, true, true},
        {"PsrLowerCaseP25NotData", 1, "p25,0," + kHex, true, true, false},
        {"PsrBlankCutsDataField", 1, "P25,0,001122 33445566778899AABB", true, true, false},
        {"PsrOnlyTwoFields", 1, "P25," + kHex, true, false, false},
        {"PsrTwentyFiveDigits", 1, "P25,0," + kHex + "C", true, true, false},
        {"PsrNonHexDigit", 1, "P25,0,00112233445566778899AABG", true, true, false},
        {"PsrStatusLineCountsAsReply", 1, "GLT,FL,123,0,0,0,0,0,0,0", true, true, false},
        {"PsrTwentyFourCharsKept", 1, "ABCDEFGHIJ,KLMNOPQRST,UV", true, true, false},
        {"PsrTwentyThreeCharsDropped", 1, "ABCDEFGHIJ,KLMNOPQRST,U", false, false, false},
        {"PsrTrailingSeparatorNoField", 1, "P25ABCDEFGHIJKLMNOPQRST,,", true, false, false},
        {"UnidenDataLine", 2, "P25," + kHex, true, true, true},
        {"UnidenExtraFields", 2, "P25," + kHex + ",1,2", true, true, true},
        {"UnidenBlankKeptInField0", 2, "P25 ," + kHex, true, true, false},
        {"UnidenBlankInsideData", 2, "P25,001122 33445566778899AABB", true, true, false},
        {"UnidenPsrFormNotData", 2, "P25,0," + kHex, true, true, false},
        {"UnidenOneFieldNoReply", 2, "P25" + kHex, true, false, false},
        {"UnidenShortDropped", 2, "P25,0011223344556677889", false, false, false},
        {"AnalyzerSpacedPairs", 3, AnalyzerLine(spaced), true, true, true},
        {"AnalyzerGroupsOfFour", 3, AnalyzerLine("0011 2233 4455 6677 8899 AABB      "), true, true, true},
        {"AnalyzerTextBeyondColumn54Ignored", 3, AnalyzerLine(spaced + " FF FF"), true, true, true},
        {"AnalyzerNonBlankColumn10", 3, AnalyzerLine(spaced, 'x'), true, false, false},
        {"AnalyzerNonBlankColumn19", 3, AnalyzerLine(spaced, ' ', 'x'), true, false, false},
        {"AnalyzerFiftyFourChars", 3, AnalyzerLine(spaced.substr(0, 34)), true, false, false},
        {"AnalyzerTwentyThreeDigits", 3, AnalyzerLine(spaced.substr(0, 34) + " "), true, false, false},
        {"AnalyzerTwentyFiveDigits", 3, AnalyzerLine("0" + kHex + std::string(10, ' ')), true, false, false},
        {"AnalyzerEmptyLineNotKept", 3, "", false, false, false},
        {"PolledTypeJudgesNoLine", 0, "P25,0," + kHex, false, false, false},
        {"HexBareBlock", 4, kHex, true, true, true},
        {"HexSpacedPairs", 4, spaced, true, true, true},
        {"HexTwentyThreeDigits", 4, kHex.substr(1), true, false, false},
        {"HexTwentyFiveDigits", 4, kHex + "0", true, false, false},
        {"HexCommentLine", 4, "# " + kHex, true, false, false},
        {"HexPsrLineIsNotBare", 4, "P25,0," + kHex, true, false, false},
        {"PsrBareBlockIsNoBlock", 1, kHex, true, false, false},
    };
}

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

class ScannerLineJudge : public ::testing::TestWithParam<LineCase> { };

TEST_P(ScannerLineJudge, KeepsCountsAndConvertsAsTheScannerTypeSays)
{
    const LineCase& c = GetParam();
    ScannerLine result = ScannerLineFramer::Judge(c.type, c.line);
    EXPECT_EQ(result.keepRaw, c.keepRaw);
    EXPECT_EQ(result.reply, c.reply);
    ASSERT_EQ(result.hasBlock, c.block);
    if (c.block) {
        EXPECT_EQ(result.block, kBlock);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ScannerLineJudge, ::testing::ValuesIn(LineCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScannerLineFields, SeparatorsMakeFieldsAndATrailingEmptyTextIsNone)
{
    using V = std::vector<std::string_view>;
    EXPECT_EQ(ScannerLineFramer::SplitFields("a,b:c"), (V{"a", "b", "c"}));
    EXPECT_EQ(ScannerLineFramer::SplitFields("a,,c"), (V{"a", "", "c"}));
    EXPECT_EQ(ScannerLineFramer::SplitFields("a,b,"), (V{"a", "b"}));
    EXPECT_EQ(ScannerLineFramer::SplitFields(",,"), (V{"", ""}));
    EXPECT_EQ(ScannerLineFramer::SplitFields("abc"), (V{"abc"}));
    EXPECT_TRUE(ScannerLineFramer::SplitFields("").empty());
}

// Feeds text and returns the lines it completed.
std::vector<std::string> FeedAll(ScannerLineFramer& framer, const std::string& bytes)
{
    std::vector<std::string> lines;
    for (char c : bytes)
        if (framer.Feed(static_cast<uint8_t>(c)))
            lines.push_back(framer.Line());
    return lines;
}

// Taking the bytes a line at a time gives the lines, and the point where each ends, that byte by
// byte gives, whatever the bytes and however they are cut into reads.
TEST(ScannerLineFraming, LineAtATimeFramesAsByteByByte)
{
    std::string high;
    for (char c : "P25,0," + kHex)
        high.push_back(static_cast<char>(c | 0x80));
    const std::string inputs[] = {
        "P25,0," + kHex + "\r\nP25,0," + kHex + "\r\n",
        "\r\n\n\rshort\n",
        high + "\r\n",
        std::string("ab") + static_cast<char>(0x8D) + "cd\n",
        std::string("P25,0,\0", 7) + kHex + "\r",
        std::string(1019, 'A') + "XYZ\n" + std::string(1020, 'A') + "XYZ\n",
        std::string(3000, 'B') + "\nP25,0," + kHex + "\r",
        std::string(1015, 'C') + std::string("\0", 1) + "DEFGH\n",
        "no end",
    };
    for (const std::string& input : inputs) {
        ScannerLineFramer reference(1);
        std::vector<std::pair<size_t, std::string>> expected;
        for (size_t i = 0; i < input.size(); ++i)
            if (reference.Feed(static_cast<uint8_t>(input[i])))
                expected.emplace_back(i + 1, reference.Line());
        for (const size_t chunk : {size_t{1}, size_t{7}, size_t{1000}, input.size()}) {
            ScannerLineFramer framer(1);
            std::vector<std::pair<size_t, std::string>> lines;
            const auto* bytes = reinterpret_cast<const uint8_t*>(input.data());
            for (size_t start = 0; start < input.size(); start += chunk) {
                const size_t end = std::min(input.size(), start + chunk);
                for (size_t i = start; i < end;) {
                    bool ended = false;
                    i += framer.FeedUntilLineEnd(bytes + i, end - i, ended);
                    if (ended)
                        lines.emplace_back(i, framer.Line());
                }
            }
            EXPECT_EQ(lines, expected) << input.substr(0, 40) << " in reads of " << chunk;
        }
    }
}

// The PSR and Uniden forms judge a line by its fields as SplitFields cuts them.
TEST(ScannerLineFields, JudgingAgreesWithTheSplitFields)
{
    const std::string lines[] = {"P25,0," + kHex,
                                 "P25,0," + kHex + ",",
                                 "P25,0," + kHex + ",x,y",
                                 "P25:0:" + kHex,
                                 "P25,," + kHex,
                                 "P25,0,",
                                 "P25," + kHex,
                                 "P25," + kHex + ",",
                                 ",P25,0," + kHex,
                                 "P26,0," + kHex,
                                 "P25,0," + kHex + "0",
                                 "P25,0,,,,,,,,,,,,,,,,,,,,",
                                 "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                                 "P25,0," + kHex + " note"};
    for (const std::string& line : lines) {
        for (const int type : {1, 2}) {
            const size_t dataField = type == 1 ? 2 : 1;
            const std::string_view text = type == 1 ? std::string_view(line).substr(0, line.find(' ')) : line;
            const auto fields = ScannerLineFramer::SplitFields(text);
            const ScannerLine judged = ScannerLineFramer::Judge(type, line);
            if (line.size() <= ScannerLineFramer::kShortLineMax) {
                EXPECT_FALSE(judged.reply) << line;
                continue;
            }
            EXPECT_EQ(judged.reply, fields.size() > dataField) << type << " " << line;
            const bool block = fields.size() > dataField && fields[0] == "P25" &&
                               fields[dataField].size() == ScannerLineFramer::kHexDigits;
            EXPECT_EQ(judged.hasBlock, block) << type << " " << line;
        }
    }
}

TEST(ScannerLineFraming, CrAndLfEachEndALineAndBitSevenIsDropped)
{
    ScannerLineFramer framer(1);
    std::string high;
    for (char c : "P25,0," + kHex)
        high.push_back(static_cast<char>(c | 0x80));
    auto lines = FeedAll(framer, high + "\r\nnext\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "P25,0," + kHex);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "next");
    framer.Feed('\r');
    EXPECT_EQ(framer.Line(), "");
}

TEST(ScannerLineFraming, CarriageReturnWithBitSevenStillEndsTheLine)
{
    ScannerLineFramer framer(2);
    auto lines = FeedAll(framer, std::string("ab") + static_cast<char>(0x8D) + "cd\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"ab", "cd"}));
}

TEST(ScannerLineFraming, NulBytesAreIgnored)
{
    ScannerLineFramer framer(1);
    auto lines = FeedAll(framer, std::string("P25,0,\0", 7) + kHex + "\r");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(framer.JudgeLine().hasBlock);
}

TEST(ScannerLineFraming, AnOverlongLineRestartsTheBufferWithoutOverflow)
{
    // The buffer is emptied before an append once it holds more than 1,019 characters.
    ScannerLineFramer framer(1);
    EXPECT_EQ(FeedAll(framer, std::string(1020, 'A') + "XYZ\n"), (std::vector<std::string>{"XYZ"}));
    EXPECT_EQ(FeedAll(framer, std::string(1019, 'A') + "XYZ\n"), (std::vector<std::string>{"YZ"}));
    auto lines = FeedAll(framer, std::string(5000, 'B') + "\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LE(lines[0].size(), ScannerLineFramer::kMaxLineChars + 1);
    // The framer is whole afterwards: the next data line converts.
    FeedAll(framer, "P25,0," + kHex + "\r");
    EXPECT_EQ(framer.JudgeLine().block, kBlock);
}

TEST(ScannerLineFraming, ResetForgetsAPartLine)
{
    ScannerLineFramer framer(1);
    FeedAll(framer, "P25,0,0011");
    framer.Reset();
    auto lines = FeedAll(framer, "P25,0," + kHex + "\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "P25,0," + kHex);
}

TEST(ScannerPollFrames, CommandsCarryTheirChecksum)
{
    EXPECT_EQ(ScannerPollFrame::PollCommand(), (ScannerPollFrame::Command{0x02, 0x39, 0x44, 0x03, 0x80}));
    EXPECT_EQ(ScannerPollFrame::StartCommand(), (ScannerPollFrame::Command{0x02, 0x43, 0x01, 0x03, 0x47}));
}

TEST(ScannerPollFrames, RepliesAreJudgedByLengthAcknowledgementAndBlock)
{
    using Kind = ScannerPollFrame::ReplyKind;
    Tsbk out{};
    auto reply = ScannerPollFrame::BuildReply(kBlock);
    EXPECT_EQ(ScannerPollFrame::ParseReply(reply.data(), reply.size(), out), Kind::kBlock);
    EXPECT_EQ(out, kBlock);

    auto empty = ScannerPollFrame::BuildReply(Tsbk{});
    EXPECT_EQ(ScannerPollFrame::ParseReply(empty.data(), empty.size(), out), Kind::kEmpty);

    // Bytes summing to 256 are still a block: only all-zero means nothing.
    Tsbk wraps{};
    wraps[0] = 0x80;
    wraps[1] = 0x80;
    auto wrapReply = ScannerPollFrame::BuildReply(wraps);
    EXPECT_EQ(ScannerPollFrame::ParseReply(wrapReply.data(), wrapReply.size(), out), Kind::kBlock);

    auto nak = reply;
    nak[ScannerPollFrame::kAckIndex] = 0x15;
    EXPECT_EQ(ScannerPollFrame::ParseReply(nak.data(), nak.size(), out), Kind::kDropped);
    EXPECT_EQ(ScannerPollFrame::ParseReply(reply.data(), reply.size() - 1, out), Kind::kDropped);
}

}  // namespace
