#include <gtest/gtest.h>

#include <vector>

#include "site/ChannelActivity.h"
#include "support/SystemFolderFixture.h"

namespace {

using testsupport::SystemFolderFixture;

class SystemFilesOldVersionsTest : public SystemFolderFixture {
protected:
    // Places the fixture under its stored name and identifies the system, which reads it.
    std::unique_ptr<P25Class> LoadFixture(const std::string& fixture, const std::string& name, bool saveHits = true)
    {
        PlaceFixture(fixture, name);
        auto d = NewDecoder(saveHits);
        Identify(*d);
        return d;
    }

    static IdentifierEntry Identifier(P25Class& d, int i) { return Identifiers(d)[static_cast<size_t>(i)]; }
};

TEST_F(SystemFilesOldVersionsTest, TalkgroupsVersion1HaveNoPriority)
{
    auto d = LoadFixture("TalkGroups-v1.txt", "TalkGroups.txt");
    EXPECT_EQ(d->Talkgroups().TalkgroupCount(), 2);  // the line with three fields is skipped
    const TGTAG fire = Talkgroup(*d, 100);
    EXPECT_EQ(fire.description, "Fire Dispatch");
    EXPECT_EQ(fire.priority, 50);
    EXPECT_EQ(fire.lastSeen, 1240322820);
    EXPECT_EQ(fire.firstSeen, 0);
    EXPECT_EQ(fire.textColor, 0u);
    EXPECT_EQ(fire.backColor, 0u);
    EXPECT_EQ(Talkgroup(*d, 200).description, "Police, North");
    EXPECT_EQ(Talkgroup(*d, 200).lastSeen, 1240000000);
}

TEST_F(SystemFilesOldVersionsTest, TalkgroupsVersion3ConvertTheSixPrioritySteps)
{
    auto d = LoadFixture("TalkGroups-v3.txt", "TalkGroups.txt");
    struct Row {
        int32_t id;
        int priority;
    };
    const Row rows[] = {{100, 50}, {101, 99}, {102, 75}, {104, 25}, {105, 10}, {106, 1}, {107, 0}, {108, 7}};
    for (const Row& r : rows) {
        const TGTAG t = Talkgroup(*d, r.id);
        EXPECT_EQ(t.id, r.id);
        EXPECT_EQ(t.priority, r.priority) << r.id;
        EXPECT_EQ(t.firstSeen, 0) << r.id;  // fewer than 9 fields: no first seen, no colours
        EXPECT_EQ(t.textColor, 0u) << r.id;
    }
    EXPECT_EQ(Talkgroup(*d, 100).description, "Fire Dispatch");
    EXPECT_EQ(d->Talkgroups().TalkgroupCount(), 8);  // 70000 is no talkgroup
}

TEST_F(SystemFilesOldVersionsTest, TalkgroupsVersion4CarryFirstSeenAndColours)
{
    auto d = LoadFixture("TalkGroups-v4.txt", "TalkGroups.txt");
    const TGTAG full = Talkgroup(*d, 300);
    EXPECT_EQ(full.priority, 1);  // still the six-step scale
    EXPECT_EQ(full.firstSeen, 1230000000);
    EXPECT_EQ(full.textColor, 0x0000FFu);
    EXPECT_EQ(full.backColor, 0xFFFFFFu);
    const TGTAG shortLine = Talkgroup(*d, 301);  // eight fields
    EXPECT_EQ(shortLine.priority, 75);
    EXPECT_EQ(shortLine.firstSeen, 0);
    EXPECT_EQ(shortLine.textColor, 0u);
    EXPECT_EQ(shortLine.backColor, 0u);
}

TEST_F(SystemFilesOldVersionsTest, RadiosVersion1HaveHexadecimalIds)
{
    auto d = LoadFixture("Radios-v1.txt", "Radios.txt");
    EXPECT_EQ(d->Radios().RadioCount(), 2);  // ID 0 is skipped
    EXPECT_EQ(d->Radios().GetRadioText(0x12AB), "Engine 5");
    EXPECT_EQ(d->Radios().GetRadioText(4779), "Engine 5");
    EXPECT_EQ(d->Radios().GetRadioText(0xFFFFFF), "Highest ID");
    uint32_t text = 1, back = 1;
    d->Radios().GetRadioColors(4779, text, back);  // no colours of its own: the defaults
    EXPECT_EQ(text, 0u);
    EXPECT_EQ(back, 0xFFFFFFu);
}

TEST_F(SystemFilesOldVersionsTest, TowerVersion2HasHexadecimalIdentifiersAndChannels)
{
    auto d = LoadFixture("Tower-v2.txt", "Tower0105.txt");
    EXPECT_EQ(Info(*d).callSigns, "WQAB123");

    const IdentifierEntry one = Identifier(*d, 1);
    EXPECT_DOUBLE_EQ(one.base, 851.00625);
    EXPECT_DOUBLE_EQ(one.spacing, 0.00625);
    EXPECT_DOUBLE_EQ(one.txOffset, -45.0);
    EXPECT_DOUBLE_EQ(one.bandwidth, 0.0125);
    EXPECT_FALSE(one.assumed);
    const IdentifierEntry ten = Identifier(*d, 0xA);  // "A", whatever the file says about it
    EXPECT_DOUBLE_EQ(ten.base, 136.0);
    EXPECT_DOUBLE_EQ(ten.txOffset, 0.6);
    EXPECT_FALSE(ten.assumed);
    EXPECT_EQ(Identifier(*d, 0).base, 0.0);  // the built-in plan gave way

    const std::vector<FreqInfo> ch = Channels(*d);
    ASSERT_EQ(ch.size(), 2u);  // "10-10" has no dash in second place
    EXPECT_EQ(ch[0].channel, 0x10F3);
    EXPECT_EQ(ch[0].usageFlags, kFlagControl | kFlagAlternate);  // these files read 'a' back
    EXPECT_DOUBLE_EQ(ch[0].rxFrequency, 852.525);
    EXPECT_EQ(ch[1].channel, 0xA010);
    EXPECT_EQ(ch[1].usageFlags, kFlagVoice | kFlagData | kFlagCwid | kFlagPrivate | kFlagPhone);
    EXPECT_EQ(ch[1].hits, 0);
}

TEST_F(SystemFilesOldVersionsTest, TowerVersion4HasDecimalChannelsAndNoHits)
{
    auto d = LoadFixture("Tower-v4.txt", "Tower0105.txt", true);
    EXPECT_EQ(Info(*d).callSigns, "");  // "Unknown" is no call sign
    const std::vector<FreqInfo> ch = Channels(*d);
    ASSERT_EQ(ch.size(), 1u);  // "1-0050" is not a channel field of this version
    EXPECT_EQ(ch[0].channel, 0x1000 + 50);
    EXPECT_EQ(ch[0].usageFlags, kFlagControl | kFlagVoice);  // 'a' is not read back
    EXPECT_EQ(ch[0].hits, 0);                                // hit counts are read from version 5 on
    EXPECT_DOUBLE_EQ(ch[0].rxFrequency, 851.00625 + 50 * 0.00625);
}

TEST_F(SystemFilesOldVersionsTest, TowerKeysAndFilterOfSystemIni)
{
    WriteText("System.ini", "[System]\r\nDescription=County\r\n\r\n[Towers]\r\n1200=Twelve\r\n105=Here\r\n"
                            "north=skipped\r\n\r\n[AffiliationFilters]\r\nEnabled=1\r\nCount=4\r\n"
                            "Filter00=1,100,500\r\nFilter01=0,900,800\r\nFilter02=1,7\r\nFilter03=x,1,2\r\n");
    auto d = NewDecoder();
    Identify(*d);
    EXPECT_EQ(d->Towers().GetTowerName(12, 0), "Twelve");
    EXPECT_EQ(d->Towers().Count(), 2);
    // Keys are taken in text order: "105" before "1200".
    EXPECT_EQ(d->Towers().At(0).key, 105);
    const SystemInfo info = Info(*d);
    EXPECT_EQ(info.systemName, "County");
    EXPECT_EQ(info.siteName, "Here");

    // Reversed bounds and a short value are no ranges; text counts as 0 ("x" is inactive).
    FILTERRANGE r[AffiliationFilter::kCapacity];
    ASSERT_EQ(d->Filter().CopyFilterRanges(r, AffiliationFilter::kCapacity), 2);
    EXPECT_TRUE(r[0].active && r[0].low == 100 && r[0].high == 500);
    EXPECT_TRUE(!r[1].active && r[1].low == 1 && r[1].high == 2);
    EXPECT_TRUE(d->Filter().GetFilterEnabled());
}

TEST_F(SystemFilesOldVersionsTest, FilterSwitchIsOffWithoutRanges)
{
    WriteText("System.ini", "[AffiliationFilters]\r\nEnabled=1\r\nCount=1\r\nFilter00=1,500,100\r\n");
    auto d = NewDecoder();
    d->Filter().SetFilterEnabled(true);
    Identify(*d);
    EXPECT_FALSE(d->Filter().GetFilterEnabled());
    EXPECT_EQ(d->Filter().Count(), 0);
    EXPECT_TRUE(d->Filter().FilterRangesChanged());
}

}  // namespace
