#pragma once

// Builders of the control channel blocks that the site stream test plays, each from the named
// fields of its message, with its CRC filled in (packets: CRC-16 of the header, CRC-32 of the
// data), and the identity of the site that the stream describes.

#include <cstdint>
#include <vector>

#include "p25/Opcodes.h"
#include "p25/Tsbk.h"
#include "support/BlockBuilder.h"

namespace sitestream {

using testsupport::MakePacketFromBlocks;
using testsupport::WithCrc16;

constexpr uint32_t kSys = 0x4A2;
constexpr uint32_t kOtherSys = 0x1B5;
constexpr uint8_t kRfss = 3;
constexpr uint8_t kSite = 7;
constexpr uint32_t kWacn = 0xBEE00;
constexpr uint8_t kClass = 0x70;  // data, voice, registration
constexpr uint8_t kEnc = 0x40;    // service options of a grant
constexpr uint8_t kEmrg = 0x80;
constexpr int kConnected = 1;  // status nibble of status broadcasts
constexpr int kSiteTrunked = 0;

inline Tsbk Op(uint8_t opcode, uint8_t mfid = kMfidStandard)
{
    Tsbk b{};
    b[0] = opcode;
    b[1] = mfid;
    return b;
}

inline void Put16(Tsbk& b, int i, uint32_t v)
{
    b[i] = uint8_t(v >> 8);
    b[i + 1] = uint8_t(v);
}

inline void Put24(Tsbk& b, int i, uint32_t v)
{
    b[i] = uint8_t(v >> 16);
    Put16(b, i + 1, v);
}

// The status nibble shares byte n with the top of the 12-bit system ID.
inline void PutSys(Tsbk& b, int n, uint32_t sys, int status)
{
    b[n] = uint8_t(status << 4 | sys >> 8);
    b[n + 1] = uint8_t(sys);
}

// Bytes n..n+3: the 20-bit WACN above the 12-bit system ID.
inline void PutWacn(Tsbk& b, int n, uint32_t wacn, uint32_t sys)
{
    Put16(b, n, wacn >> 4);
    Put16(b, n + 2, (wacn & 0xF) << 12 | sys);
}

// Status broadcasts: system at 3-4, RFSS 5, site 6, control channel 7-8, service class 9.
inline Tsbk StatusBroadcast(uint8_t opcode, uint32_t sys, uint8_t rfss, uint8_t site, int32_t channel, int status)
{
    Tsbk b = Op(opcode);
    PutSys(b, 3, sys, status);
    b[5] = rfss;
    b[6] = site;
    Put16(b, 7, channel);
    b[9] = kClass;
    return WithCrc16(b);
}

inline Tsbk RfssStatus(uint32_t sys, uint8_t rfss, uint8_t site, int32_t channel)
{
    return StatusBroadcast(kOpRfssStatusBroadcast, sys, rfss, site, channel, kConnected);
}

inline Tsbk AdjacentStatus(uint32_t sys, uint8_t rfss, uint8_t site, int32_t channel, int status)
{
    return StatusBroadcast(kOpNeighborStatusBroadcast, sys, rfss, site, channel, status);
}

inline Tsbk NetworkStatus(uint32_t wacn, int32_t channel)
{
    Tsbk b = Op(kOpNetworkStatusBroadcast);
    PutWacn(b, 3, wacn, kSys);
    Put16(b, 7, channel);
    b[9] = kClass;
    return WithCrc16(b);
}

// Secondary (0x39) and explicit secondary (0x29) control channel broadcasts: RFSS 2, site 3,
// channels at 4-5 and 7-8.
inline Tsbk AlternateControl(uint8_t opcode, uint8_t rfss, uint8_t site, int32_t channel1, int32_t channel2)
{
    Tsbk b = Op(opcode);
    b[2] = rfss;
    b[3] = site;
    Put16(b, 4, channel1);
    b[6] = kClass;
    Put16(b, 7, channel2);
    b[9] = kClass;
    return WithCrc16(b);
}

// Identifier in the top of byte 2, offset magnitude in bytes 3-4 above two spare bits, spacing
// byte 5 (125 Hz steps), base bytes 6-9 (5 Hz steps).
inline Tsbk Identifier(uint8_t opcode, int id, int offset, uint32_t baseHz, uint8_t spacing)
{
    Tsbk b = Op(opcode);
    b[2] = uint8_t(id << 4);
    Put16(b, 3, uint32_t(offset) << 2);
    b[5] = spacing;
    Put16(b, 6, baseHz / 5 >> 16);
    Put16(b, 8, baseHz / 5);
    return WithCrc16(b);
}

// 700/800 MHz form: bandwidth in 125 Hz steps across bytes 2-3, offset in 250 kHz steps with
// its sign in bit 2 of byte 3.
inline Tsbk IdentifierUpdate(int id, int bandwidth, int offset, bool up, uint8_t spacing, uint32_t baseHz)
{
    Tsbk b = Identifier(kOpIdentifierUpdate, id, offset, baseHz, spacing);
    b[2] |= uint8_t(bandwidth >> 4);
    b[3] |= uint8_t((bandwidth & 0xF) << 4 | (up ? 0x04 : 0));
    return WithCrc16(b);
}

// VHF/UHF form: bandwidth in 2.5 kHz steps in byte 2, offset in 12.5 kHz steps with its sign in
// bit 7 of byte 3.
inline Tsbk IdentifierUpdateVhf(int id, int bandwidth, int offset, bool up, uint8_t spacing, uint32_t baseHz)
{
    Tsbk b = Identifier(kOpIdentifierUpdateVhfUhf, id, offset, baseHz, spacing);
    b[2] |= uint8_t(bandwidth);
    b[3] |= uint8_t(up ? 0x80 : 0);
    return WithCrc16(b);
}

// Service options 2, channel 3-4, group 5-6, radio 7-9: group voice, telephone and group data
// grants.
inline Tsbk ChannelGroupRadio(uint8_t opcode, uint8_t options, int32_t channel, int32_t group, int32_t radio)
{
    Tsbk b = Op(opcode);
    b[2] = options;
    Put16(b, 3, channel);
    Put16(b, 5, group);
    Put24(b, 7, radio);
    return WithCrc16(b);
}

inline Tsbk GroupGrant(uint8_t options, int32_t channel, int32_t tg, int32_t source)
{
    return ChannelGroupRadio(kOpGroupVoiceGrant, options, channel, tg, source);
}

inline Tsbk PhoneGrant(uint8_t opcode, int32_t channel, int32_t radio)
{
    return ChannelGroupRadio(opcode, 0, channel, 0, radio);
}

// Two channel/group pairs at 2-5 and 6-9: group voice and group data updates.
inline Tsbk PairUpdate(uint8_t opcode, int32_t channelA, int32_t tgA, int32_t channelB, int32_t tgB)
{
    Tsbk b = Op(opcode);
    Put16(b, 2, channelA);
    Put16(b, 4, tgA);
    Put16(b, 6, channelB);
    Put16(b, 8, tgB);
    return WithCrc16(b);
}

// Byte 2 and 3 as given, units at 4-6 and 7-9: individual calls carry their channel in bytes
// 2-3, the called unit at 4-6 and the calling unit at 7-9.
inline Tsbk TwoUnits(uint8_t opcode, uint8_t b2, uint8_t b3, int32_t unit4, int32_t unit7)
{
    Tsbk b = Op(opcode);
    b[2] = b2;
    b[3] = b3;
    Put24(b, 4, unit4);
    Put24(b, 7, unit7);
    return WithCrc16(b);
}

inline Tsbk UnitToUnit(uint8_t opcode, int32_t channel, int32_t from, int32_t to)
{
    return TwoUnits(opcode, uint8_t(channel >> 8), uint8_t(channel), to, from);
}

inline Tsbk DataAnnouncement(uint8_t status, int32_t rx, int32_t tx)
{
    Tsbk b = Op(kOpDataChannelUpdate);
    b[3] = status;
    Put16(b, 4, rx);
    Put16(b, 6, tx);
    return WithCrc16(b);
}

inline Tsbk GroupAffiliation(uint8_t result, int32_t tg, int32_t unit)
{
    Tsbk b = Op(kOpGroupAffiliationResponse);
    b[2] = result;
    Put16(b, 5, tg);
    Put24(b, 7, unit);
    return WithCrc16(b);
}

inline Tsbk LocationRegistration(int32_t tg, int32_t unit)
{
    Tsbk b = Op(kOpLocationRegistrationResponse);
    Put16(b, 3, tg);
    b[5] = kRfss;
    b[6] = kSite;
    Put24(b, 7, unit);
    return WithCrc16(b);
}

inline Tsbk DeRegistration(int32_t unit)
{
    Tsbk b = Op(kOpDeRegistrationAck);
    PutWacn(b, 3, kWacn, kSys);
    Put24(b, 7, unit);
    return WithCrc16(b);
}

// Patch information and release: supergroup 2-3, groups 4-5, 6-7 and 8-9.
inline Tsbk Patch(uint8_t opcode, int32_t super, int32_t g4, int32_t g6, int32_t g8)
{
    Tsbk b = Op(opcode, kMfidMotorola);
    Put16(b, 2, super);
    Put16(b, 4, g4);
    Put16(b, 6, g6);
    Put16(b, 8, g8);
    return WithCrc16(b);
}

// Multi-block packets: header with MFID 0 (byte 2), address 3-5, opcode 7, options 8; one data
// block.
inline std::vector<Tsbk> Packet(uint8_t opcode, uint32_t address, uint8_t options, const Tsbk& data)
{
    Tsbk h = Op(kMultiBlockHeaderOpcode);
    Put24(h, 3, address);
    h[7] = opcode;
    h[8] = options;
    return MakePacketFromBlocks(h, {data});
}

inline std::vector<Tsbk> GroupGrantPacket(uint8_t options, int32_t channel, int32_t input, int32_t tg, int32_t source)
{
    Tsbk d{};
    Put16(d, 2, channel);
    Put16(d, 4, input);
    Put16(d, 6, tg);
    return Packet(kOpGroupVoiceGrant, uint32_t(source), options, d);
}

// The status nibble and system ID take the address's lower two bytes.
inline std::vector<Tsbk> RfssStatusPacket(int32_t control, int32_t input)
{
    Tsbk d{};
    d[0] = kRfss;
    d[1] = kSite;
    Put16(d, 2, control);
    Put16(d, 4, input);
    d[6] = kClass;
    return Packet(kOpRfssStatusBroadcast, uint32_t(kConnected) << 12 | kSys, 0, d);
}

inline std::vector<Tsbk> NetworkStatusPacket(int32_t control, int32_t input)
{
    Tsbk d{};
    PutWacn(d, 0, kWacn, 0);
    Put16(d, 3, control);  // shares byte 3 with the spare bits below the WACN
    Put16(d, 5, input);
    d[7] = kClass;
    return Packet(kOpNetworkStatusBroadcast, kSys, 0, d);
}

}  // namespace sitestream
