#include "app/HeadlessRun.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "app/HeadlessFeed.h"
#include "app/StoreReport.h"
#include "decoder/P25Class.h"
#include "link/ScannerLineFramer.h"
#include "link/TBSKQueue.h"
#include "persist/LogFormat.h"
#include "persist/Settings.h"
#include "persist/Tbackupthread.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "platform/TickSource.h"
#include "service/ServiceLog.h"
#include "session/ActivityExpiry.h"
#include "session/DecodeSession.h"
#include "session/ScannerFollower.h"

namespace {

std::atomic<bool> g_stopRequested{false};
std::atomic<int> g_stopSignal{0};
// Readable when the live loop has something to look at at once (a stop signal, a port failure).
int g_wakeFd = -1;

void WakeLiveLoop()
{
    const uint64_t one = 1;
    if (g_wakeFd >= 0)
        (void)!::write(g_wakeFd, &one, sizeof one);  // async-signal-safe
}

void OnStopSignal(int signal)
{
    g_stopSignal = signal;
    g_stopRequested = true;
    WakeLiveLoop();
}

// The live loop sleeps until it is woken or `period` has passed.
void SleepUnlessWoken(std::chrono::milliseconds period)
{
    pollfd p{g_wakeFd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(period.count())) > 0) {
        uint64_t count = 0;
        (void)!::read(g_wakeFd, &count, sizeof count);
    }
}

void CatchStopSignals()
{
    if (g_wakeFd < 0)
        g_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    struct sigaction action { };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "varnel: %s\n", message.c_str());
    return 2;
}

// The live loop's supervision (counters, no-data, backups, status) runs once a second; a stop or a
// port failure wakes it at once.
constexpr auto kSupervisionPeriod = std::chrono::milliseconds(1000);
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
constexpr auto kFollowInterval = std::chrono::milliseconds(100);
// No block for this long is reported once as "no data" (and its end as receiving again).
constexpr int kNoDataSeconds = 10;
// The retained status is refreshed this often (its counters move between events).
constexpr int kStatusSeconds = 60;

// Without a window a wait is a plain sleep in steps.
void SleepUntil(const std::function<bool()>& done, std::chrono::milliseconds step)
{
    while (!done())
        std::this_thread::sleep_for(step);
}

// What the scanner types expect, for a replay in which no block was found.
const char kCaptureForms[] = "type 1 expects lines \"P25,<field>,<24 hex digits>\", type 2 \"P25,<24 hex digits>\", "
                             "type 3 the analyzer's columns (24 hex digits in columns 21..55), and type hex a bare "
                             "block of 24 hex digits a line";

std::string TypeName(int type)
{
    return type == ScannerLineFramer::kHexType ? "hex" : std::to_string(type);
}

// The name of this run in the feed and on the broker: host and device, unless given.
std::string InstanceName(const HeadlessOptions& options, const std::string& port)
{
    if (!options.instance.empty())
        return options.instance;
    char host[256] = "varnel";
    gethostname(host, sizeof host - 1);
    std::string device = port.empty() ? (options.replayFile.empty() ? "demo" : "replay")
                                      : std::filesystem::path(port).filename().string();
    std::string name = std::string(host) + "-" + device;
    for (char& c : name)
        if (c == '/' || c == '+' || c == '#' || c == ' ')
            c = '_';
    return name;
}

void ReportSave(EventFeed* feed, bool ok, const std::string& folder, const char* why)
{
    if (ok)
        ServiceLog::Instance().Info(std::string("saved the system files (") + why + ")");
    else
        ServiceLog::Instance().Error(std::string("saving the system files failed (") + why + ")");
    if (feed)
        feed->SaveDone(ok, folder);
}

// The backup schedule of the settings, checked by the live run's loop as the window's timer does.
class HeadlessBackups {
public:
    HeadlessBackups(Settings& settings, std::string settingsPath, std::string folder)
        : settings_(settings), settingsPath_(std::move(settingsPath)), folder_(std::move(folder))
    { }
    ~HeadlessBackups() { Finish(); }

    void Check(int64_t now)
    {
        if (backup_ && done_) {
            backup_->WaitFor();
            const BackupResult& r = backup_->Result();
            ServiceLog::Instance().Info("backup done: " + std::to_string(r.systemFolders) + " system folders, " +
                                        std::to_string(r.filesCopied) + " files, " + std::to_string(r.failures) +
                                        " failures");
            backup_.reset();
            nextCheck_ = now + static_cast<int64_t>(settings_.backupCheckTime) * 60;
        }
        if (!settings_.backupEnabled || backup_ || now < nextCheck_)
            return;
        const BackupCheck check = CheckBackupSchedule(settings_, false, now);
        if (check.action != BackupAction::StartBackup) {
            nextCheck_ = now + std::max<int64_t>(check.nextCheckSeconds, 1);
            return;
        }
        settings_.lastBackup = now;
        SaveSettings(settingsPath_, settings_);
        done_ = false;
        backup_ = std::make_unique<TBackup>(folder_, settings_);
        backup_->SetEndCallback([this](const BackupResult&) { done_ = true; });
        backup_->Start();
        ServiceLog::Instance().Info("backup started");
    }
    void Finish()
    {
        if (backup_) {
            backup_->Terminate();
            backup_->WaitFor();
            backup_.reset();
        }
    }

private:
    Settings& settings_;
    std::string settingsPath_;
    std::string folder_;
    std::unique_ptr<TBackup> backup_;
    std::atomic<bool> done_{false};
    int64_t nextCheck_ = 0;
};

}  // namespace

int RunHeadless(const HeadlessOptions& options, const char* argv0)
{
    ServiceLog::Level level;
    if (!ServiceLog::ParseLevel(options.logLevel, level))
        return Fail("--log-level needs error, warning, info or debug");
    ServiceLog::Instance().SetLevel(level);
    // From the start: a stop asked while the outputs connect still ends the run in order.
    CatchStopSignals();

    const std::string folder = ChooseProgramFolder(options.dataDir, argv0);
    if (folder.empty())
        return Fail("no program folder could be found or created");

    StoreReport report;
    Settings settings;
    const std::string settingsPath = SettingsFilePath(folder, argv0);
    if (StoreNotice problem; !LoadSettings(settingsPath, settings, &problem))
        report.Report(problem);

    const bool replay = !options.replayFile.empty();
    const bool live = !replay;
    int scannerType = options.scannerType >= 0 ? options.scannerType : settings.scannerType;
    if (replay || options.demo) {
        // Replays and the demo are text captures; a polled type 0 has no text form.
        if (options.scannerType == 0)
            return Fail("--replay and --demo need scanner type 1, 2, 3 or hex");
        if (scannerType < 1 || scannerType > ScannerLineFramer::kHexType)
            scannerType = 1;
        if (replay && options.scannerType < 0)
            scannerType = DecodeSession::DetectCaptureType(options.replayFile, scannerType);
    }
    if (options.demo && scannerType == ScannerLineFramer::kHexType)
        return Fail("--demo plays scanner type 1, 2 or 3");
    if (live && !options.demo && scannerType == ScannerLineFramer::kHexType)
        return Fail("a scanner port needs scanner type 0, 1, 2 or 3");
    const std::string port = options.port.empty() ? settings.port : options.port;

    HeadlessFeed feedSetup;
    std::string feedError;
    if (!feedSetup.Start(options, InstanceName(options, options.demo ? std::string() : port), feedError)) {
        feedSetup.Stop();
        return Fail(feedError);
    }
    if (feedSetup.Mqtt())
        feedSetup.Mqtt()->SetConnectedNotice(WakeLiveLoop);  // a new connection gets its status at once
    EventFeed* feed = feedSetup.Feed();

    // The dump lines are gathered in one reused buffer and written in large pieces.
    std::string dumpBuffer;
    dumpBuffer.reserve(2 * kDumpWriteSize);
    DecodeSession session(Clock::System(), folder);
    P25Class& decoder = session.Decoder();
    TBSKQueue& queue = session.Queue();
    report.Attach(decoder);
    ApplySettingsToDecoder(settings, decoder);
    // A run that keeps the per-system files also keeps what it learnt of a site it moves away from.
    decoder.SetSaveBeforeNewIdentity(live || options.save || options.saveEvery > 0);
    if (feed)
        decoder.SetEventSink(feed);
    if (options.dump) {
        PresentationSwitches switches = decoder.Switches();
        switches.packetDump = true;
        decoder.SetSwitches(switches);
        // Every entry is printed as it is made. A live run flushes whenever the decoder has caught
        // up with the queue, so each line shows at once; a replay leaves the output buffered and
        // writes it in large pieces.
        decoder.Dump().SetDirectSink([&queue, &dumpBuffer, live](const ALLPKT& entry) {
            AppendDumpRow(dumpBuffer, entry);
            if (dumpBuffer.size() >= kDumpWriteSize || (live && !queue.HasData()))
                WriteOut(dumpBuffer);
        });
    }

    // Without a window there is nothing to keep responsive: the threads run at normal priority,
    // so a replay is not starved by whatever else the machine does.
    session.SetIdlePriority(false);
    // The tick counter follows the monotonic clock: no thread wakes every 100 ms for it.
    decoder.Context().time.FollowSteadyClock();
    // Calls end when their channel falls silent; without a window a small expiry loop notices it
    // (only where someone listens: a live run or the feed). It looks every 100 ms while a channel
    // or patch is active and once a second otherwise, so a silent line costs almost no wake-ups.
    const bool expire = live || feed != nullptr;
    ActivityExpiry expiry(decoder);
    if (expire)
        expiry.Start();
    session.StartProcessing();

    // The auto-save schedule of a live run, looked at every minute like the window's timer.
    const bool autoSave = settings.autoSaveEnabled && live;
    const int interval = settings.autoSaveInterval > 0 ? settings.autoSaveInterval : 1;
    int64_t lastSave = Clock::System().Now();
    TickSource saver(std::chrono::minutes(1), [&] {
        if (const auto next = session.PeriodicSave(Clock::System().Now(), interval, lastSave)) {
            lastSave = *next;
            ReportSave(feed, true, folder, "periodic save");
        }
    });
    if (autoSave)
        saver.Start();

    int status = 0;
    if (replay) {
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
        DecodeSession::ReplayCounts counts;
        if (!session.Replay(options.replayFile, scannerType, options.realtime, g_stopRequested, counted, &counts)) {
            status = Fail("cannot read " + options.replayFile);
        } else {
            std::fprintf(stderr, "varnel: replay of %s as scanner type %s: %llu lines read, %llu blocks decoded\n",
                         options.replayFile.c_str(), TypeName(scannerType).c_str(),
                         static_cast<unsigned long long>(counts.lines), static_cast<unsigned long long>(counts.blocks));
            if (counts.blocks == 0 && !g_stopRequested)
                status = Fail("no block found in " + options.replayFile + ": scanner " + kCaptureForms +
                              " (choose with --scanner-type)");
        }
        SleepUntil([&queue] { return !queue.HasData(); }, kReplayDrainStep);
    } else {
        ScannerReadConfig config;
        config.scannerType = scannerType;
        config.port = port;
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
            WakeLiveLoop();
        };
        notices.deviceLost = [feed](const std::string& text) {
            ServiceLog::Instance().Warning("device lost: " + text + " (reopened every 2 s)");
            if (feed)
                feed->LinkState("lost", text);
        };
        notices.deviceBack = [feed](const std::string& text) {
            ServiceLog::Instance().Info("device back: " + text);
            if (feed)
                feed->LinkState("back", text);
        };
        session.SetNotices(std::move(notices));

        // The second scanner follows the activity by the desktop program's rules.
        std::unique_ptr<ScannerFollower> follower;
        if (settings.scanControlEnabled) {
            follower = std::make_unique<ScannerFollower>(decoder, settings, folder);
            follower->Begin();
            ServiceLog::Instance().Info("second scanner on " + settings.scanControlPort + " followed");
        }
        TickSource followTimer(kFollowInterval, [&] { follower->Step(); });

        std::string error;
        if (!session.StartReader(config, error)) {
            status = Fail(error);
        } else {
            if (follower)
                followTimer.Start();
            HeadlessBackups backups(settings, settingsPath, folder);
            auto lastBlock = std::chrono::steady_clock::now();
            auto lastStatus = lastBlock;
            auto lastCount = lastBlock;
            bool noData = false;
            bool started = false;
            uint64_t lastConnections = 0;
            while (!g_stopRequested && !openFailed) {
                SleepUnlessWoken(kSupervisionPeriod);
                const auto now = std::chrono::steady_clock::now();
                // Started once the device is open (a port that cannot be opened is an error instead).
                if (!started && session.Reader() && session.Reader()->DeviceConnected()) {
                    started = true;
                    ServiceLog::Instance().Info(
                        "started: " + (options.demo ? std::string("demo scanner") : config.port) + ", scanner type " +
                        std::to_string(scannerType) + ", program folder " + folder);
                    if (feed)
                        feed->ServiceState("started");
                }
                // Once a second (a wake-up for a stop may come a little earlier).
                if (now - lastCount >= std::chrono::milliseconds(900)) {
                    lastCount = now;
                    int32_t expected = 0, good = 0;
                    session.TakeCounters(expected, good);
                    if (good > 0 || expected > 0) {
                        lastBlock = now;
                        if (noData) {
                            noData = false;
                            ServiceLog::Instance().Info("receiving data again");
                            if (feed)
                                feed->LinkState("receiving", "data again");
                        }
                    } else if (!noData && now - lastBlock >= std::chrono::seconds(kNoDataSeconds)) {
                        noData = true;
                        ServiceLog::Instance().Warning("no data for " + std::to_string(kNoDataSeconds) + " s");
                        if (feed)
                            feed->LinkState("no_data", "no block received", kNoDataSeconds);
                    }
                    backups.Check(Clock::System().Now());
                }
                const uint64_t connections = feedSetup.Mqtt() ? feedSetup.Mqtt()->Connections() : 0;
                if (feed &&
                    (now - lastStatus >= std::chrono::seconds(kStatusSeconds) || connections != lastConnections)) {
                    lastStatus = now;
                    lastConnections = connections;
                    feed->PublishStatus();
                }
            }
            if (g_stopRequested)
                ServiceLog::Instance().Info("stopping on signal " + std::to_string(g_stopSignal.load()));
            if (feed)
                feed->ServiceState("stopping");
            // The session stops in the window's order: reader, queue drained, processing.
            session.EndReader(SleepUntil);
            if (openFailed)
                status = Fail(config.port + ": " + openError);
            session.DrainQueue(SleepUntil);
            followTimer.Stop();
            if (follower)
                follower->End();
            backups.Finish();
        }
    }

    session.EndProcessing(SleepUntil);
    saver.Stop();
    expiry.Stop();
    session.CloseDemo();
    WriteOut(dumpBuffer);
    std::fflush(stdout);

    // A live run writes what it learnt on every stop; a replay only when asked.
    const bool identified = decoder.GetSystemId() != 0;
    if (status == 0 && live && identified) {
        ReportSave(feed, session.SaveSystem(), folder, "stop");
    } else if (status == 0 && options.save) {
        const bool ok = session.SaveSystem();
        if (feed)
            feed->SaveDone(ok, folder);
    }
    decoder.SetEventSink(nullptr);
    feedSetup.Stop();
    return report.ExitStatus(status);
}
