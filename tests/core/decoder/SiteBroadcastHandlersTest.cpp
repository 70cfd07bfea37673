#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SiteBroadcastFixture.h"
#include "decoder/P25Class.h"
#include "support/BlockBuilder.h"

using namespace sitetest;
using testsupport::MakeTsbk;

namespace {

void ExpectIdentifier(const IdentifierEntry& e, double base, double offset, double spacing, double bandwidth)
{
    EXPECT_DOUBLE_EQ(e.base, base);
    EXPECT_DOUBLE_EQ(e.txOffset, offset);
    EXPECT_DOUBLE_EQ(e.spacing, spacing);
    EXPECT_DOUBLE_EQ(e.bandwidth, bandwidth);
    EXPECT_FALSE(e.assumed);
}

void ExpectUntouched(const Snapshot& s)
{
    EXPECT_EQ(s.info.systemId, 0x123u);
    EXPECT_EQ(s.info.rfssId, 1u);
    EXPECT_EQ(s.info.siteId, 5u);
    EXPECT_EQ(s.info.wacn, 0u);
    EXPECT_TRUE(s.channels.empty());
    EXPECT_TRUE(s.neighbors.empty());
    EXPECT_TRUE(s.ids[0].assumed);
}

// One block on the identified site (system 0x123, RFSS 1, site 5, service class 0x70).
struct Row {
    const char* name;
    std::array<uint8_t, 10> bytes;
    int recognised;
    std::vector<std::string> dump;
    std::vector<std::string> unknowns;
    void (*state)(const Snapshot&);
};

const std::string kUnknown30 = "Unknown Op=30 Mfg 00(Standard)";
const std::string kUnknown33 = "Unknown Op=33 Mfg 00(Standard)";

const std::vector<Row> kRows = {
    {"RfssStatusConnected",
     {0x3A, 0x00, 0x00, 0x11, 0x23, 0x01, 0x05, 0x00, 0x64, 0x70},
     1,
     {"RFSS Status Broadcast - SysID: 123 Status: Connected Zone: 1 Site: 5 Control: 0-0100(851.63125) "
      "Cap: Data,Voice,Registration"},
     {},
     [](const Snapshot& s) {
         EXPECT_EQ(s.info.siteStatus, 1);
         EXPECT_EQ(s.info.serviceClass, 0x70);
         ASSERT_EQ(s.channels.size(), 1u);
         EXPECT_EQ(s.channels[0].channel, kCh100);
         EXPECT_EQ(s.channels[0].usage, "Control");
         EXPECT_EQ(s.channels[0].usageFlags, kFlagControl);
         EXPECT_DOUBLE_EQ(s.channels[0].rxFrequency, 851.63125);
         EXPECT_TRUE(s.neighbors.empty());
     }},
    {"RfssStatusSiteTrunked",
     {0x3A, 0x00, 0x00, 0x01, 0x23, 0x01, 0x05, 0x00, 0x64, 0x70},
     1,
     {"RFSS Status Broadcast - SysID: 123 Status: Site Trunked Zone: 1 Site: 5 Control: 0-0100(851.63125) "
      "Cap: Data,Voice,Registration"},
     {},
     [](const Snapshot& s) {
         EXPECT_EQ(s.info.siteStatus, 0);
         EXPECT_EQ(s.info.siteId, 5u);
     }},
    {"NetworkStatus",
     {0x3B, 0x00, 0x00, 0xBE, 0xE0, 0x03, 0xA1, 0x00, 0xC8, 0x30},
     1,
     {"Network Status Broadcast - WACN: BEE00 Control: 0-0200(852.25625) Cap: Data,Voice"},
     {},
     [](const Snapshot& s) {
         EXPECT_EQ(s.info.wacn, 0xBEE00u);
         ASSERT_NE(s.Line(kCh200), nullptr);
         EXPECT_EQ(s.Line(kCh200)->usage, "Control");
     }},
    {"NeighborOfOtherSystem",
     {0x3C, 0x00, 0x00, 0x13, 0xAB, 0x02, 0x07, 0x00, 0xC8, 0x01},
     1,
     {"Neighbor Status Broadcast - SysID: 3ab Zone: 2 Site: 7 Control: 0-0200(852.25625) Status: Connected "
      "Cap: Composite control channel"},
     {},
     [](const Snapshot& s) {
         ASSERT_EQ(s.neighbors.size(), 1u);
         ExpectNeighbor(s.neighbors[0], 0x3AB, 2, 7, 1, "Unknown (Different System)");
         EXPECT_EQ(s.neighbors[0].controlChannel, kCh200);
         EXPECT_DOUBLE_EQ(s.neighbors[0].controlFrequency, 852.25625);
         EXPECT_TRUE(s.channels.empty());  // a neighbour's control channel is not one of ours
     }},
    {"NeighborOfOwnSystemWithoutName",
     {0x3C, 0x00, 0x00, 0x01, 0x23, 0x02, 0x07, 0x00, 0xC8, 0x00},
     1,
     {"Neighbor Status Broadcast - SysID: 123 Zone: 2 Site: 7 Control: 0-0200(852.25625) Status: Failed "
      "Cap: None Advertised"},
     {},
     [](const Snapshot& s) {
         ASSERT_EQ(s.neighbors.size(), 1u);
         ExpectNeighbor(s.neighbors[0], 0x123, 2, 7, 0, "");
     }},
    {"SecondaryControlOwnSite",
     {0x39, 0x00, 0x01, 0x05, 0x00, 0x64, 0x01, 0x00, 0xC8, 0x70},
     1,
     {"Alternate Control Broadcast - Channel 1: 0-0100(851.63125) Cap: Composite control channel "
      "Channel 2: 0-0200(852.25625) Cap: Data,Voice,Registration"},
     {},
     [](const Snapshot& s) {
         ASSERT_EQ(s.channels.size(), 2u);
         for (const FreqInfo& f : s.channels) {
             EXPECT_EQ(f.usageFlags, kFlagAlternate);
             EXPECT_EQ(f.usage, "");
         }
     }},
    {"SecondaryControlOtherSite",
     {0x39, 0x00, 0x01, 0x06, 0x00, 0x64, 0x01, 0x00, 0xC8, 0x70},
     1,
     {"Alternate Control Broadcast - Channel 1: 0-0100(851.63125) Cap: Composite control channel "
      "Channel 2: 0-0200(852.25625) Cap: Data,Voice,Registration"},
     {},
     ExpectUntouched},
    {"SecondaryControlWithoutSecondChannel",
     {0x39, 0x00, 0x01, 0x05, 0x00, 0x64, 0x01, 0xFF, 0xFF, 0x00},
     1,
     {"Alternate Control Broadcast - Channel 1: 0-0100(851.63125) Cap: Composite control channel "
      "Channel 2: 15-4095(0.00000) Cap: None Advertised"},
     {},
     [](const Snapshot& s) {
         // 0xFFFF names no channel: it gets no line of its own.
         ASSERT_EQ(s.channels.size(), 1u);
         EXPECT_EQ(s.channels[0].channel, kCh100);
     }},
    {"ExplicitAlternateOfOtherRfss",
     {0x29, 0x00, 0x02, 0x09, 0x00, 0x64, 0x00, 0x00, 0xC8, 0x01},
     1,
     {"Explicit Alternate Control - RX Channel: 0-0100(851.63125) TX Channel: 0-0200(852.25625) "
      "Cap: Composite control channel"},
     {},
     [](const Snapshot& s) {
         EXPECT_EQ(s.info.rfssId, 1u);  // the site is known already; only an unknown one is taken
         EXPECT_EQ(s.info.siteId, 5u);
         ASSERT_EQ(s.channels.size(), 1u);  // the receive channel only
         EXPECT_EQ(s.channels[0].channel, kCh100);
         EXPECT_EQ(s.channels[0].usageFlags, kFlagAlternate);
     }},
    {"SystemService",
     {0x38, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0},
     1,
     {"System Service Broadcast"},
     {},
     ExpectUntouched},
    {"IdentifierUpdate800",
     {0x3D, 0x00, 0x13, 0x22, 0xD0, 0x64, 0x0A, 0x25, 0x10, 0xA2},
     1,
     {"Identifier Update - ID: 01  Base: 851.00625  Spacing: 0.01250  Bandwidth: 0.00625  TX Offset: -45.00000"},
     {},
     [](const Snapshot& s) {
         ExpectIdentifier(s.ids[1], 851.00625, -45.0, 0.0125, 0.00625);
         // The built-in plan of identifier 0 gives way to the site's own table.
         EXPECT_TRUE(s.ids[0].assumed);
         EXPECT_EQ(s.ids[0].base, 0.0);
         EXPECT_TRUE(s.events.empty());
     }},
    {"IdentifierUpdate800PositiveOffset",
     {0x3D, 0x00, 0x03, 0x26, 0xD0, 0x64, 0x0A, 0x25, 0x10, 0xA2},
     1,
     {"Identifier Update - ID: 00  Base: 851.00625  Spacing: 0.01250  Bandwidth: 0.00625  TX Offset: 45.00000"},
     {},
     [](const Snapshot& s) { ExpectIdentifier(s.ids[0], 851.00625, 45.0, 0.0125, 0.00625); }},
    {"IdentifierUpdateBaseAbove2147MHz",
     {0x3D, 0x00, 0x33, 0x22, 0xD0, 0x64, 0x20, 0x00, 0x00, 0x00},
     1,
     {"Identifier Update - ID: 03  Base: 2684.35456  Spacing: 0.01250  Bandwidth: 0.00625  TX Offset: -45.00000"},
     {},
     [](const Snapshot& s) { EXPECT_DOUBLE_EQ(s.ids[3].base, 2684.35456); }},
    {"IdentifierUpdateVhfUhf",
     {0x34, 0x00, 0x25, 0x86, 0x40, 0x32, 0x01, 0xC9, 0xC3, 0x80},
     1,
     {"Identifier Update - ID: 02  Base: 150.00000  Spacing: 0.00625  Bandwidth: 0.01250  TX Offset: 5.00000"},
     {},
     [](const Snapshot& s) {
         ExpectIdentifier(s.ids[2], 150.0, 5.0, 0.00625, 0.0125);
         EXPECT_EQ(s.events, (std::vector<std::string>{"Updated Identifier Table 02... Base: 150.00000 "
                                                       "Spacing: 0.00625 Bandwidth: 0.01250 TX Offset: 5.00000 "}));
     }},
    {"IdentifierUpdateVhfUhfNegativeOffset",
     {0x34, 0x00, 0x24, 0x06, 0x40, 0x32, 0x08, 0xF0, 0xD1, 0x80},
     1,
     {"Identifier Update - ID: 02  Base: 750.00000  Spacing: 0.00625  Bandwidth: 0.01000  TX Offset: -5.00000"},
     {},
     [](const Snapshot& s) { ExpectIdentifier(s.ids[2], 750.0, -5.0, 0.00625, 0.01); }},
    // The two Phase II broadcasts are shown but not decoded: they also go down as unknown.
    {"Phase2Sync",
     {0x30, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08},
     0,
     {"Phase II Sync Broadcast - Unknown Format at this time", kUnknown30},
     {kUnknown30},
     ExpectUntouched},
    {"Phase2IdentifierUpdate",
     {0x33, 0x00, 0x13, 0x22, 0xD0, 0x64, 0x0A, 0x25, 0x10, 0xA2},
     0,
     {"Phase II Identifier Update - Unknown Format at this time", kUnknown33},
     {kUnknown33},
     ExpectUntouched},
    // Every site broadcast needs the standard MFID.
    {"RfssStatusOtherMfid",
     {0x3A, 0x90, 0x00, 0x11, 0x23, 0x02, 0x06, 0x00, 0x64, 0x70},
     0,
     {"Unknown Op=3A Mfg 90(Motorola)"},
     {"Unknown Op=3A Mfg 90(Motorola)"},
     ExpectUntouched},
    {"NeighborOtherMfid",
     {0x3C, 0x01, 0x00, 0x13, 0xAB, 0x02, 0x07, 0x00, 0xC8, 0x01},
     0,
     {"Unknown Op=3C Mfg 01(Unknown)"},
     {"Unknown Op=3C Mfg 01(Unknown)"},
     ExpectUntouched},
    {"IdentifierUpdateOtherMfid",
     {0x3D, 0x90, 0x13, 0x22, 0xD0, 0x64, 0x0A, 0x25, 0x10, 0xA2},
     0,
     {"Unknown Op=3D Mfg 90(Motorola)"},
     {"Unknown Op=3D Mfg 90(Motorola)"},
     ExpectUntouched},
};

class SiteBroadcastRowTest : public SiteBroadcastTest, public ::testing::WithParamInterface<Row> { };

TEST_P(SiteBroadcastRowTest, DescribesAndStores)
{
    const Row& row = GetParam();
    const Tsbk block = MakeTsbk({row.bytes[0], row.bytes[1], row.bytes[2], row.bytes[3], row.bytes[4], row.bytes[5],
                                 row.bytes[6], row.bytes[7], row.bytes[8], row.bytes[9]});
    EXPECT_EQ(decoder->DecodeTsbk(block), row.recognised);
    EXPECT_EQ(NamedLock::HeldCount(), 0);
    EXPECT_EQ(DumpTexts(), row.dump);
    EXPECT_EQ(UnknownTexts(), row.unknowns);
    row.state(Take());
}

INSTANTIATE_TEST_SUITE_P(SiteBlocks, SiteBroadcastRowTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST_F(SiteBroadcastTest, WithThePacketDumpOffStateStillChangesAndPhase2StaysUnknown)
{
    PresentationSwitches s = decoder->Switches();
    s.packetDump = false;
    decoder->SetSwitches(s);
    EXPECT_EQ(Decode({0x3B, 0x00, 0x00, 0xBE, 0xE0, 0x03, 0xA1, 0x00, 0xC8, 0x30}), 1);
    EXPECT_EQ(Decode({0x30, 0x00, 0x01}), 0);
    EXPECT_TRUE(DumpTexts().empty());
    EXPECT_EQ(UnknownTexts(), std::vector<std::string>{kUnknown30});
    EXPECT_EQ(Take().info.wacn, 0xBEE00u);
}

TEST_F(SiteBroadcastTest, IdentifierUpdatesOfBothFormsChangeChannelFrequencies)
{
    // Lines on identifiers 0, 1 and 2 (secondary control channels of our own site).
    ASSERT_EQ(Decode({0x39, 0x00, 0x01, 0x05, 0x00, 0x64, 0x01, 0x10, 0x10, 0x01}), 1);
    ASSERT_EQ(Decode({0x39, 0x00, 0x01, 0x05, 0x20, 0x10, 0x01, 0x20, 0x10, 0x01}), 1);
    Snapshot before = Take();
    EXPECT_DOUBLE_EQ(before.Line(kCh100)->rxFrequency, 851.63125);
    EXPECT_DOUBLE_EQ(before.Line(kIden1Ch16)->rxFrequency, 764.1);
    EXPECT_DOUBLE_EQ(before.Line(kIden2Ch16)->rxFrequency, 0.0);

    ASSERT_EQ(Decode({0x3D, 0x00, 0x13, 0x22, 0xD0, 0x64, 0x0A, 0x25, 0x10, 0xA2}), 1);
    EXPECT_TRUE(decoder->Identifiers().IdentifiersChanged());
    EXPECT_TRUE(decoder->Channels().ChannelsChanged());
    Snapshot after800 = Take();
    EXPECT_DOUBLE_EQ(after800.Line(kIden1Ch16)->rxFrequency, 851.20625);
    EXPECT_DOUBLE_EQ(after800.Line(kCh100)->rxFrequency, 0.0);  // identifier 0 not sent yet
    EXPECT_DOUBLE_EQ(decoder->Identifiers().ChannelTxFrequency(kIden1Ch16), 806.20625);

    ASSERT_EQ(Decode({0x34, 0x00, 0x25, 0x86, 0x40, 0x32, 0x01, 0xC9, 0xC3, 0x80}), 1);
    Snapshot afterVu = Take();
    EXPECT_DOUBLE_EQ(afterVu.Line(kIden2Ch16)->rxFrequency, 150.1);
    EXPECT_DOUBLE_EQ(afterVu.Line(kIden1Ch16)->rxFrequency, 851.20625);
    EXPECT_DOUBLE_EQ(decoder->Identifiers().ChannelTxFrequency(kIden2Ch16), 155.1);

    // The descriptions use the new table at once.
    DumpTexts();
    ASSERT_EQ(Decode({0x39, 0x00, 0x01, 0x05, 0x20, 0x10, 0x01, 0x10, 0x10, 0x01}), 1);
    EXPECT_EQ(DumpTexts(), std::vector<std::string>{"Alternate Control Broadcast - Channel 1: 2-0016(150.10000) Cap: "
                                                    "Composite control channel Channel 2: 1-0016(851.20625) Cap: "
                                                    "Composite control channel"});
}

}  // namespace
