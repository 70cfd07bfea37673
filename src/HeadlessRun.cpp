#include "HeadlessRun.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "DemoSimulator.h"
#include "decoder/P25Class.h"
#include "link/Procthread.h"
#include "link/ScannerLineFramer.h"
#include "link/TBSKQueue.h"
#include "link/TScannerReadThread.h"
#include "link/TickSource.h"
#include "platform/ProgramFolder.h"
#include "store/LogFormat.h"
#include "store/Settings.h"
#include "store/SystemStore.h"

namespace {

std::atomic<bool> g_stopRequested{false};

void OnStopSignal(int)
{
    g_stopRequested = true;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "varnel: %s\n", message.c_str());
    return 2;
}

constexpr auto kRealtimeBlockInterval = std::chrono::milliseconds(25);  // about 40 blocks a second
constexpr auto kDrainStep = std::chrono::milliseconds(200);
constexpr auto kStopPoll = std::chrono::milliseconds(100);

// Called with every block queued by a replay.
using BlockCounter = std::function<void()>;

// Feeds a file of scanner output through the line rules of its scanner type into the queue.
// False when the file cannot be read.
bool Replay(const std::string& path, int scannerType, bool realtime, TBSKQueue& queue, const BlockCounter& counted)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    ScannerLineFramer framer(scannerType);
    char buffer[65536];
    while (!g_stopRequested && in) {
        in.read(buffer, sizeof buffer);
        const std::streamsize n = in.gcount();
        for (std::streamsize i = 0; i < n && !g_stopRequested; ++i) {
            if (!framer.Feed(static_cast<uint8_t>(buffer[i])))
                continue;
            const ScannerLine line = framer.JudgeLine();
            if (!line.hasBlock)
                continue;
            while (!queue.Push(line.block) && !g_stopRequested)
                queue.WaitForRoom(std::stop_token{}, std::chrono::milliseconds(10));
            counted();
            if (realtime)
                std::this_thread::sleep_for(kRealtimeBlockInterval);
        }
    }
    // A last line without its terminator still counts.
    if (framer.Feed('\n')) {
        const ScannerLine line = framer.JudgeLine();
        if (line.hasBlock)
            while (!queue.Push(line.block) && !g_stopRequested)
                queue.WaitForRoom(std::stop_token{}, std::chrono::milliseconds(10));
    }
    return true;
}

void WaitUntilDrained(TBSKQueue& queue, std::chrono::milliseconds step)
{
    while (queue.HasData())
        std::this_thread::sleep_for(step);
}

}  // namespace

int RunHeadless(const HeadlessOptions& options, const char* argv0)
{
    const std::string folder = ChooseProgramFolder(options.dataDir, argv0);
    if (folder.empty())
        return Fail("no program folder could be found or created");

    Settings settings;
    LoadSettings(SettingsFilePath(folder, argv0), settings);

    int scannerType = options.scannerType >= 0 ? options.scannerType : settings.scannerType;
    if (!options.replayFile.empty() || options.demo) {
        // Replays and the demo are text captures; a polled type 0 has no text form.
        if (options.scannerType == 0)
            return Fail("--replay and --demo need scanner type 1, 2 or 3");
        if (scannerType < 1 || scannerType > 3)
            scannerType = 1;
    }

    auto decoder = std::make_unique<P25Class>(Clock::System(), folder);
    ApplySettingsToDecoder(settings, *decoder);
    TBSKQueue queue;
    if (options.dump) {
        PresentationSwitches switches = decoder->Switches();
        switches.packetDump = true;
        decoder->SetSwitches(switches);
        // Every entry is printed as it is made. A live run flushes whenever the decoder has caught
        // up with the queue, so each line shows at once; a replay leaves the output buffered and
        // writes it in large pieces.
        const bool live = options.replayFile.empty();
        decoder->Dump().SetDirectSink([&queue, live](const ALLPKT& entry) {
            const std::string row = DumpRowText(entry);
            std::fwrite(row.data(), 1, row.size(), stdout);
            std::fputc('\n', stdout);
            if (live && !queue.HasData())
                std::fflush(stdout);
        });
    }

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGPIPE, SIG_IGN);

    // Without a window there is nothing to keep responsive: the threads run at normal priority,
    // so a replay is not starved by whatever else the machine does.
    ProcThread processing(queue, *decoder);
    processing.SetIdlePriority(false);
    TickSource ticker(std::chrono::milliseconds(100), [&] { decoder->AdvanceTick(); });
    processing.Start();
    ticker.Start();

    // The auto-save schedule of a live run, counted in minutes like the window's timer.
    std::atomic<int> minutes{0};
    const bool autoSave = settings.autoSaveEnabled && options.replayFile.empty();
    const int interval = settings.autoSaveInterval > 0 ? settings.autoSaveInterval : 1;
    TickSource saver(std::chrono::minutes(1), [&] {
        if (++minutes % interval == 0)
            SaveSystemData(*decoder);
    });
    if (autoSave)
        saver.Start();

    int status = 0;
    std::unique_ptr<ScannerSimulator> simulator;
    if (!options.replayFile.empty()) {
        // Periodic saves of a long replay (soak tests): the files are written while the
        // processing thread goes on decoding, as the auto-save of a live run does.
        long long replayed = 0;
        long long saves = 0;
        const BlockCounter counted = [&] {
            if (options.saveEvery <= 0 || ++replayed % options.saveEvery != 0)
                return;
            const bool ok = SaveSystemData(*decoder);
            std::fprintf(stderr, "varnel: save %lld after %lld blocks: %s\n", ++saves, replayed,
                         ok ? "ok" : "failed");
        };
        if (!Replay(options.replayFile, scannerType, options.realtime, queue, counted))
            status = Fail("cannot read " + options.replayFile);
        WaitUntilDrained(queue, std::chrono::milliseconds(1));
    } else {
        ScannerReadConfig config;
        config.scannerType = scannerType;
        config.port = options.port.empty() ? settings.port : options.port;
        config.unidenSpeed = static_cast<uint32_t>(settings.unidenSpeed);
        config.latency = settings.latency;
        if (options.demo) {
            std::string error;
            simulator = StartDemoSimulator(options.demoCapture, scannerType, error);
            if (simulator)
                config.port = simulator->SlavePath();
            else
                status = Fail(error);
        }
        if (status == 0) {
            std::atomic<bool> openFailed{false};
            std::string openError;
            TScannerReadThread reader(queue, config);
            reader.SetIdlePriority(false);
            reader.SetOpenErrorCallback([&](const std::string& text, const std::string&) {
                openError = text;
                openFailed = true;
            });
            reader.SetDeviceLostCallback(
                [](const std::string& text) { std::fprintf(stderr, "varnel: device lost: %s\n", text.c_str()); });
            reader.SetDeviceBackCallback(
                [](const std::string& text) { std::fprintf(stderr, "varnel: device back: %s\n", text.c_str()); });
            reader.Start();
            while (!g_stopRequested && !openFailed)
                std::this_thread::sleep_for(kStopPoll);
            // The session stops in the window's order: reader, queue drained, processing.
            reader.Terminate();
            reader.WaitFor();
            if (openFailed)
                status = Fail(config.port + ": " + openError);
            WaitUntilDrained(queue, kDrainStep);
        }
    }

    processing.Terminate();
    processing.WaitFor();
    saver.Stop();
    ticker.Stop();
    if (simulator)
        simulator->Close();
    std::fflush(stdout);

    if (options.save && status == 0)
        SaveSystemData(*decoder);
    return status;
}
