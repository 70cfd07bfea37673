#include "VoiceTraffic.h"

#include <algorithm>

#include "MotorolaMessages.h"
#include "UnitMessages.h"

namespace demo {

namespace {

constexpr double kHangSeconds = 0.6;    // a channel stays held a moment after the carrier drops
constexpr int kQueueAttempts = 4;       // a request queued this often is given up
constexpr uint16_t kPhoneTimer = 1800;  // telephone call limit: 3 minutes in 100 ms units
constexpr uint8_t kAes256 = 0x84;       // algorithm of the encrypted talkgroups
constexpr uint16_t kTacticalKey = 0x1A2B;

}  // namespace

VoiceTraffic::VoiceTraffic(ControlChannel& channel, ChannelPool& pool, DemoRandom& random, int lastSlot)
    : channel_(channel), pool_(pool), random_(random), lastSlot_(lastSlot)
{ }

void VoiceTraffic::AddPatch(const PatchWindow& patch)
{
    patches_.push_back(patch);
}

const PatchWindow* VoiceTraffic::PatchOf(uint16_t talkgroup, int slot) const
{
    for (const PatchWindow& p : patches_)
        if (slot >= p.from && slot < p.to && std::count(p.members.begin(), p.members.end(), talkgroup) > 0)
            return &p;
    return nullptr;
}

// A talkgroup's conversation ends where its patch begins or ends, so its grants never mix the
// patched and the plain form.
int VoiceTraffic::Until(uint16_t talkgroup, int start) const
{
    if (const PatchWindow* p = PatchOf(talkgroup, start))
        return p->to;
    int until = lastSlot_;
    for (const PatchWindow& p : patches_)
        if (p.from > start && std::count(p.members.begin(), p.members.end(), talkgroup) > 0)
            until = std::min(until, p.from);
    return until;
}

int VoiceTraffic::ClampLength(int start, int length) const
{
    return std::min(length, lastSlot_ - start);
}

void VoiceTraffic::Queue(int& start, uint32_t source, uint32_t target, bool patched, uint8_t service)
{
    channel_.Send(start, patched ? PatchedQueuedResponse(kReasonChannelsBusy, target, source)
                                 : QueuedResponse(service, kReasonChannelsBusy, target, source));
    start += random_.Slots(1.5, 3.5);
}

int VoiceTraffic::BookWithQueue(int& start, int length, int preferred, uint32_t source, uint32_t target, bool patched,
                                uint8_t service)
{
    for (int attempt = 0; attempt < kQueueAttempts; ++attempt) {
        const int held = ClampLength(start, length);
        if (held < ControlChannel::Slot(1.0))
            return -1;
        const int channel = pool_.Book(start, start + held + ControlChannel::Slot(kHangSeconds), preferred);
        if (channel >= 0)
            return channel;
        Queue(start, source, target, patched, service);
    }
    return -1;
}

VoiceTraffic::Granted VoiceTraffic::GroupTurn(Turn turn)
{
    if (turn.queued)
        Queue(turn.start, turn.source, turn.talkgroup, turn.patched, kServiceGroupVoice);
    const int channel = BookWithQueue(turn.start, turn.length, turn.preferred, turn.source, turn.talkgroup,
                                      turn.patched, kServiceGroupVoice);
    if (channel < 0)
        return {-1, turn.start};
    Transmission t;
    t.kind = turn.patched ? Transmission::Kind::kPatchedGroup : Transmission::Kind::kGroup;
    t.call.options = turn.options;
    t.call.channel = static_cast<uint16_t>(channel);
    t.call.uplink = Uplink(t.call.channel);
    t.call.talkgroup = turn.talkgroup;
    t.call.source = turn.source;
    t.start = turn.start;
    t.end = turn.start + ClampLength(turn.start, turn.length);
    Message grant;
    if (turn.extended)
        grant = turn.patched ? PatchedExtendedGroupVoiceGrant(t.call) : ExtendedGroupVoiceGrant(t.call);
    else
        grant = turn.patched ? PatchedGroupVoiceGrant(t.call) : GroupVoiceGrant(t.call);
    channel_.Call(t, grant, turn.extended ? 0 : 1);
    return {channel, t.end};
}

bool VoiceTraffic::OnAir(uint16_t talkgroup, int start, int end) const
{
    const auto found = onAir_.find(talkgroup);
    if (found == onAir_.end())
        return false;
    return std::any_of(found->second.begin(), found->second.end(),
                       [&](const std::pair<int, int>& held) { return held.first < end && start < held.second; });
}

// Turns alternate between the speakers, the first speaker opening; every turn after the first
// is a plain grant and prefers the channel the conversation just had. A talkgroup holds one
// conversation at a time: a conversation that would meet another one on its talkgroup ends.
bool VoiceTraffic::Talk(Turn turn, const std::vector<uint32_t>& speakers, int turns, int until, bool encrypted)
{
    const int hang = ControlChannel::Slot(kHangSeconds);
    const int first = turn.start;
    int last = first;
    size_t speaker = 0;
    for (int i = 0; i < turns && turn.start < until; ++i) {
        turn.source = speakers[speaker];
        turn.length = std::min(random_.Slots(1.5, 7.0), until - turn.start);
        if (OnAir(turn.talkgroup, turn.start, turn.start + turn.length + hang))
            break;
        if (encrypted && i == 0)
            channel_.Send(turn.start, ProtectionParameterUpdate(kAes256, kTacticalKey, turn.source));
        const Granted g = GroupTurn(turn);
        if (g.channel < 0)
            break;
        last = g.end;
        turn.extended = false;
        turn.queued = false;
        turn.preferred = g.channel;
        turn.start = g.end + random_.Slots(0.7, 2.5);
        speaker = (speaker + static_cast<size_t>(random_.Between(1, static_cast<int>(speakers.size()) - 1))) %
                  speakers.size();
    }
    if (last == first)
        return false;
    onAir_[turn.talkgroup].emplace_back(first, last + hang);
    return true;
}

std::vector<uint32_t> VoiceTraffic::Speakers(const Talkgroup& talkgroup)
{
    std::vector<uint32_t> speakers;
    if (talkgroup.dispatch)
        speakers.push_back(kAgencies[talkgroup.agency].console);
    const size_t wanted = speakers.size() + static_cast<size_t>(random_.Between(1, talkgroup.dispatch ? 2 : 3));
    while (speakers.size() < std::max<size_t>(wanted, 2)) {
        const uint32_t radio = random_.Radio(talkgroup.agency);
        if (std::count(speakers.begin(), speakers.end(), radio) == 0)
            speakers.push_back(radio);
    }
    if (random_.Chance(50))
        std::swap(speakers.front(), speakers.back());  // the unit calls in as often as dispatch calls out
    return speakers;
}

void VoiceTraffic::Conversation(const Talkgroup& talkgroup, int start, int turns, bool extended)
{
    Turn turn;
    turn.talkgroup = talkgroup.id;
    turn.options = talkgroup.encrypted ? kOptionsEncrypted : kOptionsNormal;
    turn.start = start;
    turn.extended = extended;
    if (const PatchWindow* p = PatchOf(talkgroup.id, start)) {
        turn.talkgroup = p->supergroup;
        turn.patched = true;
    }
    Talk(turn, Speakers(talkgroup), turns, Until(talkgroup.id, start), talkgroup.encrypted);
}

bool VoiceTraffic::PatchedConversation(const PatchWindow& patch, int start, int turns, bool extended, bool queued)
{
    // The dispatchers of the member talkgroups and a unit of each.
    std::vector<uint32_t> speakers;
    for (uint16_t member : patch.members)
        for (const Talkgroup& t : kTalkgroups) {
            if (t.id != member)
                continue;
            if (t.dispatch)
                speakers.push_back(kAgencies[t.agency].console);
            speakers.push_back(random_.Radio(t.agency));
        }
    Turn turn;
    turn.talkgroup = patch.supergroup;
    turn.start = start;
    turn.patched = true;
    turn.extended = extended;
    turn.queued = queued;
    return Talk(turn, speakers, turns, patch.to, false);
}

void VoiceTraffic::EmergencyConversation(const Talkgroup& talkgroup, uint32_t radio, int start, int turns)
{
    std::vector<uint32_t> speakers{radio, kAgencies[talkgroup.agency].console};
    while (speakers.size() < 4) {
        const uint32_t other = random_.Radio(talkgroup.agency);
        if (std::count(speakers.begin(), speakers.end(), other) == 0)
            speakers.push_back(other);
    }
    Turn turn;
    turn.talkgroup = talkgroup.id;
    turn.options = kOptionsEmergency;
    turn.start = start;
    turn.extended = true;
    Talk(turn, speakers, turns, lastSlot_, false);
}

void VoiceTraffic::UnitToUnitCall(uint32_t caller, uint32_t called, int start, int length, bool extended)
{
    CallFields call;
    call.source = caller;
    call.target = called;
    channel_.Send(start, UnitToUnitAnswerRequest(call));
    int grantAt = start + random_.Slots(1.0, 2.5);
    const int channel = BookWithQueue(grantAt, length, -1, caller, called, false, kServiceUnitToUnitVoice);
    if (channel < 0)
        return;
    Transmission t;
    t.kind = Transmission::Kind::kUnitToUnit;
    t.call = call;
    t.call.channel = static_cast<uint16_t>(channel);
    t.call.uplink = Uplink(t.call.channel);
    t.start = grantAt;
    t.end = grantAt + ClampLength(grantAt, length);
    channel_.Call(
        t, extended ? ExtendedUnitToUnitVoiceGrant(t.call, kSite.wacn, kSite.systemId) : UnitToUnitVoiceGrant(t.call),
        extended ? 0 : 1);
}

void VoiceTraffic::UnitToUnitCallDenied(uint32_t caller, uint32_t called, int start)
{
    channel_.Send(start, DenyResponse(kServiceUnitToUnitVoice, kReasonTargetNotValid, called, caller));
}

void VoiceTraffic::TelephoneCall(uint32_t unit, int start, int length, bool extended)
{
    const int channel = BookWithQueue(start, length, -1, unit, kSystemAddress, false, kServiceTelephone);
    if (channel < 0)
        return;
    Transmission t;
    t.kind = Transmission::Kind::kTelephone;
    t.call.channel = static_cast<uint16_t>(channel);
    t.call.uplink = Uplink(t.call.channel);
    t.call.source = unit;
    t.start = start;
    t.end = start + ClampLength(start, length);
    t.timer = kPhoneTimer;
    channel_.Call(t, extended ? ExtendedTelephoneVoiceGrant(t.call, t.timer) : TelephoneVoiceGrant(t.call, t.timer),
                  extended ? 0 : 1);
}

void VoiceTraffic::IncomingTelephoneCall(const char* digits, uint32_t unit, int start, int length)
{
    channel_.Send(start, TelephoneAnswerRequest(digits, unit));
    TelephoneCall(unit, start + random_.Slots(2.0, 4.0), length, false);
}

}  // namespace demo
