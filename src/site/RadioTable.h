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

// One radio unit (id 1..16777215). A text colour equal to the background colour means the record
// has no colours of its own.
struct RADTAG {
    int32_t id = 0;
    std::string description;
    int64_t lastSeen = 0;
    uint32_t textColor = 0;
    uint32_t backColor = 0;
};

// The radios of the system being decoded, kept in ascending id order under "RADIDLOCK".
// Same layout as the talkgroup table: a record pool allocated once plus a sorted index array.
class RadioTable {
public:
    static constexpr int kCapacity = 100000;

    explicit RadioTable(DecoderContext& ctx);

    bool NoteRadio(int32_t id, int32_t talkgroup);
    bool SetRadio(int32_t id, std::string_view description, int64_t lastSeen /*0 now*/);
    std::string GetRadioText(int32_t id);   // also last seen := now
    std::string PeekRadioText(int32_t id);  // the same without touching last seen (the event feed)
    bool TouchRadio(int32_t id);
    bool SetRadioColors(int32_t id, uint32_t text, uint32_t back);
    bool GetRadioColors(int32_t id, uint32_t& text, uint32_t& back);
    // Takes the radio out of the table (the list editor's delete); false when it is absent.
    bool RemoveRadio(int32_t id);
    void ClearRadios();
    int RadioCount() const;
    NamedLock& Lock();

    // Walking the table in id order, with Lock() held by the caller: index 0..count-1.
    const RADTAG& At(int index) const;

    bool RadiosChanged() const { return changed_.load(); }
    void ClearChanged() { changed_.store(false); }

private:
    int Find(int32_t id) const { return records_.Find(id); }  // sorted position, or -1
    int Insert(int32_t id, std::string_view description);     // sorted position, or -1 when refused
    RADTAG& Record(int index) { return records_.At(index); }
    std::string GeneratedDescription(int32_t talkgroup);

    DecoderContext& ctx_;
    NamedLock lock_{area_locks::kRadios};
    std::atomic<bool> changed_{false};
    SortedRecordPool<RADTAG> records_{kCapacity};
    // Date part of generated descriptions, kept for the second it was made.
    int64_t stampTime_ = 0;
    std::string stamp_;
};
