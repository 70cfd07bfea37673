#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "support/BlockBuilder.h"
#include "support/DecoderFixture.h"

// Multi-block packets: the seven packet types the decoder understands, what each leaves in the
// decoder's areas and the packet dump, and what happens to packets it does not understand.

namespace {

using testsupport::MakePacket;
using testsupport::MakePacketFromBlocks;
using testsupport::ToPacket;

// One packet dump entry: the index of the packet block it shows, and its text.
struct DumpEntry {
    int block;
    std::string text;
    bool operator==(const DumpEntry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const DumpEntry& e)
{
    return os << "{block " << e.block << ", \"" << e.text << "\"}";
}

const FreqInfo* FindLine(const std::vector<FreqInfo>& lines, int32_t channel)
{
    const auto at = std::find_if(lines.begin(), lines.end(), [&](const FreqInfo& f) { return f.channel == channel; });
    return at == lines.end() ? nullptr : &*at;
}

// A channel's line as "usage target source status", or "none".
std::string LineOf(const std::vector<FreqInfo>& lines, int32_t channel)
{
    const FreqInfo* f = FindLine(lines, channel);
    if (f == nullptr)
        return "none";
    return f->usage + " " + std::to_string(f->target) + " " + std::to_string(f->source) + " " + f->status;
}

SystemInfo Info(P25Class& d)
{
    SystemInfo info;
    d.CopySystemInfo(info);
    return info;
}

// Checks what a packet left in the decoder's areas, given the channel lines after it.
using Check = void (*)(P25Class& d, const std::vector<FreqInfo>& lines);

struct Row {
    const char* name;
    std::vector<Tsbk> blocks;  // header first
    std::vector<DumpEntry> dump;
    Check check;
};

std::ostream& operator<<(std::ostream& os, const Row& r)
{
    return os << r.name;
}

// Channel texts under the built-in band plans (identifier 0: 851.00625 MHz + n * 6.25 kHz,
// identifier 1: 764 MHz + n * 6.25 kHz).
constexpr const char* kCh1005 = "1-0005(764.03125)";
constexpr const char* kCh1006 = "1-0006(764.03750)";
constexpr const char* kCh0064 = "0-0100(851.63125)";
constexpr const char* kCh0065 = "0-0101(851.63750)";

void ExpectGroupCall(P25Class& d, const std::vector<FreqInfo>& lines, const char* status)
{
    EXPECT_EQ(LineOf(lines, 0x1005), std::string("Group 1001 12345 ") + status);
    EXPECT_EQ(LineOf(lines, 0x1006), "none") << "the input channel is not a line of its own";
    EXPECT_TRUE(d.Talkgroups().IsTalkgroupKnown(1001));
}

const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = {
        {"GroupVoiceGrantEncrypted",
         MakePacket({0x37, 0x00, 0x00, 0x00, 0x30, 0x39, 0x00, 0x00, 0x40, 0x00},
                    {0xAA, 0xBB, 0x10, 0x05, 0x10, 0x06, 0x03, 0xE9}),
         {{0, "Multi-Block Group Voice Grant 1 - Radio ID: 12345 Notes: Enc Follow: 1"},
          {1, std::string("Multi-Block Group Voice Grant 2 - Channel: ") + kCh1005 + " Input Channel: " + kCh1006 +
                  " Group: 1001"}},
         [](P25Class& d, const auto& lines) { ExpectGroupCall(d, lines, "Enc"); }},
        {"GroupVoiceGrantForTalkgroupZeroIsUnderstoodButChangesNothing",
         MakePacket({0x37, 0x00, 0x00, 0x00, 0x30, 0x39, 0x00, 0x00, 0x40, 0x00},
                    {0x00, 0x00, 0x10, 0x05, 0x10, 0x06, 0x00, 0x00}),
         {},
         [](P25Class& d, const std::vector<FreqInfo>& lines) {
             EXPECT_TRUE(lines.empty());
             EXPECT_FALSE(d.Talkgroups().IsTalkgroupKnown(0));
         }},
        {"PatchedGroupVoiceGrantWithoutNote",
         MakePacket({0x37, 0x00, 0x90, 0x00, 0x30, 0x39, 0x00, 0x02, 0x00, 0x00}, {0x10, 0x05, 0x10, 0x06, 0x03, 0xE9}),
         {{0, "Patched Multi-Block Group Voice Grant 1 - Radio ID: 12345 Follow: 1"},
          {1, std::string("Patched Multi-Block Group Voice Grant 2 - Channel: ") + kCh1005 +
                  " Input Channel: " + kCh1006 + " Group: 1001"}},
         [](P25Class& d, const auto& lines) { ExpectGroupCall(d, lines, ""); }},
        {"UnitToUnitVoiceGrant",
         // header: radio 0x0A2345 (its bytes 4..5 also give the "SysID"), Enc
         // block 1: WACN BEE00 in bytes 0..3, source 1000 (4..6), target 2000 (7..9), channel 10..11;
         // block 2: input channel 0..1
         MakePacket({0x37, 0x00, 0x00, 0x0A, 0x23, 0x45, 0x00, 0x07, 0x40, 0x00},
                    {0xBE, 0xE0, 0x0F, 0xFF, 0x00, 0x03, 0xE8, 0x00, 0x07, 0xD0, 0x10, 0x05,  //
                     0x10, 0x06}),
         {{0, "Multi-Block Unit-Unit Voice Grant 1 - Radio ID: 664389 Notes: Enc Follow: 2"},
          {0, std::string("Multi-Block Unit-Unit Voice Grant 2 - WACN: BEE00 SysID: 2345 Source ID: 1000 "
                          "Target ID: 2000 Channel: ") +
                  kCh1005},
          {1, std::string("Multi-Block Unit-Unit Voice Grant 3 - Input Channel: ") + kCh1006}},
         [](P25Class& d, const std::vector<FreqInfo>& lines) {
             EXPECT_EQ(LineOf(lines, 0x1005), "Private -1 -1 ");
             EXPECT_EQ(Info(d).wacn, 0xBEE00u);
         }},
        {"TelephoneVoiceGrant",
         // header byte 8 = 0xC0: emergency wins over encrypted
         MakePacket({0x37, 0x00, 0x00, 0x00, 0x30, 0x39, 0x00, 0x08, 0xC0, 0x00}, {0x10, 0x05, 0x10, 0x06, 0x01, 0x2C}),
         {{0, "Multi-Block Telephone Voice Grant 1 - Radio ID: 12345 Notes: Emrg Follow: 1"},
          {0, std::string("Multi-Block Telephone Voice Grant 2 - Channel: ") + kCh1005 + " Input Channel: " + kCh1006 +
                  " Timer: 300"}},
         [](P25Class& d, const std::vector<FreqInfo>& lines) {
             EXPECT_EQ(LineOf(lines, 0x1005), "Phone 0 12345 Emrg");
         }},
        {"RfssStatusOfTheMonitoredSiteSiteTrunked",
         // the site already monitored (system 123, RFSS 1, site 5, class 0x70): no reset
         MakePacket({0x37, 0x00, 0x00, 0x00, 0x01, 0x23, 0x00, 0x3A, 0x00, 0x00},
                    {0x01, 0x05, 0x00, 0x64, 0x00, 0x65, 0x70}),
         {{0, "Multi-Block RFSS Status Broadcast 1 - SysID: 123 Status: Site Trunked Follow: 1"},
          {1, std::string("Multi-Block RFSS Status Broadcast 2 - RFSS: 1 Site: 5 Control tx: ") + kCh0064 +
                  " Control rx: " + kCh0065 + " Cap: Data,Voice,Registration"}},
         [](P25Class& d, const std::vector<FreqInfo>& lines) {
             EXPECT_EQ(Info(d).siteStatus, 0);
             EXPECT_TRUE(d.Talkgroups().IsTalkgroupKnown(4242)) << "the same identity must not reset the tables";
             EXPECT_EQ(LineOf(lines, 0x0064), "Control 0 0 ");
             const FreqInfo* control = FindLine(lines, 0x0064);
             ASSERT_NE(control, nullptr);
             EXPECT_NEAR(control->txFrequency, 851.6375, 1e-9) << "the radios transmit on the input channel";
         }},
        {"RfssStatusOfAnotherSiteResetsAndTakesTheNewIdentity",
         // header byte 4 = 0x1A: connected, system A23 with byte 5 = 0x23
         MakePacket({0x37, 0x00, 0x00, 0x00, 0x1A, 0x23, 0x00, 0x3A, 0x00, 0x00},
                    {0x02, 0x07, 0x00, 0x64, 0x00, 0x65, 0x10}),
         // the reset's clear marker comes first, so the descriptions survive it on the screen; the
         // multi-block seen flag the reset cleared is set again (checked for every row)
         {{-1, "<clear>"},
          {0, "Multi-Block RFSS Status Broadcast 1 - SysID: A23 Status: Connected Follow: 1"},
          {1, std::string("Multi-Block RFSS Status Broadcast 2 - RFSS: 2 Site: 7 Control tx: ") + kCh0064 +
                  " Control rx: " + kCh0065 + " Cap: Data"}},
         [](P25Class& d, const std::vector<FreqInfo>& lines) {
             const SystemInfo info = Info(d);
             EXPECT_EQ(info.systemId, 0xA23u);
             EXPECT_EQ(info.rfssId, 2u);
             EXPECT_EQ(info.siteId, 7u);
             EXPECT_EQ(info.serviceClass, 0x10);
             EXPECT_EQ(info.siteStatus, 1);
             EXPECT_FALSE(d.Talkgroups().IsTalkgroupKnown(4242)) << "a new identity starts from empty tables";
             EXPECT_EQ(lines.size(), 1u);
             EXPECT_EQ(LineOf(lines, 0x0064), "Control 0 0 ");
         }},
        {"NetworkStatusBroadcast",
         // block 1: WACN BEE00 in bytes 0..3, control channel in bytes 3..4, input 5..6, class 7
         MakePacket({0x37, 0x00, 0x00, 0x00, 0x01, 0x23, 0x00, 0x3B, 0x00, 0x00},
                    {0xBE, 0xE0, 0x00, 0x00, 0x64, 0x00, 0x65, 0x30}),
         {{0, "Multi-Block Network Status Broadcast 1 - SysID: 123 Follow: 1"},
          {1, std::string("Multi-Block Network Status Broadcast 2 - WACN: BEE00 Control tx: ") + kCh0064 +
                  " Control rx: " + kCh0065 + " Cap: Data,Voice"}},
         [](P25Class& d, const std::vector<FreqInfo>& lines) {
             EXPECT_EQ(Info(d).wacn, 0xBEE00u);
             EXPECT_EQ(LineOf(lines, 0x0064), "Control 0 0 ");
         }},
        {"NeighborStatusBroadcast",
         // header: status 1 and system ABC in bytes 4..5, RFSS 3 (byte 8), site 9 (byte 9)
         MakePacket({0x37, 0x00, 0x00, 0x00, 0x1A, 0xBC, 0x00, 0x3C, 0x03, 0x09}, {0x00, 0x64, 0x00, 0x65, 0xFF, 0x10}),
         {{0, "Multi-Block Neighbor Status Broadcast 1 - SysID: abc RFSS: 3 SiteID: 9 Status: Connected Follow: 1"},
          {1, std::string("Multi-Block Neighbor Status Broadcast 2 - Control tx: ") + kCh0064 +
                  " Control rx: " + kCh0065 + " Cap: Data"}},
         [](P25Class& d, const std::vector<FreqInfo>& lines) {
             NeighborSite n;
             ASSERT_EQ(d.Neighbors().CopyNeighbors(&n, 1), 1);
             EXPECT_EQ(n.systemId, 0xABC);
             EXPECT_EQ(n.rfssId, 3);
             EXPECT_EQ(n.siteId, 9);
             EXPECT_EQ(n.controlChannel, 0x0064);
             EXPECT_EQ(n.status, 1);
             EXPECT_NEAR(n.controlFrequency, 851.63125, 1e-9);
             EXPECT_EQ(n.name, "Unknown (Different System)");
             EXPECT_EQ(LineOf(lines, 0x0064), "none") << "a neighbour's control channel is not ours";
         }},
    };
    return rows;
}

class MultiBlockDecoderTest : public testsupport::DecoderFixture {
protected:
    int DecodePacket(const std::vector<Tsbk>& blocks) { return decoder->DecodeMultiBlock(ToPacket(blocks)); }

    // Pending packet dump entries, each with the index of the packet block it carries (-1 for a
    // clear marker or a block not in the packet).
    std::vector<DumpEntry> DumpEntries(const std::vector<Tsbk>& blocks)
    {
        std::vector<ALLPKT> e(PacketDump::kCapacity);
        const int n = decoder->Dump().CopyPacketDump(e.data(), PacketDump::kCapacity);
        std::vector<DumpEntry> out;
        for (int i = 0; i < n; ++i) {
            const ALLPKT& entry = e[static_cast<size_t>(i)];
            const auto at = std::find(blocks.begin(), blocks.end(), entry.block);
            if (entry.time == 0)
                out.push_back({-1, "<clear>"});
            else
                out.push_back({at == blocks.end() ? -1 : static_cast<int>(at - blocks.begin()), entry.text});
        }
        return out;
    }

    std::vector<UNKTSBK> UnknownEntries()
    {
        std::vector<UNKTSBK> e(UnknownPackets::kCapacity);
        e.resize(static_cast<size_t>(decoder->Unknowns().CopyUnknownPackets(e.data(), UnknownPackets::kCapacity)));
        return e;
    }
};

class MultiBlockPacketTypes : public MultiBlockDecoderTest, public ::testing::WithParamInterface<Row> {
protected:
    void SetUp() override
    {
        MultiBlockDecoderTest::SetUp();
        // A talkgroup the site already knows: shows whether a packet reset the tables.
        decoder->Talkgroups().NoteTalkgroup(4242);
    }
};

TEST_P(MultiBlockPacketTypes, DescribesEachBlockAndUpdatesTheState)
{
    const Row& row = GetParam();
    const std::vector<Tsbk>& blocks = row.blocks;
    EXPECT_EQ(DecodePacket(blocks), 1);
    EXPECT_TRUE(decoder->MultiBlockSeen());
    EXPECT_EQ(DumpEntries(blocks), row.dump);
    EXPECT_TRUE(UnknownEntries().empty());
    row.check(*decoder, Channels());
}

TEST_P(MultiBlockPacketTypes, WithThePacketDumpOffStillUpdatesTheState)
{
    PresentationSwitches s = decoder->Switches();
    s.packetDump = false;
    decoder->SetSwitches(s);
    const Row& row = GetParam();
    const std::vector<Tsbk>& blocks = row.blocks;
    EXPECT_EQ(DecodePacket(blocks), 1);
    for (const DumpEntry& e : DumpEntries(blocks))
        EXPECT_EQ(e.text, "<clear>") << "only a reset's clear marker";
    row.check(*decoder, Channels());
}

INSTANTIATE_TEST_SUITE_P(Packets, MultiBlockPacketTypes, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// Packets the decoder does not understand: every block goes to the unknown packets, header
// first, numbered from 0; no packet dump entry and no state change.
struct UnknownRow {
    const char* name;
    std::vector<Tsbk> blocks;
    std::vector<std::string> texts;
};

std::ostream& operator<<(std::ostream& os, const UnknownRow& r)
{
    return os << r.name;
}

// Talkgroup 1001 on channel 0x1005 in both group grant layouts (bytes 0..5 patched, 2..7
// standard), so a packet accepted by mistake would show as a channel line.
const std::vector<uint8_t> kGrantPayload = {0x10, 0x05, 0x10, 0x05, 0x03, 0xE9, 0x03, 0xE9};

std::vector<std::string> UnknownTexts(const std::string& tail, int blocks)
{
    std::vector<std::string> out;
    for (int i = 0; i < blocks; ++i)
        out.push_back("Multi-Block Unknown " + std::to_string(i) + " - " + tail);
    return out;
}

std::vector<Tsbk> HeaderOnly(uint8_t mfid, uint8_t opcode)
{
    return MakePacketFromBlocks(testsupport::MakeTsbk({0x37, 0, mfid, 0, 0x30, 0x39, 0, opcode}), {});
}

std::vector<UnknownRow> UnknownRows()
{
    std::vector<uint8_t> twoBlocks = kGrantPayload;
    twoBlocks.resize(14);
    return {
        {"GroupVoiceGrantWithManufacturerMfid", MakePacket({0x37, 0, 0x90, 0, 0x30, 0x39, 0, 0x00}, twoBlocks),
         UnknownTexts("OpCode: 00 ((Group Voice Grant)) Mfg: 90 (Motorola)", 3)},
        {"PatchedGrantWithStandardMfid", MakePacket({0x37, 0, 0x00, 0, 0x30, 0x39, 0, 0x02}, kGrantPayload),
         UnknownTexts("OpCode: 02 ((Group Voice Grant Update)) Mfg: 00 (Standard)", 2)},
        {"OpcodeWithoutPacketType", MakePacket({0x37, 0, 0xA4, 0, 0, 0, 0, 0x13}, {}),
         UnknownTexts("OpCode: 13 ((Unknown)) Mfg: A4 (M/A-COM)", 2)},
        // Too short for their type: read no block they do not hold.
        {"GroupVoiceGrantWithoutDataBlock", HeaderOnly(0x00, 0x00),
         UnknownTexts("OpCode: 00 ((Group Voice Grant)) Mfg: 00 (Standard)", 1)},
        {"RfssStatusWithoutDataBlock", HeaderOnly(0x00, 0x3A),
         UnknownTexts("OpCode: 3A ((RFSS Status Broadcast)) Mfg: 00 (Standard)", 1)},
        {"UnitToUnitGrantWithOneDataBlock", MakePacket({0x37, 0, 0x00, 0, 0x30, 0x39, 0, 0x07}, kGrantPayload),
         UnknownTexts("OpCode: 07 ((Unit-Unit Voice Grant Explicit)) Mfg: 00 (Standard)", 2)},
    };
}

class MultiBlockUnknownPackets : public MultiBlockDecoderTest, public ::testing::WithParamInterface<UnknownRow> { };

TEST_P(MultiBlockUnknownPackets, RecordsEveryBlockNumberedFromZero)
{
    const UnknownRow& row = GetParam();
    SystemInfo before;
    decoder->CopySystemInfo(before);

    EXPECT_EQ(DecodePacket(row.blocks), 0);
    EXPECT_TRUE(decoder->MultiBlockSeen()) << "any packet marks multi-block traffic as seen";

    const auto unknowns = UnknownEntries();
    ASSERT_EQ(unknowns.size(), row.texts.size());
    for (size_t i = 0; i < unknowns.size(); ++i) {
        EXPECT_EQ(unknowns[i].text, row.texts[i]);
        EXPECT_EQ(unknowns[i].block, row.blocks[i]) << "entry " << i;
    }
    EXPECT_TRUE(DumpEntries(row.blocks).empty());
    EXPECT_TRUE(Channels().empty());
    EXPECT_FALSE(decoder->SystemInfoChanged());
}

INSTANTIATE_TEST_SUITE_P(Packets, MultiBlockUnknownPackets, ::testing::ValuesIn(UnknownRows()),
                         [](const ::testing::TestParamInfo<UnknownRow>& info) { return std::string(info.param.name); });

TEST_F(MultiBlockDecoderTest, UnknownPacketsAreKeptOnlyWithTheSwitchOnAndTheSiteIdentified)
{
    struct {
        bool switchOn;
        uint32_t systemId, rfss, site;
        size_t kept;
    } const rows[] = {{true, 0x123, 1, 5, 2},
                      {false, 0x123, 1, 5, 0},
                      {true, 0, 1, 5, 0},
                      {true, 0x123, 0, 5, 0},
                      {true, 0x123, 1, 0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "switch " << row.switchOn << " identity " << row.systemId << "/" << row.rfss
                                        << "/" << row.site);
        decoder->SetSiteIdentity(row.systemId, row.rfss, 0x70, row.site);
        PresentationSwitches s = decoder->Switches();
        s.recordUnknowns = row.switchOn;
        decoder->SetSwitches(s);
        EXPECT_EQ(DecodePacket(MakePacket({0x37, 0, 0x90, 0, 0, 0, 0, 0x00}, kGrantPayload)), 0);
        EXPECT_EQ(UnknownEntries().size(), row.kept);
    }
}

TEST_F(MultiBlockDecoderTest, ABlockCountOutsideTheRecordNeverReadsPastIt)
{
    // The processing thread never hands such a count over; the decoder still keeps to the five
    // blocks a packet has room for, and a count without a header is nothing at all.
    MultiBlockPacket packet = ToPacket(MakePacket({0x37, 0, 0x00, 0, 0, 0, 0, 0x13}, {}));
    packet.blockCount = 9;
    EXPECT_EQ(decoder->DecodeMultiBlock(packet), 0);
    EXPECT_EQ(UnknownEntries().size(), 5u);

    packet.blockCount = 0;
    EXPECT_EQ(decoder->DecodeMultiBlock(packet), 0);
    EXPECT_TRUE(UnknownEntries().empty());
}

}  // namespace
