#include <gtest/gtest.h>

#include "site/AreaLocks.h"

#include <atomic>
#include <string>

#include "platform/NamedLock.h"
#include "site/TowerNames.h"

namespace {

class TowerNamesTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }

    NamedLock sysInfoLock{"SYSINFOLOCK"};
    std::atomic<bool> changed{false};
    TowerNames towers{sysInfoLock, changed};
};

TEST_F(TowerNamesTest, KeyIsRfssTimes100PlusSite)
{
    EXPECT_TRUE(towers.SetTowerName(1, 5, "North Hill"));
    EXPECT_EQ(towers.At(0).key, 105);
    EXPECT_EQ(towers.GetTowerName(1, 5), "North Hill");
    EXPECT_EQ(towers.GetTowerName(0, 105), "North Hill");  // same key
    EXPECT_EQ(towers.GetTowerName(5, 1), "");
}

TEST_F(TowerNamesTest, ChangedFlagOnlyWhenSomethingChanged)
{
    struct Step {
        uint32_t rfss, site;
        const char* text;
        bool changes;
    };
    const Step steps[] = {
        {1, 5, "North", true},   // new
        {1, 5, "North", false},  // same text
        {1, 5, "South", true},   // renamed
        {2, 5, "South", true},   // another site with the same name
        {2, 5, "South", false},
    };
    for (const Step& s : steps) {
        changed = false;
        EXPECT_TRUE(towers.SetTowerName(s.rfss, s.site, s.text));
        EXPECT_EQ(changed.load(), s.changes) << s.rfss << "/" << s.site << " " << s.text;
    }
    EXPECT_EQ(towers.Count(), 2);
}

TEST_F(TowerNamesTest, KeepsInsertionOrderAndRefusesThe501st)
{
    for (int i = 0; i < TowerNames::kCapacity; ++i)
        ASSERT_TRUE(towers.SetTowerName(static_cast<uint32_t>(500 - i), 1, "T" + std::to_string(i)));
    EXPECT_EQ(towers.At(0).key, 50001);
    EXPECT_EQ(towers.At(499).key, 101);

    changed = false;
    EXPECT_FALSE(towers.SetTowerName(999, 99, "extra"));
    EXPECT_FALSE(changed.load());
    EXPECT_EQ(towers.GetTowerName(999, 99), "");
    EXPECT_EQ(towers.Count(), TowerNames::kCapacity);

    EXPECT_TRUE(towers.SetTowerName(1, 1, "renamed while full"));
    EXPECT_EQ(towers.GetTowerName(1, 1), "renamed while full");
}

TEST_F(TowerNamesTest, ClearForgetsAllNames)
{
    towers.SetTowerName(1, 5, "North");
    towers.ClearTowerNames();
    EXPECT_EQ(towers.Count(), 0);
    EXPECT_EQ(towers.GetTowerName(1, 5), "");
    EXPECT_TRUE(towers.SetTowerName(3, 2, "East"));
    EXPECT_EQ(towers.At(0).key, 302);
}

// The adjacent-site table looks names up under "NEIGHBOR"; the system information lock may not be
// taken there, so a lookup must not take it. Writers may already hold it (reset, loading).
TEST_F(TowerNamesTest, LookupUnderAnotherAreaLockAndWriteUnderSysInfoLock)
{
    towers.SetTowerName(1, 5, "North");
    NamedLock neighbor{area_locks::kNeighbors};
    {
        LockGuard g(neighbor);
        EXPECT_EQ(towers.GetTowerName(1, 5), "North");
    }
    {
        LockGuard g(sysInfoLock);
        EXPECT_TRUE(towers.SetTowerName(1, 5, "South"));
        towers.ClearTowerNames();
        EXPECT_EQ(NamedLock::HeldCount(), 1);
    }
}

}  // namespace
