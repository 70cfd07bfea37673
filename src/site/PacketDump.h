#pragma once

#include <functional>
#include <utility>

#include "site/AreaLocks.h"
#include "site/BlockLog.h"

using ALLPKT = BlockLogEntry;

// Every decoded block with its description, under "ALLPKTLOCK" (100 pending). The decoder asks
// Enabled() (setting PktDump/Visible) and builds descriptions only while it is on.
class PacketDump {
public:
    static constexpr int kCapacity = 100;

    explicit PacketDump(DecoderContext& ctx) : ctx_(ctx), log_(ctx, area_locks::kPacketDump, {false, false}) { }

    // A headless run takes every entry as it is made instead of polling the pending slots, which
    // a full-speed replay would overrun. Set before decoding starts; the sink runs on the
    // decoding thread.
    using Sink = std::function<void(const ALLPKT&)>;
    void SetDirectSink(Sink sink) { sink_ = std::move(sink); }

    bool AddPacketDumpEntry(const Tsbk& block, std::string_view text)
    {
        if (sink_) {
            direct_.time = ctx_.time.Now();
            direct_.block = block;
            direct_.text.assign(text);
            sink_(direct_);
            return true;
        }
        return log_.Add(block, text);
    }
    void ClearPacketDump() { log_.Clear(); }
    int CopyPacketDump(ALLPKT* out, int capacity, bool tryOnce = false) { return log_.Copy(out, capacity, tryOnce); }
    bool PacketDumpChanged() const { return log_.Changed(); }
    bool SetPacketDumpEnabled(bool on) { return log_.SetEnabled(on); }
    bool Enabled() const { return log_.Enabled(); }

    int Pending() const { return log_.Pending(); }
    NamedLock& Lock() { return log_.Lock(); }

private:
    DecoderContext& ctx_;
    BlockLog<kCapacity> log_;
    Sink sink_;
    ALLPKT direct_;  // reused so a direct entry allocates nothing once warmed up
};
