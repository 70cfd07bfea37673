#pragma once

// Site broadcasts of the demo control channel: who the site is, its network, its neighbours, its
// other control channels, its services and its band plans; the single-block forms and the
// multi-block status packets.

#include <cstdint>

#include "DemoBlock.h"

namespace demo {

struct SiteIdentity {
    uint32_t systemId = 0;  // 12 bits
    uint32_t wacn = 0;      // 20 bits
    uint8_t rfss = 0;
    uint8_t site = 0;
    uint16_t controlChannel = 0;
    uint16_t controlUplink = 0;  // the control channel's inbound side, for the packets
    uint8_t serviceClass = 0;
    bool connected = true;     // the site has its link to the network
    uint8_t locationArea = 0;  // location registration area
};

struct AdjacentSite {
    uint32_t systemId = 0;
    uint8_t rfss = 0;
    uint8_t site = 0;
    uint16_t controlChannel = 0;
    uint16_t controlUplink = 0;
    uint8_t serviceClass = 0;
    bool connected = true;
    uint8_t locationArea = 0;
};

// One identifier of the band plan, in the units a person reads.
struct BandPlan {
    uint8_t id = 0;
    bool vhfUhf = false;  // sent in the VHF/UHF form of the identifier update
    double baseMHz = 0;
    double spacingKHz = 0;
    double bandwidthKHz = 0;
    double offsetMHz = 0;  // inbound minus outbound
};

Message RfssStatus(const SiteIdentity& site);
Message NetworkStatus(const SiteIdentity& site);
Message AdjacentStatus(const AdjacentSite& neighbour);
Message SecondaryControl(const SiteIdentity& site, uint16_t channel1, uint16_t channel2);
Message ExplicitSecondaryControl(const SiteIdentity& site, uint16_t channel, uint16_t uplink);
Message SystemServiceBroadcast(uint32_t available, uint32_t supported, uint8_t requestPriority);
// The 700/800 MHz form or the VHF/UHF form, as the plan says.
Message IdentifierUpdate(const BandPlan& plan);

Message RfssStatusPacket(const SiteIdentity& site);
Message NetworkStatusPacket(const SiteIdentity& site);
Message AdjacentStatusPacket(const AdjacentSite& neighbour);

}  // namespace demo
