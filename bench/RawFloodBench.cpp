// The raw data dump under a source far faster than a serial line: the scanner simulator plays
// type 1 lines as fast as the reader takes them, the blocks are popped at once, and a screen
// takes the raw lines the way the window's updater does (10 lines per refresh pass, about 100
// passes a second). Prints the resident memory every few seconds: it must stay flat.
//
//   bench_raw_flood [seconds=60]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "link/TBSKQueue.h"
#include "link/TScannerReadThread.h"
#include "session/ScannerSimulator.h"

namespace {

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

Tsbk Block(int i)
{
    Tsbk b{};
    for (int k = 0; k < kTsbkSize; ++k)
        b[k] = static_cast<uint8_t>(i * 31 + k * 7);
    return b;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace std::chrono;
    const int runSeconds = argc > 1 ? std::atoi(argv[1]) : 60;
    constexpr int kLinesPerPass = 10;  // as the raw data view takes them
    constexpr auto kPass = milliseconds(10);

    ScannerSimulator sim({.scannerType = 1, .blocksPerSecond = 0, .loop = true});
    if (!sim.Open()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    std::vector<SimItem> items;
    for (int i = 0; i < 1000; ++i)
        items.push_back(SimItem::Block(Block(i)));
    sim.SetCapture(items);

    TBSKQueue queue;
    ScannerReadConfig config;
    config.scannerType = 1;
    config.port = sim.SlavePath();
    config.rawDump = true;
    TScannerReadThread reader(queue, config);
    reader.SetIdlePriority(false);
    reader.Start();
    sim.Start();

    std::atomic<bool> stop{false};
    std::atomic<long long> blocks{0};
    std::thread processing([&] {
        std::stop_source never;
        Tsbk b{};
        while (!stop) {
            if (queue.Pop(b))
                ++blocks;
            else
                queue.WaitForData(never.get_token(), milliseconds(5));
        }
    });

    long long shown = 0;
    const auto start = steady_clock::now();
    auto nextSample = start;
    std::printf("%8s %12s %12s %12s %10s\n", "seconds", "blocks", "lines shown", "dropped", "RSS kB");
    while (steady_clock::now() - start < runSeconds * 1s) {
        if (steady_clock::now() >= nextSample) {
            std::printf("%8lld %12lld %12lld %12llu %10ld\n",
                        static_cast<long long>(duration_cast<seconds>(steady_clock::now() - start).count()),
                        blocks.load(), shown, static_cast<unsigned long long>(reader.RawLinesDropped()), ResidentKb());
            std::fflush(stdout);
            nextSample += 5s;
        }
        shown += static_cast<long long>(reader.TakeRawLines(kLinesPerPass).size());
        std::this_thread::sleep_for(kPass);
    }
    std::printf("%8d %12lld %12lld %12llu %10ld\n", runSeconds, blocks.load(), shown,
                static_cast<unsigned long long>(reader.RawLinesDropped()), ResidentKb());
    reader.Terminate();
    reader.WaitFor();
    stop = true;
    processing.join();
    sim.Close();
    return 0;
}
