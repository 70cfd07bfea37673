#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"
#include "site/DecoderContext.h"
#include "site/SortedRecordPool.h"

// One talkgroup. Priority 0 = ignore, 1 = highest, 99 = lowest, 50 for a new entry. A text colour
// equal to the background colour means the record has no colours of its own.
struct TGTAG {
    int32_t id = 0;
    std::string description;
    int64_t lastSeen = 0;
    uint8_t priority = 50;
    int64_t firstSeen = 0;
    uint32_t textColor = 0;
    uint32_t backColor = 0;
    // Use seen since the system was first stored: calls started and their total length in seconds.
    // Kept in a file of their own beside TalkGroups.txt, whose format stays as it is.
    uint32_t calls = 0;
    int64_t airtimeSeconds = 0;
};

// The talkgroups of the system being decoded, kept in ascending id order under "TGLOCK".
// Records live in a pool allocated once at full capacity; a sorted array of pool indices gives
// the id order, so an insertion moves 4-byte indices, never records with their strings.
class TalkgroupTable {
public:
    static constexpr int kCapacity = 65535;

    explicit TalkgroupTable(DecoderContext& ctx);

    bool NoteTalkgroup(int32_t id);
    bool SetTalkgroup(int32_t id, std::string_view description, int priority /*255 keep*/, int64_t lastSeen /*0 now*/);
    std::string GetTalkgroupText(int32_t id);
    int GetTalkgroupPriority(int32_t id);
    bool TouchTalkgroup(int32_t id);
    bool IsTalkgroupKnown(int32_t id);
    bool GetTalkgroupColors(int32_t id, uint32_t& text, uint32_t& back);
    bool SetTalkgroupColors(int32_t id, uint32_t text, uint32_t back);
    bool SetTalkgroupFirstSeen(int32_t id, int64_t t);
    // Takes the talkgroup out of the table (the list editor's delete); false when it is absent.
    bool RemoveTalkgroup(int32_t id);
    // A call started on the talkgroup / seconds of its calls heard; false when the id is unknown.
    // Counts stop at their largest value instead of wrapping.
    bool CountTalkgroupCall(int32_t id);
    bool AddTalkgroupAirtime(int32_t id, int64_t seconds);
    // Adds the use stored on disk to a known talkgroup (the use file's reader); false when unknown.
    bool AddTalkgroupUse(int32_t id, uint32_t calls, int64_t airtimeSeconds);
    // Whether the stored use was added since the table was last cleared: the same system's files
    // are read again at every site change, and their use must be added only once.
    bool StoredUseAdded() const { return storedUseAdded_; }
    void SetStoredUseAdded() { storedUseAdded_ = true; }
    // Empties the table, use counts and the stored-use mark with it.
    void ClearTalkgroups();
    int TalkgroupCount() const;
    NamedLock& Lock();

    // Walking the table in id order, with Lock() held by the caller: index 0..count-1.
    const TGTAG& At(int index) const;

    // Whether an operation changed the table since the flag was last cleared.
    bool TalkgroupsChanged() const { return changed_.load(); }
    void ClearChanged() { changed_.store(false); }

private:
    int Find(int32_t id) const { return records_.Find(id); }  // sorted position, or -1
    TGTAG& Record(int index) { return records_.At(index); }
    int Insert(int32_t id, std::string_view description);  // sorted position, or -1 when refused
    std::string GeneratedDescription();

    DecoderContext& ctx_;
    NamedLock lock_{area_locks::kTalkgroups};
    std::atomic<bool> changed_{false};
    SortedRecordPool<TGTAG> records_{kCapacity};
    // The date part of generated descriptions, kept for the second it was made: a burst of new
    // entries does not convert the same time again and again.
    int64_t stampTime_ = 0;
    std::string stamp_;
    bool storedUseAdded_ = false;  // under lock_
};
