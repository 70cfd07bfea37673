#pragma once

#include "site/AreaLocks.h"
#include "site/BlockLog.h"

using UNKTSBK = BlockLogEntry;

// Blocks that no handler recognised, under "UNKNOWNLOCK" (20 pending). The decoder asks Enabled()
// (setting Unknowns/Visible) before adding; only the screen's Clear button clears this buffer,
// the decoder reset does not.
class UnknownPackets {
public:
    static constexpr int kCapacity = 20;

    explicit UnknownPackets(DecoderContext& ctx) : log_(ctx, area_locks::kUnknowns, {false, false}) { }

    bool AddUnknownPacket(const Tsbk& block, std::string_view text) { return log_.Add(block, text); }
    void ClearUnknownPackets() { log_.Clear(); }
    int CopyUnknownPackets(UNKTSBK* out, int capacity, bool tryOnce = false)
    {
        return log_.Copy(out, capacity, tryOnce);
    }
    bool UnknownPacketsChanged() const { return log_.Changed(); }
    bool SetUnknownPacketsEnabled(bool on) { return log_.SetEnabled(on); }
    bool Enabled() const { return log_.Enabled(); }

    int Pending() const { return log_.Pending(); }
    NamedLock& Lock() { return log_.Lock(); }

private:
    BlockLog<kCapacity> log_;
};
