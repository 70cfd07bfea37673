#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "p25/BlockSink.h"

#include "decoder/TsbkDispatcher.h"
#include "site/AffiliationFilter.h"
#include "site/AffiliationList.h"
#include "site/AffiliationLog.h"
#include "site/ChannelActivity.h"
#include "site/ChannelTable.h"
#include "site/DecoderContext.h"
#include "site/EventLog.h"
#include "site/GrantLog.h"
#include "site/IdentifierTable.h"
#include "site/NeighborTable.h"
#include "site/PacketDump.h"
#include "site/PatchList.h"
#include "site/PatchLog.h"
#include "site/RadioTable.h"
#include "site/SystemInfoArea.h"
#include "site/TalkgroupTable.h"
#include "site/TowerNames.h"
#include "site/UnknownPackets.h"

// Which screens the decoder builds texts and entries for; copied from the settings at start-up
// and after every settings change.
struct PresentationSwitches {
    bool recordUnknowns = false;  // Unknowns/Visible
    bool grantLog = false;        // Grants/Visible
    bool eventLog = false;        // OtherInfo/Visible
    bool packetDump = false;      // PktDump/Visible
    bool logProtection = false;   // Protection/LogProtectionData
    bool saveHits = false;        // Activity/SaveHits
};

// The control-channel decoder and everything it has learnt about the monitored system. One per
// program run. The processing thread feeds it blocks and packets; the refresh thread and the main
// thread read it through the areas' copy-out operations. It is large (the talkgroup and radio
// tables are allocated at full capacity): create it on the heap.
class StoredKnowledge;

class P25Class : public BlockSink {
public:
    explicit P25Class(const Clock& clock = Clock::System(), std::string programFolder = {});
    ~P25Class();
    P25Class(const P25Class&) = delete;
    P25Class& operator=(const P25Class&) = delete;

    // Decoder entry.
    int DecodeTsbk(const Tsbk& block) override;
    int DecodeMultiBlock(const MultiBlockPacket& packet) override;

    void ResetAll();

    // System information.
    bool SetSystemId(uint32_t id);
    bool SetWacn(uint32_t wacn) { return sysInfo_.SetWacn(wacn); }
    bool SetSiteIdentity(uint32_t systemId, uint32_t rfss, uint8_t serviceClass, uint32_t site);
    bool SetRfssSite(uint32_t rfss, uint32_t site);
    bool SetSiteStatus(int32_t bits) { return sysInfo_.SetSiteStatus(bits); }
    void SetSystemName(std::string_view text) { sysInfo_.SetSystemName(text); }
    void SetSiteName(std::string_view text);
    bool AddCallSign(std::string_view text) { return sysInfo_.AddCallSign(text); }
    uint32_t GetSystemId() const { return sysInfo_.SystemId(); }
    bool SystemInfoChanged() const { return sysInfo_.SystemInfoChanged(); }
    void CopySystemInfo(SystemInfo& out) { sysInfo_.CopySystemInfo(out); }

    // Time bases: "now" from the clock, and the tick counter advanced every 100 ms by the owner.
    DecoderContext& Context() { return ctx_; }
    int32_t Tick() const { return ctx_.time.Tick(); }
    void AdvanceTick() { ctx_.time.AdvanceTick(); }

    // Settings the decoder follows.
    void SetSwitches(const PresentationSwitches& s);
    PresentationSwitches Switches() const;
    bool PacketDumpOn() const { return packetDumpOn_.load(std::memory_order_relaxed); }
    bool EventLogOn() const { return eventLogOn_.load(std::memory_order_relaxed); }
    bool RecordUnknownsOn() const { return recordUnknownsOn_.load(std::memory_order_relaxed); }
    bool LogProtectionOn() const { return logProtectionOn_.load(std::memory_order_relaxed); }
    void SetDefaultColors(uint32_t text, uint32_t back);
    void SetTgTimeOut(int32_t ticks) { ctx_.tgTimeOut = ticks; }

    bool MultiBlockSeen() const { return multiBlockSeen_.load(); }
    void SetMultiBlockSeen(bool seen) { multiBlockSeen_ = seen; }

    // The folder the per-system folders live in; ends with a path separator.
    const std::string& ProgramFolder() const { return programFolder_; }
    // Where an identified system's earlier knowledge is read from (none: nothing is read); owned
    // by the decoder from then on.
    void SetStoredKnowledge(std::unique_ptr<StoredKnowledge> store);
    StoredKnowledge* Knowledge() const { return store_.get(); }
    // Whether a new identity (another system, RFSS, site or service class) first stores what was
    // learnt of the old one: set by owners that keep their per-system files (not a replay without
    // saving), so moving the scanner to another site loses nothing learnt since the last save.
    void SetSaveBeforeNewIdentity(bool on) { saveBeforeNewIdentity_ = on; }

    // State areas.
    SystemInfoArea& SysInfo() { return sysInfo_; }
    IdentifierTable& Identifiers() { return identifiers_; }
    ChannelTable& Channels() { return channels_; }
    ChannelActivity& Activity() { return activity_; }
    NeighborTable& Neighbors() { return neighbors_; }
    TalkgroupTable& Talkgroups() { return talkgroups_; }
    RadioTable& Radios() { return radios_; }
    TowerNames& Towers() { return towers_; }
    GrantLog& Grants() { return grantLog_; }
    AffiliationList& Affiliations() { return affiliations_; }
    AffiliationLog& AffLog() { return affiliationLog_; }
    AffiliationFilter& Filter() { return filter_; }
    PatchList& Patches() { return patches_; }
    PatchLog& PatchEvents() { return patchLog_; }
    EventLog& Events() { return eventLog_; }
    UnknownPackets& Unknowns() { return unknowns_; }
    PacketDump& Dump() { return packetDump_; }
    // Whether an area that a screen shows has changed and not been copied out since: a batch of
    // blocks that changed none of them need wake nobody. The affiliation list's flag is left out:
    // it stays up until the list's "Refresh".
    bool ShownAreasChanged();

    // For the handlers.
    TsbkDispatcher& Dispatcher() { return dispatcher_; }
    // The description goes to the packet dump while it is on, and to the event log when asked
    // (the event log keeps it only while its own switch is on).
    void Describe(const Tsbk& block, std::string_view text, bool toEventLog);
    // An event for the feed about this block: opcode, manufacturer, the block and `text` added.
    void Report(const Tsbk& block, SiteEvent& event, std::string text);
    // Where the decoder's events go (null: none are made).
    void SetEventSink(SiteEventSink* sink) { ctx_.events.Attach(sink); }
    // The site as the feed reports it after an RFSS or network status broadcast.
    void ReportSiteUpdate(int32_t controlChannel);

    // "Unknown Op=13 Mfg 00(Standard)"
    static std::string UnknownDescription(uint8_t opcode, uint8_t mfid);

private:
    bool PassesStartupFilter(const Tsbk& block) const;
    void LoadStoredSystem();
    void SaveStoredSystem();

    DecoderContext ctx_;
    std::string programFolder_;
    std::unique_ptr<StoredKnowledge> store_;
    std::atomic<bool> saveBeforeNewIdentity_{false};

    // Declared before the areas that refer to them.
    SystemInfoArea sysInfo_;
    IdentifierTable identifiers_;
    TalkgroupTable talkgroups_;
    RadioTable radios_;
    ChannelTable channels_;
    TowerNames towers_;
    NeighborTable neighbors_;  // reads the tower names and identifiers
    GrantLog grantLog_;
    ChannelActivity activity_;
    AffiliationList affiliations_;
    AffiliationLog affiliationLog_;
    AffiliationFilter filter_;
    PatchLog patchLog_;
    PatchList patches_;
    EventLog eventLog_;
    UnknownPackets unknowns_;
    PacketDump packetDump_;

    TsbkDispatcher dispatcher_;

    std::atomic<bool> multiBlockSeen_{false};
    std::atomic<bool> recordUnknownsOn_{false};
    std::atomic<bool> packetDumpOn_{false};
    std::atomic<bool> eventLogOn_{false};
    std::atomic<bool> logProtectionOn_{false};
    std::atomic<bool> grantLogOn_{false};
    std::atomic<bool> saveHitsOn_{false};
};
