// Filling the talkgroup and radio tables: ascending ids (each new id lands at the end) and
// random ids (each lands somewhere inside, so the sorted order must be kept cheaply).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "platform/Clock.h"
#include "site/DecoderContext.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace {

std::vector<int32_t> Ids(int count, bool shuffled)
{
    std::vector<int32_t> ids(static_cast<size_t>(count));
    std::iota(ids.begin(), ids.end(), 1);
    if (shuffled)
        std::shuffle(ids.begin(), ids.end(), std::mt19937(20090421));
    return ids;
}

void FillRadios(benchmark::State& state, bool shuffled)
{
    ManualClock clock;
    DecoderContext ctx;
    ctx.time.SetClock(clock);
    RadioTable table(ctx);
    const std::vector<int32_t> ids = Ids(RadioTable::kCapacity, shuffled);
    for (auto _ : state) {
        table.ClearRadios();
        for (int32_t id : ids)
            table.NoteRadio(id, 1234);
        benchmark::DoNotOptimize(table.RadioCount());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ids.size()));
}

void FillTalkgroups(benchmark::State& state, bool shuffled)
{
    ManualClock clock;
    DecoderContext ctx;
    ctx.time.SetClock(clock);
    ctx.rfss = 1;
    ctx.site = 5;
    TalkgroupTable table(ctx);
    const std::vector<int32_t> ids = Ids(TalkgroupTable::kCapacity, shuffled);
    for (auto _ : state) {
        table.ClearTalkgroups();
        for (int32_t id : ids)
            table.NoteTalkgroup(id);
        benchmark::DoNotOptimize(table.TalkgroupCount());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ids.size()));
}

// A table built from scratch each time, so the first use of every record's text is counted too.
void FillRadiosFresh(benchmark::State& state)
{
    ManualClock clock;
    DecoderContext ctx;
    ctx.time.SetClock(clock);
    const std::vector<int32_t> ids = Ids(RadioTable::kCapacity, true);
    for (auto _ : state) {
        RadioTable table(ctx);
        for (int32_t id : ids)
            table.NoteRadio(id, 1234);
        benchmark::DoNotOptimize(table.RadioCount());
    }
}

void BM_RadioFillAscending(benchmark::State& s)
{
    FillRadios(s, false);
}
void BM_RadioFillRandom(benchmark::State& s)
{
    FillRadios(s, true);
}
void BM_TalkgroupFillAscending(benchmark::State& s)
{
    FillTalkgroups(s, false);
}
void BM_TalkgroupFillRandom(benchmark::State& s)
{
    FillTalkgroups(s, true);
}
void BM_RadioFillRandomNewTable(benchmark::State& s)
{
    FillRadiosFresh(s);
}

}  // namespace

BENCHMARK(BM_RadioFillAscending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RadioFillRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TalkgroupFillAscending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TalkgroupFillRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RadioFillRandomNewTable)->Unit(benchmark::kMillisecond);
