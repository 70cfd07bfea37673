#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SiteBroadcastFixture.h"
#include "decoder/P25Class.h"
#include "support/BlockBuilder.h"

// How RFSS status and explicit alternate control broadcasts identify the monitored site.

using namespace sitetest;
using testsupport::MakeTsbk;

namespace {

using SiteIdentityTest = SiteBroadcastTest;

TEST(SiteIdentity, FirstRfssStatusOnAFreshDecoderIdentifiesTheSite)
{
    ManualClock clock;
    auto decoder = std::make_unique<P25Class>(clock);
    PresentationSwitches s;
    s.packetDump = true;
    s.recordUnknowns = true;
    decoder->SetSwitches(s);

    // Until the site is known, only identity messages get through the start-up filter.
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x3B, 0x00, 0x00, 0xBE, 0xE0, 0x03, 0xA1, 0x00, 0xC8, 0x30})), 0);
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x3C, 0x00, 0x00, 0x13, 0xAB, 0x02, 0x07, 0x00, 0xC8, 0x01})), 0);

    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x3A, 0x00, 0x00, 0x13, 0xA1, 0x01, 0x05, 0x00, 0x64, 0x70})), 1);
    SystemInfo info;
    decoder->CopySystemInfo(info);
    EXPECT_EQ(info.systemId, 0x3A1u);
    EXPECT_EQ(info.rfssId, 1u);
    EXPECT_EQ(info.siteId, 5u);
    EXPECT_EQ(info.serviceClass, 0x70);
    EXPECT_EQ(info.siteStatus, 1);
    EXPECT_EQ(info.wacn, 0u);  // the network status before identification was dropped

    std::vector<ALLPKT> dump(PacketDump::kCapacity);
    const int n = decoder->Dump().CopyPacketDump(dump.data(), PacketDump::kCapacity);
    ASSERT_GE(n, 1);
    EXPECT_EQ(dump[n - 1].text,
              "RFSS Status Broadcast - SysID: 3A1 Status: Connected Zone: 1 Site: 5 Control: 0-0100(851.63125) "
              "Cap: Data,Voice,Registration");
    std::vector<UNKTSBK> unknown(UnknownPackets::kCapacity);
    EXPECT_EQ(decoder->Unknowns().CopyUnknownPackets(unknown.data(), UnknownPackets::kCapacity), 0);

    // Identified now: the same network status goes through.
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x3B, 0x00, 0x00, 0xBE, 0xE0, 0x03, 0xA1, 0x00, 0xC8, 0x30})), 1);
    decoder->CopySystemInfo(info);
    EXPECT_EQ(info.wacn, 0xBEE00u);
}

TEST(SiteIdentity, ExplicitAlternateControlNamesTheRfssAndSiteOfAFreshDecoder)
{
    ManualClock clock;
    auto decoder = std::make_unique<P25Class>(clock);
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x29, 0x00, 0x02, 0x09, 0x00, 0x64, 0x00, 0x00, 0xC8, 0x01})), 1);
    SystemInfo info;
    decoder->CopySystemInfo(info);
    EXPECT_EQ(info.systemId, 0u);
    EXPECT_EQ(info.rfssId, 2u);
    EXPECT_EQ(info.siteId, 9u);
    // With the RFSS known, the start-up filter lets the other broadcasts through.
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x3B, 0x00, 0x00, 0xBE, 0xE0, 0x03, 0xA1, 0x00, 0xC8, 0x30})), 1);
}

TEST_F(SiteIdentityTest, AChangeOfSiteResetsTheTablesAndTheSameSiteKeepsThem)
{
    decoder->Towers().SetTowerName(1, 7, "North Hill");
    ASSERT_EQ(DecodeNeighbor(1, 0x123, 1, 7), 1);
    ASSERT_EQ(Decode({0x3B, 0x00, 0x00, 0xBE, 0xE0, 0x03, 0xA1, 0x00, 0xC8, 0x30}), 1);
    ASSERT_EQ(Decode({0x3D, 0x00, 0x13, 0x22, 0xD0, 0x64, 0x0A, 0x25, 0x10, 0xA2}), 1);
    decoder->Talkgroups().NoteTalkgroup(100);

    // The same identity again: nothing is lost, the control channel moves.
    ASSERT_EQ(Decode({0x3A, 0x00, 0x00, 0x11, 0x23, 0x01, 0x05, 0x00, 0x64, 0x70}), 1);
    Snapshot same = Take();
    EXPECT_EQ(same.neighbors.size(), 1u);
    EXPECT_EQ(same.info.wacn, 0xBEE00u);
    EXPECT_FALSE(same.ids[1].assumed);
    EXPECT_EQ(same.Line(kCh200)->usage, "");
    EXPECT_EQ(same.Line(kCh100)->usage, "Control");
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), 1);

    // Site 6 of the same system: everything learnt about site 5 goes.
    ASSERT_EQ(Decode({0x3A, 0x00, 0x00, 0x01, 0x23, 0x01, 0x06, 0x00, 0xC8, 0x70}), 1);
    Snapshot moved = Take();
    EXPECT_EQ(moved.info.siteId, 6u);
    EXPECT_EQ(moved.info.siteStatus, 0);
    EXPECT_EQ(moved.info.wacn, 0u);
    EXPECT_TRUE(moved.neighbors.empty());
    EXPECT_TRUE(moved.ids[1].assumed);
    EXPECT_DOUBLE_EQ(moved.ids[0].base, 851.00625);  // built-in plan back
    ASSERT_EQ(moved.channels.size(), 1u);
    EXPECT_EQ(moved.channels[0].channel, kCh200);
    EXPECT_EQ(moved.channels[0].usage, "Control");
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), 0);
    EXPECT_EQ(decoder->Towers().GetTowerName(1, 7), "");
    EXPECT_EQ(DumpTexts().front(), "<clear>");  // the screens are told to empty themselves

    // A new service class counts as a new identity too.
    ASSERT_EQ(DecodeNeighbor(1, 0x123, 1, 7), 1);
    ASSERT_EQ(Decode({0x3A, 0x00, 0x00, 0x01, 0x23, 0x01, 0x06, 0x00, 0xC8, 0x71}), 1);
    EXPECT_TRUE(Take().neighbors.empty());
}

}  // namespace
