#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "decoder/P25Class.h"
#include "p25/BlockIntegrity.h"

namespace {

Tsbk Block(std::initializer_list<uint8_t> bytes)
{
    Tsbk b{};
    std::copy(bytes.begin(), bytes.end(), b.begin());
    const uint16_t crc = Crc16Ccitt(0, b.data(), 10);
    b[10] = static_cast<uint8_t>(crc >> 8);
    b[11] = static_cast<uint8_t>(crc);
    return b;
}

// A control channel's usual mix: status broadcasts, identifier updates, grants and updates on a
// handful of channels and talkgroups, affiliations and registrations, and some blocks that no
// handler knows; about one in twenty has a bad CRC.
std::vector<Tsbk> TrafficMix(int count)
{
    std::mt19937 rng(12345);
    std::vector<Tsbk> blocks;
    blocks.reserve(count);
    for (int i = 0; i < count; ++i) {
        const uint8_t ch = static_cast<uint8_t>(rng() % 20);
        const uint8_t tg = static_cast<uint8_t>(rng() % 60);
        const uint8_t unit = static_cast<uint8_t>(rng());
        Tsbk b;
        switch (i % 10) {
        case 0: b = Block({0x3A, 0x00, 0x00, 0x11, 0x23, 0x01, 0x05, 0x10, 0x01, 0x70}); break;
        case 1: b = Block({0x3D, 0x00, 0x1A, 0x9F, 0x03, 0x84, 0x00, 0xC7, 0x3A, 0x0C}); break;
        case 2: b = Block({0x00, 0x00, 0x00, 0x10, ch, 0x01, tg, 0x12, 0x34, unit}); break;
        case 3: b = Block({0x02, 0x00, 0x10, ch, 0x01, tg, 0x10, 0x03, 0x01, 0x02}); break;
        case 4: b = Block({0x28, 0x00, 0x00, 0x00, 0x00, 0x01, tg, 0x12, 0x34, unit}); break;
        case 5: b = Block({0x2C, 0x00, 0x01, 0x23, 0x12, 0x34, unit, 0x12, 0x34, unit}); break;
        case 6: b = Block({0x39, 0x00, 0x01, 0x05, 0x10, 0x01, 0x70, 0x10, 0x02, 0x70}); break;
        case 7: b = Block({0x13, 0x00, unit}); break;
        case 8: b = Block({0x03, 0x90, 0x00, 0x10, ch, 0x00, 0x00, 0x01, tg, 0x00}); break;
        default:
            b = Block({0x00, 0x00, 0x00, 0x10, ch, 0x01, tg, 0x12, 0x34, unit});
            if (rng() % 2)
                b[11] ^= 0x5A;
            break;
        }
        blocks.push_back(b);
    }
    return blocks;
}

void BM_DecodeTsbkMix(benchmark::State& state)
{
    auto decoder = std::make_unique<P25Class>();
    PresentationSwitches s;
    s.packetDump = true;
    s.eventLog = true;
    s.grantLog = true;
    s.recordUnknowns = true;
    decoder->SetSwitches(s);
    decoder->SetSiteIdentity(0x123, 1, 0x70, 5);
    const std::vector<Tsbk> blocks = TrafficMix(4096);

    // The refresh thread empties the pending buffers every 10 ms; here after every 64 blocks.
    std::vector<ALLPKT> dump(PacketDump::kCapacity);
    std::vector<EVENTLOG> events(EventLog::kCapacity);
    std::vector<UNKTSBK> unknown(UnknownPackets::kCapacity);
    std::vector<GRANTLOG> grants(GrantLog::kCapacity);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(decoder->DecodeTsbk(blocks[i % blocks.size()]));
        if (++i % 64 == 0) {
            decoder->Dump().CopyPacketDump(dump.data(), PacketDump::kCapacity);
            decoder->Events().CopyEventLog(events.data(), EventLog::kCapacity);
            decoder->Unknowns().CopyUnknownPackets(unknown.data(), UnknownPackets::kCapacity);
            decoder->Grants().CopyGrantLog(grants.data(), GrantLog::kCapacity);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_DecodeTsbkMix);

}  // namespace
