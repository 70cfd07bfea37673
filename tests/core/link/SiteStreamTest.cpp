#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "SiteStreamBlocks.h"
#include "SiteStreamPlayer.h"
#include "SiteStreamScreens.h"
#include "decoder/P25Class.h"
#include "link/Procthread.h"
#include "link/TBSKQueue.h"
#include "p25/DescriptionText.h"

// One site's control channel played end to end through the queue, the processing thread and the
// decoder: identity, identifier tables, adjacent sites and alternate control channels, voice,
// phone and data calls, affiliations, patches and multi-block packets, with damaged blocks in
// between. Afterwards everything the screens would show is checked.

using namespace sitestream;

namespace {

constexpr int64_t kStart = 1240322820;  // 21 Apr 2009 14:07:00 UTC
constexpr int32_t kControl = 0x1064;    // the site's control channel
// How a talkgroup first heard on this site is described: the site and when it was noted.
constexpr const char* kNoted = "T: 307 DT: 4/21/09@14:07";

// Each record as one line of text, so a failure shows the whole record.
template <class Entry, class ToText>
std::vector<std::string> Texts(const std::vector<Entry>& entries, ToText toText)
{
    std::vector<std::string> out;
    for (const Entry& e : entries)
        out.push_back(toText(e));
    return out;
}

std::string IdText(const IdentifierEntry& e)
{
    return Format("%.5f %.5f %.5f %.5f %s", e.base, e.txOffset, e.spacing, e.bandwidth,
                  e.assumed ? "assumed" : "confirmed");
}

std::string LineText(const FreqInfo& f)
{
    return Format("%04X [%s] %d [%s] %d %02X [%s] %d %.5f/%.5f", f.channel, f.usage.c_str(), f.target,
                  f.targetDescription.c_str(), f.source, f.usageFlags, f.status.c_str(), f.hits, f.rxFrequency,
                  f.txFrequency);
}

std::string SiteText(const NeighborSite& n)
{
    return Format("%03X %d %d %04X %d %.5f [%s]", n.systemId, n.rfssId, n.siteId, n.controlChannel, n.status,
                  n.controlFrequency, n.name.c_str());
}

std::string GrantText(const GRANTLOG& g)
{
    const std::string channel = g.channel < 0 ? std::to_string(g.channel) : Format("%04X", g.channel);
    return Format("%s %s %.5f %d %d [%s] %d +%lld", g.type.c_str(), channel.c_str(), g.frequency, g.target, g.source,
                  g.status.c_str(), g.priority, static_cast<long long>(g.time - kStart));
}

// The stream is played once per test, through a real queue and processing thread, with every
// screen switched on; the tests then read what the screens would show.
class SiteStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        decoder = std::make_unique<P25Class>(clock);
        decoder->SetSwitches({.recordUnknowns = true,
                              .grantLog = true,
                              .eventLog = true,
                              .packetDump = true,
                              .logProtection = true,
                              .saveHits = true});
        player = std::make_unique<StreamPlayer>(queue, *decoder);
        ProcThread processing(queue, *player);
        processing.SetIdlePriority(false);
        ASSERT_TRUE(processing.Start());
        ASSERT_NO_FATAL_FAILURE(PlaySite());
        EXPECT_FALSE(Phase(410, 4));  // every active line is within its time-out
        processing.Terminate();
        processing.WaitFor();
        screens.Take(*decoder);
    }

    // Each phase is one burst at its own tick and second; the refresh thread's expiry runs first.
    bool Phase(int32_t tick, int second)
    {
        decoder->Context().time.SetTick(tick);
        clock.Set(kStart + second);
        return decoder->Activity().ExpireChannelActivity();
    }
    // Waits until the burst is decoded, then copies the pending buffers out.
    void Settle()
    {
        ASSERT_TRUE(player->Settled());
        screens.Take(*decoder);
    }

    void PlaySite();

    ManualClock clock{kStart};
    std::unique_ptr<P25Class> decoder;
    TBSKQueue queue;
    std::unique_ptr<StreamPlayer> player;
    Screens screens;
};

void SiteStream::PlaySite()
{
    // Identity from the air: nothing is decoded before it, and a damaged status naming another
    // site must not replace it.
    Phase(10, 0);
    player->Refused(GroupGrant(0, 0x1001, 100, 1001001));
    player->Block(RfssStatus(kSys, kRfss, kSite, kControl),
                  "RFSS Status Broadcast - SysID: 4A2 Status: Connected Zone: 3 Site: 7 Control: "
                  "1-0100(764.62500) Cap: Data,Voice,Registration");
    player->Damaged(RfssStatus(kSys, kRfss, 9, kControl), 50);
    player->Block(NetworkStatus(kWacn, kControl),
                  "Network Status Broadcast - WACN: BEE00 Control: 1-0100(764.62500) Cap: Data,Voice,Registration");
    player->Block(IdentifierUpdate(1, 100, 180, false, 50, 851012500),
                  "Identifier Update - ID: 01  Base: 851.01250  Spacing: 0.00625  Bandwidth: 0.01250  "
                  "TX Offset: -45.00000");
    player->Block(IdentifierUpdateVhf(2, 5, 48, true, 100, 151010000),
                  "Identifier Update - ID: 02  Base: 151.01000  Spacing: 0.01250  Bandwidth: 0.01250  "
                  "TX Offset: 0.60000");
    ASSERT_NO_FATAL_FAILURE(Settle());
    // What the refresh thread and the user do meanwhile: the identifiers are shown, a tower is
    // named, a talkgroup is named and given a priority.
    std::vector<IdentifierEntry> shown(IdentifierTable::kCount);
    decoder->Identifiers().CopyIdentifiers(shown.data(), IdentifierTable::kCount);
    decoder->Towers().SetTowerName(kRfss, 8, "North Ridge");
    decoder->Talkgroups().SetTalkgroup(100, "Fire Dispatch", 3, 0);

    Phase(100, 1);  // adjacent sites and alternate control channels
    player->Block(RfssStatus(kSys, kRfss, kSite, kControl));
    player->Block(AdjacentStatus(kSys, kRfss, 8, 0x1080, kConnected));
    player->Damaged(AdjacentStatus(kSys, kRfss, 9, 0x1081, kConnected), 70);
    player->Block(AdjacentStatus(kOtherSys, 1, 4, 0x2010, kConnected),
                  "Neighbor Status Broadcast - SysID: 1b5 Zone: 1 Site: 4 Control: 2-0016(151.21000) Status: Connected "
                  "Cap: Data,Voice,Registration");
    player->Block(AdjacentStatus(kSys, kRfss, 2, 0x1090, kSiteTrunked));
    player->Block(AdjacentStatus(kSys, kRfss, 8, 0x1080, kConnected));  // repeated: one record
    player->Block(AlternateControl(kOpSecondaryControlChannelBroadcast, kRfss, kSite, 0x1070, 0x1071));
    // Another site's alternate channels are described but not recorded.
    player->Block(AlternateControl(kOpSecondaryControlChannelBroadcast, kRfss, 8, 0x1075, 0x1076),
                  "Alternate Control Broadcast - Channel 1: 1-0117(851.74375) Cap: Data,Voice,Registration Channel 2: "
                  "1-0118(851.75000) Cap: Data,Voice,Registration");
    player->Block(AlternateControl(kOpExplicitAlternateControl, kRfss, kSite, 0x1072, 0x1072));
    ASSERT_NO_FATAL_FAILURE(Settle());

    Phase(200, 2);  // individual calls and data
    player->Block(RfssStatus(kSys, kRfss, kSite, kControl));
    player->Block(UnitToUnit(kOpUnitToUnitVoiceGrant, 0x1008, 3003003, 3004004),
                  "Unit-Unit Voice Grant - Channel: 1-0008(851.06250) From : 3003003 To: 3004004");
    player->Block(UnitToUnit(kOpUnitToUnitVoiceGrantUpdate, 0x1008, 3003003, 3004004));  // updates: no new call
    player->Block(PhoneGrant(kOpTelephoneVoiceGrant, 0x1009, 4004004),
                  "Telephone Voice Grant - Channel: 1-0009(851.06875) Radio ID : 4004004");
    player->Damaged(PhoneGrant(kOpTelephoneVoiceGrant, 0x1022, 4004005), 33);
    player->Block(PhoneGrant(kOpTelephoneVoiceGrantUpdate, 0x1009, 4004004));
    player->Block(ChannelGroupRadio(kOpGroupDataGrant, 0, 0x100A, 700, 5005005));
    player->Block(PairUpdate(kOpGroupDataGrantUpdate, 0x100A, 700, 0x100A, 700));
    player->Block(UnitToUnit(kOpIndividualDataGrant, 0x100B, 6006001, 6006002));
    player->Block(DataAnnouncement(0x00, 0x100C, 0xFFFF));
    player->Block(TwoUnits(kOpCallAlert, 0, 0, 7000001, 7000005));
    ASSERT_NO_FATAL_FAILURE(Settle());

    EXPECT_TRUE(Phase(300, 3));  // the data calls are over; affiliations and patches
    player->Block(RfssStatus(kSys, kRfss, kSite, kControl));
    player->Block(IdentifierUpdate(1, 100, 180, false, 50, 851012500));  // repeats change nothing
    player->Block(IdentifierUpdateVhf(2, 5, 48, true, 100, 151010000));
    player->Block(GroupAffiliation(0x00, 100, 7000001));
    player->Block(GroupAffiliation(0x80, 100, 7000001));  // the same event (local/global bit aside)
    player->Block(GroupAffiliation(0x00, 200, 7000002));
    player->Block(GroupAffiliation(0x00, 800, 7000003));
    player->Damaged(GroupAffiliation(0x00, 850, 7000009), 60);
    player->Block(GroupAffiliation(0x02, 333, 7000004),
                  "Group Affiliation Response - Group: 333 RadioID : 7000004 Result: Denied");
    player->Block(LocationRegistration(200, 7000005));
    player->Block(DeRegistration(7000002), "De-Registration Response - RadioID : 7000002");
    // Members in bytes 8-9, 4-5, 6-7; a slot naming the supergroup itself is unused.
    player->Block(Patch(kOpMotPatchInformation, 900, 200, 900, 100),
                  "Patch Information - Mfg 90(Motorola) SuperGroup: 900 Member Groups: 100,200,900");
    player->Block(Patch(kOpMotPatchInformation, 950, 950, 950, 300));
    player->Block(TwoUnits(kOpExtendedFunctionCommand, 0, 0x00, 0xFFFFFD, 7000003));  // radio check
    ASSERT_NO_FATAL_FAILURE(Settle());

    Phase(400, 4);  // group calls: repeats, a talkgroup moving, encrypted and emergency calls
    player->Block(RfssStatus(kSys, kRfss, kSite, kControl));
    player->Block(GroupGrant(0, 0x1001, 100, 1001001));
    player->Block(GroupGrant(0, 0x1001, 100, 1001001));  // repeated: no new call
    player->Block(GroupGrant(0, 0x1002, 200, 2002002));
    player->Damaged(GroupGrant(0, 0x1020, 999, 9009009), 44);
    player->Block(PairUpdate(kOpGroupVoiceGrantUpdate, 0x1002, 200, 0x1003, 300));  // 300 is new here
    player->Block(PairUpdate(kOpGroupVoiceGrantUpdate, 0x1001, 100, 0x1001, 100));
    player->Block(GroupGrant(kEnc, 0x1004, 400, 4000400),
                  "Group Voice Grant - Group: 400 Channel: 1-0004(851.03750) Radio ID: 4000400 Notes: Enc");
    player->Block(GroupGrant(0, 0x1005, 100, 1001002));  // talkgroup 100 moves
    player->Block(GroupGrant(kEmrg, 0x1006, 500, 5000500),
                  "Group Voice Grant - Group: 500 Channel: 1-0006(851.05000) Radio ID: 5000500 Notes: Emrg");
    player->Packet(GroupGrantPacket(kEnc, 0x1007, 0x1007, 600, 6000600),
                   "Multi-Block Group Voice Grant 1 - Radio ID: 6000600 Notes: Enc Follow: 1",
                   "Multi-Block Group Voice Grant 2 - Channel: 1-0007(851.05625) Input Channel: 1-0007(851.05625) "
                   "Group: 600");
    player->DamagedPacket(GroupGrantPacket(0, 0x1021, 0x1021, 998, 9009008));
    player->Packet(RfssStatusPacket(kControl, kControl),
                   "Multi-Block RFSS Status Broadcast 1 - SysID: 4A2 Status: Connected Follow: 1",
                   "Multi-Block RFSS Status Broadcast 2 - RFSS: 3 Site: 7 Control tx: 1-0100(851.63750) Control rx: "
                   "1-0100(851.63750) Cap: Data,Voice,Registration");
    player->Packet(NetworkStatusPacket(kControl, kControl),
                   "Multi-Block Network Status Broadcast 1 - SysID: 4A2 Follow: 1",
                   "Multi-Block Network Status Broadcast 2 - WACN: BEE00 Control tx: 1-0100(851.63750) Control rx: "
                   "1-0100(851.63750) Cap: Data,Voice,Registration");
    player->Block(Patch(kOpMotPatchInformation, 900, 200, 900, 100));  // announced again: no log entry
    player->Block(Patch(kOpMotPatchRelease, 900, 900, 900, 900),
                  "Patch Release - Mfg 90(Motorola) Groups: 900,900,900,900");
    player->Damaged(Patch(kOpMotPatchRelease, 950, 950, 950, 950), 20);
    player->Refused(testsupport::WithCrc16(Op(0x13)), "Unknown Op=13 Mfg 00(Standard)");  // no handler
    // Last, so the control channel's transmit side comes from the identifier table again after
    // the packets named an input channel for it.
    player->Block(RfssStatus(kSys, kRfss, kSite, kControl));
    ASSERT_NO_FATAL_FAILURE(Settle());
}

}  // namespace

TEST_F(SiteStream, EveryGoodBlockIsDecodedOnceAndNoDamagedOne)
{
    EXPECT_EQ(player->Answers(), player->expected);  // held back, unknown, or recognised

    // Every good block once, in order, and two descriptions per packet; nothing damaged.
    ASSERT_EQ(screens.dump.size(), player->dump.size());
    for (size_t i = 0; i < player->dump.size(); ++i) {
        SCOPED_TRACE("packet dump entry " + std::to_string(i));
        EXPECT_EQ(screens.dump[i].block, player->dump[i].first);
        if (!player->dump[i].second.empty()) {
            EXPECT_EQ(screens.dump[i].text, player->dump[i].second);
        }
    }
    ASSERT_EQ(screens.unknowns.size(), 1u);
    EXPECT_EQ(screens.unknowns[0].text, "Unknown Op=13 Mfg 00(Standard)");
}

TEST_F(SiteStream, IdentityAndIdentifiersComeFromTheAir)
{
    SystemInfo info;
    decoder->CopySystemInfo(info);
    EXPECT_EQ(Format("%03X %05X %u %u %d %02X", info.systemId, info.wacn, info.rfssId, info.siteId, info.siteStatus,
                     info.serviceClass),
              "4A2 BEE00 3 7 1 70");

    // The first update received clears the built-in band plans; what the site sent is confirmed.
    std::vector<IdentifierEntry> ids(IdentifierTable::kCount);
    ASSERT_TRUE(decoder->Identifiers().CopyIdentifiers(ids.data(), IdentifierTable::kCount));
    std::vector<std::string> expectedIds(IdentifierTable::kCount, "0.00000 0.00000 0.00000 0.00000 assumed");
    expectedIds[1] = "851.01250 -45.00000 0.00625 0.01250 confirmed";
    expectedIds[2] = "151.01000 0.60000 0.01250 0.01250 confirmed";
    EXPECT_EQ(Texts(ids, IdText), expectedIds);
}

TEST_F(SiteStream, ChannelLinesShowTheCurrentCallsAndKeepTheirHistory)
{
    // Channel, [usage], target, [description], source, flags (c 01, a 02, v 04, d 08, p 20,
    // t 40), [status], hits, receive/transmit MHz. The data calls of the third phase have gone
    // idle and keep their flags and hits; talkgroup 100 has left 0x1001 for 0x1005.
    std::vector<FreqInfo> lines(ChannelTable::kCapacity);
    lines.resize(size_t(decoder->Channels().CopyChannels(lines.data(), ChannelTable::kCapacity)));
    const std::string noted = std::string(" [") + kNoted + "] ";
    EXPECT_EQ(Texts(lines, LineText), (std::vector<std::string>{
                                          "1001 [] 0 [] 0 04 [] 1 851.01875/806.01875",
                                          "1002 [Group] 200" + noted + "2002002 04 [] 1 851.02500/806.02500",
                                          "1003 [Group] 300" + noted + "0 04 [] 1 851.03125/806.03125",
                                          "1004 [Group] 400" + noted + "4000400 04 [Enc] 1 851.03750/806.03750",
                                          "1005 [Group] 100 [Fire Dispatch] 1001002 04 [] 1 851.04375/806.04375",
                                          "1006 [Group] 500" + noted + "5000500 04 [Emrg] 1 851.05000/806.05000",
                                          "1007 [Group] 600" + noted + "6000600 04 [Enc] 1 851.05625/806.05625",
                                          "1008 [] 0 [] 0 24 [] 0 851.06250/806.06250",
                                          "1009 [] 0 [] 0 40 [] 1 851.06875/806.06875",
                                          "100A [] 0 [] 0 08 [] 1 851.07500/806.07500",
                                          "100B [] 0 [] 0 08 [] 0 851.08125/806.08125",
                                          "100C [] 0 [] 0 08 [] 0 851.08750/806.08750",
                                          "1064 [Control] 0 [] 0 01 [] 0 851.63750/806.63750",
                                          "1070 [] 0 [] 0 02 [] 0 851.71250/806.71250",
                                          "1071 [] 0 [] 0 02 [] 0 851.71875/806.71875",
                                          "1072 [] 0 [] 0 02 [] 0 851.72500/806.72500",
                                      }));
}

TEST_F(SiteStream, AdjacentSitesStandInKeyOrderWithTheirNames)
{
    // In key order (system, RFSS, site), each once, named from this system's tower names.
    std::vector<NeighborSite> sites(NeighborTable::kCapacity);
    sites.resize(size_t(decoder->Neighbors().CopyNeighbors(sites.data(), NeighborTable::kCapacity)));
    EXPECT_EQ(Texts(sites, SiteText), (std::vector<std::string>{
                                          "1B5 1 4 2010 1 151.21000 [Unknown (Different System)]",
                                          "4A2 3 2 1090 0 851.91250 []",
                                          "4A2 3 8 1080 1 851.81250 [North Ridge]",
                                      }));
}

TEST_F(SiteStream, TalkgroupsAffiliationsAndPatchesFollowTheAir)
{
    // Noted from grants, updates and accepted affiliations; never from a damaged block, a denied
    // affiliation or a patch.
    std::vector<int32_t> talkgroups;
    {
        TalkgroupTable& t = decoder->Talkgroups();
        LockGuard g(t.Lock());
        for (int i = 0; i < t.TalkgroupCount(); ++i)
            talkgroups.push_back(t.At(i).id);
    }
    EXPECT_EQ(talkgroups, (std::vector<int32_t>{100, 200, 300, 400, 500, 600, 700, 800}));

    std::vector<AFFENTRY> affiliated(AffiliationList::kCapacity);
    affiliated.resize(size_t(decoder->Affiliations().CopyAffiliations(affiliated.data(), AffiliationList::kCapacity)));
    EXPECT_EQ(
        Texts(affiliated, [](const AFFENTRY& a) { return Format("%d %d %s", a.radio, a.talkgroup, a.text.c_str()); }),
        (std::vector<std::string>{"7000001 100 Affiliate", "7000003 800 Affiliate", "7000005 200 Affiliate"}));

    std::vector<PATCHENTRY> patched(PatchList::kCapacity);
    patched.resize(size_t(decoder->Patches().CopyPatches(patched.data(), PatchList::kCapacity)));
    EXPECT_EQ(Texts(patched, [](const PATCHENTRY& p) { return Format("%d %d", p.group, p.supergroup); }),
              (std::vector<std::string>{"300 950"}));
}

TEST_F(SiteStream, LogsHoldEachNewEventOnce)
{
    // Type, channel, MHz, target, source, [status], priority (100 was given 3, new talkgroups
    // have 50), second of the stream: new calls only, repeats and updates add nothing.
    EXPECT_EQ(Texts(screens.grants, GrantText), (std::vector<std::string>{
                                                    "Private 1008 851.06250 3003003 3004004 [] 1 +2",
                                                    "Phone 1009 851.06875 0 4004004 [] 1 +2",
                                                    "GrpData 100A 851.07500 700 5005005 [] 50 +2",
                                                    "PvtData 100B 851.08125 6006001 6006002 [] 1 +2",
                                                    "Alert -1 0.00000 7000001 7000005 [] 99 +2",
                                                    "Group 1001 851.01875 100 1001001 [] 3 +4",
                                                    "Group 1002 851.02500 200 2002002 [] 50 +4",
                                                    "Group 1004 851.03750 400 4000400 [Enc] 50 +4",
                                                    "Group 1005 851.04375 100 1001002 [] 3 +4",
                                                    "Group 1006 851.05000 500 5000500 [Emrg] 50 +4",
                                                    "Group 1007 851.05625 600 6000600 [Enc] 50 +4",
                                                }));

    EXPECT_EQ(
        Texts(screens.affiliations,
              [](const AFFLOG& a) { return Format("%c %d %d %s", a.function, a.radio, a.talkgroup, a.text.c_str()); }),
        (std::vector<std::string>{"A 7000001 100 Affiliate", "A 7000002 200 Affiliate", "A 7000003 800 Affiliate",
                                  "D 7000004 333 Denied", "A 7000005 200 Affiliate", "U 7000002 0 Unaffiliate"}));
    EXPECT_EQ(Texts(screens.patches,
                    [](const PATCHLOGENTRY& p) { return Format("%c %d %d", p.action, p.group, p.supergroup); }),
              (std::vector<std::string>{"A 100 900", "A 200 900", "A 300 950", "R 100 900", "R 200 900"}));
    // The repeated identifier update, heard after the table was shown, changed nothing: no event.
    EXPECT_EQ(Texts(screens.events, [](const EVENTLOG& e) { return e.text; }),
              (std::vector<std::string>{"Updated Identifier Table 02... Base: 151.01000 Spacing: 0.01250 "
                                        "Bandwidth: 0.01250 TX Offset: 0.60000 ",
                                        "Call Alert - 7000005 Alerting 7000001", "Radio Check: 7000003"}));
}
