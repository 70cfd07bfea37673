#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "decoder/P25Class.h"
#include "support/BlockBuilder.h"

using testsupport::MakeTsbk;

namespace {

class P25ClassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        decoder = std::make_unique<P25Class>(clock);
        PresentationSwitches s;
        s.packetDump = true;
        s.recordUnknowns = true;
        s.eventLog = true;
        s.grantLog = true;
        decoder->SetSwitches(s);
        DrainAll();
    }

    void DrainAll()
    {
        dump.resize(PacketDump::kCapacity);
        unknown.resize(UnknownPackets::kCapacity);
        decoder->Dump().CopyPacketDump(dump.data(), PacketDump::kCapacity);
        decoder->Unknowns().CopyUnknownPackets(unknown.data(), UnknownPackets::kCapacity);
        std::vector<EVENTLOG> events(EventLog::kCapacity);
        decoder->Events().CopyEventLog(events.data(), EventLog::kCapacity);
    }

    std::vector<std::string> DumpTexts()
    {
        const int n = decoder->Dump().CopyPacketDump(dump.data(), PacketDump::kCapacity);
        std::vector<std::string> texts;
        for (int i = 0; i < n; ++i)
            texts.push_back(dump[i].time == 0 ? "<clear>" : dump[i].text);
        return texts;
    }

    int UnknownCount() { return decoder->Unknowns().CopyUnknownPackets(unknown.data(), UnknownPackets::kCapacity); }

    void Identify(uint32_t system = 0x123, uint32_t rfss = 1, uint32_t site = 5)
    {
        decoder->SetSiteIdentity(system, rfss, 0x70, site);
        DrainAll();
    }

    ManualClock clock;
    std::unique_ptr<P25Class> decoder;
    std::vector<ALLPKT> dump;
    std::vector<UNKTSBK> unknown;
};

TEST_F(P25ClassTest, RefusesBadCrcAndProtectedBlocks)
{
    Identify();
    Tsbk bad = MakeTsbk({0x13, 0x00, 1, 2, 3});
    bad[11] ^= 0x01;
    const Tsbk zero{};  // CRC of ten zero bytes is 0xFFFF, not 0x0000
    const Tsbk protectedBlock = MakeTsbk({0x40, 0x00});
    ASSERT_TRUE(TsbkCrcOk(protectedBlock));
    for (const Tsbk& b : {bad, zero, protectedBlock})
        EXPECT_EQ(decoder->DecodeTsbk(b), 0);
    EXPECT_TRUE(DumpTexts().empty());
    EXPECT_EQ(UnknownCount(), 0);
}

TEST_F(P25ClassTest, StartupFilterHoldsBackEverythingButIdentityMessages)
{
    // Group voice grant before the system is known: dropped, not even recorded as unknown.
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x00, 0x00, 0, 0, 0x10, 0x01, 0x00, 0x64, 0, 0})), 0);
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x13, 0x00})), 0);
    EXPECT_TRUE(DumpTexts().empty());
    EXPECT_EQ(UnknownCount(), 0);

    // The identity opcodes pass the filter (with no handler yet they are described as unknown).
    for (uint8_t op : {0x29, 0x2B, 0x2C, 0x2F, 0x3A})
        decoder->DecodeTsbk(MakeTsbk({op, 0x00}));
    decoder->DecodeTsbk(MakeTsbk({0x37, 0x00, 0, 0, 0, 0, 0, 0x3B}));  // status packet header passes
    decoder->DecodeTsbk(MakeTsbk({0x37, 0x00, 0, 0, 0, 0, 0, 0x00}));  // grant packet header does not
    EXPECT_EQ(DumpTexts().size(), 6u);
}

TEST_F(P25ClassTest, UnrecognisedBlocksAreDescribedAndRecorded)
{
    Identify();
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x13, 0x00})), 0);
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x93, 0x90})), 0);  // last-block flag is not looked at
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x0C, 0x01})), 0);
    EXPECT_EQ(DumpTexts(), (std::vector<std::string>{"Unknown Op=13 Mfg 00(Standard)", "Unknown Op=13 Mfg 90(Motorola)",
                                                     "Unknown Op=0C Mfg 01(Unknown)"}));
    ASSERT_EQ(UnknownCount(), 3);
    EXPECT_EQ(unknown[0].text, "Unknown Op=13 Mfg 00(Standard)");
    EXPECT_EQ(unknown[2].block, MakeTsbk({0x0C, 0x01}));
}

TEST_F(P25ClassTest, UnknownsNeedTheWholeSiteIdentityAndTheirSwitch)
{
    decoder->SetSystemId(0x123);  // system known, RFSS and site not
    DrainAll();
    decoder->DecodeTsbk(MakeTsbk({0x13, 0x00}));
    EXPECT_EQ(UnknownCount(), 0);
    EXPECT_EQ(DumpTexts().size(), 1u);

    Identify();
    PresentationSwitches s;  // everything off
    decoder->SetSwitches(s);
    decoder->DecodeTsbk(MakeTsbk({0x13, 0x00}));
    EXPECT_EQ(UnknownCount(), 0);
    EXPECT_TRUE(DumpTexts().empty());
}

TEST_F(P25ClassTest, SetSystemIdResetsOnlyOnANewSystem)
{
    EXPECT_FALSE(decoder->SetSystemId(0));
    EXPECT_TRUE(decoder->SetSystemId(0x123));
    decoder->Talkgroups().NoteTalkgroup(100);
    EXPECT_FALSE(decoder->SetSystemId(0x123));
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), 1);
    EXPECT_TRUE(decoder->SetSystemId(0x456));
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), 0);
    EXPECT_EQ(decoder->GetSystemId(), 0x456u);
    EXPECT_EQ(NamedLock::HeldCount(), 0);
}

TEST_F(P25ClassTest, SiteIdentityChangesResetWhileRfssSiteChangesKeepTables)
{
    EXPECT_TRUE(decoder->SetSiteIdentity(0x123, 1, 0x70, 5));
    EXPECT_FALSE(decoder->SetSiteIdentity(0x123, 1, 0x70, 5));
    decoder->Talkgroups().NoteTalkgroup(100);

    EXPECT_TRUE(decoder->SetRfssSite(2, 7));
    EXPECT_FALSE(decoder->SetRfssSite(2, 7));
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), 1);

    // A different service class alone is a new identity.
    EXPECT_TRUE(decoder->SetSiteIdentity(0x123, 2, 0x71, 7));
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), 0);
    SystemInfo info;
    decoder->CopySystemInfo(info);
    EXPECT_EQ(info.systemId, 0x123u);
    EXPECT_EQ(info.rfssId, 2u);
    EXPECT_EQ(info.siteId, 7u);
    EXPECT_EQ(info.serviceClass, 0x71);
    EXPECT_TRUE(info.changed);
    EXPECT_FALSE(decoder->SystemInfoChanged());
}

TEST_F(P25ClassTest, ResetAllEmptiesEveryAreaButTheUnknownPackets)
{
    Identify();
    decoder->SetWacn(0xBEE00);
    decoder->SetSystemName("County");
    decoder->SetSiteName("North");
    decoder->AddCallSign("KA1ABC");
    decoder->Talkgroups().NoteTalkgroup(100);
    decoder->Radios().NoteRadio(1234567, 100);
    decoder->Activity().RecordGroupGrant(0x1001, 100, "", 1234567);
    decoder->AffLog().LogAffiliation('A', 1234567, "Affiliate", 100);
    decoder->Patches().AddPatch(101, 900);
    decoder->Filter().SetFilterRange(true, 1, 5);
    decoder->Identifiers().StoreIdentifier(2, IdentifierEntry{150.0, 0.6, 0.0125, 0.0125, false});
    decoder->Dump().AddPacketDumpEntry(MakeTsbk({1}), "x");
    decoder->Events().AddEventLogEntry(MakeTsbk({2}), "y");
    decoder->Unknowns().AddUnknownPacket(MakeTsbk({3}), "z");
    decoder->SetMultiBlockSeen(true);

    decoder->ResetAll();
    EXPECT_EQ(NamedLock::HeldCount(), 0);

    SystemInfo info;
    decoder->CopySystemInfo(info);
    EXPECT_EQ(info.systemId, 0u);
    EXPECT_EQ(info.wacn, 0u);
    EXPECT_EQ(info.siteStatus, 1);
    EXPECT_TRUE(info.systemName.empty());
    EXPECT_TRUE(info.callSigns.empty());
    EXPECT_EQ(decoder->Talkgroups().TalkgroupCount(), 0);
    EXPECT_EQ(decoder->Radios().RadioCount(), 0);
    EXPECT_EQ(decoder->Towers().GetTowerName(1, 5), "");
    EXPECT_EQ(decoder->Channels().Count(), 0);
    EXPECT_EQ(decoder->Affiliations().Count(), 0);
    EXPECT_FALSE(decoder->MultiBlockSeen());
    EXPECT_NEAR(decoder->Identifiers().ChannelRxFrequency(0x0010), 851.10625, 1e-9);  // band plan back

    AFFLOG aff[AffiliationLog::kCapacity];
    ASSERT_EQ(decoder->AffLog().CopyAffiliationLog(aff, AffiliationLog::kCapacity), 1);
    EXPECT_EQ(aff[0].function, 'C');
    GRANTLOG grants[GrantLog::kCapacity];
    ASSERT_EQ(decoder->Grants().CopyGrantLog(grants, GrantLog::kCapacity), 1);
    EXPECT_EQ(grants[0].time, 0);
    EXPECT_EQ(DumpTexts(), std::vector<std::string>{"<clear>"});
    EVENTLOG events[EventLog::kCapacity];
    ASSERT_EQ(decoder->Events().CopyEventLog(events, EventLog::kCapacity), 1);
    EXPECT_EQ(events[0].time, 0);
    PATCHENTRY patches[PatchList::kCapacity];
    EXPECT_EQ(decoder->Patches().CopyPatches(patches, PatchList::kCapacity), 0);
    FILTERRANGE ranges[AffiliationFilter::kCapacity];
    EXPECT_EQ(decoder->Filter().CopyFilterRanges(ranges, AffiliationFilter::kCapacity), 0);
    EXPECT_EQ(UnknownCount(), 1);  // the user clears these, not a reset
}

struct CallSignCase {
    std::vector<std::string> added;
    std::vector<bool> results;
    std::string text;
};

class CallSigns : public ::testing::TestWithParam<CallSignCase> { };

TEST_P(CallSigns, KeepsDistinctWordsSeparatedBySingleBlanks)
{
    ManualClock clock;
    auto decoder = std::make_unique<P25Class>(clock);
    const CallSignCase& c = GetParam();
    for (size_t i = 0; i < c.added.size(); ++i)
        EXPECT_EQ(decoder->AddCallSign(c.added[i]), c.results[i]) << c.added[i];
    SystemInfo info;
    decoder->CopySystemInfo(info);
    EXPECT_EQ(info.callSigns, c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, CallSigns,
                         ::testing::Values(CallSignCase{{"KA1ABC"}, {true}, "KA1ABC"},
                                           CallSignCase{{"KA1ABC", "ka1abc"}, {true, false}, "KA1ABC"},
                                           CallSignCase{{"  WXY123  ", "KA1ABC"}, {true, true}, "WXY123 KA1ABC"},
                                           CallSignCase{
                                               {"KA1AB", "KA1ABC"}, {true, true}, "KA1AB KA1ABC"},  // whole words only
                                           CallSignCase{{"ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {true}, "ABCDEFGHIJKLMNOPQRS"},
                                           CallSignCase{{"", "   "}, {false, false}, ""}));

TEST(CallSignLimit, KeepsTwentyWordsAndNeverCutsOne)
{
    ManualClock clock;
    auto decoder = std::make_unique<P25Class>(clock);
    for (int i = 0; i < 25; ++i)
        decoder->AddCallSign("CS" + std::to_string(100 + i));  // 5 characters each
    SystemInfo info;
    decoder->CopySystemInfo(info);
    EXPECT_EQ(info.callSigns.size(), 20u * 5 + 19);
    EXPECT_EQ(info.callSigns.substr(info.callSigns.size() - 5), "CS119");

    auto longOnes = std::make_unique<P25Class>(clock);
    int added = 0;
    for (int i = 0; i < 20; ++i)
        added += longOnes->AddCallSign(std::string(18, 'A') + static_cast<char>('A' + i));  // 19 characters
    longOnes->CopySystemInfo(info);
    EXPECT_EQ(added, 10);  // ten words of 19 plus nine blanks fill 199 characters
    EXPECT_EQ(info.callSigns.size(), 199u);
}

TEST_F(P25ClassTest, SiteNameIsAlsoTheTowerNameOfTheCurrentSite)
{
    Identify(0x123, 1, 5);
    decoder->SetSiteName(std::string(250, 'N'));
    EXPECT_EQ(decoder->Towers().GetTowerName(1, 5), std::string(199, 'N'));
    SystemInfo info;
    decoder->CopySystemInfo(info);
    EXPECT_EQ(info.siteName, std::string(199, 'N'));
}

bool RecognisingHandler(P25Class& decoder, const Tsbk& block)
{
    decoder.Describe(block, "Handled", true);
    return true;
}

TEST_F(P25ClassTest, DispatchPrefersTheExactManufacturerOverAny)
{
    Identify();
    decoder->Dispatcher().Register(0x13, 0x90, RecognisingHandler);
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x13, 0x90})), 1);
    EXPECT_EQ(decoder->DecodeTsbk(MakeTsbk({0x13, 0x00})), 0);
    EXPECT_EQ(DumpTexts(), (std::vector<std::string>{"Handled", "Unknown Op=13 Mfg 00(Standard)"}));
    EXPECT_EQ(UnknownCount(), 1);
    EVENTLOG events[EventLog::kCapacity];
    EXPECT_EQ(decoder->Events().CopyEventLog(events, EventLog::kCapacity), 1);
}

}  // namespace
