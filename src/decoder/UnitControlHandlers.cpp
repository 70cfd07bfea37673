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

// Standard (MFID 0x00) unit control: registrations and affiliations, responses, calls, status
// and monitoring, protection parameters; and the summary of a multi-block header that arrived
// without its packet.

namespace {

constexpr uint8_t kResultMask = 0x03;       // affiliation and registration result, byte 2
constexpr uint8_t kServiceTypeMask = 0x3F;  // service type of responses, byte 2
constexpr uint32_t kSystemIdMask = 0x0FFF;
constexpr uint8_t kLowNibble = 0x0F;
constexpr int kWacnShift = 12;          // the WACN is the top 20 bits of bytes 3..6
constexpr uint8_t kAckOtherBit = 0x80;  // acknowledge response, byte 2
constexpr uint8_t kAckSystemBit = 0x40;
constexpr uint32_t kSystemAddress = 0xFFFFFD;
constexpr uint8_t kDenyGroupBit = 0x04;     // deny response, byte 3: the target is a group
constexpr uint8_t kDenyAffiliation = 0x80;  // deny response, byte 2: a denied affiliation
constexpr uint8_t kFollowMask = 0x7F;
constexpr int kStatusShift = 4;
constexpr int32_t kNoChannel = 0xFFFF;
constexpr int kPhoneDigits = 10;
constexpr int kCallAlertPriority = 99;

long Unit(const Tsbk& b, int i)
{
    return static_cast<long>(ReadBE24(b, i));
}

uint32_t WacnOf(const Tsbk& b)
{
    const uint32_t word = (static_cast<uint32_t>(ReadBE16(b, 3)) << 16) | ReadBE16(b, 5);
    return word >> kWacnShift;
}

std::string ServiceText(const Tsbk& b)
{
    return "(" + ServiceTypeName(b[2] & kServiceTypeMask) + ")";
}

// The feed's event about one radio (and a talkgroup, 0 for none).
SiteEvent UnitEvent(SiteEventKind kind, long unit, int32_t talkgroup, const char* result)
{
    SiteEvent e;
    e.kind = kind;
    e.unit = static_cast<int32_t>(unit);
    e.talkgroup = talkgroup;
    e.result = result;
    return e;
}

// Registration and affiliation -----------------------------------------------------------------

struct AffiliationResult {
    char kind;            // 'A' affiliated, 'D' not
    const char* logText;  // for the affiliation log
    const char* word;     // for the description
};

constexpr AffiliationResult kResults[] = {
    {'A', "Affiliate", "Accept"}, {'D', "Failed", "Failed"}, {'D', "Denied", "Denied"}, {'D', "Refused", "Refused"}};

// Group affiliation and location registration responses differ only in where the group is.
bool AffiliationResponse(P25Class& d, const Tsbk& b, const char* words, int groupByte, SiteEventKind kind)
{
    const int32_t group = ReadBE16(b, groupByte);
    const long unit = Unit(b, 7);
    const AffiliationResult& r = kResults[b[2] & kResultMask];
    if (r.kind == 'A')
        d.Talkgroups().NoteTalkgroup(group);
    d.AffLog().LogAffiliation(r.kind, static_cast<int32_t>(unit), r.logText, group);
    const auto text = [&] { return Format("%s - Group: %d RadioID : %ld Result: %s", words, group, unit, r.word); };
    DumpOnly(d, b, text);
    ReportOnly(d, b, text, UnitEvent(kind, unit, group, r.word));
    return true;
}

bool GroupAffiliationResponse(P25Class& d, const Tsbk& b)
{
    return AffiliationResponse(d, b, "Group Affiliation Response", 5, SiteEventKind::kAffiliation);
}

bool LocationRegistrationResponse(P25Class& d, const Tsbk& b)
{
    // Also decoded before the site is known: it names the RFSS and site.
    if (d.SysInfo().RfssId() == 0)
        d.SetRfssSite(b[5], b[6]);
    return AffiliationResponse(d, b, "Location Registration Response", 3, SiteEventKind::kRegistration);
}

bool GroupAffiliationQuery(P25Class& d, const Tsbk& b)
{
    EventAndDump(d, b, [&] { return Format("Group Affiliation Query -> %ld", Unit(b, 4)); });
    return true;
}

bool UnitRegistrationResponse(P25Class& d, const Tsbk& b)
{
    const uint32_t systemId = ReadBE16(b, 2) & kSystemIdMask;
    if (d.GetSystemId() == 0)
        d.SetSystemId(systemId);
    EventAndDump(
        d, b, [&] { return Format("Unit Registration -> %ld/%ld (SysID: %03X)", Unit(b, 4), Unit(b, 7), systemId); },
        UnitEvent(SiteEventKind::kRegistration, Unit(b, 7), 0, "Accept"));
    return true;
}

bool UnitRegistrationCommand(P25Class& d, const Tsbk& b)
{
    const long unit = Unit(b, 4);
    d.AffLog().LogAffiliation('U', static_cast<int32_t>(unit), "Forced", 0);
    EventAndDump(d, b, [&] { return Format("Unit Registration Command -> %ld", unit); });
    return true;
}

bool AuthenticationCommand(P25Class& d, const Tsbk& b)
{
    EventAndDump(d, b, [&] {
        return Format("Authenticate: SysID: %03X WACN: %5X ID: %ld ", ReadBE16(b, 5) & kSystemIdMask, WacnOf(b),
                      Unit(b, 7));
    });
    return true;
}

bool DeRegistrationAck(P25Class& d, const Tsbk& b)
{
    // Also decoded before the system is known: it names the system and its WACN. The system ID
    // comes first because a new one resets everything, the WACN with it.
    if (d.GetSystemId() == 0)
        d.SetSystemId(((b[5] & kLowNibble) << 8) | b[6]);
    if (d.SysInfo().Wacn() == 0)
        d.SetWacn(WacnOf(b));
    const long unit = Unit(b, 7);
    d.AffLog().LogAffiliation('U', static_cast<int32_t>(unit), "Unaffiliate", 0);
    const auto text = [&] { return Format("De-Registration Response - RadioID : %ld", unit); };
    DumpOnly(d, b, text);
    ReportOnly(d, b, text, UnitEvent(SiteEventKind::kDeregistration, unit, 0, ""));
    return true;
}

// Responses ------------------------------------------------------------------------------------

std::string AckText(const Tsbk& b)
{
    const long target = Unit(b, 4);
    const long unit = Unit(b, 7);
    const std::string service = ServiceText(b);
    if ((b[2] & kAckOtherBit) == 0)
        return Format("ACK %ld %s", unit, service.c_str());
    if (b[2] & kAckSystemBit)
        return Format("System ACK -> %ld %s", unit, service.c_str());
    if (target == kSystemAddress)
        return Format("ACK: System -> %ld %s", unit, service.c_str());
    return Format("ACK: %ld -> %ld %s", target, unit, service.c_str());
}

bool AcknowledgeResponse(P25Class& d, const Tsbk& b)
{
    EventAndDump(d, b, [&] { return AckText(b); });
    return true;
}

bool QueuedResponse(P25Class& d, const Tsbk& b)
{
    const long target = Unit(b, 4);
    const long source = Unit(b, 7);
    EventAndDump(d, b,
                 [&] { return Format("Queued Response: %ld -> %ld: %s", source, target, ReasonText(b[3]).c_str()); });
    d.Activity().RecordQueued(static_cast<int32_t>(target), static_cast<int32_t>(source));
    return true;
}

bool DenyResponse(P25Class& d, const Tsbk& b)
{
    const long unit = Unit(b, 7);
    const bool toGroup = (b[3] & kDenyGroupBit) != 0;
    const int32_t group = ReadBE16(b, 5);
    // A denied affiliation still tells which group the radio listens to.
    if (toGroup && b[2] == kDenyAffiliation)
        d.AffLog().LogAffiliation('A', static_cast<int32_t>(unit), "Affiliate", group);
    SiteEvent denial = UnitEvent(SiteEventKind::kDenial, unit, toGroup ? group : 0, "");
    if (!toGroup)
        denial.target = static_cast<int32_t>(Unit(b, 4));
    EventAndDump(
        d, b,
        [&] {
            const std::string service = ServiceText(b);
            const std::string head = toGroup
                                         ? Format("Deny Response: %ld -> %05d %s", unit, group, service.c_str())
                                         : Format("Deny Response: %ld -> %ld %s", Unit(b, 4), unit, service.c_str());
            return head + ": " + ReasonText(b[3]);
        },
        std::move(denial));
    return true;
}

std::string ExtendedFunctionText(const Tsbk& b)
{
    const long unit = Unit(b, 7);
    switch (b[3]) {
    case 0x00: return Format("Radio Check: %ld", unit);
    case 0x7D: return Format("Radio Detach: %ld", unit);
    case 0x7E: return Format("Radio Un-Inhibit: %ld", unit);
    case 0x7F: return Format("Radio Inhibit: %ld", unit);
    default: return Format("Unknown Response: %ld -> %ld", unit, Unit(b, 4));
    }
}

bool ExtendedFunctionCommand(P25Class& d, const Tsbk& b)
{
    if (b[2] != 0)
        return false;  // only the radio check, detach and inhibit class is understood
    EventAndDump(d, b, [&] { return ExtendedFunctionText(b); });
    return true;
}

// Calls, status and monitoring -----------------------------------------------------------------

bool UnitStatusUpdate(P25Class& d, const Tsbk& b)
{
    EventAndDump(d, b, [&] {
        return Format("Unit Status Update - Srd RID: %ld Dst RID: %ld Status: %d", Unit(b, 7), Unit(b, 4), b[2]);
    });
    return true;
}

bool Monitor(P25Class& d, const Tsbk& b, const char* words)
{
    EventAndDump(d, b, [&] { return Format("%s - %ld Monitoring %ld", words, Unit(b, 4), Unit(b, 7)); });
    return true;
}

bool RadioUnitMonitorCommand(P25Class& d, const Tsbk& b)
{
    return Monitor(d, b, "Remote Radio Monitor");
}

bool RadioMonitor(P25Class& d, const Tsbk& b)
{
    return Monitor(d, b, "Radio Monitor");
}

// Seen on the air with this manufacturer and not understood; recognised so that it is not
// collected as unknown.
bool RadioMonitorAlt(P25Class& d, const Tsbk& b)
{
    DumpOnly(d, b, [&] { return "Unknown Op=1e" + ManufacturerSuffix(b[1]); });
    return true;
}

bool CallAlert(P25Class& d, const Tsbk& b)
{
    const long target = Unit(b, 4);
    const long source = Unit(b, 7);
    d.Grants().AddGrantLogEntry("Alert", -1, kCallAlertPriority, "", static_cast<int32_t>(source),
                                static_cast<int32_t>(target));
    EventAndDump(d, b, [&] { return Format("Call Alert - %ld Alerting %ld", source, target); });
    return true;
}

// Ten 4-bit digits, high half first; a value above 9 becomes the character after '9'.
std::string PhoneDigits(const Tsbk& b)
{
    std::string digits;
    for (int i = 0; i < kPhoneDigits; ++i) {
        const uint8_t byte = b[2 + i / 2];
        const int value = (i % 2 == 0) ? byte >> 4 : byte & kLowNibble;
        digits += static_cast<char>('0' + value);
    }
    return digits;
}

bool TelephoneAnswerRequest(P25Class& d, const Tsbk& b)
{
    EventAndDump(d, b, [&] { return "Incoming Phone (" + PhoneDigits(b) + ") " + Format(" -> %ld", Unit(b, 7)); });
    return true;
}

bool UnitToUnitAnswerRequest(P25Class& d, const Tsbk& b)
{
    EventAndDump(d, b, [&] { return Format("Unit-Unit Answer - From : %ld To: %ld", Unit(b, 7), Unit(b, 4)); });
    return true;
}

// Protection parameters: shown only while both the protection data and the packet dump are on.

bool ProtectionParameterBroadcast(P25Class& d, const Tsbk& b)
{
    if (d.LogProtectionOn())
        DumpOnly(d, b, [] { return std::string("Protection Parameter Broadcast - Current Format unknown"); });
    return true;
}

bool ProtectionParameterUpdate(P25Class& d, const Tsbk& b)
{
    if (d.LogProtectionOn())
        DumpOnly(d, b, [&] {
            return Format("Protection Parameter Update - AlgID: %02X  KeyID: %04X  Radio ID", b[4], ReadBE16(b, 5));
        });
    return true;
}

// Multi-block header alone ---------------------------------------------------------------------

bool IsStatusBroadcast(uint8_t opcode)
{
    return opcode == kOpRfssStatusBroadcast || opcode == kOpNetworkStatusBroadcast ||
           opcode == kOpNeighborStatusBroadcast;
}

// The header of a packet that did not reach the packet decoder (its data blocks failed their
// check). Once packets are decoded whole, headers alone add nothing.
bool MultiBlockHeader(P25Class& d, const Tsbk& b)
{
    if (d.MultiBlockSeen())
        return true;
    const uint32_t systemId = ((b[4] & kLowNibble) << 8) | b[5];
    const uint8_t carried = b[7] & kOpcodeMask;
    const int follow = b[6] & kFollowMask;
    const int status = b[4] >> kStatusShift;
    if (d.GetSystemId() == 0 && IsStatusBroadcast(carried))
        d.SetSystemId(systemId);
    // The header's status and adjacent site are kept whether or not the packet dump is shown.
    if (carried == kOpRfssStatusBroadcast)
        d.SetSiteStatus(status);
    if (carried == kOpNeighborStatusBroadcast) {
        NeighborSite site;
        site.systemId = static_cast<int32_t>(systemId);
        site.rfssId = b[8];
        site.siteId = b[9];
        site.controlChannel = kNoChannel;
        site.status = status;
        d.Neighbors().AddNeighbor(site);
    }
    DumpOnly(d, b, [&] {
        std::string text = "MultiPacket -";
        if (IsStatusBroadcast(carried))
            text += Format(" SysID: %03X", systemId);
        text += Format(" Type: %02X", carried) + OpcodeSummaryName(carried);
        if (carried == kOpNeighborStatusBroadcast)
            text += Format(" Zone: %d Site: %d Status: %s", b[8], b[9], (status & 1) ? "Connected" : "Failed");
        return text + Format(" - Follow Count: %d", follow);
    });
    return true;
}

}  // namespace

void RegisterUnitControlHandlers(TsbkDispatcher& dispatcher)
{
    struct Entry {
        uint8_t opcode;
        TsbkHandler handler;
    };
    static constexpr Entry kStandard[] = {
        {kOpUnitToUnitAnswerRequest, UnitToUnitAnswerRequest},
        {kOpTelephoneIncomingRequest, TelephoneAnswerRequest},
        {kOpStatusUpdate, UnitStatusUpdate},
        {kOpRadioUnitMonitorCommand, RadioUnitMonitorCommand},
        {kOpRadioMonitor, RadioMonitor},
        {kOpCallAlert, CallAlert},
        {kOpAckResponse, AcknowledgeResponse},
        {kOpQueuedResponse, QueuedResponse},
        {kOpExtendedFunctionCommand, ExtendedFunctionCommand},
        {kOpDenyResponse, DenyResponse},
        {kOpGroupAffiliationResponse, GroupAffiliationResponse},
        {kOpGroupAffiliationQuery, GroupAffiliationQuery},
        {kOpLocationRegistrationResponse, LocationRegistrationResponse},
        {kOpUnitRegistrationResponse, UnitRegistrationResponse},
        {kOpUnitRegistrationCommand, UnitRegistrationCommand},
        {kOpUnitAuthenticationCommand, AuthenticationCommand},
        {kOpDeRegistrationAck, DeRegistrationAck},
        {kOpProtectionParameterBroadcast, ProtectionParameterBroadcast},
        {kOpProtectionParameterUpdate, ProtectionParameterUpdate},
    };
    for (const Entry& e : kStandard)
        dispatcher.Register(e.opcode, kMfidStandard, e.handler);
    dispatcher.Register(kOpRadioMonitor, kMfidRadioMonitorAlt, RadioMonitorAlt);
    dispatcher.RegisterAnyMfid(kOpMultiBlockHeader, MultiBlockHeader);
}
