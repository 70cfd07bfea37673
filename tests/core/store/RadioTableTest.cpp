#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>
#include <set>
#include <string>

#include "platform/Clock.h"
#include "platform/NamedLock.h"
#include "site/DecoderContext.h"
#include "site/RadioTable.h"

namespace {

constexpr int64_t kT0 = 1240322820;  // 21 Apr 2009 14:07:00 UTC

class RadioTableTest : public ::testing::Test {
protected:
    RadioTableTest()
    {
        setenv("TZ", "UTC", 1);
        tzset();
        ctx.time.SetClock(clock);
    }
    // A lock left held by any operation of a test would still be held here.
    void TearDown() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }

    int64_t LastSeen(int32_t id)
    {
        LockGuard g(table.Lock());
        for (int i = 0; i < table.RadioCount(); ++i)
            if (table.At(i).id == id)
                return table.At(i).lastSeen;
        ADD_FAILURE() << "radio " << id << " missing";
        return -1;
    }

    ManualClock clock{kT0};
    DecoderContext ctx;
    RadioTable table{ctx};
};

TEST_F(RadioTableTest, NewRadioGetsGeneratedTextWithItsTalkgroup)
{
    EXPECT_TRUE(table.NoteRadio(1234567, 4501));
    EXPECT_FALSE(table.NoteRadio(1234567, 9999));  // already known: unchanged
    EXPECT_EQ(table.GetRadioText(1234567), "TG: 4501 DT: 4/21/09@14:07");
    EXPECT_EQ(LastSeen(1234567), kT0);
    EXPECT_EQ(table.RadioCount(), 1);

    clock.Set(1262509500);  // 3 Jan 2010 09:05 UTC
    table.NoteRadio(5, 0);
    EXPECT_EQ(table.GetRadioText(5), "TG: 0 DT: 1/3/10@9:05");
}

TEST_F(RadioTableTest, IdZeroIsNeverAdded)
{
    EXPECT_FALSE(table.NoteRadio(0, 100));
    EXPECT_FALSE(table.SetRadio(0, "zero", 0));
    EXPECT_EQ(table.RadioCount(), 0);
}

TEST_F(RadioTableTest, RandomInsertsStayInAscendingOrderAndAreFound)
{
    std::set<int32_t> reference;
    std::mt19937 rng(99);
    std::uniform_int_distribution<int32_t> wide(1, 16777215);
    std::uniform_int_distribution<int32_t> narrow(1, 3000);  // many repeats
    for (int i = 0; i < 5000; ++i) {
        const int32_t id = (i % 2) ? wide(rng) : narrow(rng);
        const bool isNew = reference.insert(id).second;
        EXPECT_EQ(table.NoteRadio(id, 1), isNew) << id;
    }
    ASSERT_EQ(table.RadioCount(), static_cast<int>(reference.size()));
    {
        LockGuard g(table.Lock());
        int i = 0;
        for (int32_t id : reference)
            ASSERT_EQ(table.At(i++).id, id) << "position " << i - 1;
    }
    for (int32_t id : reference)
        EXPECT_TRUE(table.TouchRadio(id)) << id;
    EXPECT_FALSE(table.TouchRadio(16777216));
}

TEST_F(RadioTableTest, FullTableRefusesNewRadiosButUpdatesKnownOnes)
{
    for (int32_t id = 1; id <= RadioTable::kCapacity; ++id)
        ASSERT_TRUE(table.SetRadio(id, "", 0));
    EXPECT_FALSE(table.NoteRadio(200000, 1));
    EXPECT_FALSE(table.SetRadio(200000, "new", 0));
    EXPECT_EQ(table.GetRadioText(200000), "");
    EXPECT_TRUE(table.SetRadio(777, "known", 0));
    EXPECT_EQ(table.GetRadioText(777), "known");
    EXPECT_EQ(table.RadioCount(), RadioTable::kCapacity);
}

TEST_F(RadioTableTest, SetRadioStoresTextAndTimeOrNow)
{
    EXPECT_TRUE(table.SetRadio(300, "Engine 3", 1000));
    EXPECT_EQ(LastSeen(300), 1000);
    clock.Advance(10);
    EXPECT_TRUE(table.SetRadio(300, "Engine 3 renamed", 0));
    EXPECT_EQ(LastSeen(300), kT0 + 10);
    // GetRadioText counts as seeing the radio.
    clock.Advance(10);
    EXPECT_EQ(table.GetRadioText(300), "Engine 3 renamed");
    EXPECT_EQ(LastSeen(300), kT0 + 20);
    EXPECT_EQ(table.GetRadioText(301), "");
    EXPECT_EQ(table.RadioCount(), 1);  // asking for an unknown radio does not add it
}

TEST_F(RadioTableTest, ColoursWithoutOwnAnswerFalseWithTheDefaults)
{
    ctx.defaultTextColor = 0x112233;
    ctx.defaultBackColor = 0x445566;
    uint32_t text = 7, back = 7;
    EXPECT_FALSE(table.GetRadioColors(5, text, back));
    EXPECT_EQ(text, 0u);
    EXPECT_EQ(back, 0u);
    EXPECT_FALSE(table.SetRadioColors(5, 1, 2));

    table.NoteRadio(5, 1);
    EXPECT_FALSE(table.GetRadioColors(5, text, back));
    EXPECT_EQ(text, 0x112233u);
    EXPECT_EQ(back, 0x445566u);

    EXPECT_TRUE(table.SetRadioColors(5, 0x00FF00, 0x000000));
    EXPECT_TRUE(table.GetRadioColors(5, text, back));
    EXPECT_EQ(text, 0x00FF00u);
    EXPECT_EQ(back, 0u);
}

TEST_F(RadioTableTest, ClearEmptiesAndReusedRecordsStartFresh)
{
    table.SetRadio(5, "Old name", 0);
    table.SetRadioColors(5, 0xFF, 0xFF00);
    table.ClearRadios();
    EXPECT_EQ(table.RadioCount(), 0);
    EXPECT_FALSE(table.TouchRadio(5));

    EXPECT_TRUE(table.NoteRadio(6, 77));
    uint32_t text = 0, back = 0;
    EXPECT_FALSE(table.GetRadioColors(6, text, back));  // the old slot's colours are gone
    EXPECT_EQ(table.GetRadioText(6), "TG: 77 DT: 4/21/09@14:07");
}

}  // namespace

TEST_F(RadioTableTest, RemovedRadioIsGoneAndItsNeighboursKeepTheirTexts)
{
    for (int32_t id : {500, 100, 16777215, 300})
        table.SetRadio(id, "R" + std::to_string(id), 1000);
    table.ClearChanged();
    EXPECT_TRUE(table.RemoveRadio(100));  // the record of the second slot: the last slot moves in
    EXPECT_FALSE(table.RemoveRadio(100));
    EXPECT_TRUE(table.RadiosChanged());
    EXPECT_EQ(table.RadioCount(), 3);
    EXPECT_EQ(table.PeekRadioText(100), "");
    for (int32_t id : {300, 500, 16777215})
        EXPECT_EQ(table.PeekRadioText(id), "R" + std::to_string(id));
    EXPECT_TRUE(table.NoteRadio(100, 7));
    EXPECT_EQ(table.RadioCount(), 4);
    EXPECT_EQ(table.PeekRadioText(300), "R300");
}
