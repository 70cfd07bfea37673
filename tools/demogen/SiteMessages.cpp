#include "SiteMessages.h"

#include <cmath>

#include "p25/Opcodes.h"

namespace demo {

namespace {

constexpr uint8_t kStatusConnected = 0x1;  // upper nibble of the status byte

// Identifier updates: base in 5 Hz steps, spacing and the 700/800 MHz bandwidth in 125 Hz steps,
// the 700/800 MHz offset in 250 kHz steps with its sign in byte 3 bit 2; the VHF/UHF form has a
// 2.5 kHz bandwidth step and a 12.5 kHz offset step with its sign in byte 3 bit 7.
constexpr double kBaseStepHz = 5.0;
constexpr double kSpacingStepKHz = 0.125;
constexpr double kBandwidthStepKHz = 0.125;
constexpr double kOffsetStepMHz = 0.25;
constexpr uint8_t kOffsetPositive = 0x04;
constexpr double kVuBandwidthStepKHz = 2.5;
constexpr double kVuOffsetStepMHz = 0.0125;
constexpr uint8_t kVuOffsetPositive = 0x80;

uint32_t Steps(double value, double step)
{
    return static_cast<uint32_t>(std::lround(std::fabs(value) / step));
}

// Byte 3 of status broadcasts: the status nibble above the system ID's top four bits.
uint8_t StatusAndSystemHigh(bool connected, uint32_t systemId)
{
    return static_cast<uint8_t>(((connected ? kStatusConnected : 0) << 4) | ((systemId >> 8) & 0x0F));
}

// The 24-bit header address of status packets: area, status nibble and system ID.
uint32_t StatusAddress(uint8_t area, bool connected, uint32_t systemId)
{
    return (uint32_t{area} << 16) | (uint32_t{StatusAndSystemHigh(connected, systemId)} << 8) | (systemId & 0xFF);
}

Tsbk StatusBlock(uint8_t opcode, uint8_t area, bool connected, uint32_t systemId, uint8_t rfss, uint8_t site,
                 uint16_t channel, uint8_t serviceClass)
{
    Tsbk b = NewTsbk(opcode, kMfidStandard);
    b[2] = area;
    b[3] = StatusAndSystemHigh(connected, systemId);
    b[4] = static_cast<uint8_t>(systemId);
    b[5] = rfss;
    b[6] = site;
    Put16(b, 7, channel);
    b[9] = serviceClass;
    return b;
}

}  // namespace

Message RfssStatus(const SiteIdentity& s)
{
    return Single("RFSS status broadcast", StatusBlock(kOpRfssStatusBroadcast, s.locationArea, s.connected, s.systemId,
                                                       s.rfss, s.site, s.controlChannel, s.serviceClass));
}

Message NetworkStatus(const SiteIdentity& s)
{
    Tsbk b = NewTsbk(kOpNetworkStatusBroadcast, kMfidStandard);
    b[2] = s.locationArea;
    PutWacnAndSystem(b, 3, s.wacn, s.systemId);
    Put16(b, 7, s.controlChannel);
    b[9] = s.serviceClass;
    return Single("Network status broadcast", b);
}

Message AdjacentStatus(const AdjacentSite& n)
{
    return Single("Adjacent status broadcast",
                  StatusBlock(kOpNeighborStatusBroadcast, n.locationArea, n.connected, n.systemId, n.rfss, n.site,
                              n.controlChannel, n.serviceClass));
}

Message SecondaryControl(const SiteIdentity& s, uint16_t channel1, uint16_t channel2)
{
    Tsbk b = NewTsbk(kOpSecondaryControlChannelBroadcast, kMfidStandard);
    b[2] = s.rfss;
    b[3] = s.site;
    Put16(b, 4, channel1);
    b[6] = s.serviceClass;
    Put16(b, 7, channel2);
    b[9] = s.serviceClass;
    return Single("Secondary control channel broadcast", b);
}

Message ExplicitSecondaryControl(const SiteIdentity& s, uint16_t channel, uint16_t uplink)
{
    Tsbk b = NewTsbk(kOpExplicitAlternateControl, kMfidStandard);
    b[2] = s.rfss;
    b[3] = s.site;
    Put16(b, 4, channel);
    Put16(b, 7, uplink);
    b[9] = s.serviceClass;
    return Single("Secondary control channel broadcast (explicit)", b);
}

Message SystemServiceBroadcast(uint32_t available, uint32_t supported, uint8_t requestPriority)
{
    Tsbk b = NewTsbk(kOpSystemServiceBroadcast, kMfidStandard);
    Put24(b, 3, available);
    Put24(b, 6, supported);
    b[9] = requestPriority;
    return Single("System service broadcast", b);
}

Message IdentifierUpdate(const BandPlan& p)
{
    const uint32_t offset = Steps(p.offsetMHz, p.vhfUhf ? kVuOffsetStepMHz : kOffsetStepMHz);
    const bool positive = p.offsetMHz >= 0;
    Tsbk b = NewTsbk(p.vhfUhf ? kOpIdentifierUpdateVhfUhf : kOpIdentifierUpdate, kMfidStandard);
    if (p.vhfUhf) {
        b[2] = static_cast<uint8_t>((p.id << 4) | (Steps(p.bandwidthKHz, kVuBandwidthStepKHz) & 0x0F));
        b[3] = static_cast<uint8_t>((positive ? kVuOffsetPositive : 0) | ((offset >> 6) & 0x7F));
    } else {
        const uint32_t bandwidth = Steps(p.bandwidthKHz, kBandwidthStepKHz);
        b[2] = static_cast<uint8_t>((p.id << 4) | ((bandwidth >> 4) & 0x0F));
        b[3] =
            static_cast<uint8_t>(((bandwidth & 0x0F) << 4) | (positive ? kOffsetPositive : 0) | ((offset >> 6) & 0x03));
    }
    b[4] = static_cast<uint8_t>((offset & 0x3F) << 2);
    b[5] = static_cast<uint8_t>(Steps(p.spacingKHz, kSpacingStepKHz));
    Put32(b, 6, Steps(p.baseMHz * 1e6, kBaseStepHz));
    return Single(p.vhfUhf ? "Identifier update (VHF/UHF)" : "Identifier update (700/800 MHz)", b);
}

Message RfssStatusPacket(const SiteIdentity& s)
{
    Tsbk data{};
    data[0] = s.rfss;
    data[1] = s.site;
    Put16(data, 2, s.controlChannel);
    Put16(data, 4, s.controlUplink);
    data[6] = s.serviceClass;
    return Packet("RFSS status packet",
                  NewPacketHeader(kMfidStandard, StatusAddress(s.locationArea, s.connected, s.systemId),
                                  kOpRfssStatusBroadcast, 0, 0),
                  {data});
}

Message NetworkStatusPacket(const SiteIdentity& s)
{
    Tsbk data{};
    PutWacnAndSystem(data, 0, s.wacn, s.systemId);
    Put16(data, 3, s.controlChannel);  // follows the WACN's 20 bits directly
    Put16(data, 5, s.controlUplink);
    data[7] = s.serviceClass;
    return Packet("Network status packet",
                  NewPacketHeader(kMfidStandard, StatusAddress(s.locationArea, false, s.systemId),
                                  kOpNetworkStatusBroadcast, 0, 0),
                  {data});
}

Message AdjacentStatusPacket(const AdjacentSite& n)
{
    Tsbk data{};
    Put16(data, 0, n.controlChannel);
    Put16(data, 2, n.controlUplink);
    data[5] = n.serviceClass;
    return Packet("Adjacent status packet",
                  NewPacketHeader(kMfidStandard, StatusAddress(n.locationArea, n.connected, n.systemId),
                                  kOpNeighborStatusBroadcast, n.rfss, n.site),
                  {data});
}

}  // namespace demo
