#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "support/DecoderFixture.h"

// Channel grants and updates decoded end to end: each row is one block (bytes 0..9, CRC added),
// the packet dump description it must produce word for word, and the state it must leave behind
// on a freshly identified site with the built-in band plans (identifier 0: 800 MHz, 1: 700 MHz).

namespace {

constexpr uint32_t kVoice = 0x04, kData = 0x08, kCwid = 0x10, kPrivate = 0x20, kPhone = 0x40;
constexpr int32_t kNewTalkgroupPriority = 50;

struct LineState {
    int32_t channel;
    std::string usage;
    int32_t target;
    int32_t source;
    std::string status;
    uint32_t flags;
    int32_t hits;
    bool operator==(const LineState&) const = default;
};

void PrintTo(const LineState& s, std::ostream* os)
{
    *os << "{ch " << s.channel << " '" << s.usage << "' target " << s.target << " source " << s.source << " '"
        << s.status << "' flags " << s.flags << " hits " << s.hits << "}";
}

struct LogState {
    std::string type;
    int32_t channel;
    int32_t target;
    int32_t source;
    std::string status;
    int32_t priority;
    bool operator==(const LogState&) const = default;
};

void PrintTo(const LogState& s, std::ostream* os)
{
    *os << "{'" << s.type << "' ch " << s.channel << " target " << s.target << " source " << s.source << " '"
        << s.status << "' priority " << s.priority << "}";
}

struct GrantRow {
    const char* name;
    std::array<uint8_t, 10> bytes;
    std::string description = {};  // empty: the block must leave no description at all
    std::vector<LineState> lines = {};
    std::vector<LogState> log = {};
    std::vector<int32_t> talkgroups = {};  // exactly the talkgroups noted
    std::string callSigns = {};
};

void PrintTo(const GrantRow& row, std::ostream* os)
{
    *os << row.name;
}

Tsbk Block(const std::array<uint8_t, 10>& bytes)
{
    Tsbk b{};
    std::copy(bytes.begin(), bytes.end(), b.begin());
    return testsupport::WithCrc16(b);
}

class GrantHandlersTest : public testsupport::DecoderFixture {
protected:
    std::vector<LineState> LineStates()
    {
        std::vector<LineState> out;
        for (const FreqInfo& f : Channels())
            out.push_back({f.channel, f.usage, f.target, f.source, f.status, f.usageFlags, f.hits});
        return out;
    }

    std::vector<LogState> LogStates()
    {
        std::vector<LogState> out;
        for (const GRANTLOG& e : GrantEntries())
            out.push_back({e.type, e.channel, e.target, e.source, e.status, e.priority});
        return out;
    }

    std::string CallSigns()
    {
        SystemInfo info;
        decoder->CopySystemInfo(info);
        return info.callSigns;
    }
};

class GrantRowTest : public GrantHandlersTest, public ::testing::WithParamInterface<GrantRow> { };

TEST_P(GrantRowTest, DescribesAndRecordsTheBlock)
{
    const GrantRow& row = GetParam();
    EXPECT_EQ(decoder->DecodeTsbk(Block(row.bytes)), 1);

    const std::vector<std::string> expectedDump =
        row.description.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.description};
    EXPECT_EQ(DumpTexts(), expectedDump);
    EXPECT_TRUE(EventTexts().empty());
    EXPECT_TRUE(UnknownTexts().empty());
    EXPECT_EQ(LineStates(), row.lines);
    EXPECT_EQ(LogStates(), row.log);
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), static_cast<int>(row.talkgroups.size()));
    for (int32_t tg : row.talkgroups)
        EXPECT_TRUE(decoder->Talkgroups().IsTalkgroupKnown(tg)) << tg;
    EXPECT_EQ(CallSigns(), row.callSigns);
}

std::string RowName(const ::testing::TestParamInfo<GrantRow>& info)
{
    return info.param.name;
}

// Grants of one channel to a talkgroup (voice, patched, explicit, data).
const GrantRow kGroupGrantRows[] = {
    {.name = "EmergencyGroupVoiceGrant",
     .bytes = {0x00, 0x00, 0x80, 0x10, 0x05, 0x00, 0x64, 0x12, 0x34, 0x56},
     .description = "Group Voice Grant - Group: 100 Channel: 1-0005(764.03125) Radio ID: 1193046 Notes: Emrg",
     .lines = {{0x1005, "Group", 100, 1193046, "Emrg", kVoice, 1}},
     .log = {{"Group", 0x1005, 100, 1193046, "Emrg", kNewTalkgroupPriority}},
     .talkgroups = {100}},
    {.name = "EmergencyWinsOverEncryption",
     .bytes = {0x00, 0x00, 0xC0, 0x00, 0x10, 0x00, 0xC8, 0x00, 0x00, 0x01},
     .description = "Group Voice Grant - Group: 200 Channel: 0-0016(851.10625) Radio ID: 1 Notes: Emrg",
     .lines = {{0x0010, "Group", 200, 1, "Emrg", kVoice, 1}},
     .log = {{"Group", 0x0010, 200, 1, "Emrg", kNewTalkgroupPriority}},
     .talkgroups = {200}},
    {.name = "EncryptedGroupVoiceGrant",
     .bytes = {0x00, 0x00, 0x40, 0x00, 0x10, 0x00, 0xC8, 0x00, 0x00, 0x01},
     .description = "Group Voice Grant - Group: 200 Channel: 0-0016(851.10625) Radio ID: 1 Notes: Enc",
     .lines = {{0x0010, "Group", 200, 1, "Enc", kVoice, 1}},
     .log = {{"Group", 0x0010, 200, 1, "Enc", kNewTalkgroupPriority}},
     .talkgroups = {200}},
    {.name = "OtherServiceOptionsHaveNoNotes",
     .bytes = {0x00, 0x00, 0x04, 0x00, 0x10, 0x00, 0xC8, 0x00, 0x00, 0x01},
     .description = "Group Voice Grant - Group: 200 Channel: 0-0016(851.10625) Radio ID: 1",
     .lines = {{0x0010, "Group", 200, 1, "", kVoice, 1}},
     .log = {{"Group", 0x0010, 200, 1, "", kNewTalkgroupPriority}},
     .talkgroups = {200}},
    {.name = "GroupVoiceGrantToTalkgroupZeroDoesNothing",
     .bytes = {0x00, 0x00, 0x80, 0x10, 0x05, 0x00, 0x00, 0x12, 0x34, 0x56}},
    {.name = "PatchedGroupVoiceGrant",
     .bytes = {0x02, 0x90, 0x40, 0x10, 0x03, 0x01, 0xF4, 0x00, 0x30, 0x39},
     .description = "Patched Group Voice Grant - Mfg 90(Motorola) Group: 500 Channel: 1-0003(764.01875) "
                    "Radio ID: 12345 Notes: Enc",
     .lines = {{0x1003, "Group", 500, 12345, "Enc", kVoice, 1}},
     .log = {{"Group", 0x1003, 500, 12345, "Enc", kNewTalkgroupPriority}},
     .talkgroups = {500}},
    {.name = "ExplicitGroupVoiceGrantShowsTransmitFrequency",
     .bytes = {0x03, 0x00, 0x80, 0x00, 0x10, 0x05, 0x10, 0x06, 0x00, 0x64},
     .description = "Explicit Group Voice Grant - Group: 100 RX Channel: 1-0005(764.03125) "
                    "TX Channel: 1-0006(794.03750) Notes: Emrg",
     .lines = {{0x1005, "Group", 100, 0, "Emrg", kVoice, 1}},
     .talkgroups = {100}},
    {.name = "GroupDataGrantHasNoNotes",
     .bytes = {0x11, 0x00, 0x40, 0x10, 0x05, 0x01, 0x2C, 0x00, 0x00, 0x07},
     .description = "Group Data Channel Grant - Group : 300 Channel: 1-0005(764.03125) RadioID : 7",
     .lines = {{0x1005, "GrpData", 300, 7, "Enc", kData, 1}},
     .log = {{"GrpData", 0x1005, 300, 7, "Enc", kNewTalkgroupPriority}},
     .talkgroups = {300}},
    {.name = "GroupDataGrantToTalkgroupZeroDoesNothing",
     .bytes = {0x11, 0x00, 0x40, 0x10, 0x05, 0x00, 0x00, 0x00, 0x00, 0x07}},
};
INSTANTIATE_TEST_SUITE_P(GroupGrants, GrantRowTest, ::testing::ValuesIn(kGroupGrantRows), RowName);

// Updates naming two channel/talkgroup pairs.
const GrantRow kPairUpdateRows[] = {
    {.name = "GroupVoiceGrantUpdate",
     .bytes = {0x02, 0x00, 0x10, 0x01, 0x00, 0x64, 0x10, 0x02, 0x00, 0xC8},
     .description = "Group Voice Grant Update - Group: 100 Channel: 1-0001(764.00625) Group: 200 Channel: "
                    "1-0002(764.01250)",
     .lines = {{0x1001, "Group", 100, 0, "", kVoice, 1}, {0x1002, "Group", 200, 0, "", kVoice, 1}},
     .talkgroups = {100, 200}},
    {.name = "EqualPairsRecordOneUpdate",
     .bytes = {0x02, 0x00, 0x10, 0x01, 0x00, 0x64, 0x10, 0x01, 0x00, 0x64},
     .description = "Group Voice Grant Update - Group: 100 Channel: 1-0001(764.00625) Group: 100 Channel: "
                    "1-0001(764.00625)",
     .lines = {{0x1001, "Group", 100, 0, "", kVoice, 1}},
     .talkgroups = {100}},
    // The second pair is recorded only for another channel; its talkgroup is still noted.
    {.name = "SameChannelKeepsTheFirstTalkgroup",
     .bytes = {0x02, 0x00, 0x10, 0x01, 0x00, 0x64, 0x10, 0x01, 0x00, 0xC8},
     .description = "Group Voice Grant Update - Group: 100 Channel: 1-0001(764.00625) Group: 200 Channel: "
                    "1-0001(764.00625)",
     .lines = {{0x1001, "Group", 100, 0, "", kVoice, 1}},
     .talkgroups = {100, 200}},
    {.name = "PatchedGroupVoiceGrantUpdate",
     .bytes = {0x03, 0x90, 0x10, 0x01, 0x00, 0x64, 0x10, 0x02, 0x00, 0xC8},
     .description = "Patched Group Voice Grant Update - Mfg 90(Motorola) Group: 100 Channel: 1-0001(764.00625) "
                    "Group: 200 Channel: 1-0002(764.01250)",
     .lines = {{0x1001, "Group", 100, 0, "", kVoice, 1}, {0x1002, "Group", 200, 0, "", kVoice, 1}},
     .talkgroups = {100, 200}},
    {.name = "GroupDataGrantUpdateCountsNoHit",
     .bytes = {0x12, 0x00, 0x00, 0x05, 0x01, 0x2C, 0x00, 0x06, 0x01, 0x2D},
     .description = "Group Data Grant Update - Group: 300 Channel: 0-0005(851.03750) Group: 301 Channel: "
                    "0-0006(851.04375)",
     .lines = {{0x0005, "GrpData", 300, 0, "", kData, 0}, {0x0006, "GrpData", 301, 0, "", kData, 0}},
     .talkgroups = {300, 301}},
};
INSTANTIATE_TEST_SUITE_P(PairUpdates, GrantRowTest, ::testing::ValuesIn(kPairUpdateRows), RowName);

// Unit-to-unit and telephone calls. The calling radio (bytes 7..9) becomes the line's target before
// the grant is recorded, so the grant finds it there and counts no hit.
const GrantRow kIndividualCallRows[] = {
    {.name = "UnitToUnitVoiceGrant",
     .bytes = {0x04, 0x00, 0x10, 0x05, 0x00, 0x00, 0x64, 0x00, 0x00, 0xC8},
     .description = "Unit-Unit Voice Grant - Channel: 1-0005(764.03125) From : 200 To: 100",
     .lines = {{0x1005, "Private", 200, 100, "", kVoice | kPrivate, 0}},
     .log = {{"Private", 0x1005, 200, 100, "", 1}}},
    {.name = "UnitToUnitVoiceGrantUpdate",
     .bytes = {0x06, 0x00, 0x10, 0x05, 0x00, 0x00, 0x64, 0x00, 0x00, 0xC8},
     .description = "Unit-Unit Voice Grant Update - Channel: 1-0005(764.03125) From : 200 To: 100",
     .lines = {{0x1005, "Private", 200, 100, "", kVoice | kPrivate, 0}}},
    {.name = "UnitToUnitExplicitGrantNamesNoRadio",
     .bytes = {0x07, 0x00, 0x00, 0x00, 0x10, 0x05, 0x10, 0x06, 0x00, 0x64},
     .description = "Unit-Unit Explicit Voice Grant - Group: 100 RX Channel: 1-0005(764.03125) "
                    "TX Channel: 1-0006(794.03750)",
     .lines = {{0x1005, "Private", -1, -1, "", kVoice | kPrivate, 0}}},
    {.name = "TelephoneVoiceGrant",
     .bytes = {0x08, 0x00, 0x00, 0x10, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00},
     .description = "Telephone Voice Grant - Channel: 1-0005(764.03125) Radio ID : 256",
     .lines = {{0x1005, "Phone", 0, 256, "", kPhone, 1}},
     .log = {{"Phone", 0x1005, 0, 256, "", 1}}},
    {.name = "TelephoneVoiceGrantUpdate",
     .bytes = {0x09, 0x00, 0x00, 0x10, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00},
     .description = "Telephone Voice Grant Update- Channel: 1-0005(764.03125) Radio ID : 256",
     .lines = {{0x1005, "Phone", 0, 0, "", kPhone, 0}}},
    {.name = "PrivateDataGrant",
     .bytes = {0x10, 0x00, 0x10, 0x05, 0x00, 0x00, 0x64, 0x00, 0x00, 0xC8},
     .description = "Private Data Grant - Channel: 1-0005(764.03125) From : 200 To: 100",
     .lines = {{0x1005, "PvtData", 200, 100, "", kData, 0}},
     .log = {{"PvtData", 0x1005, 200, 100, "", 1}}},
};
INSTANTIATE_TEST_SUITE_P(IndividualCalls, GrantRowTest, ::testing::ValuesIn(kIndividualCallRows), RowName);

// Private data grants and data channel announcements.
const GrantRow kDataChannelRows[] = {
    {.name = "ExplicitPrivateDataGrant",
     .bytes = {0x14, 0x00, 0x00, 0x10, 0x05, 0x10, 0x06, 0x00, 0x30, 0x39},
     .description = "Explicit Private Data Grant - Radio ID: 12345 RX Channel: 1-0005(764.03125) "
                    "TX Channel: 1-0006(794.03750)",
     .lines = {{0x1005, "PvtData", 0, 12345, "", kData, 0}},
     .log = {{"PvtData", 0x1005, -1, 12345, "", 1}}},
    {.name = "QueuedPrivateDataGrantOnlyLogs",
     .bytes = {0x15, 0x00, 0x00, 0x10, 0x05, 0x00, 0x00, 0x00, 0x30, 0x39},
     .description = "Queued Private Data Grant - Radio ID: 12345",
     .log = {{"Queued", -1, -1, 12345, "Data Grant", 1}}},
    {.name = "AnnouncementWithoutChannels",
     .bytes = {0x16, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00},
     .description = "Data Channel Update - Status: 00 Channels: None"},
    // The transmit channel is shown with its receive frequency.
    {.name = "AnnouncementOfBothChannels",
     .bytes = {0x16, 0x00, 0x00, 0x00, 0x10, 0x05, 0x10, 0x06, 0x00, 0x00},
     .description = "Data Channel Update - Status: 00 Channels: RX: 1-0005(764.03125) TX: 1-0006(764.03750) ",
     .lines = {{0x1005, "PvtData", 0, 0, "", kData, 0}}},
    {.name = "AnnouncementWithStatus40IsNotRecorded",
     .bytes = {0x16, 0x00, 0x00, 0x40, 0x10, 0x05, 0xFF, 0xFF, 0x00, 0x00},
     .description = "Data Channel Update - Status: 40 Channels: RX: 1-0005(764.03125) "},
    {.name = "AnnouncementOfTransmitChannelOnly",
     .bytes = {0x16, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x10, 0x06, 0x00, 0x00},
     .description = "Data Channel Update - Status: 00 Channels: TX: 1-0006(764.03750) "},
};
INSTANTIATE_TEST_SUITE_P(DataChannels, GrantRowTest, ::testing::ValuesIn(kDataChannelRows), RowName);

// Channel identification: the call sign in six-bit characters (value + 43), 0 ends it.
const GrantRow kChannelIdentificationRows[] = {
    {.name = "CallSignEndsAtZero",
     .bytes = {0x0B, 0x90, 0x81, 0x61, 0x96, 0x5D, 0x80, 0x00, 0x10, 0x05},
     .description = "CWID Grant Update - Channel: 1-0005(764.03125) Call Sign: KA1ABC",
     .lines = {{0x1005, "CWID", 0, 0, "KA1ABC", kCwid, 1}},
     .log = {{"CWID", 0x1005, 0, 0, "KA1ABC", 1}},
     .callSigns = "KA1ABC"},
    {.name = "CallSignOfEightCharacters",
     .bytes = {0x0B, 0x90, 0xB2, 0x65, 0x97, 0x18, 0x72, 0x09, 0x00, 0x10},
     .description = "CWID Grant Update - Channel: 0-0016(851.10625) Call Sign: WQAB1234",
     .lines = {{0x0010, "CWID", 0, 0, "WQAB1234", kCwid, 1}},
     .log = {{"CWID", 0x0010, 0, 0, "WQAB1234", 1}},
     .callSigns = "WQAB1234"},
    {.name = "EmptyCallSign",
     .bytes = {0x0B, 0x90, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x05},
     .description = "CWID Grant Update - Channel: 1-0005(764.03125) Call Sign: ",
     .lines = {{0x1005, "CWID", 0, 0, "", kCwid, 1}},
     .log = {{"CWID", 0x1005, 0, 0, "", 1}}},
};
INSTANTIATE_TEST_SUITE_P(ChannelIdentification, GrantRowTest, ::testing::ValuesIn(kChannelIdentificationRows), RowName);

TEST_F(GrantHandlersTest, OtherManufacturersAreUnknown)
{
    const struct {
        std::array<uint8_t, 10> bytes;
        const char* description;
    } rows[] = {
        {{0x00, 0xA4, 0x80, 0x10, 0x05, 0x00, 0x64, 0x12, 0x34, 0x56}, "Unknown Op=00 Mfg A4(M/A-COM)"},
        {{0x16, 0x90, 0x00, 0x00, 0x10, 0x05, 0x10, 0x06, 0x00, 0x00}, "Unknown Op=16 Mfg 90(Motorola)"},
        {{0x0B, 0x00, 0x81, 0x61, 0x96, 0x5D, 0x80, 0x00, 0x10, 0x05}, "Unknown Op=0B Mfg 00(Standard)"},
        {{0x02, 0x01, 0x10, 0x01, 0x00, 0x64, 0x10, 0x02, 0x00, 0xC8}, "Unknown Op=02 Mfg 01(Unknown)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        EXPECT_EQ(decoder->DecodeTsbk(Block(row.bytes)), 0);
        EXPECT_EQ(DumpTexts(), std::vector<std::string>{row.description});
        EXPECT_EQ(UnknownTexts(), std::vector<std::string>{row.description});
    }
    EXPECT_TRUE(LineStates().empty());
    EXPECT_TRUE(LogStates().empty());
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), 0);
    EXPECT_EQ(CallSigns(), "");
}

TEST_F(GrantHandlersTest, PacketDumpOffBuildsNoDescriptionButRecords)
{
    PresentationSwitches s = decoder->Switches();
    s.packetDump = false;
    decoder->SetSwitches(s);

    EXPECT_EQ(Decode({0x00, 0x00, 0x80, 0x10, 0x05, 0x00, 0x64, 0x12, 0x34, 0x56}), 1);
    EXPECT_EQ(Decode({0x0B, 0x90, 0x81, 0x61, 0x96, 0x5D, 0x80, 0x00, 0x10, 0x10}), 1);
    EXPECT_EQ(Decode({0x15, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x30, 0x39}), 1);

    EXPECT_TRUE(DumpTexts().empty());
    EXPECT_TRUE(EventTexts().empty());
    const std::vector<LineState> lines = {{0x1005, "Group", 100, 1193046, "Emrg", kVoice, 1},
                                          {0x1010, "CWID", 0, 0, "KA1ABC", kCwid, 1}};
    EXPECT_EQ(LineStates(), lines);
    EXPECT_EQ(LogStates().size(), 3u);
    EXPECT_TRUE(decoder->Talkgroups().IsTalkgroupKnown(100));
    EXPECT_EQ(CallSigns(), "KA1ABC");
}

// A grant heard again changes nothing: the screens are not told to refresh, no second grant log
// entry is made and no second call is counted; the repeat is still described.
TEST_F(GrantHandlersTest, RepeatedGrantChangesNothing)
{
    const std::array<uint8_t, 10> blocks[] = {
        {0x00, 0x00, 0x80, 0x10, 0x05, 0x00, 0x64, 0x12, 0x34, 0x56},  // group voice
        {0x04, 0x00, 0x10, 0x05, 0x00, 0x00, 0x64, 0x00, 0x00, 0xC8},  // unit to unit
        {0x08, 0x00, 0x00, 0x10, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00},  // telephone
        {0x0B, 0x90, 0x81, 0x61, 0x96, 0x5D, 0x80, 0x00, 0x10, 0x05},  // channel identification
        {0x12, 0x00, 0x00, 0x05, 0x01, 0x2C, 0x00, 0x06, 0x01, 0x2D},  // group data update
    };
    for (const auto& bytes : blocks) {
        SCOPED_TRACE(::testing::Message() << "opcode " << int{bytes[0]});
        SetUp();  // a fresh decoder for each block
        ASSERT_EQ(decoder->DecodeTsbk(Block(bytes)), 1);
        const std::vector<LineState> first = LineStates();
        DrainAll();
        ASSERT_FALSE(decoder->Channels().ChannelsChanged());

        EXPECT_EQ(decoder->DecodeTsbk(Block(bytes)), 1);
        EXPECT_FALSE(decoder->Channels().ChannelsChanged());
        EXPECT_TRUE(LogStates().empty());
        EXPECT_EQ(LineStates(), first);
        EXPECT_EQ(DumpTexts().size(), 1u);
    }
}

}  // namespace
