#include <gtest/gtest.h>

#include <vector>

#include "platform/Clock.h"
#include "platform/NamedLock.h"
#include "site/ChannelTable.h"
#include "site/DecoderContext.h"
#include "site/IdentifierTable.h"
#include "site/TalkgroupTable.h"

namespace {

class ChannelTableTest : public ::testing::Test {
protected:
    ChannelTableTest()
    {
        ctx.time.SetClock(clock);
        ctx.time.SetTick(40);
    }
    ~ChannelTableTest() override { EXPECT_EQ(NamedLock::HeldCount(), 0) << "a lock was left held"; }

    std::vector<FreqInfo> Copy()
    {
        std::vector<FreqInfo> out(ChannelTable::kCapacity);
        out.resize(channels.CopyChannels(out.data(), ChannelTable::kCapacity));
        return out;
    }

    int Add(int32_t channel, int32_t txChannel = 0)
    {
        LockGuard g(channels.Lock());
        return channels.FindOrAddChannel(channel, txChannel);
    }

    ManualClock clock;
    DecoderContext ctx;
    TalkgroupTable talkgroups{ctx};
    IdentifierTable ids;
    ChannelTable channels{ctx, ids, talkgroups};
};

TEST_F(ChannelTableTest, KeepsChannelOrderByInsertion)
{
    EXPECT_EQ(Add(0x0005), 0);
    EXPECT_EQ(Add(0x0003), 0);
    EXPECT_EQ(Add(0x0009), 2);
    EXPECT_EQ(Add(0x0005), 1);  // found, not added again
    {
        LockGuard g(channels.Lock());
        channels.Record(1).hits = 4;  // contents move with the record
    }
    EXPECT_EQ(Add(0x0004), 1);

    std::vector<FreqInfo> all = Copy();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].channel, 3);
    EXPECT_EQ(all[1].channel, 4);
    EXPECT_EQ(all[2].channel, 5);
    EXPECT_EQ(all[2].hits, 4);
    EXPECT_EQ(all[3].channel, 9);
    EXPECT_NEAR(all[3].rxFrequency, 851.0625, 1e-9);
    EXPECT_NEAR(all[3].txFrequency, 806.0625, 1e-9);
    EXPECT_EQ(all[1].hits, 0);
    EXPECT_EQ(all[1].lastActivity, 0);
}

TEST_F(ChannelTableTest, FiftyFirstChannelIsRefusedAndChangesNothing)
{
    for (int32_t ch = 0; ch < ChannelTable::kCapacity; ++ch)
        ASSERT_GE(Add(0x1000 + 2 * ch), 0);
    Copy();
    EXPECT_EQ(Add(0x1001), -1);
    EXPECT_EQ(channels.Count(), ChannelTable::kCapacity);
    EXPECT_FALSE(channels.ChannelsChanged());
    EXPECT_FALSE(channels.SetChannelId(0x1001, 100));
    EXPECT_FALSE(channels.AddUsageFlags(0x1001, 1));
    EXPECT_EQ(Add(0x1000 + 2 * 49), 49);  // present channels are still found
}

TEST_F(ChannelTableTest, ExplicitTransmitChannelGivesTheTransmitFrequency)
{
    Add(0x1010, 0x1020);
    EXPECT_NEAR(Copy()[0].txFrequency, ids.ChannelRxFrequency(0x1020), 1e-9);
    Add(0x1010);  // a later grant without one derives it from the identifier again
    EXPECT_NEAR(Copy()[0].txFrequency, 794.1, 1e-9);
}

struct MoveCase {
    const char* oldUsage;
    const char* usageAfterMove;
};

TEST_F(ChannelTableTest, SetChannelIdMovesTheUnitOffItsOldChannel)
{
    for (const MoveCase& c : {MoveCase{"Private", ""}, MoveCase{"Control", "Control"}}) {
        SCOPED_TRACE(c.oldUsage);
        channels.Reset();
        talkgroups.SetTalkgroup(100, "Unit hundred", 255, 0);
        ASSERT_TRUE(channels.SetChannelId(5, 100));
        {
            LockGuard g(channels.Lock());
            FreqInfo& old = channels.Record(0);
            old.usage = c.oldUsage;
            old.status = "Enc";
            old.source = 77;
            old.usageFlags = 0x24;
            old.hits = 3;
        }
        ctx.time.SetTick(60);
        EXPECT_TRUE(channels.SetChannelId(3, 100));

        std::vector<FreqInfo> all = Copy();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_EQ(all[0].target, 100);
        EXPECT_EQ(all[0].targetDescription, "Unit hundred");
        EXPECT_EQ(all[0].lastActivity, 60);
        const FreqInfo& old = all[1];
        EXPECT_EQ(old.target, 0);
        EXPECT_EQ(old.targetDescription, "");
        EXPECT_EQ(old.source, 0);
        EXPECT_EQ(old.lastActivity, 0);
        EXPECT_EQ(old.usage, c.usageAfterMove);
        EXPECT_EQ(old.status, c.usageAfterMove[0] ? "Enc" : "");
        EXPECT_EQ(old.usageFlags, 0x24u);
        EXPECT_EQ(old.hits, 3);

        ctx.time.SetTick(70);
        EXPECT_FALSE(channels.SetChannelId(3, 100)) << "already there";
        EXPECT_EQ(Copy()[0].lastActivity, 70);
    }
}

TEST_F(ChannelTableTest, TowerFileValuesRefreshActivity)
{
    EXPECT_TRUE(channels.AddUsageFlags(0x0020, 0x05));
    EXPECT_FALSE(channels.AddUsageFlags(0x0020, 0x01));
    EXPECT_TRUE(channels.AddUsageFlags(0x0020, 0x03));
    EXPECT_TRUE(channels.SetHits(0x0030, 12));

    std::vector<FreqInfo> all = Copy();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].usageFlags, 0x07u);
    EXPECT_EQ(all[0].lastActivity, 40);
    EXPECT_EQ(all[1].hits, 12);
    EXPECT_EQ(all[1].lastActivity, 40);
}

TEST_F(ChannelTableTest, CopyClearsChangedOnlyWhenItCopies)
{
    Add(0x0005);
    FreqInfo out[1];
    EXPECT_EQ(channels.CopyChannels(out, 0), 0);
    EXPECT_TRUE(channels.ChannelsChanged());
    EXPECT_EQ(channels.CopyChannels(out, 1), 1);
    EXPECT_FALSE(channels.ChannelsChanged());
    channels.Reset();
    EXPECT_TRUE(channels.ChannelsChanged());
    EXPECT_EQ(channels.Count(), 0);
}

}  // namespace

// A renamed talkgroup shows its new name on the lines carrying a group call to it, and only there:
// a private call to a radio with the same number keeps its radio's name.
TEST_F(ChannelTableTest, RenamedTalkgroupReachesItsGroupCallLines)
{
    talkgroups.SetTalkgroup(100, "Old name", 255, 0);
    ASSERT_TRUE(channels.SetChannelId(5, 100));
    ASSERT_TRUE(channels.SetChannelId(6, 200));
    {
        LockGuard g(channels.Lock());
        channels.Record(0).usage = "Group";
        channels.Record(1).usage = "Private";
        channels.Record(1).target = 100;
        channels.Record(1).targetDescription = "Radio 100";
    }
    Copy();  // clears changed
    EXPECT_EQ(channels.RefreshTalkgroupName(100), 0) << "the name is the same";
    EXPECT_FALSE(channels.ChannelsChanged());

    talkgroups.SetTalkgroup(100, "New name", 255, 0);
    EXPECT_EQ(channels.RefreshTalkgroupName(100), 1);
    EXPECT_TRUE(channels.ChannelsChanged());
    const std::vector<FreqInfo> all = Copy();
    EXPECT_EQ(all[0].targetDescription, "New name");
    EXPECT_EQ(all[1].targetDescription, "Radio 100");
}
