#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "p25/NameTables.h"
#include "persist/SplitCsvLine.h"
#include "persist/TowerFile.h"
#include "site/ChannelActivity.h"
#include "support/SystemFolderFixture.h"

namespace {

using testsupport::SystemFolderFixture;

constexpr int64_t kFirstSeen = 1230000000;  // 23 Dec 2008 02:40:00 UTC
constexpr int32_t kControl = 0x0010;        // 0-0016
constexpr int32_t kVoice = 0x2005;          // 2-0005
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGreen = 0x00FF00;

class SystemFilesTest : public SystemFolderFixture {
protected:
    // A small but complete state of system 0x1A3, RFSS 1, site 5.
    void FillSmallState(P25Class& d)
    {
        Identify(d);
        d.SetWacn(0xBEE00);
        d.SetSystemName("County Trunk");
        d.SetSiteName("North Hill");
        d.Towers().SetTowerName(1, 6, "South");
        d.AddCallSign("WQAB123");
        d.Talkgroups().SetTalkgroup(100, "Fire Dispatch", 1, 0);
        d.Talkgroups().SetTalkgroupFirstSeen(100, kFirstSeen);
        d.Talkgroups().SetTalkgroupColors(100, kRed, kWhite);
        d.Talkgroups().SetTalkgroup(200, "Police", 255, 0);
        d.Talkgroups().SetTalkgroupFirstSeen(200, 0);
        d.Radios().SetRadio(4779, "Engine 5", 0);
        d.Radios().SetRadioColors(4779, kGreen, 0);
        d.Filter().SetFilterRange(true, 100, 500);
        d.Filter().SetFilterEnabled(true);
        d.Identifiers().StoreIdentifier(0, IdentifierEntry{851.00625, -45.0, 0.00625, 0.0125, false});
        d.Channels().AddUsageFlags(kControl, kFlagControl | kFlagVoice);
        d.Channels().SetHits(kControl, 3);
        d.Neighbors().AddNeighbor(NeighborSite{static_cast<int32_t>(kSystem), 1, 6, 0x0014, 1, 0.0, ""});
    }
};

TEST_F(SystemFilesTest, FolderAndTowerFileNames)
{
    EXPECT_EQ(SystemFolder("/data/", 0x1A3), "/data/System1A3/");
    EXPECT_EQ(SystemFolder("/data/", 0x5), "/data/System005/");
    EXPECT_EQ(TowerFile::FileName(1, 5), "Tower0105.txt");
    EXPECT_EQ(TowerFile::FileName(12, 34), "Tower1234.txt");

    auto d = NewDecoder();
    FillSmallState(*d);
    ASSERT_TRUE(SaveSystemData(*d));
    for (const char* name : {"System.ini", "TalkGroups.txt", "Radios.txt", "Tower0105.txt"})
        EXPECT_TRUE(std::filesystem::is_regular_file(root + "System1A3/" + name)) << name;
    // Nothing but the four files: no temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder()), std::filesystem::directory_iterator()), 4);
}

TEST_F(SystemFilesTest, NothingIsWrittenUntilSystemAndSiteAreKnown)
{
    auto d = NewDecoder();
    EXPECT_FALSE(SaveSystemData(*d));  // no system yet
    d->SetSystemId(kSystem);
    EXPECT_FALSE(SaveSystemData(*d));  // system, but RFSS and site 0
    EXPECT_FALSE(std::filesystem::exists(Folder()));
    d->SetRfssSite(0, 3);
    EXPECT_TRUE(SaveSystemData(*d));  // site alone is enough
    EXPECT_TRUE(std::filesystem::exists(Folder() + "Tower0003.txt"));
}

TEST_F(SystemFilesTest, ExactFileContents)
{
    auto d = NewDecoder();
    FillSmallState(*d);
    clock.Set(1240322820 + 3600);  // the save happens an hour later
    ASSERT_TRUE(SaveSystemData(*d));

    EXPECT_EQ(ReadStored("TalkGroups.txt"),
              "FileVersion:5\r\n"
              "# Talkgroup List for this system\r\n"
              "# Format:  Talkgroup,Priority,Description,Lastseen(Unix),LastSeen(Human m/dd/yyyy),"
              "FirstSeen(Unix),FirstSeen(Human),FG Color,BG Color\r\n"
              "# Priority Values:  0=Ignore, 1=Highest priority, 99= Lowest Priority\r\n"
              "100,1,\"Fire Dispatch\",1240322820,\"04/21/2009 @ 14:07\",1230000000,\"12/23/2008 @ 02:40\","
              "\"#FF0000\",\"#FFFFFF\"\r\n"
              "200,50,\"Police\",1240322820,\"04/21/2009 @ 14:07\",0,\"Unknown\",\"#000000\",\"#000000\"\r\n");
    EXPECT_EQ(ReadStored("Radios.txt"),
              "FileVersion:4\r\n"
              "# Radio List for this system\r\n"
              "# Format:  RadioID(Decimal),Description,Lastseen(Unix),LastSeen(Human m/dd/yyyy),Text Color,"
              "BG Color\r\n"
              "4779,\"Engine 5\",1240322820,\"04/21/2009 @ 14:07\",\"#00FF00\",\"#000000\"\r\n");
    EXPECT_EQ(ReadStored("Tower0105.txt"),
              "FileVersion:5\r\n"
              "-TowerInfo\r\n"
              "#This section is here for information only.  With the exception\r\n"
              "#of the Call Sign(s), This data is not Read back into the program at all.\r\n"
              "System ID             : 1A3\r\n"
              "System Name           : County Trunk\r\n"
              "WACN                  : BEE00\r\n"
              "Tower Number (Decimal): 105\r\n"
              "Tower Number (Hex)    : T0105\r\n"
              "Tower Description     : North Hill\r\n"
              "Control Capabilities  : " +
                  ServiceClassText(kServiceClass) +
                  "\r\n"
                  "Call Sign(s)          : WQAB123\r\n"
                  "Timestamp             : Tue Apr 21 15:07:00 2009\r\n"
                  "\r\n"
                  "-Tables\r\n"
                  "#Format: Table ID,Base Freq,Spacing,Input Offset,Assumed/Confirmed,BandWidth\r\n"
                  "00,851.00625,0.00625,-45.00000,\"Confirmed\",0.01250\r\n"
                  "\r\n"
                  "-Frequencies\r\n"
                  "#Format: Channel,Usage,Frequency,Input Frequency,Hit Count\r\n"
                  "\"00-0016\",\"cv\",851.10625,806.10625,3\r\n"
                  "\r\n"
                  "-Neighbors\r\n"
                  "#Format: TowerID,TowerIDHex,System ID,Channel,Frequency,Tower Name\r\n"
                  "106,\"T0106\",1a3,\"00-0020\",851.13125,\"South\"\r\n"
                  "\r\n");
    EXPECT_EQ(ReadStored("System.ini"), "[System]\r\n"
                                        "SystemID=419\r\n"
                                        "SystemIDHEX=1A3\r\n"
                                        "WACN=BEE00\r\n"
                                        "Description=County Trunk\r\n"
                                        "\r\n"
                                        "[Towers]\r\n"
                                        "105=North Hill\r\n"
                                        "106=South\r\n"
                                        "\r\n"
                                        "[AffiliationFilters]\r\n"
                                        "Count=1\r\n"
                                        "Enabled=1\r\n"
                                        "Filter00=1,100,500\r\n");
}

TEST_F(SystemFilesTest, EmptyTablesAndUnknownCallSigns)
{
    auto d = NewDecoder();
    Identify(*d);
    ASSERT_TRUE(SaveSystemData(*d));
    const std::string tower = ReadStored("Tower0105.txt");
    EXPECT_NE(tower.find("Tower Description     : \r\n"), std::string::npos);
    EXPECT_NE(tower.find("Call Sign(s)          : Unknown\r\n"), std::string::npos);
    // The built-in band plans are written as assumed; no channels, no neighbours.
    EXPECT_NE(tower.find("00,851.00625,0.00625,-45.00000,\"Assumed\",0.01250\r\n"
                         "01,764.00000,0.00625,30.00000,\"Assumed\",0.01250\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(tower.find("-Frequencies"), std::string::npos);
    EXPECT_EQ(tower.find("-Neighbors"), std::string::npos);
    // No filter ranges: no filter section.
    EXPECT_EQ(ReadStored("System.ini").find("AffiliationFilters"), std::string::npos);
}

TEST_F(SystemFilesTest, SaveKeepsOtherIniKeysAndDropsOldSections)
{
    WriteText("System.ini", "[System]\r\nDescription=Old\r\nNote=kept\r\n\r\n[Talkgroups]\r\n1=x\r\n\r\n"
                            "[Radios]\r\n2=y\r\n\r\n[AffiliationFilters]\r\nCount=1\r\nFilter00=1,1,2\r\n\r\n"
                            "[Towers]\r\n999=gone\r\n\r\n[Extra]\r\nA=1\r\n");
    auto d = NewDecoder();
    Identify(*d);
    d->SetSystemName("New");
    d->Filter().ClearFilterRanges();
    ASSERT_TRUE(SaveSystemData(*d));
    const std::string ini = ReadStored("System.ini");
    for (const char* kept : {"Description=New\r\n", "Note=kept\r\n", "[Extra]\r\nA=1\r\n", "999=gone\r\n"})
        EXPECT_NE(ini.find(kept), std::string::npos) << kept;  // 999 was read back as a tower name
    for (const char* gone : {"[Talkgroups]", "[Radios]", "[AffiliationFilters]"})
        EXPECT_EQ(ini.find(gone), std::string::npos) << gone;
}

TEST_F(SystemFilesTest, RoundTripThroughAFreshDecoder)
{
    auto a = NewDecoder();
    FillSmallState(*a);
    a->Towers().SetTowerName(12, 0, "Key 1200");
    a->AddCallSign("KA1XYZ");
    a->AddCallSign("WPXX555");
    a->Talkgroups().SetTalkgroup(65535, "Top", 0, 1240000000);
    a->Talkgroups().SetTalkgroupColors(65535, 0x123456, 0x654321);
    a->Radios().SetRadio(16777215, "Last radio", 1239999999);
    a->Filter().SetFilterRange(false, 1000, 2000);
    a->Identifiers().StoreIdentifier(2, IdentifierEntry{762.00625, 30.0, 0.0125, 0.00625, false});
    a->Channels().AddUsageFlags(kVoice,
                                kFlagVoice | kFlagData | kFlagCwid | kFlagPrivate | kFlagPhone | kFlagAlternate);
    a->Channels().SetHits(kVoice, 1234);
    ASSERT_TRUE(SaveSystemData(*a));

    clock.Advance(86400);
    auto b = NewDecoder();
    Identify(*b);

    const std::vector<TGTAG> tga = Talkgroups(*a), tgb = Talkgroups(*b);
    ASSERT_EQ(tgb.size(), tga.size());
    for (size_t i = 0; i < tga.size(); ++i) {
        EXPECT_EQ(tgb[i].id, tga[i].id);
        EXPECT_EQ(tgb[i].description, tga[i].description);
        EXPECT_EQ(tgb[i].priority, tga[i].priority);
        EXPECT_EQ(tgb[i].lastSeen, tga[i].lastSeen);
        EXPECT_EQ(tgb[i].firstSeen, tga[i].firstSeen);
        EXPECT_EQ(tgb[i].textColor, tga[i].textColor);
        EXPECT_EQ(tgb[i].backColor, tga[i].backColor);
    }
    const std::vector<RADTAG> ra = Radios(*a), rb = Radios(*b);
    ASSERT_EQ(rb.size(), ra.size());
    for (size_t i = 0; i < ra.size(); ++i) {
        EXPECT_EQ(rb[i].id, ra[i].id);
        EXPECT_EQ(rb[i].description, ra[i].description);
        EXPECT_EQ(rb[i].lastSeen, ra[i].lastSeen);
        EXPECT_EQ(rb[i].textColor, ra[i].textColor);
        EXPECT_EQ(rb[i].backColor, ra[i].backColor);
    }

    const SystemInfo info = Info(*b);
    EXPECT_EQ(info.systemName, "County Trunk");
    EXPECT_EQ(info.siteName, "North Hill");  // the tower name of the current site
    EXPECT_EQ(info.callSigns, "WQAB123 KA1XYZ WPXX555");
    EXPECT_EQ(b->Towers().GetTowerName(1, 5), "North Hill");
    EXPECT_EQ(b->Towers().GetTowerName(1, 6), "South");
    EXPECT_EQ(b->Towers().GetTowerName(12, 0), "Key 1200");

    EXPECT_TRUE(b->Filter().GetFilterEnabled());
    const std::vector<FILTERRANGE> ranges = Ranges(*b);
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_TRUE(ranges[0].active && ranges[0].low == 100 && ranges[0].high == 500);
    EXPECT_TRUE(!ranges[1].active && ranges[1].low == 1000 && ranges[1].high == 2000);

    // Entries read from the file are confirmed; the rest are empty and assumed.
    const std::vector<IdentifierEntry> ids = Identifiers(*b), written = Identifiers(*a);
    for (int i = 0; i < IdentifierTable::kCount; ++i) {
        const IdentifierEntry& want = written[static_cast<size_t>(i)];
        EXPECT_EQ(ids[static_cast<size_t>(i)].base, want.base) << i;
        EXPECT_EQ(ids[static_cast<size_t>(i)].spacing, want.spacing) << i;
        EXPECT_EQ(ids[static_cast<size_t>(i)].txOffset, want.txOffset) << i;
        EXPECT_EQ(ids[static_cast<size_t>(i)].bandwidth, want.bandwidth) << i;
        EXPECT_EQ(ids[static_cast<size_t>(i)].assumed, i != 0 && i != 2) << i;
    }

    // Usage flags come back without the alternate control letter, which is not read back.
    const std::vector<FreqInfo> ca = Channels(*a), cb = Channels(*b);
    ASSERT_EQ(cb.size(), ca.size());
    for (size_t i = 0; i < ca.size(); ++i) {
        EXPECT_EQ(cb[i].channel, ca[i].channel);
        EXPECT_EQ(cb[i].usageFlags, ca[i].usageFlags & ~kFlagAlternate);
        EXPECT_EQ(cb[i].hits, ca[i].hits);
        EXPECT_DOUBLE_EQ(cb[i].rxFrequency, ca[i].rxFrequency);
        EXPECT_DOUBLE_EQ(cb[i].txFrequency, ca[i].txFrequency);
    }
}

TEST_F(SystemFilesTest, HitCountsAreReadOnlyWhileHitsAreSaved)
{
    auto a = NewDecoder();
    FillSmallState(*a);
    ASSERT_TRUE(SaveSystemData(*a));
    for (bool saveHits : {true, false}) {
        auto b = NewDecoder(saveHits);
        Identify(*b);
        const std::vector<FreqInfo> ch = Channels(*b);
        ASSERT_EQ(ch.size(), 1u);
        EXPECT_EQ(ch[0].usageFlags, kFlagControl | kFlagVoice);
        EXPECT_EQ(ch[0].hits, saveHits ? 3 : 0);
    }
}

TEST_F(SystemFilesTest, SiteChangeReadsTheNewTowerOverTheCurrentState)
{
    WriteText("Tower0106.txt", "FileVersion:5\r\n-Tables\r\n03,460.00000,0.01250,5.00000,\"Confirmed\",0.01250\r\n"
                               "-Frequencies\r\n\"03-0001\",\"d\",460.01250,465.01250,7\r\n");
    auto d = NewDecoder();
    FillSmallState(*d);
    ASSERT_TRUE(SaveSystemData(*d));
    d->Talkgroups().NoteTalkgroup(777);  // heard on the air, not yet saved

    EXPECT_TRUE(d->SetRfssSite(1, 6));
    EXPECT_TRUE(d->Talkgroups().IsTalkgroupKnown(777));  // nothing was emptied
    EXPECT_TRUE(d->Talkgroups().IsTalkgroupKnown(100));
    EXPECT_EQ(Info(*d).siteName, "South");
    const std::vector<FreqInfo> ch = Channels(*d);
    ASSERT_EQ(ch.size(), 2u);  // the old site's channel stays, the new site's is added
    EXPECT_EQ(ch[1].channel, 0x3001);
    EXPECT_EQ(ch[1].usageFlags, kFlagData);
    EXPECT_EQ(ch[1].hits, 7);
    EXPECT_DOUBLE_EQ(ch[1].rxFrequency, 460.0125);
}

// A new identity empties the decoder. An owner that keeps its files has what was learnt of the old
// site written first, so moving the scanner to another site or system and back loses nothing; a
// run that does not save (a replay without --save) writes nothing.
TEST_F(SystemFilesTest, ANewIdentityFirstStoresWhatWasLearntOfTheOldOne)
{
    constexpr uint32_t kOtherSystem = 0x2B7;
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "files kept" : "files not kept");
        std::filesystem::remove_all(root + "System1A3");
        std::filesystem::remove_all(root + "System2B7");
        auto d = NewDecoder();
        d->SetSaveBeforeNewIdentity(keep);
        Identify(*d);
        d->Talkgroups().SetTalkgroup(3002, "Fire Dispatch", 10, 0);  // learnt, not yet saved
        d->Radios().SetRadio(1442202, "Engine 12", 0);

        d->SetSiteIdentity(kSystem, kRfss, kServiceClass, kSite + 1);  // another site: emptied, then read
        EXPECT_EQ(d->Talkgroups().IsTalkgroupKnown(3002), keep);
        EXPECT_EQ(std::filesystem::exists(Folder() + "Tower0105.txt"), keep);

        d->SetSiteIdentity(kOtherSystem, kRfss, kServiceClass, kSite);  // another system
        EXPECT_FALSE(d->Talkgroups().IsTalkgroupKnown(3002));
        Identify(*d);  // and back
        ASSERT_EQ(d->Talkgroups().IsTalkgroupKnown(3002), keep);
        if (keep) {
            EXPECT_EQ(Talkgroup(*d, 3002).description, "Fire Dispatch");
            EXPECT_EQ(Talkgroup(*d, 3002).priority, 10);
        }
        EXPECT_EQ(d->Radios().PeekRadioText(1442202), keep ? "Engine 12" : "");
        EXPECT_EQ(std::filesystem::exists(SystemFolder(root, kOtherSystem) + "System.ini"), keep);
    }
}

TEST_F(SystemFilesTest, SavingLeavesTheScreensChangedFlagsAlone)
{
    auto d = NewDecoder();
    FillSmallState(*d);
    Info(*d);    // the screen took the system information
    Ranges(*d);  // and the filter ranges
    ASSERT_TRUE(SaveSystemData(*d));
    EXPECT_FALSE(d->SystemInfoChanged());
    EXPECT_FALSE(d->Filter().FilterRangesChanged());
    d->SetSystemName("Renamed");
    d->Filter().SetFilterRange(true, 7, 8);
    ASSERT_TRUE(SaveSystemData(*d));
    EXPECT_TRUE(d->SystemInfoChanged());  // still to be shown
    EXPECT_TRUE(d->Filter().FilterRangesChanged());
}

TEST_F(SystemFilesTest, SavingWhileTheDecoderChangesSitesAndTables)
{
    auto d = NewDecoder();
    FillSmallState(*d);
    ASSERT_TRUE(SaveSystemData(*d));
    std::atomic<bool> stop{false};
    // The processing thread's side: new talkgroups and radios, channel activity, and site changes
    // that read the files while they are being replaced.
    std::thread decoding([&] {
        for (int32_t i = 1; !stop.load(); ++i) {
            d->Talkgroups().NoteTalkgroup(1000 + i % 5000);
            d->Radios().NoteRadio(1000 + i % 5000, 100);
            d->Activity().RecordGroupGrant(kControl, 100, "", 4779);
            if (i % 50 == 0)
                d->SetRfssSite(1, 5 + (i / 50) % 2);
        }
    });
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(SaveSystemData(*d));
    stop = true;
    decoding.join();

    // Whatever was read meanwhile, every file on disk is whole.
    const std::string tg = ReadStored("TalkGroups.txt");
    EXPECT_EQ(tg.rfind("FileVersion:5\r\n", 0), 0u);
    std::vector<std::string> fields;
    for (size_t pos = tg.find("\r\n1"); pos != std::string::npos; pos = tg.find("\r\n", pos + 2)) {
        const size_t end = tg.find("\r\n", pos + 2);
        if (end == std::string::npos)
            break;
        EXPECT_EQ(SplitCsvLine(tg.substr(pos + 2, end - pos - 2), fields), 9) << tg.substr(pos + 2, end - pos - 2);
    }
    EXPECT_EQ(tg.substr(tg.size() - 2), "\r\n");
    auto b = NewDecoder();
    Identify(*b);
    EXPECT_TRUE(b->Talkgroups().IsTalkgroupKnown(100));
    EXPECT_TRUE(b->Radios().GetRadioText(4779) == "Engine 5");
}

}  // namespace
