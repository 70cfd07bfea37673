#include "app/HeadlessRun.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include "app/StoreReport.h"
#include "decoder/P25Class.h"
#include "link/TBSKQueue.h"
#include "persist/LogFormat.h"
#include "persist/Settings.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "platform/TickSource.h"
#include "session/DecodeSession.h"

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

constexpr auto kStopPoll = std::chrono::milliseconds(100);
constexpr size_t kDumpWriteSize = 64 * 1024;

void WriteOut(std::string& buffer)
{
    if (buffer.empty())
        return;
    std::fwrite(buffer.data(), 1, buffer.size(), stdout);
    std::fflush(stdout);
    buffer.clear();
}
constexpr auto kReplayDrainStep = std::chrono::milliseconds(1);

// Without a window a wait is a plain sleep in steps.
void SleepUntil(const std::function<bool()>& done, std::chrono::milliseconds step)
{
    while (!done())
        std::this_thread::sleep_for(step);
}

}  // namespace

int RunHeadless(const HeadlessOptions& options, const char* argv0)
{
    const std::string folder = ChooseProgramFolder(options.dataDir, argv0);
    if (folder.empty())
        return Fail("no program folder could be found or created");

    StoreReport report;
    Settings settings;
    if (StoreNotice problem; !LoadSettings(SettingsFilePath(folder, argv0), settings, &problem))
        report.Report(problem);

    int scannerType = options.scannerType >= 0 ? options.scannerType : settings.scannerType;
    if (!options.replayFile.empty() || options.demo) {
        // Replays and the demo are text captures; a polled type 0 has no text form.
        if (options.scannerType == 0)
            return Fail("--replay and --demo need scanner type 1, 2 or 3");
        if (scannerType < 1 || scannerType > 3)
            scannerType = 1;
    }

    // The dump lines are gathered in one reused buffer and written in large pieces.
    std::string dumpBuffer;
    dumpBuffer.reserve(2 * kDumpWriteSize);
    DecodeSession session(Clock::System(), folder);
    P25Class& decoder = session.Decoder();
    TBSKQueue& queue = session.Queue();
    report.Attach(decoder);
    ApplySettingsToDecoder(settings, decoder);
    if (options.dump) {
        PresentationSwitches switches = decoder.Switches();
        switches.packetDump = true;
        decoder.SetSwitches(switches);
        // Every entry is printed as it is made. A live run flushes whenever the decoder has caught
        // up with the queue, so each line shows at once; a replay leaves the output buffered and
        // writes it in large pieces.
        const bool live = options.replayFile.empty();
        decoder.Dump().SetDirectSink([&queue, &dumpBuffer, live](const ALLPKT& entry) {
            AppendDumpRow(dumpBuffer, entry);
            if (dumpBuffer.size() >= kDumpWriteSize || (live && !queue.HasData()))
                WriteOut(dumpBuffer);
        });
    }

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGPIPE, SIG_IGN);

    // Without a window there is nothing to keep responsive: the threads run at normal priority,
    // so a replay is not starved by whatever else the machine does.
    session.SetIdlePriority(false);
    // The tick counter follows the monotonic clock: no thread wakes every 100 ms for it.
    decoder.Context().time.FollowSteadyClock();
    session.StartProcessing();

    // The auto-save schedule of a live run, looked at every minute like the window's timer.
    const bool autoSave = settings.autoSaveEnabled && options.replayFile.empty();
    const int interval = settings.autoSaveInterval > 0 ? settings.autoSaveInterval : 1;
    int64_t lastSave = Clock::System().Now();
    TickSource saver(std::chrono::minutes(1), [&] {
        if (const auto next = session.PeriodicSave(Clock::System().Now(), interval, lastSave))
            lastSave = *next;
    });
    if (autoSave)
        saver.Start();

    int status = 0;
    if (!options.replayFile.empty()) {
        // Periodic saves of a long replay (soak tests): the files are written while the
        // processing thread goes on decoding, as the auto-save of a live run does.
        long long replayed = 0;
        long long saves = 0;
        const auto counted = [&] {
            if (options.saveEvery <= 0 || ++replayed % options.saveEvery != 0)
                return;
            const bool ok = session.SaveSystem();
            std::fprintf(stderr, "varnel: save %lld after %lld blocks: %s\n", ++saves, replayed, ok ? "ok" : "failed");
        };
        if (!session.Replay(options.replayFile, scannerType, options.realtime, g_stopRequested, counted))
            status = Fail("cannot read " + options.replayFile);
        SleepUntil([&queue] { return !queue.HasData(); }, kReplayDrainStep);
    } else {
        ScannerReadConfig config;
        config.scannerType = scannerType;
        config.port = options.port.empty() ? settings.port : options.port;
        config.unidenSpeed = static_cast<uint32_t>(settings.unidenSpeed);
        config.latency = settings.latency;
        if (options.demo)
            session.UseDemo(options.demoCapture, scannerType);
        std::atomic<bool> openFailed{false};
        std::string openError;
        DecodeSession::Notices notices;
        notices.openError = [&](const std::string& text, const std::string&) {
            openError = text;
            openFailed = true;
        };
        notices.deviceLost = [](const std::string& text) {
            std::fprintf(stderr, "varnel: device lost: %s\n", text.c_str());
        };
        notices.deviceBack = [](const std::string& text) {
            std::fprintf(stderr, "varnel: device back: %s\n", text.c_str());
        };
        session.SetNotices(std::move(notices));
        std::string error;
        if (!session.StartReader(config, error)) {
            status = Fail(error);
        } else {
            while (!g_stopRequested && !openFailed)
                std::this_thread::sleep_for(kStopPoll);
            // The session stops in the window's order: reader, queue drained, processing.
            session.EndReader(SleepUntil);
            if (openFailed)
                status = Fail(config.port + ": " + openError);
            session.DrainQueue(SleepUntil);
        }
    }

    session.EndProcessing(SleepUntil);
    saver.Stop();
    session.CloseDemo();
    WriteOut(dumpBuffer);
    std::fflush(stdout);

    if (options.save && status == 0)
        session.SaveSystem();
    return report.ExitStatus(status);
}
