#include "DemoScenario.h"

#include "CallMessages.h"
#include "MotorolaMessages.h"
#include "SiteMessages.h"
#include "UnitMessages.h"

namespace demo {

namespace {

// Service bits of the system service broadcast (shown by name only).
constexpr uint32_t kServicesAvailable = 0x0F1C3F;
constexpr uint32_t kServicesSupported = 0x0F1C3F;
constexpr uint8_t kRequestPriority = 0x04;
constexpr uint8_t kDataChannelActive = 0x00;

// The extended unit-to-unit grant names its target radio in header bytes 3-5 and the system in
// bytes 4-5, so the same bytes are read both ways: this radio (0x1601A3) reads as system 1A3.
constexpr uint32_t kEmsSupervisor = 1442211;

constexpr uint16_t kPoliceDispatch = 1001;
constexpr uint16_t kPoliceTactical3 = 1003;
constexpr uint16_t kSwat = 1102;
constexpr uint16_t kInvestigations = 5101;
constexpr uint16_t kInterop1 = 8001;
constexpr uint16_t kInterop2 = 8002;

constexpr uint32_t kOfficerInTrouble = 1402117;
constexpr uint32_t kRevokedRadio = 1402199;  // no longer valid on the system
constexpr uint32_t kUnknownRadio = 1806999;  // not on the system
constexpr uint32_t kForeignRadio = 3100512;  // a radio of the neighbouring system 2C7

// A structure fire: fire and EMS dispatch patched together; later a pursuit crossing into the
// county: police and sheriff tactical channels and the interoperability talkgroup.
const PatchWindow kFirePatch{65001, {2001, 3001}, ControlChannel::Slot(40), ControlChannel::Slot(252)};
const PatchWindow kPursuitPatch{65002, {1002, 5002, kInterop1}, ControlChannel::Slot(110), ControlChannel::Slot(207)};

const Talkgroup& TalkgroupById(uint16_t id)
{
    for (const Talkgroup& t : kTalkgroups)
        if (t.id == id)
            return t;
    return kTalkgroups.front();
}

// The talkgroup an agency's radios select first.
uint16_t HomeGroup(int agency)
{
    for (const Talkgroup& t : kTalkgroups)
        if (t.agency == agency)
            return t.id;
    return kTalkgroups.front().id;
}

uint16_t Member(const PatchWindow& patch, size_t i)
{
    return i < patch.members.size() ? patch.members[i] : patch.supergroup;
}

}  // namespace

DemoScenario::DemoScenario(ControlChannel& channel, uint32_t seed)
    : channel_(channel), random_(seed), pool_(kVoiceChannels),
      voice_(channel, pool_, random_, channel.Slots() - At(kQuietEndSeconds)), units_(channel, pool_, random_)
{ }

// Scripted calls book their channels before the background traffic does.
void DemoScenario::Plan()
{
    SiteBroadcasts();
    StatusPackets();
    Patches();
    Emergency();
    Interoperability();
    IndividualCalls();
    BackgroundConversations();
    Registrations();
    UnitControl();
    Data();
    NotDecoded();
    DamagedLines();
}

// Identity, network, neighbours and the main band every round, the other identifiers and the
// services every second round, the explicit alternate control every fourth. The band plan
// follows the first RFSS status at once, so channels convert from the start.
void DemoScenario::SiteBroadcasts()
{
    std::vector<Broadcast> rotation{
        {RfssStatus(kSite), 1},
        {IdentifierUpdate(kBandPlans[0]), 1},
        {IdentifierUpdate(kBandPlans[1]), 2},
        {IdentifierUpdate(kBandPlans[3]), 2},
        {IdentifierUpdate(kBandPlans[4]), 2},
        {IdentifierUpdate(kBandPlans[2]), 2},
        {NetworkStatus(kSite), 1},
        {AdjacentStatus(kNeighbours[0]), 1},
        {SecondaryControl(kSite, kAlternateControl1, kAlternateControl2), 1},
        {AdjacentStatus(kNeighbours[1]), 1},
        {SystemServiceBroadcast(kServicesAvailable, kServicesSupported, kRequestPriority), 2},
        {RfssStatus(kSite), 1},
        {AdjacentStatus(kNeighbours[2]), 1},
        {AdjacentStatus(kNeighbours[3]), 1},
        {ExplicitSecondaryControl(kSite, kAlternateControl1, Uplink(kAlternateControl1)), 4},
    };
    channel_.SetBroadcasts(std::move(rotation));
}

// Once a minute the site also sends its status as multi-block packets.
void DemoScenario::StatusPackets()
{
    for (int minute = 0; minute < kSeconds / 60; ++minute) {
        const double t = 4.0 + 60.0 * minute;
        channel_.Send(At(t), RfssStatusPacket(kSite));
        channel_.Send(At(t + 0.5), NetworkStatusPacket(kSite));
        for (size_t i = 0; i < kNeighbours.size(); ++i)
            channel_.Send(At(t + 1.0 + 0.5 * static_cast<double>(i)), AdjacentStatusPacket(kNeighbours[i]));
    }
}

// Each patch is announced every ten seconds while it stands, opened by its dispatcher, used by
// its members, and released twice at its end. While the emergency, the fire and the pursuit are
// all on the air, the pursuit waits for a channel once.
void DemoScenario::Patches()
{
    const int busiest = At(145.0);
    for (const PatchWindow* patch : {&kFirePatch, &kPursuitPatch}) {
        voice_.AddPatch(*patch);
        for (int slot = patch->from; slot < patch->to; slot += At(10.0))
            channel_.Send(slot,
                          PatchInformation(patch->supergroup, Member(*patch, 0), Member(*patch, 1), Member(*patch, 2)));
        for (int repeat = 0; repeat < 2; ++repeat)
            channel_.Send(patch->to + At(repeat),
                          PatchRelease(patch->supergroup, Member(*patch, 0), Member(*patch, 1), Member(*patch, 2)));
        const bool pursuit = patch == &kPursuitPatch;
        voice_.PatchedConversation(*patch, patch->from + At(2.0), 4, pursuit);
        bool waited = false;
        for (int slot = patch->from + At(25.0); slot < patch->to - At(10.0); slot += random_.Slots(20.0, 35.0)) {
            const bool queued = pursuit && !waited && slot >= busiest;
            const bool played = voice_.PatchedConversation(*patch, slot, random_.Between(2, 5), false, queued);
            waited = waited || (queued && played);
        }
    }
}

// A police officer on a tactical talkgroup presses the emergency button at 2:30.
void DemoScenario::Emergency()
{
    const Talkgroup& tactical = TalkgroupById(kPoliceTactical3);
    channel_.Send(At(150.0), EmergencyAlarm(tactical.id, kOfficerInTrouble));
    channel_.Send(At(150.4), EmergencyAlarm(tactical.id, kOfficerInTrouble));
    voice_.EmergencyConversation(tactical, kOfficerInTrouble, At(150.8), 10);
}

// Units of other agencies on the interoperability talkgroups; their calls are granted by
// multi-block packets.
void DemoScenario::Interoperability()
{
    for (double t : {58.0, 231.0, 322.0}) {
        const Talkgroup& talkgroup = TalkgroupById(t < 200 ? kInterop2 : kInterop1);
        voice_.Conversation(talkgroup, At(t), random_.Between(3, 5), true);
    }
}

void DemoScenario::IndividualCalls()
{
    struct Private {
        double at;
        int agency;
        bool extended;
    };
    for (const Private& p :
         {Private{28, kPolice, false}, Private{96, kSheriff, false}, Private{143, kFire, false},
          Private{212, kEms, true}, Private{268, kPublicWorks, false}, Private{318, kPolice, false}}) {
        const uint32_t caller = random_.Radio(p.agency);
        const uint32_t called = p.extended ? kEmsSupervisor : kAgencies[p.agency].console;
        voice_.UnitToUnitCall(caller, called, At(p.at), random_.Slots(12.0, 30.0), p.extended);
    }
    voice_.UnitToUnitCallDenied(random_.Radio(kSheriff), kUnknownRadio, At(176.0));
    voice_.TelephoneCall(random_.Radio(kPublicWorks), At(70.0), At(40.0), false);
    voice_.IncomingTelephoneCall("6155550142", random_.Radio(kSheriff), At(190.0), At(30.0));
    voice_.TelephoneCall(random_.Radio(kPolice), At(296.0), At(25.0), true);
    const uint32_t dialler = random_.Radio(kTransit);
    channel_.Send(At(131.0), DenyResponse(kServiceTelephone, kReasonPhoneNotAuthorized, 0, dialler));
}

// The everyday traffic: a new conversation every one to five and a half seconds on a talkgroup
// chosen by how busy it is; the interoperability talkgroups are granted by multi-block packets.
void DemoScenario::BackgroundConversations()
{
    const int last = channel_.Slots() - At(kQuietEndSeconds + 8);
    for (int slot = At(2.0); slot < last; slot += random_.Slots(1.0, 5.5)) {
        const Talkgroup& talkgroup = random_.BusyTalkgroup();
        const bool extended = talkgroup.id == kInterop1 || talkgroup.id == kInterop2;
        voice_.Conversation(talkgroup, slot, random_.Between(2, 7), extended);
    }
}

// Radios of the next shift power up, those of the last one power down, others roam in from the
// neighbouring sites or turn their talkgroup knob; now and then the system asks or refuses.
void DemoScenario::Registrations()
{
    for (int i = 0; i < 10; ++i) {
        const int agency = i % static_cast<int>(kAgencies.size());
        units_.PowerUp(ShiftRadio(agency, i / 7), HomeGroup(agency), At(15.0 + 33.0 * i));
    }
    for (int i = 0; i < 8; ++i)
        units_.PowerDown(ShiftRadio(i % static_cast<int>(kAgencies.size()), 2 + i / 7), At(24.0 + 41.0 * i));
    for (int i = 0; i < 8; ++i) {
        const int agency = random_.Between(0, static_cast<int>(kAgencies.size()) - 1);
        units_.RoamIn(VisitingRadio(agency, i), HomeGroup(agency), At(11.0 + 43.0 * i));
    }
    for (int i = 0; i < 30; ++i) {
        const Talkgroup& talkgroup = random_.BusyTalkgroup();
        units_.ChangeGroup(random_.Radio(talkgroup.agency), talkgroup.id, At(5.0 + 11.5 * i));
    }
    units_.GroupNotAllowed(random_.Radio(kPublicWorks), kSwat, At(88.0));
    units_.GroupNotAllowed(random_.Radio(kSchools), kInvestigations, At(244.0));
    units_.AffiliationQuery(random_.Radio(kTransit), HomeGroup(kTransit), At(62.0));
    units_.AffiliationQuery(random_.Radio(kFire), HomeGroup(kFire), At(183.0));
    units_.AffiliationQuery(random_.Radio(kSheriff), HomeGroup(kSheriff), At(305.0));
    units_.RegistrationCommand(random_.Radio(kEms), HomeGroup(kEms), At(121.0));
    units_.RegistrationCommand(random_.Radio(kPolice), HomeGroup(kPolice), At(277.0));
    channel_.Send(At(201.0), DenyResponse(kServiceUnitRegistration, kReasonSiteAccessDenied, 0, kForeignRadio));
    channel_.Send(At(263.0),
                  DenyResponse(kServiceGroupVoice, kReasonRequesterNotValid, kPoliceDispatch, kRevokedRadio));
}

// Dispatchers alert, check, monitor, inhibit and regroup radios; radios send their status.
void DemoScenario::UnitControl()
{
    for (double t : {19.0, 77.0, 139.0, 199.0, 258.0, 327.0}) {
        const int agency = random_.Between(0, static_cast<int>(kAgencies.size()) - 1);
        units_.CallAlertAnswered(kAgencies[agency].console, random_.Radio(agency), At(t));
    }
    for (double t : {52.0, 167.0, 289.0})
        units_.RadioCheck(kAgencies[kPolice].console, random_.Radio(kPolice), At(t));
    for (double t : {35.0, 101.0, 158.0, 223.0, 301.0})
        units_.StatusUpdate(random_.Radio(kSheriff), kAgencies[kSheriff].console,
                            static_cast<uint8_t>(random_.Between(1, 8)), At(t));
    units_.Monitor(kAgencies[kPolice].console, kOfficerInTrouble, At(162.0));
    // A sheriff's radio reported lost is inhibited, and let back on once found.
    const uint32_t lost = random_.Radio(kSheriff);
    units_.Inhibit(kAgencies[kSheriff].console, lost, true, At(272.0));
    units_.Inhibit(kAgencies[kSheriff].console, lost, false, At(331.0));
    // A fire officer is moved into the second interoperability talkgroup for a while.
    const uint32_t officer = random_.Radio(kFire);
    units_.Regroup(officer, kInterop2, At(180.0));
    units_.EndRegroup(officer, kInterop2, At(290.0));
    for (double t : {90.0, 210.0, 330.0})
        units_.StationIdentification(At(t));
}

// Patrol cars report their locations every few seconds; the data channel is announced every 20.
void DemoScenario::Data()
{
    const int last = channel_.Slots() - At(kQuietEndSeconds + 5);
    for (int slot = At(9.0); slot < last; slot += random_.Slots(8.0, 16.0))
        units_.LocationData(random_.Radio(random_.Chance(50) ? kPolice : kSheriff), slot);
    for (int slot = At(7.0); slot < channel_.Slots(); slot += At(20.0))
        channel_.Send(slot, DataChannelAnnouncement(kDataChannelActive, kDataChannel, Uplink(kDataChannel)));
    for (double t : {13.0, 74.0, 128.0, 187.0, 249.0, 312.0})
        units_.IndividualData(random_.Radio(kPolice), At(t));
    for (double t : {46.0, 171.0, 283.0})
        units_.ExplicitIndividualData(random_.Radio(kSheriff), At(t));
    for (double t : {116.0, 238.0})
        units_.QueuedIndividualData(random_.Radio(kPolice), At(t));
}

// Messages real sites send that this program does not decode: it shows them as unknown.
void DemoScenario::NotDecoded()
{
    for (double t : {57.0, 233.0})
        channel_.Send(At(t), StatusQuery(kAgencies[kPolice].console, random_.Radio(kPolice)));
    for (double t : {45.0, 165.0, 285.0})
        channel_.Send(At(t), SystemLoading(static_cast<uint8_t>(random_.Between(0x10, 0x60)), 0x01));
}

// Blocks damaged on the air (a bit flipped, so the CRC fails) and lines the scanner garbled.
void DemoScenario::DamagedLines()
{
    CallFields grant;
    grant.channel = kVoiceChannels[2];
    grant.talkgroup = kPoliceDispatch;
    grant.source = 1402105;
    const Message damaged[] = {RfssStatus(kSite),      GroupVoiceGrantUpdate(grant, grant),
                               NetworkStatus(kSite),   AdjacentStatus(kNeighbours[1]),
                               GroupVoiceGrant(grant), IdentifierUpdate(kBandPlans[0])};
    const double times[] = {33.0, 85.0, 141.0, 199.0, 257.0, 341.0};
    for (size_t i = 0; i < std::size(times); ++i) {
        const int bit = random_.Between(16, 79);  // somewhere in the arguments, bytes 2..9
        channel_.Send(At(times[i]), WithFlippedBit(damaged[i], 0, bit, "Damaged block (CRC-16 fails)"));
    }
    channel_.Send(At(170.0),
                  WithFlippedBit(RfssStatusPacket(kSite), 1, random_.Between(0, 63), "Damaged packet (CRC-32 fails)"));

    const std::string rfss = RfssStatus(kSite).lines[0];
    const std::string update = GroupVoiceGrantUpdate(grant, grant).lines[0];
    std::string garbled = AdjacentStatus(kNeighbours[0]).lines[0];
    garbled[9] = 'O';  // a letter O where a digit was
    const std::string lines[] = {rfss.substr(0, 19), update + "3F", garbled, "P25,0,3A0011A3", "~~?~~~~~~~~~~~~~~~~~"};
    const double lineTimes[] = {21.0, 118.0, 163.0, 226.0, 311.0};
    for (size_t i = 0; i < std::size(lines); ++i)
        channel_.Send(At(lineTimes[i]), Message{"Malformed line", {lines[i]}});
}

}  // namespace demo
