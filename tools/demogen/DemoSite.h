#pragma once

// The site the demo capture shows: system 0x1A3 of network 0x92A5C, RFSS 1 site 5, a county
// system on 800 MHz with a few 700 MHz channels; its band plan, channels, neighbours, agencies,
// talkgroups and radios.

#include <cstdint>
#include <vector>

#include "SiteMessages.h"

namespace demo {

// A channel number: identifier (bits 15..12) and channel within it (bits 11..0).
constexpr uint16_t Chan(int identifier, int number)
{
    return static_cast<uint16_t>((identifier << 12) | number);
}

// Identifiers 1 and 2 name the outbound sides (800 and 700 MHz); 4 and 5 the inbound sides of
// the same channel numbers, for the messages that name both; 3 is the UHF band of the
// neighbouring system.
inline constexpr int kId800 = 1;
inline constexpr int kId700 = 2;
inline constexpr int kIdUhf = 3;
inline constexpr int kId800Inbound = 4;
inline constexpr int kId700Inbound = 5;

inline const std::vector<BandPlan> kBandPlans = {
    {kId800, false, 851.00625, 6.25, 12.5, -45.0},      {kId700, false, 769.00625, 6.25, 12.5, +30.0},
    {kIdUhf, true, 453.0125, 12.5, 12.5, +5.0},         {kId800Inbound, false, 806.00625, 6.25, 12.5, 0.0},
    {kId700Inbound, false, 799.00625, 6.25, 12.5, 0.0},
};

// The inbound side of an outbound channel number.
constexpr uint16_t Uplink(uint16_t channel)
{
    const int identifier = channel >> 12;
    const int inbound = identifier == kId700 ? kId700Inbound : kId800Inbound;
    return Chan(inbound, channel & 0x0FFF);
}

inline constexpr uint8_t kServiceClass = 0xF0;  // data, voice, registration, authentication

inline const SiteIdentity kSite = [] {
    SiteIdentity s;
    s.systemId = 0x1A3;
    s.wacn = 0x92A5C;
    s.rfss = 1;
    s.site = 5;
    s.controlChannel = Chan(kId800, 190);
    s.controlUplink = Uplink(Chan(kId800, 190));
    s.serviceClass = kServiceClass;
    s.locationArea = 0x05;
    return s;
}();

inline const uint16_t kAlternateControl1 = Chan(kId800, 430);
inline const uint16_t kAlternateControl2 = Chan(kId700, 72);
inline const uint16_t kDataChannel = Chan(kId800, 670);

inline const std::vector<uint16_t> kVoiceChannels = {
    Chan(kId800, 30),  Chan(kId800, 110), Chan(kId800, 270), Chan(kId800, 350), Chan(kId800, 510),
    Chan(kId800, 590), Chan(kId700, 152), Chan(kId700, 232), Chan(kId700, 312),
};

inline const std::vector<AdjacentSite> kNeighbours = [] {
    auto site = [](uint32_t system, uint8_t rfss, uint8_t number, uint16_t control, uint8_t area) {
        AdjacentSite n;
        n.systemId = system;
        n.rfss = rfss;
        n.site = number;
        n.controlChannel = control;
        n.controlUplink = (control >> 12) == kIdUhf ? control : Uplink(control);
        n.serviceClass = kServiceClass;
        n.locationArea = area;
        return n;
    };
    // Two sites of the same RFSS, one of the second RFSS, and the next county's UHF system.
    return std::vector<AdjacentSite>{
        site(0x1A3, 1, 3, Chan(kId800, 86), 0x03),
        site(0x1A3, 1, 7, Chan(kId800, 166), 0x07),
        site(0x1A3, 2, 1, Chan(kId700, 40), 0x21),
        site(0x2C7, 1, 2, Chan(kIdUhf, 62), 0x12),
    };
}();

inline const char* const kStationCallSign = "WQRZ547";

// Radios of an agency are firstRadio .. firstRadio + radios - 1; the last kShiftRadios of them
// power up and down during the capture instead of talking.
struct Agency {
    const char* name;
    uint32_t firstRadio;
    int radios;
    uint32_t console;  // the dispatch console's radio ID
};

inline constexpr int kShiftRadios = 4;

inline const std::vector<Agency> kAgencies = {
    {"Police", 1402101, 26, 1400001},       {"Fire", 1503001, 18, 1500001},    {"EMS", 1442201, 14, 1440001},
    {"Public Works", 1705001, 14, 1700001}, {"Sheriff", 1806001, 20, 1800001}, {"Schools", 1907001, 10, 1900001},
    {"Transit", 2008001, 12, 2000001},
};

enum AgencyIndex { kPolice, kFire, kEms, kPublicWorks, kSheriff, kSchools, kTransit };

struct Talkgroup {
    uint16_t id;
    int agency;
    int weight;     // how often it is busy, relative to the others
    bool dispatch;  // the agency's console takes part
    bool encrypted;
};

inline const std::vector<Talkgroup> kTalkgroups = {
    {1001, kPolice, 12, true, false},      {1002, kPolice, 4, false, false},      {1003, kPolice, 3, false, false},
    {1004, kPolice, 2, true, false},       {1005, kPolice, 2, false, false},      {1101, kPolice, 3, false, true},
    {1102, kPolice, 2, false, true},       {2001, kFire, 6, true, false},         {2002, kFire, 3, false, false},
    {2003, kFire, 2, false, false},        {2010, kFire, 1, true, false},         {3001, kEms, 5, true, false},
    {3002, kEms, 2, false, false},         {3010, kEms, 2, true, false},          {4001, kPublicWorks, 4, true, false},
    {4002, kPublicWorks, 2, false, false}, {4003, kPublicWorks, 2, false, false}, {4010, kPublicWorks, 1, false, false},
    {5001, kSheriff, 9, true, false},      {5002, kSheriff, 3, false, false},     {5003, kSheriff, 2, true, false},
    {5101, kSheriff, 3, false, true},      {6001, kSchools, 3, true, false},      {6002, kSchools, 1, false, false},
    {7001, kTransit, 4, true, false},      {7002, kTransit, 1, false, false},     {8001, kSheriff, 2, false, false},
    {8002, kFire, 2, false, false},
};

// Group data (vehicle locations) and the data host individual data goes to.
inline constexpr uint16_t kLocationDataGroup = 9001;
inline constexpr uint32_t kDataHost = 1000001;

}  // namespace demo
