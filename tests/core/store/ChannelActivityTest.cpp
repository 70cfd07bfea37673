#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/NamedLock.h"
#include "site/ChannelActivity.h"
#include "site/ChannelTable.h"
#include "site/DecoderContext.h"
#include "site/GrantLog.h"
#include "site/IdentifierTable.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace {

constexpr int32_t kChA = 0x1001;  // 764.00625 MHz with the built-in 700 MHz plan
constexpr int32_t kChB = 0x1002;

// The areas wired the way P25Class wires them, with a manual clock and the grant log switched on.
class ChannelActivityTest : public ::testing::Test {
protected:
    ChannelActivityTest()
    {
        ctx.time.SetClock(clock);
        log.SetGrantLogEnabled(true);
        ctx.time.SetTick(100);
    }
    ~ChannelActivityTest() override { EXPECT_EQ(NamedLock::HeldCount(), 0) << "a lock was left held"; }

    // A copy of the channel's line (the test fails when there is none).
    FreqInfo Line(int32_t channel)
    {
        std::vector<FreqInfo> all(ChannelTable::kCapacity);
        all.resize(channels.CopyChannels(all.data(), ChannelTable::kCapacity));
        for (const FreqInfo& f : all)
            if (f.channel == channel)
                return f;
        ADD_FAILURE() << "no line for channel " << channel;
        return {};
    }

    std::vector<GRANTLOG> Drain()
    {
        std::vector<GRANTLOG> out(GrantLog::kCapacity);
        out.resize(log.CopyGrantLog(out.data(), GrantLog::kCapacity));
        return out;
    }

    ManualClock clock;
    DecoderContext ctx;
    TalkgroupTable talkgroups{ctx};
    RadioTable radios{ctx};
    IdentifierTable ids;
    ChannelTable channels{ctx, ids, talkgroups};
    GrantLog log{ctx, ids};
    ChannelActivity activity{channels, talkgroups, radios, log, ctx};
};

TEST_F(ChannelActivityTest, GroupGrantCountsOneHitPerNewTalkgroupAndLogsOnlyChanges)
{
    talkgroups.SetTalkgroup(100, "Fire Dispatch", 7, 0);
    EXPECT_TRUE(activity.RecordGroupGrant(kChA, 100, "Enc", 5001));
    EXPECT_FALSE(activity.RecordGroupGrant(kChA, 100, "Enc", 5001));  // repeated grant: same call

    FreqInfo line = Line(kChA);
    EXPECT_EQ(line.usage, "Group");
    EXPECT_EQ(line.target, 100);
    EXPECT_EQ(line.targetDescription, "Fire Dispatch");
    EXPECT_EQ(line.source, 5001);
    EXPECT_EQ(line.status, "Enc");
    EXPECT_EQ(line.usageFlags, kFlagVoice);
    EXPECT_EQ(line.hits, 1);
    EXPECT_EQ(line.lastActivity, 100);

    std::vector<GRANTLOG> entries = Drain();
    ASSERT_EQ(entries.size(), 1u);
    const GRANTLOG& e = entries[0];
    EXPECT_EQ(e.time, clock.Now());
    EXPECT_EQ(e.type, "Group");
    EXPECT_EQ(e.channel, kChA);
    EXPECT_NEAR(e.frequency, 764.00625, 1e-9);
    EXPECT_EQ(e.target, 100);
    EXPECT_EQ(e.source, 5001);
    EXPECT_EQ(e.status, "Enc");
    EXPECT_EQ(e.priority, 7);

    EXPECT_TRUE(activity.RecordGroupGrant(kChA, 200, "", 5001));
    line = Line(kChA);
    EXPECT_EQ(line.hits, 2);
    EXPECT_EQ(line.status, "");
    EXPECT_EQ(Drain().size(), 1u);
}

TEST_F(ChannelActivityTest, GrantTouchesKnownNamesButAddsNone)
{
    talkgroups.SetTalkgroup(100, "Fire", 255, 5);
    radios.SetRadio(5001, "Engine 1", 5);
    clock.Advance(60);
    activity.RecordGroupGrant(kChA, 100, "", 5001);
    activity.RecordGroupGrant(kChB, 300, "", 6000);  // neither known

    ASSERT_EQ(talkgroups.TalkgroupCount(), 1);
    ASSERT_EQ(radios.RadioCount(), 1);
    {
        LockGuard g(talkgroups.Lock());
        EXPECT_EQ(talkgroups.At(0).lastSeen, clock.Now());
    }
    LockGuard g(radios.Lock());
    EXPECT_EQ(radios.At(0).lastSeen, clock.Now());
}

TEST_F(ChannelActivityTest, TalkgroupMovingToAnotherChannelLeavesTheOldLine)
{
    activity.RecordGroupGrant(kChA, 100, "Emrg", 5001);
    Drain();
    EXPECT_TRUE(activity.RecordGroupGrant(kChB, 100, "Emrg", 5001));

    const FreqInfo old = Line(kChA);
    EXPECT_EQ(old.usage, "");
    EXPECT_EQ(old.target, 0);
    EXPECT_EQ(old.targetDescription, "");
    EXPECT_EQ(old.source, 0);
    EXPECT_EQ(old.status, "");
    EXPECT_EQ(old.lastActivity, 0);
    EXPECT_EQ(old.usageFlags, kFlagVoice);  // history stays
    EXPECT_EQ(old.hits, 1);
    EXPECT_EQ(Line(kChB).target, 100);
    EXPECT_EQ(Drain().size(), 1u);
}

TEST_F(ChannelActivityTest, IdleLinesAreNotReleasedByATalkgroupZeroGrant)
{
    activity.RecordPhoneGrant(kChA, 5001, "");  // phone lines have target 0
    activity.RecordGroupGrant(kChB, 0, "", 6000);
    EXPECT_EQ(Line(kChA).usage, "Phone");
    EXPECT_EQ(Line(kChA).source, 5001);
}

struct LoggedGrantCase {
    const char* name;
    std::function<bool(ChannelActivity&)> record;  // always on kChA
    const char* usage;
    uint32_t flags;
    int32_t lineTarget;
    const char* description;
    int32_t lineSource;
    const char* status;
    int32_t hits;
    // grant log entry
    const char* type;
    int32_t priority;
    int32_t logTarget;
    int32_t logSource;
    bool repeatLogsAgain;
};

TEST_F(ChannelActivityTest, EachLoggedGrantSetsItsLineAndLogsItsEntry)
{
    const std::vector<LoggedGrantCase> cases = {
        {"group", [](ChannelActivity& a) { return a.RecordGroupGrant(kChA, 100, "Enc", 5001); }, "Group", kFlagVoice,
         100, "Fire", 5001, "Enc", 1, "Group", 50, 100, 5001, false},
        {"private", [](ChannelActivity& a) { return a.RecordPrivateGrant(kChA, 7002, "", 5001); }, "Private",
         kFlagVoice | kFlagPrivate, 7002, "Medic 2", 5001, "", 1, "Private", 1, 7002, 5001, false},
        {"phone", [](ChannelActivity& a) { return a.RecordPhoneGrant(kChA, 5001, "Emrg"); }, "Phone", kFlagPhone, 0, "",
         5001, "Emrg", 1, "Phone", 1, 0, 5001, false},
        {"group data", [](ChannelActivity& a) { return a.RecordGroupDataGrant(kChA, 100, "", 5001); }, "GrpData",
         kFlagData, 100, "Fire", 5001, "", 1, "GrpData", 50, 100, 5001, false},
        {"group data without talkgroup", [](ChannelActivity& a) { return a.RecordGroupDataGrant(kChA, -1, "", 5001); },
         "GrpData", kFlagData, 0, "", 5001, "", 0, "GrpData", 50, -1, 5001, false},
        {"private data", [](ChannelActivity& a) { return a.RecordPrivateDataGrant(kChA, 7002, "", 5001); }, "PvtData",
         kFlagData, 7002, "Medic 2", 5001, "", 1, "PvtData", 1, 7002, 5001, false},
        {"private data without target", [](ChannelActivity& a) { return a.RecordPrivateDataGrant(kChA, -1, "", 5001); },
         "PvtData", kFlagData, 0, "", 5001, "", 0, "PvtData", 1, -1, 5001, true},
        {"CW identification", [](ChannelActivity& a) { return a.RecordCwid(kChA, "WQAB123"); }, "CWID", kFlagCwid, 0,
         "", 0, "WQAB123", 1, "CWID", 1, 0, 0, false},
    };
    for (const LoggedGrantCase& c : cases) {
        SCOPED_TRACE(c.name);
        channels.Reset();
        Drain();
        talkgroups.SetTalkgroup(100, "Fire", 255, 0);
        radios.SetRadio(7002, "Medic 2", 0);

        EXPECT_TRUE(c.record(activity));
        const FreqInfo line = Line(kChA);
        EXPECT_EQ(line.usage, c.usage);
        EXPECT_EQ(line.usageFlags, c.flags);
        EXPECT_EQ(line.target, c.lineTarget);
        EXPECT_EQ(line.targetDescription, c.description);
        EXPECT_EQ(line.source, c.lineSource);
        EXPECT_EQ(line.status, c.status);
        EXPECT_EQ(line.hits, c.hits);
        EXPECT_EQ(line.lastActivity, 100);

        std::vector<GRANTLOG> entries = Drain();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].type, c.type);
        EXPECT_EQ(entries[0].channel, kChA);
        EXPECT_EQ(entries[0].priority, c.priority);
        EXPECT_EQ(entries[0].target, c.logTarget);
        EXPECT_EQ(entries[0].source, c.logSource);
        EXPECT_EQ(entries[0].status, c.status);

        // The same grant again is the same call: no change and no entry (except where noted).
        EXPECT_EQ(c.record(activity), c.repeatLogsAgain);
        EXPECT_EQ(Drain().size(), c.repeatLogsAgain ? 1u : 0u);
        EXPECT_EQ(Line(kChA).hits, c.hits);
    }
}

TEST_F(ChannelActivityTest, UpdatesKeepTheLineAliveWithoutLogging)
{
    EXPECT_TRUE(activity.RecordGroupGrantUpdate(kChA, 100));
    EXPECT_EQ(Line(kChA).hits, 1);  // an update of a call not yet seen starts it
    EXPECT_TRUE(activity.RecordGroupUpdateWithStatus(kChA, 100, "Emrg"));
    EXPECT_EQ(Line(kChA).status, "Emrg");
    EXPECT_EQ(Line(kChA).hits, 1);

    EXPECT_TRUE(activity.RecordPrivateGrantUpdate(kChB, 7002, 5001));
    EXPECT_EQ(Line(kChB).hits, 0);  // private updates count no call
    EXPECT_EQ(Line(kChB).usageFlags, kFlagVoice | kFlagPrivate);

    ctx.time.SetTick(150);
    EXPECT_TRUE(activity.RecordPhoneGrantUpdate(0x1003, 5001));
    EXPECT_EQ(Line(0x1003).usage, "Phone");
    EXPECT_EQ(Line(0x1003).lastActivity, 150);

    EXPECT_TRUE(activity.RecordDataGrantUpdate(0x1004, -1));
    EXPECT_EQ(Line(0x1004).usage, "PvtData");
    EXPECT_TRUE(activity.RecordDataGrantUpdate(0x1004, 100));
    EXPECT_EQ(Line(0x1004).usage, "GrpData");
    EXPECT_EQ(Line(0x1004).hits, 0);

    EXPECT_TRUE(Drain().empty());
}

struct ExpiryCase {
    int32_t timeout;
    int32_t lastTick;
    int32_t stillActiveAt;
    int32_t emptiedAt;
};

TEST_F(ChannelActivityTest, LinesExpireOnlyAfterMoreThanTheTimeOut)
{
    for (const ExpiryCase& c : {ExpiryCase{17, 100, 117, 118}, ExpiryCase{5, 2000, 2005, 2006}}) {
        SCOPED_TRACE(c.timeout);
        channels.Reset();
        ctx.tgTimeOut = c.timeout;
        ctx.time.SetTick(c.lastTick);
        activity.RecordGroupGrant(kChA, 100, "Enc", 5001);
        activity.RecordControlChannel(kChB, 0);

        ctx.time.SetTick(c.stillActiveAt);
        EXPECT_FALSE(activity.ExpireChannelActivity());
        EXPECT_EQ(Line(kChA).usage, "Group");

        ctx.time.SetTick(c.emptiedAt);
        EXPECT_TRUE(activity.ExpireChannelActivity());
        const FreqInfo line = Line(kChA);
        EXPECT_EQ(line.usage, "");
        EXPECT_EQ(line.target, 0);
        EXPECT_EQ(line.source, 0);
        EXPECT_EQ(line.status, "");
        EXPECT_EQ(line.lastActivity, 0);
        EXPECT_EQ(line.usageFlags, kFlagVoice);
        EXPECT_EQ(line.hits, 1);
        EXPECT_EQ(Line(kChB).usage, "") << "a control channel expires without status broadcasts";

        EXPECT_FALSE(activity.ExpireChannelActivity());  // idle lines are left alone
    }
}

TEST_F(ChannelActivityTest, OnlyTheLatestControlChannelIsShownAsControl)
{
    EXPECT_TRUE(activity.RecordControlChannel(kChA, 0));
    EXPECT_FALSE(activity.RecordControlChannel(kChA, 0));  // refresh only
    ctx.time.SetTick(140);
    EXPECT_TRUE(activity.RecordControlChannel(kChB, 0x1050));

    const FreqInfo a = Line(kChA);
    const FreqInfo b = Line(kChB);
    EXPECT_EQ(a.usage, "");
    EXPECT_EQ(a.lastActivity, 140);
    EXPECT_EQ(b.usage, "Control");
    EXPECT_EQ(b.lastActivity, 140);
    EXPECT_EQ(a.usageFlags, kFlagControl);
    EXPECT_EQ(b.usageFlags, kFlagControl);
    EXPECT_NEAR(b.txFrequency, ids.ChannelRxFrequency(0x1050), 1e-9);  // explicit transmit channel
    EXPECT_TRUE(Drain().empty());
}

TEST_F(ChannelActivityTest, AlternateControlFlagsBothChannelsWithoutTouchingActivity)
{
    EXPECT_TRUE(activity.RecordAlternateControl(kChA, kChB));
    EXPECT_FALSE(activity.RecordAlternateControl(kChA, kChB));
    EXPECT_TRUE(activity.RecordAlternateControl(0x1003, 0x1003));
    EXPECT_EQ(channels.Count(), 3);
    for (int32_t ch : {kChA, kChB, 0x1003}) {
        EXPECT_EQ(Line(ch).usageFlags, kFlagAlternate);
        EXPECT_EQ(Line(ch).lastActivity, 0);
    }
}

TEST_F(ChannelActivityTest, QueuedResponseIsLoggedOncePerSecondAndRememberedAcrossResets)
{
    EXPECT_TRUE(activity.RecordQueued(100, 5001));
    EXPECT_FALSE(activity.RecordQueued(100, 5001));
    EXPECT_TRUE(activity.RecordQueued(200, 5001));  // another response in the same second

    std::vector<GRANTLOG> entries = Drain();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].type, "Queued");
    EXPECT_EQ(entries[0].channel, -1);
    EXPECT_EQ(entries[0].frequency, 0.0);
    EXPECT_EQ(entries[0].priority, 1);
    EXPECT_EQ(entries[0].status, "");
    EXPECT_EQ(entries[0].target, 100);
    EXPECT_EQ(entries[0].source, 5001);

    channels.Reset();
    log.ClearGrantLog();
    Drain();
    EXPECT_FALSE(activity.RecordQueued(200, 5001));
    clock.Advance(1);
    EXPECT_TRUE(activity.RecordQueued(200, 5001));
    EXPECT_TRUE(channels.ChannelsChanged());
}

TEST_F(ChannelActivityTest, GrantOnAChannelThatCannotBeAddedIsIgnored)
{
    for (int32_t ch = 0; ch < ChannelTable::kCapacity; ++ch)
        channels.SetHits(0x1100 + ch, 0);
    FreqInfo before[ChannelTable::kCapacity];
    channels.CopyChannels(before, ChannelTable::kCapacity);

    EXPECT_FALSE(activity.RecordGroupGrant(kChA, 100, "", 5001));
    EXPECT_FALSE(activity.RecordPrivateDataGrant(kChA, -1, "", 5001));
    EXPECT_FALSE(activity.RecordControlChannel(kChA, 0));
    EXPECT_EQ(channels.Count(), ChannelTable::kCapacity);
    EXPECT_FALSE(channels.ChannelsChanged());
    EXPECT_TRUE(Drain().empty());

    EXPECT_TRUE(activity.RecordGroupGrant(0x1100, 100, "", 5001));  // a known line still works
}

// The tick counter handed between its timer and the monotonic clock keeps the value it reached:
// no tick lost, none counted twice, and the clock moves it on by itself.
TEST(TickCounter, SwitchingBetweenTimerAndMonotonicClockKeepsTheCount)
{
    TimeBase time;
    time.SetTick(50);
    time.AdvanceTick();
    EXPECT_EQ(time.Tick(), 51);
    EXPECT_FALSE(time.FollowsSteadyClock());

    time.FollowSteadyClock();
    EXPECT_TRUE(time.FollowsSteadyClock());
    const int32_t followed = time.Tick();
    EXPECT_GE(followed, 51);
    EXPECT_LE(followed, 52);
    time.AdvanceTick();  // a timer event meanwhile still counts once
    EXPECT_GE(time.Tick(), followed + 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_GE(time.Tick(), followed + 3);

    time.FollowTimer();
    EXPECT_FALSE(time.FollowsSteadyClock());
    const int32_t handed = time.Tick();
    EXPECT_GE(handed, followed + 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(time.Tick(), handed) << "only the timer moves it now";
    time.AdvanceTick();
    EXPECT_EQ(time.Tick(), handed + 1);
    time.SetTick(7);
    time.FollowSteadyClock();
    EXPECT_GE(time.Tick(), 7);
    EXPECT_LE(time.Tick(), 8);
}

}  // namespace
