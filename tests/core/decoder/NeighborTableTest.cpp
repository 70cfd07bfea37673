#include <gtest/gtest.h>

#include <vector>

#include "SiteBroadcastFixture.h"

// The adjacent sites area as the adjacent status broadcasts and the multi-block status packets
// fill it.

using namespace sitetest;

namespace {

using NeighborTableTest = SiteBroadcastTest;

TEST_F(NeighborTableTest, NeighboursAreKeptInKeyOrderWithTheirNames)
{
    decoder->Towers().SetTowerName(1, 7, "North Hill");
    // RFSS 1 site 150 and RFSS 2 site 50 share a key; they are still two sites.
    ASSERT_EQ(DecodeNeighbor(1, 0x3AB, 1, 1), 1);
    ASSERT_EQ(DecodeNeighbor(0, 0x123, 2, 50), 1);
    ASSERT_EQ(DecodeNeighbor(1, 0x123, 1, 7), 1);
    ASSERT_EQ(DecodeNeighbor(1, 0x123, 2, 3), 1);
    ASSERT_EQ(DecodeNeighbor(1, 0x123, 1, 150), 1);
    Snapshot s = Take();
    ASSERT_EQ(s.neighbors.size(), 5u);
    ExpectNeighbor(s.neighbors[0], 0x123, 1, 7, 1, "North Hill");
    ExpectNeighbor(s.neighbors[1], 0x123, 2, 3, 1, "");
    ExpectNeighbor(s.neighbors[2], 0x123, 2, 50, 0, "");
    ExpectNeighbor(s.neighbors[3], 0x123, 1, 150, 1, "");
    ExpectNeighbor(s.neighbors[4], 0x3AB, 1, 1, 1, "Unknown (Different System)");

    // A known site is replaced when it reports something new, and left alone otherwise.
    ASSERT_EQ(DecodeNeighbor(0, 0x123, 2, 50), 1);
    EXPECT_FALSE(decoder->Neighbors().NeighborsChanged());
    ASSERT_EQ(DecodeNeighbor(1, 0x123, 2, 50, kCh100), 1);
    EXPECT_TRUE(decoder->Neighbors().NeighborsChanged());
    s = Take();
    ASSERT_EQ(s.neighbors.size(), 5u);
    ExpectNeighbor(s.neighbors[2], 0x123, 2, 50, 1, "");
    EXPECT_EQ(s.neighbors[2].controlChannel, kCh100);
    EXPECT_DOUBLE_EQ(s.neighbors[2].controlFrequency, 851.63125);
}

// The multi-block status packets hand their neighbours straight to AddNeighbor.
TEST_F(NeighborTableTest, AddNeighborCompletesTheRecordAndRefusesAFortyFirstSite)
{
    // Identifier 15 with a real plan: a "no channel" 0xFFFF must still have no frequency.
    ASSERT_EQ(Decode({0x3D, 0x00, 0xF3, 0x22, 0xD0, 0x64, 0x0A, 0x25, 0x10, 0xA2}), 1);
    NeighborTable& table = decoder->Neighbors();

    NeighborSite unknownChannel;
    unknownChannel.systemId = 0x123;
    unknownChannel.rfssId = 3;
    unknownChannel.siteId = 1;
    unknownChannel.controlFrequency = 999.0;  // worked out by the table, not taken from the caller
    unknownChannel.name = "caller's name";
    EXPECT_TRUE(table.AddNeighbor(unknownChannel));
    EXPECT_FALSE(table.AddNeighbor(unknownChannel));

    for (int site = 2; site <= NeighborTable::kCapacity; ++site) {
        NeighborSite r;
        r.systemId = 0x123;
        r.rfssId = 3;
        r.siteId = site;
        r.controlChannel = 0xF010;  // 15-0016
        EXPECT_TRUE(table.AddNeighbor(r)) << site;
    }
    NeighborSite fortyFirst;
    fortyFirst.systemId = 0x123;
    fortyFirst.rfssId = 1;  // sorts first, but there is no room
    fortyFirst.siteId = 1;
    EXPECT_FALSE(table.AddNeighbor(fortyFirst));

    NeighborSite update = unknownChannel;
    update.status = 1;
    EXPECT_TRUE(table.AddNeighbor(update));  // a known site still changes when full
    EXPECT_EQ(NamedLock::HeldCount(), 0);

    Snapshot s = Take();
    ASSERT_EQ(s.neighbors.size(), static_cast<size_t>(NeighborTable::kCapacity));
    ExpectNeighbor(s.neighbors[0], 0x123, 3, 1, 1, "");
    EXPECT_EQ(s.neighbors[0].controlChannel, 0xFFFF);
    EXPECT_EQ(s.neighbors[0].controlFrequency, 0.0);
    EXPECT_DOUBLE_EQ(s.neighbors[1].controlFrequency, 851.20625);
    for (size_t i = 0; i < s.neighbors.size(); ++i)
        EXPECT_EQ(s.neighbors[i].siteId, static_cast<int>(i) + 1);
}

}  // namespace
