// Writing and reading the per-system files of a full system: 65,535 talkgroups and 100,000
// radios with descriptions, colours and times, plus the tower file. Goal: each well under one
// second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "decoder/P25Class.h"
#include "persist/SystemStore.h"
#include "platform/Clock.h"

namespace {

constexpr uint32_t kSystem = 0x1A3;

// A decoder on a temporary program folder, holding a full system. The folder is removed at exit.
class FullSystem {
public:
    FullSystem()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "varnel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder_ = pattern + "/";
        decoder_ = std::make_unique<P25Class>(clock_, folder_);
        AttachSystemStore(*decoder_);
        decoder_->SetSiteIdentity(kSystem, 1, 0x70, 5);
        Fill();
    }
    ~FullSystem()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    P25Class& Decoder() { return *decoder_; }

private:
    void Fill()
    {
        TalkgroupTable& tg = decoder_->Talkgroups();
        for (int32_t id = 1; id <= TalkgroupTable::kCapacity; ++id) {
            tg.NoteTalkgroup(id);
            tg.SetTalkgroup(id, "Talkgroup " + std::to_string(id) + " dispatch, county fire", 1 + id % 99,
                            1240322820 - id);
            tg.SetTalkgroupColors(id, 0x0000FF, 0xFFFFFF);
        }
        RadioTable& rad = decoder_->Radios();
        for (int32_t id = 1; id <= RadioTable::kCapacity; ++id) {
            rad.SetRadio(id * 7, "TG: 100 DT: 4/21/09@14:07 unit " + std::to_string(id), 1240322820 - id);
            rad.SetRadioColors(id * 7, 0x00FF00, 0);
        }
    }

    ManualClock clock_{1240322820};
    std::string folder_;
    std::unique_ptr<P25Class> decoder_;
};

FullSystem& System()
{
    static FullSystem system;
    return system;
}

void BM_SaveSystemData(benchmark::State& state)
{
    P25Class& d = System().Decoder();
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveSystemData(d));
    state.SetItemsProcessed(state.iterations() * (TalkgroupTable::kCapacity + RadioTable::kCapacity));
}
BENCHMARK(BM_SaveSystemData)->Unit(benchmark::kMillisecond);

void BM_LoadSystemData(benchmark::State& state)
{
    P25Class& d = System().Decoder();
    SaveSystemData(d);
    for (auto _ : state) {
        state.PauseTiming();
        d.Talkgroups().ClearTalkgroups();  // as after the reset of an identity change
        d.Radios().ClearRadios();
        state.ResumeTiming();
        LoadSystemData(d);
    }
    if (d.Radios().RadioCount() != RadioTable::kCapacity)
        state.SkipWithError("the radios were not all read back");
    state.SetItemsProcessed(state.iterations() * (TalkgroupTable::kCapacity + RadioTable::kCapacity));
}
BENCHMARK(BM_LoadSystemData)->Unit(benchmark::kMillisecond);

}  // namespace
