#include "decoder/P25Class.h"

#include <cstdio>

#include "decoder/StoredKnowledge.h"
#include "decoder/TsbkHandlers.h"
#include "p25/BlockIntegrity.h"
#include "p25/NameTables.h"

namespace {

// Messages that carry the system ID or the RFSS and site; until one of them has been decoded
// nothing else is.
constexpr uint8_t kIdentityOpcodes[] = {0x29, 0x2B, 0x2C, 0x2F, 0x3A};
constexpr uint8_t kIdentityPacketOpcodes[] = {0x3A, 0x3B, 0x3C};

bool Contains(const uint8_t* begin, const uint8_t* end, uint8_t value)
{
    for (const uint8_t* p = begin; p != end; ++p)
        if (*p == value)
            return true;
    return false;
}

}  // namespace

P25Class::P25Class(const Clock& clock, std::string programFolder)
    : programFolder_(std::move(programFolder)), sysInfo_(ctx_), identifiers_(), talkgroups_(ctx_), radios_(ctx_),
      channels_(ctx_, identifiers_, talkgroups_), towers_(sysInfo_.Lock(), sysInfo_.ChangedFlag()),
      neighbors_(ctx_, identifiers_, towers_), grantLog_(ctx_, identifiers_),
      activity_(channels_, talkgroups_, radios_, grantLog_, ctx_), affiliations_(ctx_),
      affiliationLog_(ctx_, affiliations_), filter_(), patchLog_(ctx_), patches_(ctx_, patchLog_), eventLog_(ctx_),
      unknowns_(ctx_), packetDump_(ctx_)
{
    ctx_.time.SetClock(clock);
    RegisterGrantHandlers(dispatcher_);
    RegisterSiteBroadcastHandlers(dispatcher_);
    RegisterUnitControlHandlers(dispatcher_);
    RegisterManufacturerHandlers(dispatcher_);
    ResetAll();
}

P25Class::~P25Class() = default;

void P25Class::SetStoredKnowledge(std::unique_ptr<StoredKnowledge> store)
{
    store_ = std::move(store);
}

void P25Class::ResetAll()
{
    // SYSINFOLOCK stays outermost for the whole reset, so a reset never interleaves with an
    // identity change on another thread.
    LockGuard g(sysInfo_.Lock());
    sysInfo_.Reset();
    identifiers_.Reset();
    channels_.Reset();
    neighbors_.Reset();
    affiliations_.ClearAffiliations();
    patches_.ClearPatches();
    towers_.ClearTowerNames();
    talkgroups_.ClearTalkgroups();
    radios_.ClearRadios();
    grantLog_.ClearGrantLog();
    eventLog_.ClearEventLog();
    patchLog_.ClearPatchLog();
    packetDump_.ClearPacketDump();
    filter_.ClearFilterRanges();
    multiBlockSeen_ = false;
}

bool P25Class::SetSystemId(uint32_t id)
{
    if (id == 0)
        return false;
    LockGuard g(sysInfo_.Lock());
    if (id == sysInfo_.SystemId())
        return false;
    SaveStoredSystem();
    ResetAll();
    sysInfo_.StoreSystemId(id);
    return true;
}

bool P25Class::SetSiteIdentity(uint32_t systemId, uint32_t rfss, uint8_t serviceClass, uint32_t site)
{
    LockGuard g(sysInfo_.Lock());
    if (sysInfo_.SameSiteIdentity(systemId, rfss, serviceClass, site))
        return false;
    SaveStoredSystem();
    ResetAll();
    sysInfo_.StoreSiteIdentity(systemId, rfss, serviceClass, site);
    LoadStoredSystem();
    return true;
}

bool P25Class::SetRfssSite(uint32_t rfss, uint32_t site)
{
    LockGuard g(sysInfo_.Lock());
    if (rfss == sysInfo_.RfssId() && site == sysInfo_.SiteId())
        return false;
    sysInfo_.StoreRfssSite(rfss, site);
    LoadStoredSystem();
    return true;
}

void P25Class::SetSiteName(std::string_view text)
{
    LockGuard g(sysInfo_.Lock());
    sysInfo_.StoreSiteName(text);
    towers_.SetTowerName(sysInfo_.RfssId(), sysInfo_.SiteId(), text.substr(0, SystemInfoArea::kTextCapacity));
}

bool P25Class::ShownAreasChanged()
{
    return sysInfo_.SystemInfoChanged() || channels_.ChannelsChanged() || neighbors_.NeighborsChanged() ||
           identifiers_.IdentifiersChanged() || affiliationLog_.AffiliationLogChanged() || patches_.PatchesChanged() ||
           patchLog_.PatchLogChanged() || unknowns_.UnknownPacketsChanged() || grantLog_.GrantLogChanged() ||
           eventLog_.EventLogChanged() || packetDump_.PacketDumpChanged() || filter_.FilterRangesChanged();
}

void P25Class::LoadStoredSystem()
{
    if (store_ != nullptr)
        store_->LoadInto(*this);
}

void P25Class::SaveStoredSystem()
{
    // Nothing to keep before a system was known (the store also skips a system without a site).
    if (store_ != nullptr && saveBeforeNewIdentity_.load() && sysInfo_.SystemId() != 0)
        store_->SaveFrom(*this);
}

void P25Class::SetSwitches(const PresentationSwitches& s)
{
    recordUnknownsOn_ = s.recordUnknowns;
    grantLogOn_ = s.grantLog;
    eventLogOn_ = s.eventLog;
    packetDumpOn_ = s.packetDump;
    logProtectionOn_ = s.logProtection;
    saveHitsOn_ = s.saveHits;
    grantLog_.SetGrantLogEnabled(s.grantLog);
    eventLog_.SetEventLogEnabled(s.eventLog);
    unknowns_.SetUnknownPacketsEnabled(s.recordUnknowns);
    packetDump_.SetPacketDumpEnabled(s.packetDump);
    channels_.SetSaveHits(s.saveHits);
}

PresentationSwitches P25Class::Switches() const
{
    PresentationSwitches s;
    s.recordUnknowns = recordUnknownsOn_;
    s.grantLog = grantLogOn_;
    s.eventLog = eventLogOn_;
    s.packetDump = packetDumpOn_;
    s.logProtection = logProtectionOn_;
    s.saveHits = saveHitsOn_;
    return s;
}

void P25Class::SetDefaultColors(uint32_t text, uint32_t back)
{
    ctx_.defaultTextColor = text;
    ctx_.defaultBackColor = back;
}

bool P25Class::PassesStartupFilter(const Tsbk& block) const
{
    if (ctx_.systemId.load(std::memory_order_relaxed) != 0 || ctx_.rfss.load(std::memory_order_relaxed) != 0)
        return true;
    const uint8_t opcode = block[0] & kOpcodeMask;
    if (Contains(std::begin(kIdentityOpcodes), std::end(kIdentityOpcodes), opcode))
        return true;
    return opcode == kMultiBlockHeaderOpcode &&
           Contains(std::begin(kIdentityPacketOpcodes), std::end(kIdentityPacketOpcodes), block[7] & kOpcodeMask);
}

std::string P25Class::UnknownDescription(uint8_t opcode, uint8_t mfid)
{
    char text[32];
    std::snprintf(text, sizeof text, "Unknown Op=%02X", opcode);
    return text + ManufacturerSuffix(mfid);
}

void P25Class::Describe(const Tsbk& block, std::string_view text, bool toEventLog)
{
    if (PacketDumpOn())
        packetDump_.AddPacketDumpEntry(block, text);
    if (toEventLog)
        eventLog_.AddEventLogEntry(block, text);
}

void P25Class::Report(const Tsbk& block, SiteEvent& event, std::string text)
{
    event.opcode = block[0] & kOpcodeMask;
    event.mfid = block[1];
    event.text = std::move(text);
    static constexpr char kHex[] = "0123456789ABCDEF";
    event.blockHex.clear();
    for (const uint8_t byte : block) {
        event.blockHex += kHex[byte >> 4];
        event.blockHex += kHex[byte & 0x0F];
    }
    ctx_.Emit(event);
}

void P25Class::ReportSiteUpdate(int32_t controlChannel)
{
    if (!ctx_.EventsWanted())
        return;
    SiteEvent e;
    e.kind = SiteEventKind::kSiteUpdate;
    e.wacn = sysInfo_.Wacn();
    if (controlChannel != IdentifierTable::kNoChannel) {
        e.channel = controlChannel;
        e.frequency = identifiers_.ChannelRxFrequency(controlChannel);
    }
    ctx_.Emit(e);
}

int P25Class::DecodeTsbk(const Tsbk& block)
{
    if (!TsbkCrcOk(block) || (block[0] & kProtectedBit) != 0)
        return 0;
    if (!PassesStartupFilter(block))
        return 0;

    const uint8_t opcode = block[0] & kOpcodeMask;
    const uint8_t mfid = block[1];
    const TsbkHandler handler = dispatcher_.Find(opcode, mfid);
    const bool recognised = handler != nullptr && handler(*this, block);
    if (recognised)
        return 1;

    const bool toUnknowns =
        RecordUnknownsOn() && ctx_.systemId.load() != 0 && ctx_.rfss.load() != 0 && ctx_.site.load() != 0;
    if (ctx_.EventsWanted()) {
        SiteEvent e;
        e.kind = SiteEventKind::kUnknownPacket;
        Report(block, e, UnknownDescription(opcode, mfid));
    }
    if (toUnknowns || PacketDumpOn()) {
        const std::string text = UnknownDescription(opcode, mfid);
        if (toUnknowns)
            unknowns_.AddUnknownPacket(block, text);
        if (PacketDumpOn())
            packetDump_.AddPacketDumpEntry(block, text);
    }
    return 0;
}

int P25Class::DecodeMultiBlock(const MultiBlockPacket& packet)
{
    multiBlockSeen_ = true;
    return DecodeMultiBlockPacket(*this, packet);
}
