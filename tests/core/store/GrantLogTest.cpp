#include <gtest/gtest.h>

#include <vector>

#include "platform/Clock.h"
#include "platform/NamedLock.h"
#include "site/DecoderContext.h"
#include "site/GrantLog.h"
#include "site/IdentifierTable.h"

namespace {

class GrantLogTest : public ::testing::Test {
protected:
    GrantLogTest() { ctx.time.SetClock(clock); }
    ~GrantLogTest() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }

    std::vector<GRANTLOG> Copy(int capacity = GrantLog::kCapacity)
    {
        std::vector<GRANTLOG> out(GrantLog::kCapacity);
        out.resize(log.CopyGrantLog(out.data(), capacity));
        return out;
    }

    ManualClock clock;
    DecoderContext ctx;
    IdentifierTable ids;
    GrantLog log{ctx, ids};
};

TEST_F(GrantLogTest, DisabledLogRecordsAndReportsNothing)
{
    EXPECT_FALSE(log.AddGrantLogEntry("Group", 0x0010, 50, "", 1, 2));
    log.ClearGrantLog();
    EXPECT_FALSE(log.GrantLogChanged());
    EXPECT_TRUE(Copy().empty());

    EXPECT_TRUE(log.SetGrantLogEnabled(true));
    EXPECT_TRUE(log.GrantLogChanged()) << "the clear marker waits for the screen";
    ASSERT_EQ(Copy().size(), 1u);
    EXPECT_FALSE(log.SetGrantLogEnabled(false));
}

TEST_F(GrantLogTest, EntriesCarryTimeAndFrequencyAndLeaveOnCopy)
{
    log.SetGrantLogEnabled(true);
    EXPECT_TRUE(log.AddGrantLogEntry("Group", 0x0010, 7, "Enc", 5001, 100));
    clock.Advance(3);
    EXPECT_TRUE(log.AddGrantLogEntry("Alert", -1, 99, "", 5002, 0));
    EXPECT_TRUE(log.GrantLogChanged());

    std::vector<GRANTLOG> entries = Copy();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].time, clock.Now() - 3);
    EXPECT_EQ(entries[0].type, "Group");
    EXPECT_EQ(entries[0].channel, 0x0010);
    EXPECT_NEAR(entries[0].frequency, 851.10625, 1e-9);
    EXPECT_EQ(entries[0].priority, 7);
    EXPECT_EQ(entries[0].status, "Enc");
    EXPECT_EQ(entries[0].source, 5001);
    EXPECT_EQ(entries[0].target, 100);
    EXPECT_EQ(entries[1].type, "Alert");
    EXPECT_EQ(entries[1].frequency, 0.0);  // no channel

    EXPECT_FALSE(log.GrantLogChanged());
    EXPECT_TRUE(Copy().empty());
}

TEST_F(GrantLogTest, FiftyPendingEntriesFillTheLog)
{
    log.SetGrantLogEnabled(true);
    for (int i = 0; i < GrantLog::kCapacity; ++i)
        ASSERT_TRUE(log.AddGrantLogEntry("Group", 0x0010, 50, "", i, 100));
    EXPECT_FALSE(log.AddGrantLogEntry("Group", 0x0010, 50, "", 999, 100));

    std::vector<GRANTLOG> entries = Copy();
    ASSERT_EQ(entries.size(), 50u);
    EXPECT_EQ(entries.back().source, 49);
    EXPECT_TRUE(log.AddGrantLogEntry("Group", 0x0010, 50, "", 1000, 100));  // room again
}

TEST_F(GrantLogTest, ClearMarkerReplacesPendingEntries)
{
    log.SetGrantLogEnabled(true);
    log.AddGrantLogEntry("Group", 0x0010, 50, "", 1, 100);
    log.AddGrantLogEntry("Group", 0x0010, 50, "", 2, 100);
    log.ClearGrantLog();
    log.AddGrantLogEntry("Private", 0x0011, 1, "", 3, 7002);

    std::vector<GRANTLOG> entries = Copy();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].time, 0);
    EXPECT_EQ(entries[1].type, "Private");
}

TEST_F(GrantLogTest, SmallCopyKeepsTheRestForTheNextOne)
{
    log.SetGrantLogEnabled(true);
    for (int i = 0; i < 5; ++i)
        log.AddGrantLogEntry("Group", 0x0010, 50, "", i, 100);

    std::vector<GRANTLOG> first = Copy(3);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_TRUE(log.GrantLogChanged());
    std::vector<GRANTLOG> rest = Copy();
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].source, 3);
    EXPECT_EQ(rest[1].source, 4);
    EXPECT_EQ(Copy(0).size(), 0u);
}

}  // namespace
