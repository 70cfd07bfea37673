#pragma once

#include <cstdint>
#include <string>

// What the decoder observed, as plain values: the event feed turns these into its messages. The
// decoder and the site areas fill only the fields that their kind names (see the comments); the
// system, RFSS and site are those of the monitored site when the event was made.
enum class SiteEventKind {
    kSiteUpdate,        // an RFSS or network status broadcast: wacn, controlChannel, frequency
    kIdentifierUpdate,  // identifier, base, spacing, txOffset, bandwidth (only when it changed)
    kNeighbor,          // neighbor*: a neighbour site stored or changed
    kCallStart,         // channel, frequency, usage, target, source, names, status, priority
    kCallUpdate,        // the same call on the same channel with a new source, status or usage
    kCallEnd,           // channel, usage, target; reason "released" or "expired"
    kAffiliation,       // unit, talkgroup, result
    kRegistration,      // unit, talkgroup (0 when none), result
    kDeregistration,    // unit
    kPatchAdded,        // talkgroup (member), supergroup
    kPatchRemoved,      // talkgroup (member), supergroup
    kEmergency,         // unit, talkgroup (0 when none), text
    kDenial,            // unit, target, text
    kUnitControl,       // opcode, mfid, text: acknowledgements, queries, commands, monitoring
    kUnknownPacket,     // opcode, mfid, blockHex
};

struct SiteEvent {
    SiteEventKind kind = SiteEventKind::kUnknownPacket;
    uint32_t systemId = 0;
    uint32_t rfss = 0;
    uint32_t site = 0;

    // Site and channels.
    uint32_t wacn = 0;
    int32_t channel = -1;     // 16-bit channel number (identifier in bits 15..12), -1 none
    double frequency = 0.0;   // MHz, 0 when not known
    int32_t identifier = -1;  // frequency identifier 0..15
    double base = 0.0;        // MHz
    double spacing = 0.0;     // MHz
    double txOffset = 0.0;    // MHz
    double bandwidth = 0.0;   // MHz

    // Calls and units.
    std::string usage;   // the channel line's usage: "Group", "Private", "Phone", "GrpData", "PvtData"
    std::string status;  // "Enc", "Emrg" or empty
    int32_t talkgroup = 0;
    int32_t supergroup = 0;
    int32_t unit = 0;    // source radio, or the radio of a unit event
    int32_t target = 0;  // called radio of a private call, or the target of a unit event
    std::string talkgroupName;
    std::string unitName;
    int priority = 0;    // talkgroup priority (1 most important .. 99), 0 when not a group call
    std::string result;  // affiliation result, or the reason a call ended

    // Neighbours (system, RFSS and site of the neighbour).
    int32_t neighborSystem = 0;
    int32_t neighborRfss = 0;
    int32_t neighborSite = 0;
    std::string neighborName;

    // Unit control and unknown packets.
    uint8_t opcode = 0;
    uint8_t mfid = 0;
    std::string text;      // the decoder's description of the message
    std::string blockHex;  // the block (or the packet's header) as 24 hexadecimal digits
};
