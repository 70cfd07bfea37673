#include <cstdint>
#include <string>

#include "decoder/HandlerText.h"
#include "decoder/P25Class.h"
#include "decoder/TsbkDispatcher.h"
#include "decoder/TsbkHandlers.h"
#include "p25/BlockIntegrity.h"
#include "p25/DescriptionText.h"
#include "p25/NameTables.h"
#include "p25/Opcodes.h"

// One manufacturer's (MFID 0x90) extensions: patches of talkgroups into supergroups, dynamic
// regrouping, patched queued responses and acknowledgements, the emergency button. Its grants
// are decoded with the other grants.

namespace {

constexpr uint8_t kRegroupClass = 2;     // byte 2 of a regroup command
constexpr uint8_t kEmergencyBit = 0x80;  // byte 2 of the emergency message

long Unit(const Tsbk& b, int i)
{
    return static_cast<long>(ReadBE24(b, i));
}

std::string Suffix(const Tsbk& b)
{
    return ManufacturerSuffix(b[1]);
}

// The three member groups come in the order bytes 8-9, 4-5, 6-7; a slot naming the supergroup
// itself is unused.
bool PatchInformation(P25Class& d, const Tsbk& b)
{
    const int32_t super = ReadBE16(b, 2);
    const int32_t members[] = {ReadBE16(b, 8), ReadBE16(b, 4), ReadBE16(b, 6)};
    for (int32_t member : members)
        if (member != super)
            d.Patches().AddPatch(member, super);
    DumpOnly(d, b, [&] {
        return "Patch Information -" + Suffix(b) +
               Format(" SuperGroup: %d Member Groups: %d,%d,%d", super, members[0], members[1], members[2]);
    });
    return true;
}

// Every named group is released as a supergroup: the message may name patches of other
// supergroups that end with this one.
bool PatchRelease(P25Class& d, const Tsbk& b)
{
    const int32_t super = ReadBE16(b, 2);
    const int32_t groups[] = {ReadBE16(b, 4), ReadBE16(b, 6), ReadBE16(b, 8)};
    d.Patches().ReleasePatches(super);
    for (int32_t group : groups)
        if (group != super)
            d.Patches().ReleasePatches(group);
    DumpOnly(d, b, [&] {
        return "Patch Release -" + Suffix(b) + Format(" Groups: %d,%d,%d,%d", super, groups[0], groups[1], groups[2]);
    });
    return true;
}

const char* RegroupName(uint8_t command)
{
    switch (command) {
    case 0: return "Regroup -";
    case 1: return "Cancel Regroup -";
    case 2: return "Lock Regroup -";
    case 3: return "Unlock Regroup -";
    default: return nullptr;
    }
}

// An unknown command is still described, and then also collected as an unknown block.
bool RegroupCommand(P25Class& d, const Tsbk& b)
{
    if (b[2] != kRegroupClass)
        return false;
    const long unit = Unit(b, 7);
    const int32_t group = ReadBE16(b, 4);
    d.Talkgroups().NoteTalkgroup(group);
    const char* name = RegroupName(b[3]);
    EventAndDump(d, b, [&] {
        std::string text = (name ? name : "Unknown Regroup Command -") + Suffix(b) + Format(" RadioID: %ld", unit);
        if (b[3] == 0)
            text += Format(" Group: %d", group);
        return text;
    });
    return name != nullptr;
}

// Seen on the air and not understood; recognised so that they are not collected as unknown.
bool Unknown05(P25Class& d, const Tsbk& b)
{
    DumpOnly(d, b, [&] { return P25Class::UnknownDescription(b[0] & kOpcodeMask, b[1]); });
    return true;
}

bool Unknown09(P25Class& d, const Tsbk& b)
{
    DumpOnly(d, b, [&] {
        return P25Class::UnknownDescription(b[0] & kOpcodeMask, b[1]) + " Binary Value: " + ByteToBinaryText(b[2]) +
               " " + ByteToBinaryText(b[3]);
    });
    return true;
}

bool QueuedResponsePatched(P25Class& d, const Tsbk& b)
{
    const long target = Unit(b, 4);
    const long source = Unit(b, 7);
    EventAndDump(d, b, [&] {
        return Format("Queued Response (Patched): %ld -> %ld: ", source, target) + ReasonText(b[3]) + Suffix(b);
    });
    d.Activity().RecordQueued(static_cast<int32_t>(target), static_cast<int32_t>(source));
    return true;
}

bool EmergencyButton(P25Class& d, const Tsbk& b)
{
    if (b[2] & kEmergencyBit) {
        SiteEvent e;
        e.kind = SiteEventKind::kEmergency;
        e.unit = static_cast<int32_t>(Unit(b, 7));
        e.talkgroup = ReadBE16(b, 5);
        EventAndDump(
            d, b,
            [&] {
                return "Emergency Button Pressed? -" + Suffix(b) +
                       Format(" Group: %d Radio ID: %ld", ReadBE16(b, 5), Unit(b, 7));
            },
            std::move(e));
    }
    return true;
}

bool PatchedAck(P25Class& d, const Tsbk& b)
{
    EventAndDump(d, b, [&] {
        return Format("Patched Ack? Op=%02X", b[0] & kOpcodeMask) + Suffix(b) +
               Format(" Radio ID1 : %ld Radio ID2 : %ld", Unit(b, 7), Unit(b, 4)) + "Reason Code: " + ReasonText(b[2]);
    });
    return true;
}

}  // namespace

void RegisterManufacturerHandlers(TsbkDispatcher& dispatcher)
{
    struct Entry {
        uint8_t opcode;
        TsbkHandler handler;
    };
    // Opcodes 0x02, 0x03 and 0x0B of this manufacturer are grants, registered with the grants.
    static constexpr Entry kMotorola[] = {
        {kOpMotPatchInformation, PatchInformation},
        {kOpMotPatchRelease, PatchRelease},
        {kOpMotRegroupCommand, RegroupCommand},
        {kOpMotUnknown05, Unknown05},
        {kOpMotQueuedResponsePatched, QueuedResponsePatched},
        {kOpMotEmergencyButton, EmergencyButton},
        {kOpMotPatchedAck, PatchedAck},
        {kOpMotUnknown09, Unknown09},
    };
    for (const Entry& e : kMotorola)
        dispatcher.Register(e.opcode, kMfidMotorola, e.handler);
}
