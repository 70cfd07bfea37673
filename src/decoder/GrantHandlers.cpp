// Channel grants and grant updates: what a listener follows. Each handler reads its fields, notes
// the talkgroups it sees, records the grant on its channel line and describes the block for the
// packet dump. Descriptions are built only while the packet dump is on.

#include <string>

#include "decoder/P25Class.h"
#include "decoder/TsbkDispatcher.h"
#include "decoder/TsbkHandlers.h"
#include "p25/BlockIntegrity.h"
#include "p25/DescriptionText.h"
#include "p25/NameTables.h"
#include "p25/Opcodes.h"

namespace {

constexpr int kServiceOptionsByte = 2;
constexpr int32_t kNoChannel = IdentifierTable::kNoChannel;
constexpr int32_t kNoUnit = -1;  // an individual call whose radio the block does not name
constexpr int32_t kNoGrantChannel = -1;
constexpr int32_t kPrivateData = -1;  // data activity without a talkgroup

// Queued data grants go to the grant log only; they have no channel line.
constexpr int32_t kQueuedGrantPriority = 1;
constexpr const char* kQueuedGrantType = "Queued";
constexpr const char* kQueuedGrantStatus = "Data Grant";

// A data channel announcement with this status byte is described but not recorded as activity.
constexpr uint8_t kDataAnnouncementNotRecorded = 0x40;

// Channel identification: eight 6-bit characters in bytes 2..7, the first character in the top
// bits; a character value v stands for ASCII v + 43 and 0 ends the call sign.
constexpr int kCallSignFirstByte = 2;
constexpr int kCallSignBits = 48;
constexpr int kCallSignCharBits = 6;
constexpr uint32_t kCallSignCharMask = 0x3F;
constexpr int kCallSignCharOffset = 43;

std::string RxText(P25Class& d, int32_t channel)
{
    return d.Identifiers().ChannelText(channel, true, false);
}

std::string TxText(P25Class& d, int32_t channel)
{
    return d.Identifiers().ChannelText(channel, true, true);
}

// " RX Channel: ... TX Channel: ..." of the explicit grants, which name both directions.
std::string RxTxText(P25Class& d, int32_t rx, int32_t tx)
{
    return " RX Channel: " + RxText(d, rx) + " TX Channel: " + TxText(d, tx);
}

// A radio ID: 24 bits, so it always fits the signed fields of the tables.
int32_t ReadUnit(const Tsbk& b, int i)
{
    return static_cast<int32_t>(ReadBE24(b, i));
}

// The Record operations mark the table themselves; the handler marks it again for the whole block
// so a change made by any of its steps is never missed by the screens.
void MarkIfChanged(P25Class& d, bool changed)
{
    if (changed)
        d.Channels().MarkChanged();
}

// Every grant handler ends here: the description is built only while the packet dump is on
// (grants are not event log entries), and the block counts as recognised.
template <class BuildText>
bool Recognised(P25Class& d, const Tsbk& b, BuildText&& describe)
{
    if (d.PacketDumpOn())
        d.Describe(b, describe(), false);
    return true;
}

// A grant of one channel to a talkgroup, with the radio that keyed up.
struct GroupGrant {
    int32_t channel, talkgroup, source;
    std::string status;
};

GroupGrant ReadGroupGrant(const Tsbk& b)
{
    return {ReadBE16(b, 3), ReadBE16(b, 5), ReadUnit(b, 7), GrantStatusText(b[kServiceOptionsByte])};
}

void RecordGroupGrant(P25Class& d, const GroupGrant& g)
{
    d.Talkgroups().NoteTalkgroup(g.talkgroup);
    MarkIfChanged(d, d.Activity().RecordGroupGrant(g.channel, g.talkgroup, g.status, g.source));
}

std::string GroupGrantText(P25Class& d, const GroupGrant& g)
{
    return Format(" Group: %d Channel: %s Radio ID: %d", g.talkgroup, RxText(d, g.channel).c_str(), g.source) +
           NotesPart(g.status);
}

// Two channel/talkgroup pairs of an update; the second repeats the first when only one call is
// announced, so an equal pair is recorded once.
struct PairUpdate {
    int32_t channelA, talkgroupA, channelB, talkgroupB;
};

PairUpdate ReadPairUpdate(const Tsbk& b)
{
    return {ReadBE16(b, 2), ReadBE16(b, 4), ReadBE16(b, 6), ReadBE16(b, 8)};
}

using PairRecordOp = bool (ChannelActivity::*)(int32_t channel, int32_t talkgroup);

void RecordPairUpdate(P25Class& d, const PairUpdate& u, PairRecordOp record)
{
    d.Talkgroups().NoteTalkgroup(u.talkgroupA);
    if (u.talkgroupB != u.talkgroupA)
        d.Talkgroups().NoteTalkgroup(u.talkgroupB);
    bool changed = (d.Activity().*record)(u.channelA, u.talkgroupA);
    if (u.channelB != u.channelA)
        changed = (d.Activity().*record)(u.channelB, u.talkgroupB) || changed;
    MarkIfChanged(d, changed);
}

std::string PairUpdateText(P25Class& d, const PairUpdate& u)
{
    return Format(" Group: %d Channel: %s Group: %d Channel: %s", u.talkgroupA, RxText(d, u.channelA).c_str(),
                  u.talkgroupB, RxText(d, u.channelB).c_str());
}

// An individual call between two radios on one channel.
struct UnitToUnit {
    int32_t channel, from, to;
};

UnitToUnit ReadUnitToUnit(const Tsbk& b)
{
    return {ReadBE16(b, 2), ReadUnit(b, 7), ReadUnit(b, 4)};
}

// The calling radio is put on the channel first, so the grant finds its target already there.
template <class Record>
void RecordUnitToUnit(P25Class& d, const UnitToUnit& u, Record&& record)
{
    const bool idChanged = d.Channels().SetChannelId(u.channel, u.from);
    MarkIfChanged(d, record(d.Activity()) || idChanged);
}

std::string UnitToUnitText(P25Class& d, const UnitToUnit& u)
{
    return Format(" Channel: %s From : %d To: %d", RxText(d, u.channel).c_str(), u.from, u.to);
}

// Voice grants.

bool GroupVoiceGrant(P25Class& d, const Tsbk& b)
{
    const GroupGrant g = ReadGroupGrant(b);
    if (g.talkgroup == 0)
        return true;  // no talkgroup to follow: recognised, nothing else
    RecordGroupGrant(d, g);
    return Recognised(d, b, [&] { return "Group Voice Grant -" + GroupGrantText(d, g); });
}

bool GroupVoiceGrantUpdate(P25Class& d, const Tsbk& b)
{
    const PairUpdate u = ReadPairUpdate(b);
    RecordPairUpdate(d, u, &ChannelActivity::RecordGroupGrantUpdate);
    return Recognised(d, b, [&] { return "Group Voice Grant Update -" + PairUpdateText(d, u); });
}

// A grant to a patch supergroup.
bool PatchedGroupVoiceGrant(P25Class& d, const Tsbk& b)
{
    const GroupGrant g = ReadGroupGrant(b);
    RecordGroupGrant(d, g);
    return Recognised(d, b,
                      [&] { return "Patched Group Voice Grant -" + ManufacturerSuffix(b[1]) + GroupGrantText(d, g); });
}

bool PatchedGroupVoiceGrantUpdate(P25Class& d, const Tsbk& b)
{
    const PairUpdate u = ReadPairUpdate(b);
    RecordPairUpdate(d, u, &ChannelActivity::RecordGroupGrantUpdate);
    return Recognised(
        d, b, [&] { return "Patched Group Voice Grant Update -" + ManufacturerSuffix(b[1]) + PairUpdateText(d, u); });
}

bool ExplicitGroupVoiceGrant(P25Class& d, const Tsbk& b)
{
    const int32_t rx = ReadBE16(b, 4);
    const int32_t tx = ReadBE16(b, 6);
    const int32_t talkgroup = ReadBE16(b, 8);
    const std::string status = GrantStatusText(b[kServiceOptionsByte]);
    d.Talkgroups().NoteTalkgroup(talkgroup);
    MarkIfChanged(d, d.Activity().RecordGroupUpdateWithStatus(rx, talkgroup, status));
    return Recognised(d, b, [&] {
        return Format("Explicit Group Voice Grant - Group: %d", talkgroup) + RxTxText(d, rx, tx) + NotesPart(status);
    });
}

bool UnitToUnitVoiceGrant(P25Class& d, const Tsbk& b)
{
    const UnitToUnit u = ReadUnitToUnit(b);
    RecordUnitToUnit(d, u, [&](ChannelActivity& a) { return a.RecordPrivateGrant(u.channel, u.from, "", u.to); });
    return Recognised(d, b, [&] { return "Unit-Unit Voice Grant -" + UnitToUnitText(d, u); });
}

bool UnitToUnitVoiceGrantUpdate(P25Class& d, const Tsbk& b)
{
    const UnitToUnit u = ReadUnitToUnit(b);
    RecordUnitToUnit(d, u, [&](ChannelActivity& a) { return a.RecordPrivateGrantUpdate(u.channel, u.from, u.to); });
    return Recognised(d, b, [&] { return "Unit-Unit Voice Grant Update -" + UnitToUnitText(d, u); });
}

// Names neither radio: the line shows a private call whose parties are not known.
bool UnitToUnitExplicitVoiceGrant(P25Class& d, const Tsbk& b)
{
    const int32_t rx = ReadBE16(b, 4);
    const int32_t tx = ReadBE16(b, 6);
    const int32_t group = ReadBE16(b, 8);
    MarkIfChanged(d, d.Activity().RecordPrivateGrantUpdate(rx, kNoUnit, kNoUnit));
    return Recognised(
        d, b, [&] { return Format("Unit-Unit Explicit Voice Grant - Group: %d", group) + RxTxText(d, rx, tx); });
}

bool TelephoneVoiceGrant(P25Class& d, const Tsbk& b)
{
    const int32_t channel = ReadBE16(b, 3);
    const int32_t unit = ReadUnit(b, 7);
    MarkIfChanged(d, d.Activity().RecordPhoneGrant(channel, unit, ""));
    return Recognised(d, b, [&] {
        return Format("Telephone Voice Grant - Channel: %s Radio ID : %d", RxText(d, channel).c_str(), unit);
    });
}

bool TelephoneVoiceGrantUpdate(P25Class& d, const Tsbk& b)
{
    const int32_t channel = ReadBE16(b, 3);
    const int32_t unit = ReadUnit(b, 7);
    MarkIfChanged(d, d.Activity().RecordPhoneGrantUpdate(channel, unit));
    return Recognised(d, b, [&] {
        return Format("Telephone Voice Grant Update- Channel: %s Radio ID : %d", RxText(d, channel).c_str(), unit);
    });
}

std::string ReadCallSign(const Tsbk& b)
{
    const uint64_t bits = (uint64_t{ReadBE24(b, kCallSignFirstByte)} << 24) | ReadBE24(b, kCallSignFirstByte + 3);
    std::string sign;
    for (int shift = kCallSignBits - kCallSignCharBits; shift >= 0; shift -= kCallSignCharBits) {
        const auto value = static_cast<uint32_t>(bits >> shift) & kCallSignCharMask;
        if (value == 0)
            break;
        sign += static_cast<char>(value + kCallSignCharOffset);
    }
    return sign;
}

bool CwidGrantUpdate(P25Class& d, const Tsbk& b)
{
    const int32_t channel = ReadBE16(b, 8);
    const std::string callSign = ReadCallSign(b);
    d.AddCallSign(callSign);
    MarkIfChanged(d, d.Activity().RecordCwid(channel, callSign));
    return Recognised(d, b,
                      [&] { return "CWID Grant Update - Channel: " + RxText(d, channel) + " Call Sign: " + callSign; });
}

// Data grants.

bool IndividualDataGrant(P25Class& d, const Tsbk& b)
{
    const UnitToUnit u = ReadUnitToUnit(b);
    RecordUnitToUnit(d, u, [&](ChannelActivity& a) { return a.RecordPrivateDataGrant(u.channel, u.from, "", u.to); });
    return Recognised(d, b, [&] { return "Private Data Grant -" + UnitToUnitText(d, u); });
}

bool GroupDataGrant(P25Class& d, const Tsbk& b)
{
    const int32_t channel = ReadBE16(b, 3);
    const int32_t talkgroup = ReadBE16(b, 5);
    if (talkgroup == 0)
        return true;  // no talkgroup: recognised, nothing else
    const int32_t unit = ReadUnit(b, 7);
    const std::string status = GrantStatusText(b[kServiceOptionsByte]);
    d.Talkgroups().NoteTalkgroup(talkgroup);
    MarkIfChanged(d, d.Activity().RecordGroupDataGrant(channel, talkgroup, status, unit));
    return Recognised(d, b, [&] {
        return Format("Group Data Channel Grant - Group : %d Channel: %s RadioID : %d", talkgroup,
                      RxText(d, channel).c_str(), unit);
    });
}

bool GroupDataGrantUpdate(P25Class& d, const Tsbk& b)
{
    const PairUpdate u = ReadPairUpdate(b);
    RecordPairUpdate(d, u, &ChannelActivity::RecordDataGrantUpdate);
    return Recognised(d, b, [&] { return "Group Data Grant Update -" + PairUpdateText(d, u); });
}

bool ExplicitIndividualDataGrant(P25Class& d, const Tsbk& b)
{
    const int32_t rx = ReadBE16(b, 3);
    const int32_t tx = ReadBE16(b, 5);
    const int32_t unit = ReadUnit(b, 7);
    MarkIfChanged(d, d.Activity().RecordPrivateDataGrant(rx, kNoUnit, "", unit));
    return Recognised(d, b,
                      [&] { return Format("Explicit Private Data Grant - Radio ID: %d", unit) + RxTxText(d, rx, tx); });
}

bool QueuedPrivateDataGrant(P25Class& d, const Tsbk& b)
{
    const int32_t unit = ReadUnit(b, 7);
    d.Grants().AddGrantLogEntry(kQueuedGrantType, kNoGrantChannel, kQueuedGrantPriority, kQueuedGrantStatus, unit,
                                kNoUnit);
    return Recognised(d, b, [&] { return Format("Queued Private Data Grant - Radio ID: %d", unit); });
}

// Each announced channel as "RX: ..." / "TX: ..." followed by a blank; the transmit channel is
// shown with its receive frequency.
std::string AnnouncedChannelsText(P25Class& d, int32_t rx, int32_t tx)
{
    if (rx == kNoChannel && tx == kNoChannel)
        return "None";
    std::string text;
    if (rx != kNoChannel)
        text += "RX: " + RxText(d, rx) + " ";
    if (tx != kNoChannel)
        text += "TX: " + RxText(d, tx) + " ";
    return text;
}

bool DataChannelUpdate(P25Class& d, const Tsbk& b)
{
    const uint8_t status = b[3];
    const int32_t rx = ReadBE16(b, 4);
    const int32_t tx = ReadBE16(b, 6);
    if (status != kDataAnnouncementNotRecorded && rx != kNoChannel)
        MarkIfChanged(d, d.Activity().RecordDataGrantUpdate(rx, kPrivateData));
    return Recognised(d, b, [&] {
        return Format("Data Channel Update - Status: %02X Channels: ", status) + AnnouncedChannelsText(d, rx, tx);
    });
}

}  // namespace

void RegisterGrantHandlers(TsbkDispatcher& dispatcher)
{
    dispatcher.Register(kOpGroupVoiceGrant, kMfidStandard, GroupVoiceGrant);
    dispatcher.Register(kOpGroupVoiceGrantUpdate, kMfidStandard, GroupVoiceGrantUpdate);
    dispatcher.Register(kOpGroupVoiceGrantExplicit, kMfidStandard, ExplicitGroupVoiceGrant);
    dispatcher.Register(kOpUnitToUnitVoiceGrant, kMfidStandard, UnitToUnitVoiceGrant);
    dispatcher.Register(kOpUnitToUnitVoiceGrantUpdate, kMfidStandard, UnitToUnitVoiceGrantUpdate);
    dispatcher.Register(kOpUnitToUnitVoiceGrantExplicit, kMfidStandard, UnitToUnitExplicitVoiceGrant);
    dispatcher.Register(kOpTelephoneVoiceGrant, kMfidStandard, TelephoneVoiceGrant);
    dispatcher.Register(kOpTelephoneVoiceGrantUpdate, kMfidStandard, TelephoneVoiceGrantUpdate);
    dispatcher.Register(kOpIndividualDataGrant, kMfidStandard, IndividualDataGrant);
    dispatcher.Register(kOpGroupDataGrant, kMfidStandard, GroupDataGrant);
    dispatcher.Register(kOpGroupDataGrantUpdate, kMfidStandard, GroupDataGrantUpdate);
    dispatcher.Register(kOpIndividualDataGrantExplicit, kMfidStandard, ExplicitIndividualDataGrant);
    dispatcher.Register(kOpQueuedPrivateDataGrant, kMfidStandard, QueuedPrivateDataGrant);
    dispatcher.Register(kOpDataChannelUpdate, kMfidStandard, DataChannelUpdate);
    dispatcher.Register(kOpMotPatchedGroupVoiceGrant, kMfidMotorola, PatchedGroupVoiceGrant);
    dispatcher.Register(kOpMotPatchedGroupVoiceGrantUpdate, kMfidMotorola, PatchedGroupVoiceGrantUpdate);
    dispatcher.Register(kOpMotCwidGrantUpdate, kMfidMotorola, CwidGrantUpdate);
}
