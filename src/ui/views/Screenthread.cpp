#include "ui/views/Screenthread.h"

#include <QAbstractEventDispatcher>
#include <QWidget>

#include <memory>

#include "decoder/P25Class.h"
#include "link/TScannerReadThread.h"
#include "ui/mainwindow/AppState.h"
#include "ui/mainwindow/EmergencyAlert.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/ScreenScratch.h"
#include "ui/views/ViewUpdaters.h"

namespace {

// One hand-over of an updater to the main thread. The refresh thread withdraws it while it is
// still pending when a stop is requested; once the main thread has started it, the refresh thread
// waits for its end (the main thread is then busy with it, not waiting for this thread).
struct HandOver {
    enum class Stage { Pending, Running, Done, Withdrawn };
    std::mutex mutex;
    std::condition_variable done;
    Stage stage = Stage::Pending;
    bool threw = false;
};

// An updater, the changed query that triggers it, whether a full refresh forces it, and whether it
// takes anything while no system is known.
struct Step {
    bool (*changed)(P25Class&);
    void (*update)(ScreenContext&, bool full);
    bool forcedByFullRefresh;
    bool needsSystem;
    // Work that waits for this updater; nullptr: `changed`.
    bool (*waiting)(P25Class&) = nullptr;
};

template <void (*Update)(ScreenContext&)>
void Plain(ScreenContext& c, bool)
{
    Update(c);
}

void Patches(ScreenContext& c, bool full)
{
    UpdatePatches(c, full);
}

// The order is the order the views are drawn in within one pass.
const Step kSteps[] = {
    {[](P25Class& d) { return d.SystemInfoChanged(); }, Plain<UpdateSiteInformation>, true, false},
    {[](P25Class& d) { return d.Channels().ChannelsChanged(); }, Plain<UpdateActivity>, true, true},
    {[](P25Class& d) { return d.Neighbors().NeighborsChanged(); }, Plain<UpdateNeighbors>, true, true},
    {[](P25Class& d) { return d.Identifiers().IdentifiersChanged(); }, Plain<UpdateIdentifiers>, true, true},
    // The list's flag is cleared only by the "Refresh" buttons; events that leave the list as it
    // is (a denied affiliation, a clear of the log alone) raise only the log's flag. So only the
    // log's flag is work that waits: the list's flag makes the updater run in every pass.
    {[](P25Class& d) { return d.Affiliations().AffiliationsChanged() || d.AffLog().AffiliationLogChanged(); },
     Plain<UpdateAffiliations>, true, false, [](P25Class& d) { return d.AffLog().AffiliationLogChanged(); }},
    {[](P25Class& d) { return d.Patches().PatchesChanged(); }, Patches, true, true},
    {[](P25Class& d) { return d.PatchEvents().PatchLogChanged(); }, Patches, true, true},
    {[](P25Class& d) { return d.Unknowns().UnknownPacketsChanged(); }, Plain<UpdateUnknownPackets>, false, true},
    {[](P25Class& d) { return d.Grants().GrantLogChanged(); }, Plain<UpdateGrants>, true, true},
    {[](P25Class& d) { return d.Events().EventLogChanged(); }, Plain<UpdateEvents>, true, true},
    {[](P25Class& d) { return d.Dump().PacketDumpChanged(); }, Plain<UpdatePacketDump>, true, true},
    {[](P25Class& d) { return d.Filter().FilterRangesChanged(); }, Plain<UpdateFilterRanges>, true, false},
};

}  // namespace

ScreenThread::ScreenThread(Links links, QObject* parent) : QThread(parent), links_(std::move(links))
{
    setObjectName(QStringLiteral("ScreenThread"));
    rawDataShown_ = links_.settings->psrDump.visible;
    WatchMainThread();
}

ScreenThread::ScreenThread(TForm1& window, QObject* parent)
    : ScreenThread(Links{window.Decoder(), &window, &window.Widgets(), &window.State(), &window.AppSettings(),
                         [&window] { return window.Reader(); }, [&window] { return window.SecondScanner(); },
                         window.Emergencies() ? &window.Emergencies()->Calls() : nullptr},
                   parent)
{ }

ScreenThread::~ScreenThread()
{
    Stop();
}

void ScreenThread::Stop()
{
    RequestStop();
    wait();
}

void ScreenThread::RequestStop()
{
    requestInterruption();
    Wake();
}

void ScreenThread::Wake()
{
    links_.decoder->Context().changes.Raise();
    {
        const std::lock_guard lock(pauseMutex_);
    }
    pauseWake_.notify_all();
}

void ScreenThread::WatchMainThread()
{
    QAbstractEventDispatcher* loop = links_.root ? links_.root->thread()->eventDispatcher() : nullptr;
    if (!loop)
        return;
    // After the main thread has handled its events (an edit, a reset, a hold, the tick's timer),
    // whatever they left for the views is looked for here, at no cost of its own: the main thread
    // was awake anyway.
    auto look = [this] {
        rawDataShown_ = links_.settings->psrDump.visible;  // the settings belong to the main thread
        if (looping_.load() && (isInterruptionRequested() || WorkWaiting()))
            links_.decoder->Context().changes.Raise();
    };
    connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, look, Qt::DirectConnection);
    connect(loop, &QAbstractEventDispatcher::awake, this, look, Qt::DirectConnection);
}

void ScreenThread::run()
{
    looping_ = true;
    try {
        Loop();
    } catch (...) {
        failed_ = true;  // the thread ends; its owner replaces it
    }
    looping_ = false;
    fullRefreshPass_ = false;
}

bool ScreenThread::WorkWaiting() const
{
    P25Class& decoder = *links_.decoder;
    const AppState& state = *links_.state;
    if (state.FullRefreshRequested.load() || state.HeldTalkgroup.load() != lastHold_.load())
        return true;
    if (rawLinesLeft_.load() && state.DecodeRunning.load() && rawDataShown_.load())
        return true;
    const int32_t tick = decoder.Tick();
    if (tick != lastTick_.load()) {
        const int32_t call = earliestCall_.load();
        if (call != kNone32 && tick >= decoder.Activity().ExpiryTick(call))
            return true;
        if (patchExpiry_.load() != kNone64 && decoder.Context().time.Now() >= patchExpiry_.load())
            return true;
    }
    // While no system is known most updaters take nothing: their flags wait for the system.
    const bool known = decoder.Context().systemId.load() != 0;
    for (const Step& step : kSteps) {
        if ((known || !step.needsSystem) && (step.waiting ? step.waiting(decoder) : step.changed(decoder)))
            return true;
    }
    return false;
}

void ScreenThread::Loop()
{
    P25Class& decoder = *links_.decoder;
    ScreenScratch scratch;  // owned by this run of the thread
    ScreenContext c{*links_.widgets, decoder,        *links_.state, *links_.settings,
                    scratch,         links_.scanner, links_.reader, links_.emergencies};
    ChangeNotice& changes = decoder.Context().changes;
    lastTick_ = kNoTickYet;  // the first pass runs the expiry
    lastHold_ = -1;
    bool first = true;
    auto lastPass = std::chrono::steady_clock::now() - kPassPause;
    while (!isInterruptionRequested() && !failed_) {
        const uint64_t seen = changes.Count();
        if (!first && !WorkWaiting()) {
            changes.WaitPast(seen);
            continue;
        }
        first = false;
        // Changes that arrive meanwhile are gathered into this pass.
        PauseUntil(lastPass + kPassPause);
        if (isInterruptionRequested())
            break;
        lastPass = std::chrono::steady_clock::now();
        Pass(c);
    }
}

void ScreenThread::Pass(ScreenContext& c)
{
    P25Class& decoder = c.decoder;
    const int32_t tick = decoder.Tick();
    if (tick != lastTick_.load()) {
        decoder.Activity().ExpireChannelActivity();
        decoder.Patches().ExpirePatches();
    }
    const bool full = c.state.FullRefreshRequested.exchange(false);
    fullRefreshPass_ = full;
    if (ViewsToUpdate(full)) {
        // While the processing thread resets the decoder and reads a system's files (under
        // "SYSINFOLOCK", which every updater takes first), this thread waits, not the window.
        {
            const LockGuard loading(decoder.SysInfo().Lock());
        }
        OnMainThread([&] { UpdateViews(c, full); });
    }
    fullRefreshPass_ = false;
    lastTick_ = tick;
    NoteNextExpiry();
    ++passes_;
}

bool ScreenThread::ViewsToUpdate(bool full) const
{
    const AppState& state = *links_.state;
    if (full || state.HeldTalkgroup.load() != lastHold_.load() || (state.DecodeRunning.load() && rawDataShown_.load()))
        return true;
    for (const Step& step : kSteps) {
        if (step.changed(*links_.decoder))
            return true;
    }
    return false;
}

void ScreenThread::UpdateViews(ScreenContext& c, bool full)
{
    // Each condition is read just before its updater runs, so a change made by an earlier
    // updater of the pass is seen by a later one, as when each was handed over alone.
    for (const Step& step : kSteps) {
        if ((full && step.forcedByFullRefresh) || step.changed(c.decoder))
            step.update(c, full);
    }
    const int32_t hold = c.state.HeldTalkgroup.load();
    if (hold != lastHold_.load()) {
        UpdateActivity(c);
        lastHold_ = hold;
    }
    // The reader may be ended by the session at any moment, so it is asked here, on the main thread.
    if (c.state.DecodeRunning.load() && rawDataShown_.load()) {
        UpdateRawData(c);
        TScannerReadThread* reader = c.reader ? c.reader() : nullptr;
        rawLinesLeft_ = reader && reader->HasRawLines();
    }
}

void ScreenThread::NoteNextExpiry()
{
    P25Class& decoder = *links_.decoder;
    earliestCall_ = decoder.Activity().EarliestCallActivity().value_or(kNone32);
    patchExpiry_ = decoder.Patches().NextExpiry().value_or(kNone64);
}
bool ScreenThread::OnMainThread(const std::function<void()>& work)
{
    if (isInterruptionRequested() || failed_)
        return false;
    auto handOver = std::make_shared<HandOver>();
    ++handOvers_;
    // `work` lives on this thread's stack and `this` may be gone once the thread has ended: both are
    // touched only after the main thread has taken the hand-over, and this thread waits for every
    // hand-over that was taken.
    QMetaObject::invokeMethod(
        links_.root,
        [this, handOver, &work] {
            {
                const std::lock_guard lock(handOver->mutex);
                if (handOver->stage == HandOver::Stage::Withdrawn)
                    return;
                handOver->stage = HandOver::Stage::Running;
            }
            // The settings belong to the main thread; the loop reads this copy.
            rawDataShown_ = links_.settings->psrDump.visible;
            bool threw = false;
            try {
                work();
            } catch (...) {
                threw = true;
            }
            {
                const std::lock_guard lock(handOver->mutex);
                handOver->stage = HandOver::Stage::Done;
                handOver->threw = threw;
            }
            handOver->done.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(handOver->mutex);
    while (handOver->stage != HandOver::Stage::Done) {
        if (handOver->stage == HandOver::Stage::Pending && isInterruptionRequested()) {
            handOver->stage = HandOver::Stage::Withdrawn;
            return false;
        }
        handOver->done.wait_for(lock, kHandOverSlice);
    }
    if (handOver->threw)
        failed_ = true;
    return !handOver->threw;
}

void ScreenThread::PauseUntil(std::chrono::steady_clock::time_point until)
{
    if (std::chrono::steady_clock::now() >= until)
        return;
    std::unique_lock lock(pauseMutex_);
    pauseWake_.wait_until(lock, until, [this] { return isInterruptionRequested(); });
}
