#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/DescriptionCases.h"

// Unit control, responses and the lone multi-block header: what each block says in the packet
// dump and the event log, and what it changes in the decoder's tables.

namespace {

using testsupport::DescriptionCase;

// Radio 1234567 is 0x12D687, radio 1000 is 0x0003E8, talkgroup 100 is 0x0064.
const DescriptionCase kDescriptionCases[] = {
    {"AffiliationAcceptIgnoresTheGlobalBit",
     {0x28, 0x00, 0x80, 0, 0, 0x00, 0x64, 0x12, 0xD6, 0x87},
     1,
     {"Group Affiliation Response - Group: 100 RadioID : 1234567 Result: Accept"},
     {}},
    {"AffiliationRefused",
     {0x28, 0x00, 0x03, 0, 0, 0x00, 0x64, 0x12, 0xD6, 0x87},
     1,
     {"Group Affiliation Response - Group: 100 RadioID : 1234567 Result: Refused"},
     {}},
    {"LocationRegistrationGroupFromBytes3And4",
     {0x2B, 0x00, 0x01, 0x00, 0x64, 0x01, 0x05, 0x12, 0xD6, 0x87},
     1,
     {"Location Registration Response - Group: 100 RadioID : 1234567 Result: Failed"},
     {}},
    {"AffiliationQuery",
     {0x2A, 0x00, 0, 0, 0x12, 0xD6, 0x87, 0, 0, 0},
     1,
     {"Group Affiliation Query -> 1234567"},
     {"Group Affiliation Query -> 1234567"}},
    {"UnitRegistrationMasksTheSystemId",
     {0x2C, 0x00, 0xF1, 0x23, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Unit Registration -> 1000/1234567 (SysID: 123)"},
     {"Unit Registration -> 1000/1234567 (SysID: 123)"}},
    {"UnitRegistrationCommand",
     {0x2D, 0x00, 0, 0, 0x12, 0xD6, 0x87, 0, 0, 0},
     1,
     {"Unit Registration Command -> 1234567"},
     {"Unit Registration Command -> 1234567"}},
    {"AuthenticationPadsTheWacnWithBlanks",
     {0x2E, 0x00, 0, 0x00, 0x12, 0x31, 0x23, 0x12, 0xD6, 0x87},
     1,
     {"Authenticate: SysID: 123 WACN:   123 ID: 1234567 "},
     {"Authenticate: SysID: 123 WACN:   123 ID: 1234567 "}},
    {"DeRegistration",
     {0x2F, 0x00, 0, 0xBE, 0xE0, 0x01, 0x23, 0x12, 0xD6, 0x87},
     1,
     {"De-Registration Response - RadioID : 1234567"},
     {}},
    {"AckToTheSystem",
     {0x20, 0x00, 0x80, 0, 0xFF, 0xFF, 0xFD, 0x12, 0xD6, 0x87},
     1,
     {"ACK: System -> 1234567 (Group Voice Grant)"},
     {"ACK: System -> 1234567 (Group Voice Grant)"}},
    {"AckFromAnotherUnit",
     {0x20, 0x00, 0xA8, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"ACK: 1000 -> 1234567 (Group Affiliation)"},
     {"ACK: 1000 -> 1234567 (Group Affiliation)"}},
    {"AckBySystem",
     {0x20, 0x00, 0xDF, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"System ACK -> 1234567 (Call Alert)"},
     {"System ACK -> 1234567 (Call Alert)"}},
    {"PlainAck",
     {0x20, 0x00, 0x01, 0, 0xFF, 0xFF, 0xFD, 0x12, 0xD6, 0x87},
     1,
     {"ACK 1234567 (Unknown Code 0x01)"},
     {"ACK 1234567 (Unknown Code 0x01)"}},
    {"QueuedResponse",
     {0x21, 0x00, 0, 0x2F, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Queued Response: 1234567 -> 1000: target unit has refused this call"},
     {"Queued Response: 1234567 -> 1000: target unit has refused this call"}},
    {"DenyToAGroupWritesFiveDigits",
     {0x27, 0x00, 0x00, 0x2F, 0, 0x00, 0x64, 0x12, 0xD6, 0x87},
     1,
     {"Deny Response: 1234567 -> 00100 (Group Voice Grant): target unit has refused this call"},
     {"Deny Response: 1234567 -> 00100 (Group Voice Grant): target unit has refused this call"}},
    {"DenyToAUnit",
     {0x27, 0x00, 0x04, 0x20, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Deny Response: 1000 -> 1234567 (Unit to Unit Voice Grant): the target unit is not valid"},
     {"Deny Response: 1000 -> 1234567 (Unit to Unit Voice Grant): the target unit is not valid"}},
    {"RadioCheck",
     {0x24, 0x00, 0, 0x00, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Radio Check: 1234567"},
     {"Radio Check: 1234567"}},
    {"RadioDetach",
     {0x24, 0x00, 0, 0x7D, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Radio Detach: 1234567"},
     {"Radio Detach: 1234567"}},
    {"RadioUnInhibit",
     {0x24, 0x00, 0, 0x7E, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Radio Un-Inhibit: 1234567"},
     {"Radio Un-Inhibit: 1234567"}},
    {"RadioInhibit",
     {0x24, 0x00, 0, 0x7F, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Radio Inhibit: 1234567"},
     {"Radio Inhibit: 1234567"}},
    {"OtherExtendedFunction",
     {0x24, 0x00, 0, 0x42, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Unknown Response: 1234567 -> 1000"},
     {"Unknown Response: 1234567 -> 1000"}},
    {"ExtendedFunctionOfAnotherClassIsUnknown",
     {0x24, 0x00, 0x01, 0x7F, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     0,
     {"Unknown Op=24 Mfg 00(Standard)"},
     {}},
    {"StatusUpdate",
     {0x18, 0x00, 0x05, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Unit Status Update - Srd RID: 1234567 Dst RID: 1000 Status: 5"},
     {"Unit Status Update - Srd RID: 1234567 Dst RID: 1000 Status: 5"}},
    {"RemoteMonitor",
     {0x1D, 0x00, 0, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Remote Radio Monitor - 1000 Monitoring 1234567"},
     {"Remote Radio Monitor - 1000 Monitoring 1234567"}},
    {"RadioMonitor",
     {0x1E, 0x00, 0, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Radio Monitor - 1000 Monitoring 1234567"},
     {"Radio Monitor - 1000 Monitoring 1234567"}},
    {"RadioMonitorOfManufacturerAdIsRecognised",
     {0x1E, 0xAD, 0, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Unknown Op=1e Mfg AD(Unknown)"},
     {}},
    {"RadioMonitorOfAnotherManufacturerIsUnknown",
     {0x1E, 0x90, 0, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     0,
     {"Unknown Op=1E Mfg 90(Motorola)"},
     {}},
    {"CallAlert",
     {0x1F, 0x00, 0, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Call Alert - 1234567 Alerting 1000"},
     {"Call Alert - 1234567 Alerting 1000"}},
    {"PhoneDigitTenIsAColon",
     {0x0A, 0x00, 0x55, 0x51, 0x21, 0x23, 0x4A, 0x12, 0xD6, 0x87},
     1,
     {"Incoming Phone (555121234:)  -> 1234567"},
     {"Incoming Phone (555121234:)  -> 1234567"}},
    {"UnitToUnitAnswer",
     {0x05, 0x00, 0, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Unit-Unit Answer - From : 1234567 To: 1000"},
     {"Unit-Unit Answer - From : 1234567 To: 1000"}},
    {"ProtectionBroadcast",
     {0x3E, 0x00, 1, 2, 3, 4, 5, 6, 7, 8},
     1,
     {"Protection Parameter Broadcast - Current Format unknown"},
     {}},
    {"ProtectionUpdate",
     {0x3F, 0x00, 0, 0, 0x84, 0x12, 0x34, 0x12, 0xD6, 0x87},
     1,
     {"Protection Parameter Update - AlgID: 84  KeyID: 1234  Radio ID"},
     {}},
    {"HeaderOfAnRfssStatus",
     {0x37, 0x00, 0x00, 0, 0x11, 0x23, 0x02, 0x3A, 0, 0},
     1,
     {"MultiPacket - SysID: 123 Type: 3A(RFSS Status Broadcast) - Follow Count: 2"},
     {}},
    {"HeaderOfANeighbourOfAnyManufacturer",
     {0x37, 0x90, 0x00, 0, 0x02, 0x34, 0x01, 0x3C, 3, 7},
     1,
     {"MultiPacket - SysID: 234 Type: 3C(Neighbor Status Broadcast) Zone: 3 Site: 7 Status: Failed - Follow Count: 1"},
     {}},
    {"HeaderOfAGrantIgnoresTheTopFollowBit",
     {0x37, 0x00, 0x00, 0, 0x00, 0x00, 0x83, 0x00, 0, 0},
     1,
     {"MultiPacket - Type: 00(Group Voice Grant) - Follow Count: 3"},
     {}},
};

class UnitControlDescriptions : public testsupport::DescriptionCaseFixture { };

TEST_P(UnitControlDescriptions, DumpsAndLogsTheEvents)
{
    EXPECT_EQ(DecodeCase(), GetParam().recognised);
    EXPECT_EQ(DumpTexts(), GetParam().dump);
    EXPECT_EQ(EventTexts(), GetParam().events);
    EXPECT_EQ(UnknownTexts().size(), GetParam().recognised ? 0u : 1u);
}

// Events are described for the event log even while the packet dump is off.
TEST_P(UnitControlDescriptions, EventLogAloneStillGetsItsEvents)
{
    SetDumpAndEvents(false, true);
    EXPECT_EQ(DecodeCase(), GetParam().recognised);
    EXPECT_TRUE(DumpTexts().empty());
    EXPECT_EQ(EventTexts(), GetParam().events);
}

TEST_P(UnitControlDescriptions, NothingIsDescribedWithBothScreensOff)
{
    SetDumpAndEvents(false, false);
    EXPECT_EQ(DecodeCase(), GetParam().recognised);
    EXPECT_TRUE(DumpTexts().empty());
    SetDumpAndEvents(true, true);
    EXPECT_TRUE(EventTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(Blocks, UnitControlDescriptions, ::testing::ValuesIn(kDescriptionCases),
                         [](const auto& info) { return std::string(info.param.name); });

class UnitControlTest : public testsupport::DecoderFixture {
protected:
    std::vector<AFFENTRY> AffiliationList()
    {
        std::vector<AFFENTRY> e(AffiliationList::kCapacity);
        e.resize(static_cast<size_t>(decoder->Affiliations().CopyAffiliations(e.data(), AffiliationList::kCapacity)));
        return e;
    }
    SystemInfo Info()
    {
        SystemInfo info;
        decoder->CopySystemInfo(info);
        return info;
    }
    // A decoder that has not yet identified any system.
    void Unidentified()
    {
        decoder->ResetAll();
        DrainAll();
    }
};

struct AffiliationOutcome {
    uint8_t result;
    char kind;
    const char* text;
};

TEST_F(UnitControlTest, AffiliationResultsLogTheirKindAndOnlyAcceptsJoinTheList)
{
    const AffiliationOutcome outcomes[] = {
        {0x80, 'A', "Affiliate"}, {0x01, 'D', "Failed"}, {0x02, 'D', "Denied"}, {0x03, 'D', "Refused"}};
    int32_t group = 100;
    for (const AffiliationOutcome& o : outcomes) {
        SCOPED_TRACE(o.text);
        ++group;  // each outcome for its own group, so none repeats the last logged event
        ASSERT_EQ(Decode({0x28, 0x00, o.result, 0, 0, 0x00, static_cast<uint8_t>(group), 0x12, 0xD6, 0x87}), 1);
        const std::vector<AFFLOG> log = AffiliationEntries();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].function, o.kind);
        EXPECT_EQ(log[0].text, o.text);
        EXPECT_EQ(log[0].radio, 1234567);
        EXPECT_EQ(log[0].talkgroup, group);
        EXPECT_EQ(decoder->Talkgroups().IsTalkgroupKnown(group), o.kind == 'A');
    }
    const std::vector<AFFENTRY> list = AffiliationList();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].talkgroup, 101);
}

TEST_F(UnitControlTest, ARepeatedAffiliationIsLoggedOnce)
{
    const std::initializer_list<uint8_t> affiliation = {0x28, 0x00, 0x00, 0, 0, 0x00, 0x64, 0x12, 0xD6, 0x87};
    Decode(affiliation);
    // The location registration names the same radio and group: the same event again.
    Decode({0x2B, 0x00, 0x00, 0x00, 0x64, 0x01, 0x05, 0x12, 0xD6, 0x87});
    EXPECT_EQ(AffiliationEntries().size(), 1u);
    Decode({0x28, 0x00, 0x00, 0, 0, 0x00, 0x64, 0x00, 0x03, 0xE8});
    Decode(affiliation);
    EXPECT_EQ(AffiliationEntries().size(), 2u);
    EXPECT_EQ(AffiliationList().size(), 2u);
}

TEST_F(UnitControlTest, RegistrationCommandAndDeRegistrationTakeTheRadioOffTheList)
{
    Decode({0x28, 0x00, 0x00, 0, 0, 0x00, 0x64, 0x12, 0xD6, 0x87});
    Decode({0x28, 0x00, 0x00, 0, 0, 0x00, 0x65, 0x00, 0x03, 0xE8});
    AffiliationEntries();
    Decode({0x2D, 0x00, 0, 0, 0x12, 0xD6, 0x87, 0, 0, 0});
    Decode({0x2F, 0x00, 0, 0, 0, 0x01, 0x23, 0x00, 0x03, 0xE8});
    const std::vector<AFFLOG> log = AffiliationEntries();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].function, 'U');
    EXPECT_EQ(log[0].text, "Forced");
    EXPECT_EQ(log[0].radio, 1234567);
    EXPECT_EQ(log[1].text, "Unaffiliate");
    EXPECT_EQ(log[1].radio, 1000);
    EXPECT_EQ(log[1].talkgroup, 0);
    EXPECT_TRUE(AffiliationList().empty());
}

TEST_F(UnitControlTest, OnlyADeniedGroupAffiliationCountsAsAnAffiliation)
{
    Decode({0x27, 0x00, 0x00, 0x2F, 0, 0x00, 0x64, 0x12, 0xD6, 0x87});  // a denied call
    EXPECT_TRUE(AffiliationEntries().empty());
    Decode({0x27, 0x00, 0x80, 0x2F, 0, 0x00, 0x64, 0x12, 0xD6, 0x87});
    const std::vector<AFFLOG> log = AffiliationEntries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].function, 'A');
    EXPECT_EQ(log[0].text, "Affiliate");
    EXPECT_EQ(log[0].talkgroup, 100);
    EXPECT_EQ(DumpTexts().back(),
              "Deny Response: 1234567 -> 00100 (Group Voice Grant): target unit has refused this call");
}

TEST_F(UnitControlTest, QueuedResponsesAndCallAlertsGoToTheGrantLog)
{
    Decode({0x21, 0x00, 0, 0x2F, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87});
    Decode({0x1F, 0x00, 0, 0, 0x00, 0x07, 0xD0, 0x12, 0xD6, 0x87});
    const std::vector<GRANTLOG> grants = GrantEntries();
    ASSERT_EQ(grants.size(), 2u);
    EXPECT_EQ(grants[0].type, "Queued");
    EXPECT_EQ(grants[0].target, 1000);
    EXPECT_EQ(grants[0].source, 1234567);
    EXPECT_EQ(grants[1].type, "Alert");
    EXPECT_EQ(grants[1].channel, -1);
    EXPECT_EQ(grants[1].priority, 99);
    EXPECT_EQ(grants[1].status, "");
    EXPECT_EQ(grants[1].target, 2000);
    EXPECT_EQ(grants[1].source, 1234567);
}

TEST_F(UnitControlTest, ProtectionParametersNeedBothSwitches)
{
    const struct {
        bool protection;
        bool dump;
    } switches[] = {{false, true}, {true, false}, {false, false}};
    for (const auto& sw : switches) {
        PresentationSwitches s = decoder->Switches();
        s.logProtection = sw.protection;
        s.packetDump = sw.dump;
        decoder->SetSwitches(s);
        EXPECT_EQ(Decode({0x3E, 0x00, 1, 2, 3, 4, 5, 6, 7, 8}), 1);
        EXPECT_EQ(Decode({0x3F, 0x00, 0, 0, 0x84, 0x12, 0x34, 0x12, 0xD6, 0x87}), 1);
        EXPECT_TRUE(DumpTexts().empty()) << sw.protection << sw.dump;
        EXPECT_TRUE(UnknownTexts().empty());
    }
}

TEST_F(UnitControlTest, RegistrationsIdentifyTheSystemBeforeAnythingElse)
{
    Unidentified();
    // A new system ID resets everything, so the system comes before its RFSS and site.
    EXPECT_EQ(Decode({0x2C, 0x00, 0x04, 0x56, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87}), 1);
    EXPECT_EQ(Decode({0x2B, 0x00, 0x00, 0x00, 0x64, 0x02, 0x07, 0x12, 0xD6, 0x87}), 1);
    SystemInfo info = Info();
    EXPECT_EQ(info.systemId, 0x456u);
    EXPECT_EQ(info.rfssId, 2u);
    EXPECT_EQ(info.siteId, 7u);

    // Once known, registrations naming another RFSS, site or system change nothing.
    Decode({0x2B, 0x00, 0x00, 0x00, 0x64, 0x03, 0x09, 0x00, 0x03, 0xE8});
    Decode({0x2C, 0x00, 0x07, 0x89, 0x00, 0x03, 0xE8, 0x00, 0x07, 0xD0});
    EXPECT_FALSE(decoder->SystemInfoChanged());
    info = Info();
    EXPECT_EQ(info.systemId, 0x456u);
    EXPECT_EQ(info.rfssId, 2u);
    EXPECT_EQ(info.siteId, 7u);
}

TEST_F(UnitControlTest, DeRegistrationNamesSystemAndWacnOnlyWhileUnknown)
{
    Unidentified();
    ASSERT_EQ(Decode({0x2F, 0x00, 0, 0xBE, 0xE0, 0xF4, 0x56, 0x12, 0xD6, 0x87}), 1);
    SystemInfo info = Info();
    EXPECT_EQ(info.systemId, 0x456u);
    EXPECT_EQ(info.wacn, 0xBEE0Fu);

    Decode({0x2F, 0x00, 0, 0x12, 0x34, 0x57, 0x89, 0x00, 0x03, 0xE8});
    info = Info();
    EXPECT_EQ(info.systemId, 0x456u);
    EXPECT_EQ(info.wacn, 0xBEE0Fu);
}

TEST_F(UnitControlTest, MultiBlockHeaderIsOnlyRecognisedOncePacketsAreDecodedWhole)
{
    Unidentified();
    decoder->SetMultiBlockSeen(true);
    EXPECT_EQ(Decode({0x37, 0x00, 0x00, 0, 0x04, 0x56, 0x02, 0x3A, 0, 0}), 1);
    EXPECT_TRUE(DumpTexts().empty());
    EXPECT_EQ(decoder->GetSystemId(), 0u);
}

TEST_F(UnitControlTest, MultiBlockHeaderIdentifiesTheSystemAndKeepsItsStatus)
{
    Unidentified();
    // Site status 0 (trunking) and system 0x456 from byte 4 and 5.
    EXPECT_EQ(Decode({0x37, 0x00, 0x00, 0, 0x04, 0x56, 0x02, 0x3A, 0, 0}), 1);
    SystemInfo info = Info();
    EXPECT_EQ(info.systemId, 0x456u);
    EXPECT_EQ(info.siteStatus, 0);
    // A header of another system once the system is known does not replace it.
    Decode({0x37, 0x00, 0x00, 0, 0x17, 0x89, 0x02, 0x3A, 0, 0});
    info = Info();
    EXPECT_EQ(info.systemId, 0x456u);
    EXPECT_EQ(info.siteStatus, 1);
}

TEST_F(UnitControlTest, MultiBlockNeighbourHeaderIsStoredEvenWithTheDumpOff)
{
    PresentationSwitches s = decoder->Switches();
    s.packetDump = false;
    decoder->SetSwitches(s);
    EXPECT_EQ(Decode({0x37, 0x00, 0x00, 0, 0x11, 0x23, 0x01, 0x3C, 3, 7}), 1);
    std::vector<NeighborSite> sites(NeighborTable::kCapacity);
    sites.resize(static_cast<size_t>(decoder->Neighbors().CopyNeighbors(sites.data(), NeighborTable::kCapacity)));
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_EQ(sites[0].systemId, 0x123);
    EXPECT_EQ(sites[0].rfssId, 3);
    EXPECT_EQ(sites[0].siteId, 7);
    EXPECT_EQ(sites[0].controlChannel, 0xFFFF);
    EXPECT_EQ(sites[0].status, 1);
}

}  // namespace
