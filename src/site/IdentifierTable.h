#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/NamedLock.h"
#include "site/AreaLocks.h"

// One frequency identifier (frequencies in MHz). `assumed` is true while the entry holds a built-in
// band plan or a cleared value, false once the site (or a tower file) has supplied it.
struct IdentifierEntry {
    double base = 0.0;
    double txOffset = 0.0;  // signed; the tower file calls it the input offset
    double spacing = 0.0;
    double bandwidth = 0.0;
    bool assumed = true;
};

// The 16 frequency identifiers of the site (area "BSOLOCK") and the conversions of 16-bit channel
// numbers (identifier in bits 15..12, channel in bits 11..0) into frequencies and texts.
//
// An identifier update must recompute the frequencies of whatever was converted with the old
// table (the channel table). Such a user attaches itself as the listener; the table knows it only
// through this interface.
class IdentifierListener {
public:
    // Called inside "BSOLOCK" after the table changed.
    virtual void IdentifiersChanged() = 0;

protected:
    ~IdentifierListener() = default;
};

class IdentifierTable {
public:
    static constexpr int kCount = 16;
    static constexpr int32_t kNoChannel = 0xFFFF;

    IdentifierTable();  // starts reset (built-in band plans for identifiers 0 and 1)
    IdentifierTable(const IdentifierTable&) = delete;
    IdentifierTable& operator=(const IdentifierTable&) = delete;

    void AttachListener(IdentifierListener* listener) { listener_ = listener; }

    // Built-in band plans: identifier 0 the 800 MHz band, 1 the 700 MHz band, others zero;
    // all assumed. Sets changed.
    void Reset();

    // Stores a received (or tower-file) identifier; returns the area's changed flag. Holds
    // "BSOLOCK" and, while changed is set, "FREQUENCY" inside it to recompute channel frequencies.
    bool StoreIdentifier(int identifier, const IdentifierEntry& entry);

    // Copies the first min(n, 16) entries and clears changed; n below 1 copies nothing -> false.
    bool CopyIdentifiers(IdentifierEntry* out, int n);
    bool IdentifiersChanged() const { return changed_.load(); }

    // Conversions read the entries without "BSOLOCK": only the processing thread calls them and it
    // is also the only writer. A channel outside 0..0xFFFF converts to 0.0.
    double ChannelRxFrequency(int32_t channel) const;
    double ChannelTxFrequency(int32_t channel) const;
    // "%d-%04d", or "%d-%04d(%3.05f)" with the frequency (Tx when transmitSide and not 0xFFFF).
    std::string ChannelText(int32_t channel, bool withFrequency, bool transmitSide) const;

    // One entry, for the tower file writer; the caller holds Lock().
    const IdentifierEntry& Entry(int identifier) const { return entries_.at(identifier); }

    NamedLock& Lock() { return lock_; }

private:
    NamedLock lock_{area_locks::kIdentifiers};
    std::atomic<bool> changed_{false};
    std::array<IdentifierEntry, kCount> entries_{};
    IdentifierListener* listener_ = nullptr;
};
