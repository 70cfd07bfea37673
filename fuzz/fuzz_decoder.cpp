// The decoder's entry points on arbitrary blocks and packets. The decoder is identified first
// (system 0x123, RFSS 1, site 5) so every handler runs, and every presentation switch is on.
// The input is a run of steps, each led by one control byte:
//   0: a single block (the next 12 bytes), CRC made good unless bit 7 of the control byte is set
//   1: a multi-block packet: a count byte (taken as is, so -128..127 reaches the decoder), then
//      1 + kMaxPacketDataBlocks blocks worth of bytes (what is missing stays zero)
//   2: time passes: ticks and seconds from the next byte, then the channel lines expire
//   3: the screens drain every pending buffer
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "decoder/P25Class.h"
#include "p25/BlockIntegrity.h"
#include "platform/Clock.h"

namespace {

constexpr uint32_t kSystem = 0x123;
constexpr uint32_t kRfss = 1;
constexpr uint32_t kSite = 5;
constexpr uint8_t kServiceClass = 0x70;
constexpr int kCrcBytes = kTsbkSize - 2;
constexpr uint8_t kKeepCrcBit = 0x80;
constexpr int kSteps = 4;

struct Rig {
    ManualClock clock;
    std::unique_ptr<P25Class> decoder = std::make_unique<P25Class>(clock);

    Rig()
    {
        PresentationSwitches s;
        s.recordUnknowns = s.grantLog = s.eventLog = s.packetDump = s.logProtection = s.saveHits = true;
        decoder->SetSwitches(s);
    }
};

Tsbk TakeBlock(FuzzedDataProvider& in, bool fixCrc)
{
    Tsbk b{};
    const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(kTsbkSize);
    std::copy(bytes.begin(), bytes.end(), b.begin());
    if (fixCrc) {
        const uint16_t crc = Crc16Ccitt(0, b.data(), kCrcBytes);
        b[kCrcBytes] = static_cast<uint8_t>(crc >> 8);
        b[kCrcBytes + 1] = static_cast<uint8_t>(crc);
    }
    return b;
}

// The screens' buffers, allocated once: the copies are what is exercised, not the allocator.
template <class Entry, class Copy>
void Drain(int capacity, Copy copy)
{
    static std::vector<Entry> out(static_cast<size_t>(capacity));
    copy(out.data(), capacity);
}

void DrainAll(P25Class& d)
{
    Drain<ALLPKT>(PacketDump::kCapacity, [&](ALLPKT* o, int n) { return d.Dump().CopyPacketDump(o, n); });
    Drain<EVENTLOG>(EventLog::kCapacity, [&](EVENTLOG* o, int n) { return d.Events().CopyEventLog(o, n); });
    Drain<UNKTSBK>(UnknownPackets::kCapacity, [&](UNKTSBK* o, int n) { return d.Unknowns().CopyUnknownPackets(o, n); });
    Drain<GRANTLOG>(GrantLog::kCapacity, [&](GRANTLOG* o, int n) { return d.Grants().CopyGrantLog(o, n); });
    Drain<AFFLOG>(AffiliationLog::kCapacity, [&](AFFLOG* o, int n) { return d.AffLog().CopyAffiliationLog(o, n); });
    Drain<PATCHLOGENTRY>(PatchLog::kCapacity,
                         [&](PATCHLOGENTRY* o, int n) { return d.PatchEvents().CopyPatchLog(o, n); });
    Drain<PATCHENTRY>(PatchList::kCapacity, [&](PATCHENTRY* o, int n) { return d.Patches().CopyPatches(o, n); });
    Drain<AFFENTRY>(AffiliationList::kCapacity,
                    [&](AFFENTRY* o, int n) { return d.Affiliations().CopyAffiliations(o, n); });
    Drain<FreqInfo>(ChannelTable::kCapacity, [&](FreqInfo* o, int n) { return d.Channels().CopyChannels(o, n); });
    Drain<NeighborSite>(NeighborTable::kCapacity,
                        [&](NeighborSite* o, int n) { return d.Neighbors().CopyNeighbors(o, n); });
    Drain<IdentifierEntry>(IdentifierTable::kCount,
                           [&](IdentifierEntry* o, int n) { return d.Identifiers().CopyIdentifiers(o, n); });
    SystemInfo info;
    d.CopySystemInfo(info);
}

void Step(FuzzedDataProvider& in, P25Class& d, ManualClock& clock)
{
    const uint8_t control = in.ConsumeIntegral<uint8_t>();
    switch (control % kSteps) {
    case 0: d.DecodeTsbk(TakeBlock(in, (control & kKeepCrcBit) == 0)); break;
    case 1: {
        MultiBlockPacket p;
        p.blockCount = in.ConsumeIntegral<int8_t>();
        for (Tsbk& b : p.blocks)
            b = TakeBlock(in, false);
        d.DecodeMultiBlock(p);
        break;
    }
    case 2: {
        const uint8_t ticks = in.ConsumeIntegral<uint8_t>();
        for (int i = 0; i < ticks; ++i)
            d.AdvanceTick();
        clock.Advance(ticks);
        d.Activity().ExpireChannelActivity();
        break;
    }
    default: DrainAll(d); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Rig* rig = new Rig;  // large: built once, reset for every input
    P25Class& d = *rig->decoder;
    d.ResetAll();
    d.SetSiteIdentity(kSystem, kRfss, kServiceClass, kSite);
    FuzzedDataProvider in(data, size);
    while (in.remaining_bytes() > 0)
        Step(in, d, rig->clock);
    DrainAll(d);
    return 0;
}
