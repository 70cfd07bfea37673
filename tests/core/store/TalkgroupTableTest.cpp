#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <string>

#include "platform/Clock.h"
#include "platform/NamedLock.h"
#include "site/DecoderContext.h"
#include "site/TalkgroupTable.h"

namespace {

constexpr int64_t kT0 = 1240322820;  // 21 Apr 2009 14:07:00 UTC

class TalkgroupTableTest : public ::testing::Test {
protected:
    TalkgroupTableTest()
    {
        setenv("TZ", "UTC", 1);
        tzset();
        ctx.time.SetClock(clock);
        ctx.rfss = 1;
        ctx.site = 5;
    }
    // A lock left held by any operation of a test would still be held here.
    void TearDown() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }

    const TGTAG& Record(int32_t id)
    {
        LockGuard g(table.Lock());
        for (int i = 0; i < table.TalkgroupCount(); ++i)
            if (table.At(i).id == id)
                return table.At(i);
        ADD_FAILURE() << "talkgroup " << id << " missing";
        return table.At(0);
    }

    ManualClock clock{kT0};
    DecoderContext ctx;
    TalkgroupTable table{ctx};
};

TEST_F(TalkgroupTableTest, NewTalkgroupGetsGeneratedTextPriority50AndTimes)
{
    EXPECT_TRUE(table.NoteTalkgroup(1234));
    EXPECT_EQ(table.GetTalkgroupText(1234), "T: 105 DT: 4/21/09@14:07");
    EXPECT_EQ(table.GetTalkgroupPriority(1234), 50);
    const TGTAG& r = Record(1234);
    EXPECT_EQ(r.firstSeen, kT0);
    EXPECT_EQ(r.lastSeen, kT0);
    EXPECT_EQ(r.textColor, 0u);
    EXPECT_EQ(r.backColor, 0u);
}

TEST_F(TalkgroupTableTest, GeneratedTextUsesCurrentSiteAndUnpaddedMonthDayHour)
{
    clock.Set(1262509500);  // 3 Jan 2010 09:05 UTC
    ctx.rfss = 12;
    ctx.site = 3;
    table.NoteTalkgroup(7);
    EXPECT_EQ(table.GetTalkgroupText(7), "T: 1203 DT: 1/3/10@9:05");
}

TEST_F(TalkgroupTableTest, NotingAnExistingTalkgroupChangesNothing)
{
    table.SetTalkgroup(300, "Fire Dispatch", 7, 1000);
    clock.Advance(3600);
    EXPECT_FALSE(table.NoteTalkgroup(300));
    EXPECT_EQ(table.GetTalkgroupText(300), "Fire Dispatch");
    EXPECT_EQ(table.GetTalkgroupPriority(300), 7);
    EXPECT_EQ(Record(300).lastSeen, 1000);
    EXPECT_EQ(Record(300).firstSeen, kT0);
    EXPECT_EQ(table.TalkgroupCount(), 1);
}

TEST_F(TalkgroupTableTest, IdZeroIsNeverAdded)
{
    EXPECT_FALSE(table.NoteTalkgroup(0));
    EXPECT_FALSE(table.SetTalkgroup(0, "zero", 1, 0));
    EXPECT_FALSE(table.IsTalkgroupKnown(0));
    EXPECT_EQ(table.TalkgroupCount(), 0);
}

TEST_F(TalkgroupTableTest, RandomInsertsStayInAscendingOrderAndAreFound)
{
    for (int32_t id : {300, 100, 200})
        table.NoteTalkgroup(id);
    std::set<int32_t> reference{100, 200, 300};
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int32_t> dist(1, 65535);
    for (int i = 0; i < 4000; ++i) {
        const int32_t id = dist(rng);
        const bool isNew = reference.insert(id).second;
        EXPECT_EQ(table.NoteTalkgroup(id), isNew) << id;
    }
    ASSERT_EQ(table.TalkgroupCount(), static_cast<int>(reference.size()));
    {
        LockGuard g(table.Lock());
        int i = 0;
        for (int32_t id : reference)
            ASSERT_EQ(table.At(i++).id, id) << "position " << i - 1;
    }
    for (int32_t id : reference)
        EXPECT_TRUE(table.IsTalkgroupKnown(id)) << id;
    EXPECT_FALSE(table.IsTalkgroupKnown(65536));
}

// The table holds the whole id space: the files and the import (SetTalkgroup) may fill it with
// every talkgroup 1..65535, and ids outside it are refused.
TEST_F(TalkgroupTableTest, HoldsEveryTalkgroupFrom1To65535)
{
    for (int32_t id = 1; id <= 65535; ++id)
        ASSERT_TRUE(table.SetTalkgroup(id, "x", 255, 0)) << id;
    EXPECT_EQ(table.TalkgroupCount(), TalkgroupTable::kCapacity);
    EXPECT_TRUE(table.IsTalkgroupKnown(65535));
    EXPECT_FALSE(table.SetTalkgroup(500, "renamed", 255, 0));  // no record added, but updated
    EXPECT_EQ(table.GetTalkgroupText(500), "renamed");
    EXPECT_FALSE(table.NoteTalkgroup(65535));  // known already

    for (int32_t id : {0, -1, 65536, 70000})
        EXPECT_FALSE(table.SetTalkgroup(id, "out of range", 255, 0)) << id;
    EXPECT_EQ(table.TalkgroupCount(), TalkgroupTable::kCapacity);
    EXPECT_FALSE(table.IsTalkgroupKnown(70000));
}

TEST_F(TalkgroupTableTest, SetTalkgroupKeepsPriority255AndStampsTime0AsNow)
{
    EXPECT_TRUE(table.SetTalkgroup(42, "Police", 255, 0));  // added: priority stays 50
    EXPECT_EQ(table.GetTalkgroupPriority(42), 50);
    EXPECT_EQ(Record(42).lastSeen, kT0);
    EXPECT_EQ(Record(42).firstSeen, kT0);

    EXPECT_FALSE(table.SetTalkgroup(42, "Police 2", 3, 5000));  // exists: false, still updated
    EXPECT_EQ(table.GetTalkgroupPriority(42), 3);
    EXPECT_EQ(Record(42).lastSeen, 5000);
    EXPECT_EQ(table.GetTalkgroupText(42), "Police 2");

    clock.Advance(60);
    table.SetTalkgroup(42, "Police 3", 255, 0);
    EXPECT_EQ(table.GetTalkgroupPriority(42), 3);
    EXPECT_EQ(Record(42).lastSeen, kT0 + 60);

    table.SetTalkgroup(42, "Ignored", 0, 0);
    EXPECT_EQ(table.GetTalkgroupPriority(42), 0);
}

TEST_F(TalkgroupTableTest, UnknownTalkgroupAnswersEmptyTextAndPriority50)
{
    EXPECT_EQ(table.GetTalkgroupText(9), "");
    EXPECT_EQ(table.GetTalkgroupPriority(9), 50);
    EXPECT_FALSE(table.TouchTalkgroup(9));
    EXPECT_FALSE(table.SetTalkgroupColors(9, 1, 2));
    EXPECT_FALSE(table.SetTalkgroupFirstSeen(9, 1));
    EXPECT_EQ(table.TalkgroupCount(), 0);
}

TEST_F(TalkgroupTableTest, TouchSetsLastSeenAndFillsOnlyAMissingFirstSeen)
{
    table.NoteTalkgroup(10);
    table.NoteTalkgroup(11);
    EXPECT_TRUE(table.SetTalkgroupFirstSeen(11, 0));
    clock.Advance(90);
    EXPECT_TRUE(table.TouchTalkgroup(10));
    EXPECT_TRUE(table.TouchTalkgroup(11));
    EXPECT_EQ(Record(10).lastSeen, kT0 + 90);
    EXPECT_EQ(Record(10).firstSeen, kT0);
    EXPECT_EQ(Record(11).firstSeen, kT0 + 90);
}

TEST_F(TalkgroupTableTest, ColoursWithoutOwnAnswerTrueWithTheDefaults)
{
    ctx.defaultTextColor = 0x112233;
    ctx.defaultBackColor = 0x445566;
    uint32_t text = 7, back = 7;
    EXPECT_FALSE(table.GetTalkgroupColors(5, text, back));
    EXPECT_EQ(text, 0u);
    EXPECT_EQ(back, 0u);

    table.NoteTalkgroup(5);
    EXPECT_TRUE(table.GetTalkgroupColors(5, text, back));
    EXPECT_EQ(text, 0x112233u);
    EXPECT_EQ(back, 0x445566u);

    EXPECT_TRUE(table.SetTalkgroupColors(5, 0x0000FF, 0xFFFFFF));
    EXPECT_TRUE(table.GetTalkgroupColors(5, text, back));
    EXPECT_EQ(text, 0x0000FFu);
    EXPECT_EQ(back, 0xFFFFFFu);
}

TEST_F(TalkgroupTableTest, ClearEmptiesAndReusedRecordsStartFresh)
{
    table.SetTalkgroup(5, "Old name", 9, 0);
    table.SetTalkgroupColors(5, 0xFF, 0xFF00);
    table.ClearTalkgroups();
    EXPECT_EQ(table.TalkgroupCount(), 0);
    EXPECT_FALSE(table.IsTalkgroupKnown(5));

    EXPECT_TRUE(table.NoteTalkgroup(6));
    const TGTAG& r = Record(6);
    EXPECT_EQ(r.description, "T: 105 DT: 4/21/09@14:07");
    EXPECT_EQ(r.priority, 50);
    EXPECT_EQ(r.textColor, 0u);
    EXPECT_EQ(r.backColor, 0u);
}

}  // namespace

// Removal moves the last slot's record into the freed slot: random inserts and removals against a
// reference map must keep the id order, every record's own fields, and room for new entries.
TEST_F(TalkgroupTableTest, RandomRemovalsKeepOrderFieldsAndFreeSlots)
{
    std::map<int32_t, std::string> reference;
    std::mt19937 rng(99);
    std::uniform_int_distribution<int32_t> dist(1, 3000);
    for (int i = 0; i < 6000; ++i) {
        const int32_t id = dist(rng);
        if (rng() % 3 == 0) {
            EXPECT_EQ(table.RemoveTalkgroup(id), reference.erase(id) == 1) << id;
        } else if (reference.count(id) == 0) {
            const std::string name = "TG " + std::to_string(id);
            table.SetTalkgroup(id, name, id % 100, 1000 + id);
            table.SetTalkgroupColors(id, static_cast<uint32_t>(id), static_cast<uint32_t>(id) + 1);
            reference[id] = name;
        }
    }
    ASSERT_EQ(table.TalkgroupCount(), static_cast<int>(reference.size()));
    LockGuard g(table.Lock());
    int index = 0;
    for (const auto& [id, name] : reference) {
        const TGTAG& r = table.At(index++);
        ASSERT_EQ(r.id, id);
        EXPECT_EQ(r.description, name);
        EXPECT_EQ(r.priority, id % 100);
        EXPECT_EQ(r.lastSeen, 1000 + id);
        EXPECT_EQ(r.textColor, static_cast<uint32_t>(id));
        EXPECT_EQ(r.backColor, static_cast<uint32_t>(id) + 1);
    }
}

TEST_F(TalkgroupTableTest, RemovingRaisesChangedAndAnAbsentIdChangesNothing)
{
    table.SetTalkgroup(10, "Ten", 5, 0);
    table.ClearChanged();
    EXPECT_FALSE(table.RemoveTalkgroup(11));
    EXPECT_FALSE(table.TalkgroupsChanged());
    EXPECT_TRUE(table.RemoveTalkgroup(10));
    EXPECT_TRUE(table.TalkgroupsChanged());
    EXPECT_FALSE(table.IsTalkgroupKnown(10));
    EXPECT_EQ(table.TalkgroupCount(), 0);
    // Back as a new entry: the defaults, not the removed record's values.
    EXPECT_TRUE(table.NoteTalkgroup(10));
    EXPECT_EQ(table.GetTalkgroupPriority(10), 50);
}

// A full table gets room again by a removal.
TEST_F(TalkgroupTableTest, FullTableTakesANewIdAfterARemoval)
{
    for (int32_t id = 1; id <= TalkgroupTable::kCapacity; ++id)
        ASSERT_TRUE(table.SetTalkgroup(id, "", 255, 1));
    EXPECT_TRUE(table.RemoveTalkgroup(30000));
    EXPECT_TRUE(table.SetTalkgroup(30000, "again", 255, 1));
    EXPECT_EQ(table.GetTalkgroupText(30000), "again");
    EXPECT_EQ(table.TalkgroupCount(), TalkgroupTable::kCapacity);
}
