#include <algorithm>
#include <cstdint>
#include <string>

#include "decoder/P25Class.h"
#include "decoder/TsbkHandlers.h"
#include "p25/BlockIntegrity.h"
#include "p25/DescriptionText.h"
#include "p25/NameTables.h"
#include "p25/Opcodes.h"

// Multi-block packets: a header block (index 0) and up to four data blocks. The header carries
// the MFID in byte 2, a 24-bit unit address in bytes 3..5 (status broadcasts: status bits in the
// top of byte 4 and the 12-bit system ID in bytes 4..5), the number of data blocks in byte 6 and
// the carried opcode in byte 7.

namespace {

constexpr int kHeader = 0;
constexpr int kData1 = 1;
constexpr int kData2 = 2;

constexpr int kHeaderMfidByte = 2;
constexpr int kHeaderAddressByte = 3;
constexpr int kHeaderStatusByte = 4;
constexpr int kHeaderFollowByte = 6;
constexpr int kHeaderOpcodeByte = 7;
constexpr int kHeaderOptionsByte = 8;  // service options of grants; RFSS ID of a neighbour
constexpr int kHeaderNeighborSiteByte = 9;

constexpr uint8_t kFollowMask = 0x7F;
constexpr uint8_t kSystemIdHighMask = 0x0F;
constexpr uint8_t kConnectedBit = 0x10;  // header byte 4, bit 4: the site has its network link
constexpr int kStatusShift = 4;
constexpr int kWacnShift = 12;  // the WACN is the top 20 bits of a 32-bit word

using PacketHandler = void (*)(P25Class& d, const MultiBlockPacket& p);

const Tsbk& Header(const MultiBlockPacket& p)
{
    return p.blocks[kHeader];
}

int Follow(const MultiBlockPacket& p)
{
    return Header(p)[kHeaderFollowByte] & kFollowMask;
}

uint32_t HeaderAddress(const MultiBlockPacket& p)
{
    return ReadBE24(Header(p), kHeaderAddressByte);
}

// (byte 4 AND 0x0F) * 256 + byte 5.
uint32_t HeaderSystemId(const MultiBlockPacket& p)
{
    const Tsbk& h = Header(p);
    return static_cast<uint32_t>(h[kHeaderStatusByte] & kSystemIdHighMask) * 256 + h[kHeaderStatusByte + 1];
}

// Bytes i..i+3 big-endian, shifted right by 12.
uint32_t WacnAt(const Tsbk& block, int i)
{
    const uint32_t word = (static_cast<uint32_t>(ReadBE16(block, i)) << 16) | ReadBE16(block, i + 2);
    return word >> kWacnShift;
}

const char* Note(const MultiBlockPacket& p)
{
    return GrantStatusText(Header(p)[kHeaderOptionsByte]);
}

std::string Chan(P25Class& d, int32_t channel)
{
    return d.Identifiers().ChannelText(channel, true, false);
}

void Dump(P25Class& d, const MultiBlockPacket& p, int block, const std::string& text)
{
    d.Dump().AddPacketDumpEntry(p.blocks[block], text);
}

void MarkIfChanged(P25Class& d, bool changed)
{
    if (changed)
        d.Channels().MarkChanged();
}

// Where a group voice grant keeps its fields in data block 1; the standard and the patched form
// differ only in these offsets and the words their descriptions begin with.
struct GroupGrantLayout {
    int channelByte;
    int inputChannelByte;
    int talkgroupByte;
    const char* name;
};

void GroupGrant(P25Class& d, const MultiBlockPacket& p, const GroupGrantLayout& layout)
{
    const Tsbk& b1 = p.blocks[kData1];
    const int32_t channel = ReadBE16(b1, layout.channelByte);
    const int32_t input = ReadBE16(b1, layout.inputChannelByte);
    const int32_t talkgroup = ReadBE16(b1, layout.talkgroupByte);
    const int32_t source = static_cast<int32_t>(HeaderAddress(p));
    if (talkgroup == 0)
        return;  // no call to show; the packet still counts as understood
    const char* note = Note(p);
    d.Talkgroups().NoteTalkgroup(talkgroup);
    MarkIfChanged(d, d.Activity().RecordGroupGrant(channel, talkgroup, note, source));
    if (!d.PacketDumpOn())
        return;
    Dump(d, p, kHeader,
         Format("%s 1 - Radio ID: %d%s Follow: %d", layout.name, source, NotesPart(note).c_str(), Follow(p)));
    Dump(d, p, kData1,
         Format("%s 2 - Channel: %s Input Channel: %s Group: %d", layout.name, Chan(d, channel).c_str(),
                Chan(d, input).c_str(), talkgroup));
}

void GroupVoiceGrant(P25Class& d, const MultiBlockPacket& p)
{
    GroupGrant(d, p, {2, 4, 6, "Multi-Block Group Voice Grant"});
}

void PatchedGroupVoiceGrant(P25Class& d, const MultiBlockPacket& p)
{
    GroupGrant(d, p, {0, 2, 4, "Patched Multi-Block Group Voice Grant"});
}

void UnitToUnitVoiceGrant(P25Class& d, const MultiBlockPacket& p)
{
    const Tsbk& b1 = p.blocks[kData1];
    const int32_t channel = ReadBE16(b1, 10);
    const int32_t input = ReadBE16(p.blocks[kData2], 0);
    const int32_t radio = static_cast<int32_t>(HeaderAddress(p));
    const int32_t target = static_cast<int32_t>(ReadBE24(b1, 7));
    const int32_t source = static_cast<int32_t>(ReadBE24(b1, 4));
    // The radios of the call are not taken from here: the channel shows a private call only.
    MarkIfChanged(d, d.Activity().RecordPrivateGrantUpdate(channel, -1, -1));
    const uint32_t wacn = WacnAt(b1, 0);
    d.SetWacn(wacn);
    if (!d.PacketDumpOn())
        return;
    Dump(d, p, kHeader,
         Format("Multi-Block Unit-Unit Voice Grant 1 - Radio ID: %d%s Follow: %d", radio, NotesPart(Note(p)).c_str(),
                Follow(p)));
    Dump(d, p, kHeader,
         Format("Multi-Block Unit-Unit Voice Grant 2 - WACN: %05X SysID: %03X Source ID: %d Target ID: %d "
                "Channel: %s",
                wacn, ReadBE16(Header(p), kHeaderStatusByte), source, target, Chan(d, channel).c_str()));
    Dump(d, p, kData1, Format("Multi-Block Unit-Unit Voice Grant 3 - Input Channel: %s", Chan(d, input).c_str()));
}

void TelephoneVoiceGrant(P25Class& d, const MultiBlockPacket& p)
{
    const Tsbk& b1 = p.blocks[kData1];
    const int32_t channel = ReadBE16(b1, 0);
    const int32_t input = ReadBE16(b1, 2);
    const int timer = ReadBE16(b1, 4);
    const int32_t radio = static_cast<int32_t>(HeaderAddress(p));
    const char* note = Note(p);
    MarkIfChanged(d, d.Activity().RecordPhoneGrant(channel, radio, note));
    if (!d.PacketDumpOn())
        return;
    Dump(d, p, kHeader,
         Format("Multi-Block Telephone Voice Grant 1 - Radio ID: %d%s Follow: %d", radio, NotesPart(note).c_str(),
                Follow(p)));
    Dump(d, p, kHeader,
         Format("Multi-Block Telephone Voice Grant 2 - Channel: %s Input Channel: %s Timer: %d",
                Chan(d, channel).c_str(), Chan(d, input).c_str(), timer));
}

void RfssStatusBroadcast(P25Class& d, const MultiBlockPacket& p)
{
    const Tsbk& b1 = p.blocks[kData1];
    const uint32_t systemId = HeaderSystemId(p);
    const uint32_t rfss = b1[0];
    const uint32_t site = b1[1];
    const int32_t control = ReadBE16(b1, 2);
    const int32_t input = ReadBE16(b1, 4);
    const uint8_t serviceClass = b1[6];
    const bool connected = (Header(p)[kHeaderStatusByte] & kConnectedBit) != 0;
    // A new identity resets the decoder (and empties the packet dump) before anything else is
    // stored, so the control channel and the descriptions below belong to the new site.
    d.SetSiteIdentity(systemId, rfss, serviceClass, site);
    MarkIfChanged(d, d.Activity().RecordControlChannel(control, input));
    d.SetSiteStatus(connected ? 1 : 0);
    d.ReportSiteUpdate(control);
    if (!d.PacketDumpOn())
        return;
    Dump(d, p, kHeader,
         Format("Multi-Block RFSS Status Broadcast 1 - SysID: %03X Status: %s Follow: %d", systemId,
                connected ? "Connected" : "Site Trunked", Follow(p)));
    Dump(d, p, kData1,
         Format("Multi-Block RFSS Status Broadcast 2 - RFSS: %u Site: %u Control tx: %s Control rx: %s Cap: %s", rfss,
                site, Chan(d, control).c_str(), Chan(d, input).c_str(), ServiceClassText(serviceClass).c_str()));
}

void NetworkStatusBroadcast(P25Class& d, const MultiBlockPacket& p)
{
    const Tsbk& b1 = p.blocks[kData1];
    const uint32_t wacn = WacnAt(b1, 0);
    const int32_t control = ReadBE16(b1, 3);
    const int32_t input = ReadBE16(b1, 5);
    const uint8_t serviceClass = b1[7];
    d.SetWacn(wacn);
    MarkIfChanged(d, d.Activity().RecordControlChannel(control, input));
    d.ReportSiteUpdate(control);
    if (!d.PacketDumpOn())
        return;
    Dump(d, p, kHeader,
         Format("Multi-Block Network Status Broadcast 1 - SysID: %03X Follow: %d",
                ReadBE16(Header(p), kHeaderStatusByte), Follow(p)));
    Dump(d, p, kData1,
         Format("Multi-Block Network Status Broadcast 2 - WACN: %05X Control tx: %s Control rx: %s Cap: %s", wacn,
                Chan(d, control).c_str(), Chan(d, input).c_str(), ServiceClassText(serviceClass).c_str()));
}

void NeighborStatusBroadcast(P25Class& d, const MultiBlockPacket& p)
{
    const Tsbk& h = Header(p);
    const Tsbk& b1 = p.blocks[kData1];
    NeighborSite site;
    site.systemId = static_cast<int32_t>(HeaderSystemId(p));
    site.rfssId = h[kHeaderOptionsByte];
    site.siteId = h[kHeaderNeighborSiteByte];
    site.controlChannel = ReadBE16(b1, 0);
    site.status = h[kHeaderStatusByte] >> kStatusShift;
    d.Neighbors().AddNeighbor(site);
    if (!d.PacketDumpOn())
        return;
    Dump(d, p, kHeader,
         Format("Multi-Block Neighbor Status Broadcast 1 - SysID: %03x RFSS: %d SiteID: %d Status: %s Follow: %d",
                site.systemId, site.rfssId, site.siteId, (site.status & 1) ? "Connected" : "Failed", Follow(p)));
    Dump(d, p, kData1,
         Format("Multi-Block Neighbor Status Broadcast 2 - Control tx: %s Control rx: %s Cap: %s",
                Chan(d, site.controlChannel).c_str(), Chan(d, ReadBE16(b1, 2)).c_str(),
                ServiceClassText(b1[5]).c_str()));
}

// The packet types understood, with the data blocks each reads. A packet holding fewer data
// blocks than its type reads is handled as not understood, so no handler reads a block the
// packet does not have.
struct PacketType {
    uint8_t opcode;
    uint8_t mfid;
    int dataBlocks;
    PacketHandler handler;
};

constexpr PacketType kPacketTypes[] = {
    {kOpGroupVoiceGrant, kMfidStandard, 1, GroupVoiceGrant},
    {kOpMotPatchedGroupVoiceGrant, kMfidMotorola, 1, PatchedGroupVoiceGrant},
    {kOpUnitToUnitVoiceGrantExplicit, kMfidStandard, 2, UnitToUnitVoiceGrant},
    {kOpTelephoneVoiceGrant, kMfidStandard, 1, TelephoneVoiceGrant},
    {kOpRfssStatusBroadcast, kMfidStandard, 1, RfssStatusBroadcast},
    {kOpNetworkStatusBroadcast, kMfidStandard, 1, NetworkStatusBroadcast},
    {kOpNeighborStatusBroadcast, kMfidStandard, 1, NeighborStatusBroadcast},
};

PacketHandler FindHandler(uint8_t opcode, uint8_t mfid, int dataBlocks)
{
    for (const PacketType& t : kPacketTypes)
        if (t.opcode == opcode && t.mfid == mfid)
            return dataBlocks >= t.dataBlocks ? t.handler : nullptr;
    return nullptr;
}

// Every block the packet holds, header first and numbered from 0, goes to the unknown packets,
// but only once the site is identified.
void RecordUnknown(P25Class& d, const MultiBlockPacket& p, uint8_t opcode, uint8_t mfid)
{
    DecoderContext& ctx = d.Context();
    if (!d.RecordUnknownsOn() || ctx.systemId.load() == 0 || ctx.rfss.load() == 0 || ctx.site.load() == 0)
        return;
    const int blocks = std::min<int>(p.blockCount, static_cast<int>(p.blocks.size()));
    for (int i = 0; i < blocks; ++i)
        d.Unknowns().AddUnknownPacket(p.blocks[i],
                                      Format("Multi-Block Unknown %d - OpCode: %02X (%s) Mfg: %02X (%s)", i, opcode,
                                             OpcodeSummaryName(opcode), mfid, ManufacturerName(mfid)));
}

}  // namespace

int DecodeMultiBlockPacket(P25Class& d, const MultiBlockPacket& packet)
{
    if (packet.blockCount < 1)
        return 0;  // not even a header
    const uint8_t opcode = Header(packet)[kHeaderOpcodeByte] & kOpcodeMask;
    const uint8_t mfid = Header(packet)[kHeaderMfidByte];
    const PacketHandler handler = FindHandler(opcode, mfid, packet.blockCount - 1);
    if (handler == nullptr) {
        RecordUnknown(d, packet, opcode, mfid);
        if (d.Context().EventsWanted()) {
            SiteEvent e;
            e.kind = SiteEventKind::kUnknownPacket;
            d.Report(Header(packet), e,
                     Format("Multi-Block Unknown - OpCode: %02X (%s) Mfg: %02X (%s)", opcode, OpcodeSummaryName(opcode),
                            mfid, ManufacturerName(mfid)));
        }
        return 0;
    }
    handler(d, packet);
    // A status packet naming a new site resets the decoder, which forgets that packets are sent
    // here; this packet is one, so the single-block decoder must still leave their headers alone.
    d.SetMultiBlockSeen(true);
    return 1;
}
