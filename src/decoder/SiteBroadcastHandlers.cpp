// System and site broadcasts (MFID 0x00): who the site is (RFSS status), its network (network
// status), the sites next to it (adjacent status), its other control channels (secondary control
// channel broadcasts) and how its channel numbers map to frequencies (identifier updates).

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "decoder/P25Class.h"
#include "decoder/TsbkDispatcher.h"
#include "decoder/TsbkHandlers.h"
#include "p25/BlockIntegrity.h"
#include "p25/DescriptionText.h"
#include "p25/NameTables.h"
#include "p25/Opcodes.h"

namespace {

constexpr int32_t kNoChannel = IdentifierTable::kNoChannel;
constexpr uint8_t kSystemIdHighMask = 0x0F;  // the system ID's top 4 bits share a byte with the status
constexpr int kStatusShift = 4;              // status bits: upper nibble of the status byte
constexpr int32_t kStatusConnected = 0x01;   // the site has its network connection
constexpr int kWacnShift = 12;               // the WACN is the top 20 bits of bytes 3..6
constexpr int kIdentifierShift = 4;          // identifier: upper nibble of byte 2

// Identifier updates: base in 5 Hz steps, spacing and the 700/800 MHz bandwidth in 125 Hz steps.
constexpr uint64_t kBaseStepHz = 5;
constexpr double kHzToMHz = 0.000001;
constexpr double kSpacingStepMHz = 0.000125;
constexpr double kBandwidthStepMHz = 0.000125;
constexpr double kOffsetStepMHz = 0.25;         // 700/800 MHz form
constexpr uint8_t kOffsetPositiveBit = 0x04;    // 700/800 MHz form, in byte 3
constexpr double kVuBandwidthStepMHz = 0.0025;  // VHF/UHF form
constexpr double kVuOffsetStepMHz = 0.0125;     // VHF/UHF form
constexpr uint8_t kVuOffsetPositiveBit = 0x80;  // VHF/UHF form, in byte 3
constexpr uint32_t kVuOffsetMask = 0x1FFF;

constexpr const char* kIdentifierUpdateText =
    "Identifier Update - ID: %02d  Base: %3.05f  Spacing: %3.05f  Bandwidth: %3.05f  TX Offset: %3.05f";

uint32_t ReadBE32(const Tsbk& b, int i)
{
    return static_cast<uint32_t>(b[i]) << 24 | static_cast<uint32_t>(b[i + 1]) << 16 |
           static_cast<uint32_t>(b[i + 2]) << 8 | b[i + 3];
}

// (byte n AND 0x0F) * 256 + byte n+1
int32_t SystemIdAt(const Tsbk& b, int n)
{
    return (b[n] & kSystemIdHighMask) << 8 | b[n + 1];
}

int32_t StatusBits(uint8_t statusByte)
{
    return statusByte >> kStatusShift;
}

std::string ChannelText(P25Class& d, int32_t channel)
{
    return d.Identifiers().ChannelText(channel, true, false);
}

// A channel number of 0xFFFF names no channel, so it must not become a line of the channel table.
void RecordControl(P25Class& d, int32_t channel)
{
    if (channel != kNoChannel && d.Activity().RecordControlChannel(channel, 0))
        d.Channels().MarkChanged();
}

void RecordAlternates(P25Class& d, int32_t channelA, int32_t channelB)
{
    if (channelA == kNoChannel)
        channelA = channelB;
    if (channelB == kNoChannel)
        channelB = channelA;
    if (channelA != kNoChannel && d.Activity().RecordAlternateControl(channelA, channelB))
        d.Channels().MarkChanged();
}

// Identifier updates and the decoded entry they carry.
struct DecodedIdentifier {
    int identifier;
    IdentifierEntry entry;
};

// Base frequency (bytes 6..9, 5 Hz steps) and channel spacing (byte 5) are common to both forms.
// The base in Hz is kept unsigned and wide: squeezed into a signed 32-bit value, a base above
// 2147 MHz would turn into a negative frequency.
DecodedIdentifier CommonIdentifierFields(const Tsbk& b)
{
    DecodedIdentifier id{};
    id.identifier = b[2] >> kIdentifierShift;
    id.entry.base = static_cast<double>(ReadBE32(b, 6) * kBaseStepHz) * kHzToMHz;
    id.entry.spacing = b[5] * kSpacingStepMHz;
    id.entry.assumed = false;
    return id;
}

std::string IdentifierDescription(const DecodedIdentifier& id)
{
    // A site repeats its few identifier updates all the time, and printing four frequencies is
    // the costly part: the last text of each identifier is kept per thread, found by the exact
    // values it was printed from.
    struct Printed {
        int identifier = -1;
        std::array<double, 4> values{};
        std::string text;
    };
    thread_local std::array<Printed, IdentifierTable::kCount> printed;
    const std::array<double, 4> values{id.entry.base, id.entry.spacing, id.entry.bandwidth, id.entry.txOffset};
    Printed& slot = printed[static_cast<size_t>(id.identifier) % printed.size()];
    if (slot.identifier != id.identifier || std::memcmp(slot.values.data(), values.data(), sizeof values) != 0) {
        slot.text = Format(kIdentifierUpdateText, id.identifier, values[0], values[1], values[2], values[3]);
        slot.identifier = id.identifier;
        slot.values = values;
    }
    return slot.text;
}

bool StoreIdentifier(P25Class& d, const DecodedIdentifier& id)
{
    // StoreIdentifier sets the identifier table's changed flag itself when it answers true.
    const bool changed = d.Identifiers().StoreIdentifier(id.identifier, id.entry);
    if (changed && d.Context().EventsWanted()) {
        SiteEvent e;
        e.kind = SiteEventKind::kIdentifierUpdate;
        e.identifier = id.identifier;
        e.base = id.entry.base;
        e.spacing = id.entry.spacing;
        e.txOffset = id.entry.txOffset;
        e.bandwidth = id.entry.bandwidth;
        d.Context().Emit(e);
    }
    return changed;
}

// RFSS status broadcast: the identity of the site being monitored, its control channel and
// whether it is connected to the network. The first one after a reset identifies the site; a
// different system, RFSS, site or service class replaces everything (SetSiteIdentity resets).
bool RfssStatus(P25Class& d, const Tsbk& b)
{
    const int32_t systemId = SystemIdAt(b, 3);
    const int32_t control = ReadBE16(b, 7);
    const int32_t status = StatusBits(b[3]);
    d.SetSiteIdentity(static_cast<uint32_t>(systemId), b[5], b[9], b[6]);
    RecordControl(d, control);
    d.SetSiteStatus(status);
    d.ReportSiteUpdate(control);
    if (d.PacketDumpOn())
        d.Describe(b,
                   Format("RFSS Status Broadcast - SysID: %03X Status: %s Zone: %d Site: %d Control: %s Cap: %s",
                          systemId, (status & kStatusConnected) ? "Connected" : "Site Trunked", b[5], b[6],
                          ChannelText(d, control).c_str(), ServiceClassText(b[9]).c_str()),
                   false);
    return true;
}

bool NetworkStatus(P25Class& d, const Tsbk& b)
{
    const uint32_t wacn = ReadBE32(b, 3) >> kWacnShift;
    const int32_t control = ReadBE16(b, 7);
    d.SetWacn(wacn);
    RecordControl(d, control);
    d.ReportSiteUpdate(control);
    if (d.PacketDumpOn())
        d.Describe(b,
                   Format("Network Status Broadcast - WACN: %05X Control: %s Cap: %s", wacn,
                          ChannelText(d, control).c_str(), ServiceClassText(b[9]).c_str()),
                   false);
    return true;
}

bool NeighborStatus(P25Class& d, const Tsbk& b)
{
    NeighborSite site;
    site.systemId = SystemIdAt(b, 3);
    site.rfssId = b[5];
    site.siteId = b[6];
    site.controlChannel = ReadBE16(b, 7);
    site.status = StatusBits(b[3]);
    d.Neighbors().AddNeighbor(site);
    if (d.PacketDumpOn())
        d.Describe(b,
                   Format("Neighbor Status Broadcast - SysID: %03x Zone: %d Site: %d Control: %s Status: %s Cap: %s",
                          site.systemId, b[5], b[6], ChannelText(d, site.controlChannel).c_str(),
                          (site.status & kStatusConnected) ? "Connected" : "Failed", ServiceClassText(b[9]).c_str()),
                   false);
    return true;
}

// Secondary control channel broadcast: the site's other control channels; only those of the
// monitored RFSS and site are kept.
bool SecondaryControl(P25Class& d, const Tsbk& b)
{
    const int32_t channel1 = ReadBE16(b, 4);
    const int32_t channel2 = ReadBE16(b, 7);
    if (b[2] == d.SysInfo().RfssId() && b[3] == d.SysInfo().SiteId())
        RecordAlternates(d, channel1, channel2);
    if (d.PacketDumpOn())
        d.Describe(b,
                   Format("Alternate Control Broadcast - Channel 1: %s Cap: %s Channel 2: %s Cap: %s",
                          ChannelText(d, channel1).c_str(), ServiceClassText(b[6]).c_str(),
                          ChannelText(d, channel2).c_str(), ServiceClassText(b[9]).c_str()),
                   false);
    return true;
}

// Explicit secondary control channel broadcast: also names the RFSS and site, so it may identify
// them before any RFSS status broadcast has been heard.
bool ExplicitAlternateControl(P25Class& d, const Tsbk& b)
{
    if (d.SysInfo().RfssId() == 0)
        d.SetRfssSite(b[2], b[3]);
    const int32_t rxChannel = ReadBE16(b, 4);
    const int32_t txChannel = ReadBE16(b, 7);
    RecordAlternates(d, rxChannel, rxChannel);
    if (d.PacketDumpOn())
        d.Describe(b,
                   Format("Explicit Alternate Control - RX Channel: %s TX Channel: %s Cap: %s",
                          ChannelText(d, rxChannel).c_str(), ChannelText(d, txChannel).c_str(),
                          ServiceClassText(b[9]).c_str()),
                   false);
    return true;
}

bool SystemService(P25Class& d, const Tsbk& b)
{
    if (d.PacketDumpOn())
        d.Describe(b, "System Service Broadcast", false);
    return true;
}

// Identifier update, 700/800 MHz form.
bool IdentifierUpdate(P25Class& d, const Tsbk& b)
{
    DecodedIdentifier id = CommonIdentifierFields(b);
    id.entry.bandwidth = ((ReadBE16(b, 2) >> 4) & 0xFF) * kBandwidthStepMHz;
    const double offset = ((ReadBE16(b, 3) >> 2) & 0xFF) * kOffsetStepMHz;
    id.entry.txOffset = (b[3] & kOffsetPositiveBit) ? offset : -offset;
    StoreIdentifier(d, id);
    if (d.PacketDumpOn())
        d.Describe(b, IdentifierDescription(id), false);
    return true;
}

// Identifier update, VHF/UHF form: a finer bandwidth and a wider offset field.
bool IdentifierUpdateVhfUhf(P25Class& d, const Tsbk& b)
{
    DecodedIdentifier id = CommonIdentifierFields(b);
    id.entry.bandwidth = (b[2] & 0x0F) * kVuBandwidthStepMHz;
    const double offset = ((ReadBE16(b, 3) >> 2) & kVuOffsetMask) * kVuOffsetStepMHz;
    id.entry.txOffset = (b[3] & kVuOffsetPositiveBit) ? offset : -offset;
    if (StoreIdentifier(d, id) && d.EventLogOn())
        d.Events().AddEventLogEntry(
            b, Format("Updated Identifier Table %02d... Base: %3.05f Spacing: %3.05f Bandwidth: %3.05f "
                      "TX Offset: %3.05f ",
                      id.identifier, id.entry.base, id.entry.spacing, id.entry.bandwidth, id.entry.txOffset));
    if (d.PacketDumpOn())
        d.Describe(b, IdentifierDescription(id), false);
    return true;
}

// Phase II broadcasts are shown in the packet dump but not decoded, so they also count as unknown.
bool Phase2SyncBroadcast(P25Class& d, const Tsbk& b)
{
    if (d.PacketDumpOn())
        d.Describe(b, "Phase II Sync Broadcast - Unknown Format at this time", false);
    return false;
}

bool Phase2IdentifierUpdate(P25Class& d, const Tsbk& b)
{
    if (d.PacketDumpOn())
        d.Describe(b, "Phase II Identifier Update - Unknown Format at this time", false);
    return false;
}

}  // namespace

void RegisterSiteBroadcastHandlers(TsbkDispatcher& dispatcher)
{
    dispatcher.Register(kOpExplicitAlternateControl, kMfidStandard, ExplicitAlternateControl);
    dispatcher.Register(kOpPhase2SyncBroadcast, kMfidStandard, Phase2SyncBroadcast);
    dispatcher.Register(kOpPhase2IdentifierUpdate, kMfidStandard, Phase2IdentifierUpdate);
    dispatcher.Register(kOpIdentifierUpdateVhfUhf, kMfidStandard, IdentifierUpdateVhfUhf);
    dispatcher.Register(kOpSystemServiceBroadcast, kMfidStandard, SystemService);
    dispatcher.Register(kOpSecondaryControlChannelBroadcast, kMfidStandard, SecondaryControl);
    dispatcher.Register(kOpRfssStatusBroadcast, kMfidStandard, RfssStatus);
    dispatcher.Register(kOpNetworkStatusBroadcast, kMfidStandard, NetworkStatus);
    dispatcher.Register(kOpNeighborStatusBroadcast, kMfidStandard, NeighborStatus);
    dispatcher.Register(kOpIdentifierUpdate, kMfidStandard, IdentifierUpdate);
}
