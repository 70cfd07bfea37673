#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "site/DecoderContext.h"
#include "site/PatchList.h"
#include "site/PatchLog.h"

namespace {

class PatchTest : public ::testing::Test {
protected:
    PatchTest() { ctx.time.SetClock(clock); }
    void TearDown() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }

    std::vector<PATCHENTRY> Patches()
    {
        std::vector<PATCHENTRY> out(PatchList::kCapacity);
        out.resize(static_cast<size_t>(patches.CopyPatches(out.data(), static_cast<int>(out.size()))));
        return out;
    }
    std::vector<PATCHLOGENTRY> Logged()
    {
        std::vector<PATCHLOGENTRY> out(PatchLog::kCapacity);
        out.resize(static_cast<size_t>(log.CopyPatchLog(out.data(), static_cast<int>(out.size()))));
        return out;
    }

    ManualClock clock;
    DecoderContext ctx;
    PatchLog log{ctx};
    PatchList patches{ctx, log};
};

TEST_F(PatchTest, GroupEqualToSupergroupIsRefused)
{
    EXPECT_FALSE(patches.AddPatch(100, 100));
    EXPECT_EQ(patches.Count(), 0);
    EXPECT_EQ(log.Pending(), 0);
}

TEST_F(PatchTest, RepeatedAnnouncementLogsOnceAndRefreshesTime)
{
    EXPECT_TRUE(patches.AddPatch(101, 900));
    clock.Advance(8);
    EXPECT_TRUE(patches.AddPatch(101, 900));

    const auto logged = Logged();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].action, 'A');
    EXPECT_EQ(logged[0].group, 101);
    EXPECT_EQ(logged[0].supergroup, 900);
    const auto list = Patches();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].lastSeen, clock.Now());
}

TEST_F(PatchTest, ReleaseRemovesEverySupergroupMemberAndLogsEach)
{
    patches.AddPatch(101, 900);
    patches.AddPatch(102, 900);
    patches.AddPatch(103, 901);
    Logged();

    EXPECT_TRUE(patches.ReleasePatches(900));
    EXPECT_FALSE(patches.ReleasePatches(900));
    const auto logged = Logged();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].action, 'R');
    EXPECT_EQ(logged[0].group, 101);
    EXPECT_EQ(logged[1].group, 102);
    EXPECT_EQ(logged[1].supergroup, 900);
    const auto list = Patches();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].group, 103);
    EXPECT_EQ(list[0].supergroup, 901);
}

TEST_F(PatchTest, PatchExpiresAfterMoreThanTenSilentSeconds)
{
    patches.AddPatch(101, 900);
    clock.Advance(3);
    patches.AddPatch(102, 901);
    Logged();

    clock.Advance(7);  // first pair silent for 10 s: kept
    EXPECT_FALSE(patches.ExpirePatches());
    clock.Advance(1);
    EXPECT_TRUE(patches.ExpirePatches());
    const auto logged = Logged();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].action, 'R');
    EXPECT_EQ(logged[0].group, 101);
    EXPECT_EQ(logged[0].supergroup, 900);

    clock.Advance(3);  // the copy expires the second pair before copying
    EXPECT_TRUE(Patches().empty());
    EXPECT_EQ(Logged().size(), 1u);
}

TEST_F(PatchTest, TwentySixthPairIsRefusedAndNotLogged)
{
    for (int i = 0; i < PatchList::kCapacity; ++i)
        ASSERT_TRUE(patches.AddPatch(100 + i, 900));
    Logged();
    EXPECT_FALSE(patches.AddPatch(500, 900));
    EXPECT_EQ(log.Pending(), 0);
    EXPECT_TRUE(patches.AddPatch(100, 900));  // a known pair is still refreshed
}

TEST_F(PatchTest, ClearPatchesEmptiesWithoutLogging)
{
    patches.AddPatch(101, 900);
    Patches();
    patches.ClearPatches();
    EXPECT_TRUE(patches.PatchesChanged());
    EXPECT_TRUE(Patches().empty());
    EXPECT_FALSE(patches.PatchesChanged());
    EXPECT_EQ(Logged().size(), 1u);  // only the 'A'
}

TEST_F(PatchTest, FullPatchLogDropsEntriesButPatchesStillChange)
{
    for (int i = 0; i < PatchLog::kCapacity; ++i)
        ASSERT_TRUE(log.AddPatchLogEntry('A', i, 1));
    EXPECT_TRUE(patches.AddPatch(101, 900));
    EXPECT_EQ(log.Pending(), PatchLog::kCapacity);
    EXPECT_EQ(patches.Count(), 1);
}

TEST_F(PatchTest, ClearMarkerReplacesPendingEntries)
{
    patches.AddPatch(101, 900);
    log.ClearPatchLog();
    const auto logged = Logged();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].time, 0);
    EXPECT_FALSE(log.PatchLogChanged());
}

TEST_F(PatchTest, TryOnceCopyLeavesEntriesPendingWhileLockIsBusy)
{
    patches.AddPatch(101, 900);
    std::promise<void> held, release;
    std::thread holder([&] {
        LockGuard g(log.Lock());
        held.set_value();
        release.get_future().wait();
    });
    held.get_future().wait();
    PATCHLOGENTRY out[PatchLog::kCapacity];
    EXPECT_EQ(log.CopyPatchLog(out, PatchLog::kCapacity, true), 0);
    release.set_value();
    holder.join();
    EXPECT_EQ(log.CopyPatchLog(out, PatchLog::kCapacity, true), 1);
}

}  // namespace
