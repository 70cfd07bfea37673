#include <gtest/gtest.h>

#include "site/AreaLocks.h"

#include <array>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "site/AffiliationFilter.h"
#include "site/AffiliationList.h"
#include "site/AffiliationLog.h"
#include "site/DecoderContext.h"

namespace {

class AffiliationTest : public ::testing::Test {
protected:
    AffiliationTest() { ctx.time.SetClock(clock); }
    void TearDown() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }

    std::vector<AFFENTRY> List()
    {
        std::vector<AFFENTRY> out(AffiliationList::kCapacity);
        out.resize(static_cast<size_t>(list.CopyAffiliations(out.data(), static_cast<int>(out.size()))));
        return out;
    }
    std::vector<AFFLOG> Log()
    {
        std::vector<AFFLOG> out(AffiliationLog::kCapacity);
        out.resize(static_cast<size_t>(log.CopyAffiliationLog(out.data(), static_cast<int>(out.size()))));
        return out;
    }

    ManualClock clock;
    DecoderContext ctx;
    AffiliationList list{ctx};
    AffiliationLog log{ctx, list};
};

TEST_F(AffiliationTest, RepeatedEventIsLoggedOnceUntilAnotherRadioIntervenes)
{
    EXPECT_TRUE(log.LogAffiliation('A', 1234567, "Affiliate", 100));
    EXPECT_FALSE(log.LogAffiliation('A', 1234567, "Affiliate", 100));
    EXPECT_TRUE(log.LogAffiliation('A', 7654321, "Affiliate", 100));
    EXPECT_TRUE(log.LogAffiliation('A', 1234567, "Affiliate", 100));

    const auto entries = Log();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].radio, 1234567);
    EXPECT_EQ(entries[1].radio, 7654321);
    EXPECT_EQ(entries[2].radio, 1234567);
    EXPECT_EQ(entries[2].time, clock.Now());
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(AffiliationTest, AffiliationToTalkgroupZeroIsNeitherLoggedNorListed)
{
    EXPECT_FALSE(log.LogAffiliation('A', 1234567, "Affiliate", 0));
    EXPECT_EQ(log.Pending(), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(log.LogAffiliation('C', 1234567, "x", 5));  // only the clear posts a marker
}

TEST_F(AffiliationTest, SecondAffiliationUpdatesTheRadioInPlace)
{
    log.LogAffiliation('A', 1111, "Affiliate", 50);
    log.LogAffiliation('A', 1234567, "Affiliate", 100);
    clock.Advance(30);
    log.LogAffiliation('A', 1234567, "Forced", 200);

    const auto entries = List();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].radio, 1234567);
    EXPECT_EQ(entries[1].talkgroup, 200);
    EXPECT_EQ(entries[1].text, "Forced");
    EXPECT_EQ(entries[1].time, clock.Now());
    EXPECT_FALSE(list.AffiliationsChanged());
}

TEST_F(AffiliationTest, AddWithTalkgroupZeroKeepsTheTalkgroupAndTruncatesText)
{
    list.AddAffiliation(300, 42, "Affiliate");
    list.AddAffiliation(0, 42, std::string(400, 'x'));
    const auto entries = List();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].talkgroup, 300);
    EXPECT_EQ(entries[0].text.size(), 149u);
}

TEST_F(AffiliationTest, UnaffiliationOfUnknownRadioIsStillLogged)
{
    EXPECT_TRUE(log.LogAffiliation('U', 999, "Unaffiliate", 0));
    EXPECT_TRUE(log.LogAffiliation('D', 998, "Denied", 100));
    const auto entries = Log();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].function, 'U');
    EXPECT_EQ(entries[1].function, 'D');
    EXPECT_EQ(list.Count(), 0);  // a denial does not list the radio
}

TEST_F(AffiliationTest, RemovingFirstEntryKeepsTheOthersInOrderWithTheirTexts)
{
    list.AddAffiliation(10, 1, "Affiliate");
    list.AddAffiliation(20, 2, "Forced");
    list.AddAffiliation(30, 3, "Failed");
    EXPECT_TRUE(log.LogAffiliation('U', 1, "Unaffiliate", 0));
    EXPECT_FALSE(list.RemoveAffiliation(1));

    const auto entries = List();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].radio, 2);
    EXPECT_EQ(entries[0].talkgroup, 20);
    EXPECT_EQ(entries[0].text, "Forced");
    EXPECT_EQ(entries[1].radio, 3);
    EXPECT_EQ(entries[1].talkgroup, 30);
    EXPECT_EQ(entries[1].text, "Failed");

    list.AddAffiliation(40, 4, "Affiliate");  // the freed slot is reused behind the others
    EXPECT_EQ(List().back().radio, 4);
}

TEST_F(AffiliationTest, FullListRefusesNewRadioButItsEventIsLogged)
{
    for (int radio = 1; radio <= AffiliationList::kCapacity; ++radio)
        ASSERT_TRUE(list.AddAffiliation(100, radio, "Affiliate"));
    EXPECT_FALSE(list.AddAffiliation(100, 5000, "Affiliate"));
    EXPECT_TRUE(list.AddAffiliation(200, 7, "Affiliate"));  // a known radio is still updated

    EXPECT_TRUE(log.LogAffiliation('A', 5001, "Affiliate", 100));
    EXPECT_EQ(list.Count(), AffiliationList::kCapacity);
    ASSERT_EQ(Log().size(), 1u);
}

TEST_F(AffiliationTest, FullLogDropsEventsAndLeavesTheListAlone)
{
    for (int i = 0; i < AffiliationLog::kCapacity; ++i)
        ASSERT_TRUE(log.LogAffiliation('D', i + 1, "Denied", 100));
    EXPECT_FALSE(log.LogAffiliation('A', 777, "Affiliate", 100));
    EXPECT_EQ(list.Count(), 0);

    std::array<AFFLOG, 10> part;
    EXPECT_EQ(log.CopyAffiliationLog(part.data(), 10), 10);
    EXPECT_EQ(part[9].radio, 10);
    EXPECT_EQ(log.Pending(), 40);  // a short copy leaves the rest pending, in order
    EXPECT_EQ(Log().front().radio, 11);
    EXPECT_TRUE(log.LogAffiliation('A', 777, "Affiliate", 100));
}

// The reset's one call empties the list and posts the marker. The lock-order checker aborts on
// "AFFILIATE" then "AFFLOG", so reaching the assertions shows the order is right.
TEST_F(AffiliationTest, ClearAffiliationsEmptiesListAndPostsMarkerOnly)
{
    log.LogAffiliation('A', 1234567, "Affiliate", 100);
    log.LogAffiliation('A', 2, "Affiliate", 100);
    list.ClearAffiliations();

    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.AffiliationsChanged());
    const auto entries = Log();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].function, 'C');

    // The duplicate memory survives the clear.
    EXPECT_FALSE(log.LogAffiliation('A', 2, "Affiliate", 100));
}

TEST_F(AffiliationTest, ClearAffiliationsNestsInsideTheSystemLock)
{
    NamedLock sysinfo(area_locks::kSysInfo);
    LockGuard g(sysinfo);
    list.ClearAffiliations();
    EXPECT_EQ(NamedLock::HeldCount(), 1);
}

TEST(AffiliationListAlone, ClearWithoutLogOnlyEmptiesTheList)
{
    DecoderContext ctx;
    AffiliationList list(ctx);
    {
        AffiliationLog log(ctx, list);
    }  // the log detached itself
    list.AddAffiliation(1, 2, "Affiliate");
    list.ClearAffiliations();
    EXPECT_EQ(list.Count(), 0);
}

class AffiliationFilterTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }
    std::vector<FILTERRANGE> Ranges()
    {
        std::vector<FILTERRANGE> out(AffiliationFilter::kCapacity);
        out.resize(static_cast<size_t>(filter.CopyFilterRanges(out.data(), static_cast<int>(out.size()))));
        return out;
    }
    AffiliationFilter filter;
};

TEST_F(AffiliationFilterTest, InvalidBoundsAreRefusedWithoutEffect)
{
    struct Case {
        int32_t low, high;
    };
    for (const Case c : {Case{500, 100}, Case{-1, 100}, Case{0, 0x1000000}}) {
        EXPECT_FALSE(filter.SetFilterRange(true, c.low, c.high)) << c.low << ".." << c.high;
        EXPECT_FALSE(filter.FilterRangesChanged());
    }
    EXPECT_TRUE(filter.SetFilterRange(true, 0, 0xFFFFFF));
    EXPECT_FALSE(filter.RemoveFilterRange(500, 100));
    EXPECT_EQ(filter.Count(), 1);
}

TEST_F(AffiliationFilterTest, SameBoundsUpdateTheActiveFlagInPlace)
{
    EXPECT_TRUE(filter.SetFilterRange(true, 100, 500));
    EXPECT_TRUE(filter.SetFilterRange(true, 100, 500));
    EXPECT_TRUE(filter.SetFilterRange(false, 100, 500));
    const auto ranges = Ranges();
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_FALSE(ranges[0].active);
    EXPECT_FALSE(filter.FilterRangesChanged());
}

TEST_F(AffiliationFilterTest, FortyFirstRangeIsRefusedAndRemovalKeepsOrder)
{
    for (int i = 0; i < AffiliationFilter::kCapacity; ++i)
        ASSERT_TRUE(filter.SetFilterRange(true, i * 10, i * 10 + 5));
    Ranges();
    EXPECT_FALSE(filter.SetFilterRange(true, 1000, 2000));
    EXPECT_TRUE(filter.FilterRangesChanged());          // the refused call reached the lock
    EXPECT_TRUE(filter.SetFilterRange(false, 10, 15));  // an existing range can still change

    EXPECT_TRUE(filter.RemoveFilterRange(0, 5));
    EXPECT_FALSE(filter.RemoveFilterRange(0, 5));
    const auto ranges = Ranges();
    ASSERT_EQ(ranges.size(), 39u);
    EXPECT_EQ(ranges[0].low, 10);
    EXPECT_EQ(ranges[38].low, 390);
}

TEST_F(AffiliationFilterTest, ClearKeepsTheSwitch)
{
    EXPECT_TRUE(filter.SetFilterEnabled(true));
    filter.SetFilterRange(true, 1, 2);
    EXPECT_TRUE(filter.ClearFilterRanges());
    EXPECT_EQ(filter.Count(), 0);
    EXPECT_TRUE(filter.GetFilterEnabled());
    EXPECT_FALSE(filter.RemoveFilterRange(1, 2));
}

TEST(AffiliationFilterShown, RadioShownFollowsSwitchAndActiveRanges)
{
    const std::array<FILTERRANGE, 2> inactive{{{false, 100, 200}, {false, 300, 400}}};
    const std::array<FILTERRANGE, 2> mixed{{{false, 100, 200}, {true, 300, 400}}};
    struct Case {
        const FILTERRANGE* ranges;
        int count;
        bool enabled;
        int32_t radio;
        bool shown;
    };
    const Case cases[] = {
        {mixed.data(), 2, false, 150, true},    // switch off: all shown
        {nullptr, 0, true, 150, true},          // no ranges
        {inactive.data(), 2, true, 999, true},  // enabled, none active
        {mixed.data(), 2, true, 150, false},    // only in an inactive range
        {mixed.data(), 2, true, 300, true},     // bounds included
        {mixed.data(), 2, true, 400, true},    {mixed.data(), 2, true, 401, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AffiliationFilter::RadioShown(c.radio, c.ranges, c.count, c.enabled), c.shown)
            << "radio " << c.radio << " enabled " << c.enabled;
}

}  // namespace
