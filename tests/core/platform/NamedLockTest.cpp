#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"

namespace {

struct NestingCase {
    const char* outer;
    const char* inner;
    bool allowed;
};

class NestingTable : public ::testing::TestWithParam<NestingCase> { };

TEST_P(NestingTable, FollowsTheAllowedOrders)
{
    const NestingCase& c = GetParam();
    // Locks outside the decoder's areas (the queue, the raw lines) nest in nothing.
    const auto order = [](const char* name) {
        const LockOrder* area = area_locks::Find(name);
        return area ? *area : LockOrder{name, {}};
    };
    EXPECT_EQ(NamedLock::NestingAllowed(order(c.outer), order(c.inner)), c.allowed) << c.outer << " -> " << c.inner;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, NestingTable,
    ::testing::Values(NestingCase{"SYSINFOLOCK", "TGLOCK", true}, NestingCase{"SYSINFOLOCK", "AFFILIATE", true},
                      NestingCase{"SYSINFOLOCK", "ALLPKTLOCK", true}, NestingCase{"TGLOCK", "SYSINFOLOCK", false},
                      NestingCase{"BSOLOCK", "FREQUENCY", true}, NestingCase{"FREQUENCY", "BSOLOCK", false},
                      NestingCase{"FREQUENCY", "TGLOCK", true}, NestingCase{"FREQUENCY", "RADIDLOCK", true},
                      NestingCase{"BSOLOCK", "RADIDLOCK", true}, NestingCase{"TGLOCK", "FREQUENCY", false},
                      NestingCase{"TGLOCK", "RADIDLOCK", false}, NestingCase{"AFFLOG", "AFFILIATE", true},
                      NestingCase{"AFFILIATE", "AFFLOG", false}, NestingCase{"PATCHLOCK", "PATCHLOGLOCK", true},
                      NestingCase{"PATCHLOGLOCK", "PATCHLOCK", false}, NestingCase{"SYSINFOLOCK", "TSBKQUEUE", false},
                      NestingCase{"TSBKQUEUE", "PSRRAW", false}, NestingCase{"GLLOCK", "GLLOCK", true}));

TEST(NamedLock, GuardReleasesOnEveryPath)
{
    NamedLock a(area_locks::kTalkgroups);
    auto early = [&](bool leave) {
        LockGuard g(a);
        if (leave)
            return 1;
        return 2;
    };
    EXPECT_EQ(early(true), 1);
    EXPECT_EQ(early(false), 2);
    try {
        LockGuard g(a);
        throw 42;
    } catch (int) { }
    EXPECT_EQ(NamedLock::HeldCount(), 0);
    // Another thread can take it, so nothing was left held.
    std::thread t([&] {
        ASSERT_TRUE(a.try_lock());
        a.unlock();
    });
    t.join();
}

TEST(NamedLock, IsRecursiveAndAllowsRetakingOutOfOrder)
{
    NamedLock sys(area_locks::kSysInfo);
    NamedLock tg(area_locks::kTalkgroups);
    LockGuard g1(sys);
    LockGuard g2(tg);
    LockGuard g3(sys);  // already held by this thread: no deadlock, no order complaint
    SUCCEED();
}

#ifdef VARNEL_LOCK_CHECK
TEST(NamedLockDeathTest, NestingOutsideTheOrdersAbortsWithBothNames)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            NamedLock aff(area_locks::kAffiliations);
            NamedLock log(area_locks::kAffiliationLog);
            LockGuard g1(aff);
            LockGuard g2(log);
        },
        "\"AFFLOG\" taken while \"AFFILIATE\" is held");
    EXPECT_DEATH(
        {
            NamedLock tg(area_locks::kTalkgroups);
            NamedLock freq(area_locks::kChannels);
            NamedLock bso(area_locks::kIdentifiers);
            LockGuard g1(bso);
            LockGuard g2(freq);
            LockGuard g3(tg);
            NamedLock sys(area_locks::kSysInfo);
            LockGuard g4(sys);
        },
        "\"SYSINFOLOCK\" taken while \"BSOLOCK\" is held");
}

TEST(NamedLock, AllowedNestingCountsHeldLocks)
{
    NamedLock bso(area_locks::kIdentifiers);
    NamedLock freq(area_locks::kChannels);
    NamedLock tg(area_locks::kTalkgroups);
    {
        LockGuard g1(bso);
        LockGuard g2(freq);
        LockGuard g3(tg);
        EXPECT_EQ(NamedLock::HeldCount(), 3);
        EXPECT_TRUE(freq.HeldByThisThread());
    }
    EXPECT_EQ(NamedLock::HeldCount(), 0);
    EXPECT_FALSE(freq.HeldByThisThread());
}
#endif

TEST(NamedLock, ExcludesOtherThreads)
{
    NamedLock lock(area_locks::kGrantLog);
    long counter = 0;  // guarded by lock only; the thread sanitizer build checks it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                LockGuard g(lock);
                ++counter;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(counter, 40000);
}

}  // namespace
