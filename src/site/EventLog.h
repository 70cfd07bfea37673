#pragma once

#include "site/AreaLocks.h"
#include "site/BlockLog.h"

using EVENTLOG = BlockLogEntry;

// The other events screen's pending buffer under "EVENTLOCK": up to 100 blocks that the decoder
// classes as events. Recorded only while its switch (setting OtherInfo/Visible) is on, and a block
// equal to the last one recorded is dropped.
class EventLog {
public:
    static constexpr int kCapacity = 100;

    explicit EventLog(DecoderContext& ctx) : log_(ctx, area_locks::kEvents, {true, true}) { }

    bool AddEventLogEntry(const Tsbk& block, std::string_view text) { return log_.Add(block, text); }
    void ClearEventLog() { log_.Clear(); }
    int CopyEventLog(EVENTLOG* out, int capacity, bool tryOnce = false) { return log_.Copy(out, capacity, tryOnce); }
    bool EventLogChanged() const { return log_.Changed(); }
    bool SetEventLogEnabled(bool on) { return log_.SetEnabled(on); }
    bool EventLogEnabled() const { return log_.Enabled(); }

    int Pending() const { return log_.Pending(); }
    NamedLock& Lock() { return log_.Lock(); }

private:
    BlockLog<kCapacity> log_;
};
