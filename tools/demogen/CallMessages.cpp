#include "CallMessages.h"

#include "p25/Opcodes.h"

namespace demo {

namespace {

// Station identification: 6-bit characters, each the ASCII code minus 43; 0 ends the sign.
constexpr int kCallSignChars = 8;
constexpr int kCallSignCharOffset = 43;

// Block layout shared by group grants: options, channel in bytes 3-4, talkgroup in bytes 5-6,
// source radio in bytes 7-9.
Tsbk GroupGrantBlock(uint8_t opcode, uint8_t mfid, const CallFields& c)
{
    Tsbk b = NewTsbk(opcode, mfid);
    b[2] = c.options;
    Put16(b, 3, c.channel);
    Put16(b, 5, c.talkgroup);
    Put24(b, 7, c.source);
    return b;
}

// Two channel / talkgroup pairs.
Tsbk PairUpdateBlock(uint8_t opcode, uint8_t mfid, const CallFields& a, const CallFields& b)
{
    Tsbk block = NewTsbk(opcode, mfid);
    Put16(block, 2, a.channel);
    Put16(block, 4, a.talkgroup);
    Put16(block, 6, b.channel);
    Put16(block, 8, b.talkgroup);
    return block;
}

// Individual calls: channel in bytes 2-3, the radio called in bytes 4-6, the caller in 7-9.
Tsbk IndividualBlock(uint8_t opcode, const CallFields& c)
{
    Tsbk b = NewTsbk(opcode, kMfidStandard);
    Put16(b, 2, c.channel);
    Put24(b, 4, c.target);
    Put24(b, 7, c.source);
    return b;
}

Tsbk TelephoneBlock(uint8_t opcode, const CallFields& c, uint16_t timer)
{
    Tsbk b = NewTsbk(opcode, kMfidStandard);
    b[2] = c.options;
    Put16(b, 3, c.channel);
    Put16(b, 5, timer);
    Put24(b, 7, c.source);
    return b;
}

}  // namespace

Message GroupVoiceGrant(const CallFields& c)
{
    return Single("Group voice grant", GroupGrantBlock(kOpGroupVoiceGrant, kMfidStandard, c));
}

Message GroupVoiceGrantUpdate(const CallFields& a, const CallFields& b)
{
    return Single("Group voice grant update", PairUpdateBlock(kOpGroupVoiceGrantUpdate, kMfidStandard, a, b));
}

Message ExplicitGroupVoiceGrantUpdate(const CallFields& c)
{
    Tsbk b = NewTsbk(kOpGroupVoiceGrantExplicit, kMfidStandard);
    b[2] = c.options;
    Put16(b, 4, c.channel);
    Put16(b, 6, c.uplink);
    Put16(b, 8, c.talkgroup);
    return Single("Group voice grant update (explicit)", b);
}

Message PatchedGroupVoiceGrant(const CallFields& c)
{
    return Single("Patched group voice grant", GroupGrantBlock(kOpMotPatchedGroupVoiceGrant, kMfidMotorola, c));
}

Message PatchedGroupVoiceGrantUpdate(const CallFields& a, const CallFields& b)
{
    return Single("Patched group voice grant update",
                  PairUpdateBlock(kOpMotPatchedGroupVoiceGrantUpdate, kMfidMotorola, a, b));
}

Message UnitToUnitAnswerRequest(const CallFields& c)
{
    Tsbk b = NewTsbk(kOpUnitToUnitAnswerRequest, kMfidStandard);
    b[2] = c.options;
    Put24(b, 4, c.target);
    Put24(b, 7, c.source);
    return Single("Unit-to-unit answer request", b);
}

Message UnitToUnitVoiceGrant(const CallFields& c)
{
    return Single("Unit-to-unit voice grant", IndividualBlock(kOpUnitToUnitVoiceGrant, c));
}

Message UnitToUnitVoiceGrantUpdate(const CallFields& c)
{
    return Single("Unit-to-unit voice grant update", IndividualBlock(kOpUnitToUnitVoiceGrantUpdate, c));
}

Message TelephoneVoiceGrant(const CallFields& c, uint16_t timer)
{
    return Single("Telephone voice grant", TelephoneBlock(kOpTelephoneVoiceGrant, c, timer));
}

Message TelephoneVoiceGrantUpdate(const CallFields& c, uint16_t timer)
{
    return Single("Telephone voice grant update", TelephoneBlock(kOpTelephoneVoiceGrantUpdate, c, timer));
}

Message TelephoneAnswerRequest(const std::string& digits, uint32_t unit)
{
    Tsbk b = NewTsbk(kOpTelephoneIncomingRequest, kMfidStandard);
    for (size_t i = 0; i < 10 && i < digits.size(); ++i) {
        const auto value = static_cast<uint8_t>((digits[i] - '0') & 0x0F);
        b[2 + i / 2] |= (i % 2 == 0) ? static_cast<uint8_t>(value << 4) : value;
    }
    Put24(b, 7, unit);
    return Single("Telephone answer request", b);
}

Message GroupDataGrant(const CallFields& c)
{
    return Single("Group data grant", GroupGrantBlock(kOpGroupDataGrant, kMfidStandard, c));
}

Message GroupDataGrantUpdate(const CallFields& a, const CallFields& b)
{
    return Single("Group data grant update", PairUpdateBlock(kOpGroupDataGrantUpdate, kMfidStandard, a, b));
}

Message IndividualDataGrant(const CallFields& c)
{
    return Single("Individual data grant", IndividualBlock(kOpIndividualDataGrant, c));
}

Message ExplicitIndividualDataGrant(const CallFields& c)
{
    Tsbk b = NewTsbk(kOpIndividualDataGrantExplicit, kMfidStandard);
    b[2] = c.options;
    Put16(b, 3, c.channel);
    Put16(b, 5, c.uplink);
    Put24(b, 7, c.source);
    return Single("Individual data grant (explicit)", b);
}

Message QueuedIndividualDataGrant(uint32_t unit)
{
    Tsbk b = NewTsbk(kOpQueuedPrivateDataGrant, kMfidStandard);
    Put24(b, 7, unit);
    return Single("Individual data grant queued", b);
}

Message DataChannelAnnouncement(uint8_t status, uint16_t channel, uint16_t uplink)
{
    Tsbk b = NewTsbk(kOpDataChannelUpdate, kMfidStandard);
    b[3] = status;
    Put16(b, 4, channel);
    Put16(b, 6, uplink);
    return Single("Data channel announcement", b);
}

Message CwidGrantUpdate(const std::string& callSign, uint16_t channel)
{
    uint64_t bits = 0;
    for (int i = 0; i < kCallSignChars; ++i) {
        const uint64_t value = i < static_cast<int>(callSign.size()) ? callSign[i] - kCallSignCharOffset : 0;
        bits = (bits << 6) | (value & 0x3F);
    }
    Tsbk b = NewTsbk(kOpMotCwidGrantUpdate, kMfidMotorola);
    Put24(b, 2, static_cast<uint32_t>(bits >> 24));
    Put24(b, 5, static_cast<uint32_t>(bits));
    Put16(b, 8, channel);
    return Single("Station identification (CWID)", b);
}

Message ExtendedGroupVoiceGrant(const CallFields& c)
{
    Tsbk data{};
    Put16(data, 2, c.channel);
    Put16(data, 4, c.uplink);
    Put16(data, 6, c.talkgroup);
    return Packet("Group voice grant packet (extended)",
                  NewPacketHeader(kMfidStandard, c.source, kOpGroupVoiceGrant, c.options, 0), {data});
}

Message PatchedExtendedGroupVoiceGrant(const CallFields& c)
{
    Tsbk data{};
    Put16(data, 0, c.channel);
    Put16(data, 2, c.uplink);
    Put16(data, 4, c.talkgroup);
    return Packet("Patched group voice grant packet",
                  NewPacketHeader(kMfidMotorola, c.source, kOpMotPatchedGroupVoiceGrant, c.options, 0), {data});
}

// The caller's home network and system come first in the data, the channel pair straddles the
// two data blocks.
Message ExtendedUnitToUnitVoiceGrant(const CallFields& c, uint32_t wacn, uint32_t systemId)
{
    Tsbk first{};
    Tsbk second{};
    PutWacnAndSystem(first, 0, wacn, systemId);
    Put24(first, 4, c.source);
    Put24(first, 7, c.target);
    Put16(first, 10, c.channel);
    Put16(second, 0, c.uplink);
    Tsbk header = NewPacketHeader(kMfidStandard, c.target, kOpUnitToUnitVoiceGrantExplicit, c.options, 0);
    return Packet("Unit-to-unit voice grant packet (extended)", header, {first, second});
}

Message ExtendedTelephoneVoiceGrant(const CallFields& c, uint16_t timer)
{
    Tsbk data{};
    Put16(data, 0, c.channel);
    Put16(data, 2, c.uplink);
    Put16(data, 4, timer);
    return Packet("Telephone voice grant packet (extended)",
                  NewPacketHeader(kMfidStandard, c.source, kOpTelephoneVoiceGrant, c.options, 0), {data});
}

}  // namespace demo
