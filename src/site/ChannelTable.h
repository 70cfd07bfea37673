#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"
#include "site/IdentifierTable.h"

class TalkgroupTable;

// One channel the site has been seen to use, with its current activity.
struct FreqInfo {
    int32_t channel = 0;
    double rxFrequency = 0.0;  // MHz, the site transmits here
    double txFrequency = 0.0;  // MHz, the radios transmit here
    std::string usage;         // "Control", "Group", ...; empty when idle
    int32_t target = 0;        // talkgroup or unit on the channel; 0 when idle
    std::string targetDescription;
    int32_t source = 0;        // unit granted the channel; 0 when unknown
    uint32_t usageFlags = 0;   // every kind of use ever seen (ChannelActivity's kFlag... bits)
    std::string status;        // "Enc", "Emrg", or a CW identification
    int32_t hits = 0;          // calls started on the channel
    int32_t lastActivity = 0;  // tick of the last message about the channel; 0 when none
    // The talkgroup voice call on the line (ChannelActivity): its starting tick and the seconds of
    // it already added to the talkgroup's airtime. Meaningful only while the call lasts.
    int32_t callStart = 0;
    int32_t callSeconds = 0;
};

// Returns a line to idle: usage, target, description, source, status and last activity cleared.
// Usage flags and hits are history and stay.
inline void ClearActivity(FreqInfo& rec)
{
    rec.usage.clear();
    rec.target = 0;
    rec.targetDescription.clear();
    rec.source = 0;
    rec.status.clear();
    rec.lastActivity = 0;
}

// Whether a line's usage is a call (voice, private, phone or data), not a control channel, a CW
// identification or idle.
bool IsCallUsage(const std::string& usage);

// Why a call ended, for the event feed.
inline constexpr const char* kEndReleased = "released";  // the channel went to another use
inline constexpr const char* kEndExpired = "expired";    // nothing heard of it for the time-out

// Reports the end of the call `usage`/`target` on the line `rec` to the event feed.
void ReportCallEnd(const DecoderContext& ctx, const std::string& usage, int32_t target, const FreqInfo& rec,
                   const char* reason);

// The channel table (area "FREQUENCY"): at most 50 records, kept in ascending channel order by
// insertion, no duplicates. ChannelActivity records grants on it; the refresh thread copies it.
//
// Construct after the IdentifierTable and the TalkgroupTable; it listens to the identifier table
// for the whole of its life, so identifier updates recompute its frequencies.
class ChannelTable final : private IdentifierListener {
public:
    static constexpr int kCapacity = 50;

    ChannelTable(DecoderContext& ctx, IdentifierTable& ids, TalkgroupTable& talkgroups);
    ~ChannelTable();
    ChannelTable(const ChannelTable&) = delete;
    ChannelTable& operator=(const ChannelTable&) = delete;

    void Reset();  // count 0, changed set

    // Index of the channel's record, inserted in channel order if new; -1 when the table is full.
    // Refreshes the record's frequencies (Tx from txChannel when non-zero). Caller holds Lock().
    int FindOrAddChannel(int32_t channel, int32_t txChannel);

    // Puts a unit on the channel as its target (individual calls, before their grant is recorded)
    // and releases it from any other channel. Returns whether anything changed.
    bool SetChannelId(int32_t channel, int32_t unit);

    // Tower file reading: OR in usage flags (true only if a bit was new) / set the hit count.
    // Both refresh last activity; false when the table is full and the channel new.
    bool AddUsageFlags(int32_t channel, uint32_t bits);
    bool SetHits(int32_t channel, int32_t hits);

    // Copies min(n, count) records and clears changed; n of 0 or less copies nothing.
    int CopyChannels(FreqInfo* out, int n);
    bool ChannelsChanged() const { return changed_.load(); }
    void MarkChanged() { changed_ = true; }

    // Identifier update: receive frequencies of every record anew. Takes "FREQUENCY" (the
    // identifier table calls it while holding "BSOLOCK").
    void RecomputeFrequencies();

    // Releases every record other than keepIndex whose target is `target`: target, description,
    // source and last activity cleared; usage and status too unless the usage is "Control".
    // Flags and hits stay. Target 0 (idle) releases nothing. Returns the number released; sets
    // changed when any. Caller holds Lock().
    int ReleaseTarget(int keepIndex, int32_t target);

    // A talkgroup renamed by the user: lines carrying a group call to it take its new name from
    // the talkgroup table, so the activity shows it before the next grant. Takes "FREQUENCY", then
    // "TGLOCK" inside it; sets changed when a name changed. Returns the lines renamed.
    int RefreshTalkgroupName(int32_t talkgroup);

    // Whether the per-system file saves hit counts (setting SaveHits of section Activity).
    void SetSaveHits(bool on) { saveHits_ = on; }
    bool SaveHits() const { return saveHits_.load(); }

    NamedLock& Lock() { return lock_; }
    int Count() const { return count_.load(); }
    // Record i (0..Count()-1); the caller holds Lock().
    FreqInfo& Record(int i);
    const FreqInfo& Record(int i) const;

private:
    void IdentifiersChanged() override;

    // The line of a channel (added when new) with its last activity set to now; nullptr when the
    // table is full. The caller holds the lock.
    FreqInfo* TouchLine(int32_t channel);
    void RefreshFrequencies(FreqInfo& rec, int32_t txChannel) const;

    DecoderContext& ctx_;
    IdentifierTable& ids_;
    TalkgroupTable& talkgroups_;
    NamedLock lock_{area_locks::kChannels};
    std::atomic<bool> changed_{false};
    std::atomic<bool> saveHits_{false};
    std::atomic<int> count_{0};
    std::array<FreqInfo, kCapacity> records_{};
};
