#pragma once

#include "store/BlockLog.h"

using ALLPKT = BlockLogEntry;

// Every decoded block with its description, under "ALLPKTLOCK" (100 pending). The decoder asks
// Enabled() (setting PktDump/Visible) and builds descriptions only while it is on.
class PacketDump {
public:
    static constexpr int kCapacity = 100;

    explicit PacketDump(DecoderContext& ctx) : log_(ctx, {"ALLPKTLOCK", kCapacity, false, false}) {}

    bool AddPacketDumpEntry(const Tsbk& block, std::string_view text)
    {
        return log_.Add(block, text);
    }
    void ClearPacketDump() { log_.Clear(); }
    int CopyPacketDump(ALLPKT* out, int capacity, bool tryOnce = false)
    {
        return log_.Copy(out, capacity, tryOnce);
    }
    bool PacketDumpChanged() const { return log_.Changed(); }
    bool SetPacketDumpEnabled(bool on) { return log_.SetEnabled(on); }
    bool Enabled() const { return log_.Enabled(); }

    int Pending() const { return log_.Pending(); }
    NamedLock& Lock() { return log_.Lock(); }

private:
    BlockLog log_;
};
