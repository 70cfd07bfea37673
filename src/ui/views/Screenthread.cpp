#include "ui/views/Screenthread.h"

#include <QWidget>

#include <memory>

#include "decoder/P25Class.h"
#include "ui/mainwindow/AppState.h"
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

// An updater, the changed query that triggers it, and whether a full refresh forces it.
struct Step {
    bool (*changed)(P25Class&);
    void (*update)(ScreenContext&, bool full);
    bool forcedByFullRefresh;
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
    {[](P25Class& d) { return d.SystemInfoChanged(); }, Plain<UpdateSiteInformation>, true},
    {[](P25Class& d) { return d.Channels().ChannelsChanged(); }, Plain<UpdateActivity>, true},
    {[](P25Class& d) { return d.Neighbors().NeighborsChanged(); }, Plain<UpdateNeighbors>, true},
    {[](P25Class& d) { return d.Identifiers().IdentifiersChanged(); }, Plain<UpdateIdentifiers>, true},
    // The list's flag is cleared only by the "Refresh" buttons; events that leave the list as it
    // is (a denied affiliation, a clear of the log alone) raise only the log's flag.
    {[](P25Class& d) { return d.Affiliations().AffiliationsChanged() || d.AffLog().AffiliationLogChanged(); },
     Plain<UpdateAffiliations>, true},
    {[](P25Class& d) { return d.Patches().PatchesChanged(); }, Patches, true},
    {[](P25Class& d) { return d.PatchEvents().PatchLogChanged(); }, Patches, true},
    {[](P25Class& d) { return d.Unknowns().UnknownPacketsChanged(); }, Plain<UpdateUnknownPackets>, false},
    {[](P25Class& d) { return d.Grants().GrantLogChanged(); }, Plain<UpdateGrants>, true},
    {[](P25Class& d) { return d.Events().EventLogChanged(); }, Plain<UpdateEvents>, true},
    {[](P25Class& d) { return d.Dump().PacketDumpChanged(); }, Plain<UpdatePacketDump>, true},
    {[](P25Class& d) { return d.Filter().FilterRangesChanged(); }, Plain<UpdateFilterRanges>, true},
};

}  // namespace

ScreenThread::ScreenThread(Links links, QObject* parent) : QThread(parent), links_(std::move(links))
{
    setObjectName(QStringLiteral("ScreenThread"));
    rawDataShown_ = links_.settings->psrDump.visible;
}

ScreenThread::ScreenThread(TForm1& window, QObject* parent)
    : ScreenThread(Links{window.Decoder(), &window, &window.Widgets(), &window.State(), &window.AppSettings(),
                         [&window] { return window.Reader(); }, [&window] { return window.SecondScanner(); }},
                   parent)
{ }

ScreenThread::~ScreenThread()
{
    Stop();
}

void ScreenThread::Stop()
{
    requestInterruption();
    {
        const std::lock_guard lock(pauseMutex_);
    }
    pauseWake_.notify_all();
    wait();
}

void ScreenThread::run()
{
    try {
        Loop();
    } catch (...) {
        failed_ = true;  // the thread ends; its owner replaces it
    }
    fullRefreshPass_ = false;
}

void ScreenThread::Loop()
{
    P25Class& decoder = *links_.decoder;
    AppState& state = *links_.state;
    ScreenScratch scratch;  // owned by this run of the thread
    ScreenContext c{*links_.widgets, decoder, state, *links_.settings, scratch, links_.scanner, links_.reader};
    int32_t lastTick = kNoTickYet;
    int32_t lastHold = -1;
    while (!isInterruptionRequested() && !failed_) {
        const int32_t tick = decoder.Tick();
        if (tick != lastTick) {
            decoder.Activity().ExpireChannelActivity();
            decoder.Patches().ExpirePatches();
        }
        const bool full = state.FullRefreshRequested.exchange(false);
        fullRefreshPass_ = full;
        RunChangedUpdaters(c, full);
        const int32_t hold = state.HeldTalkgroup.load();
        if (hold != lastHold) {
            OnMainThread([&] { UpdateActivity(c); });
            lastHold = hold;
        }
        // The reader may be ended by the session at any moment, so it is asked on the main thread.
        if (state.DecodeRunning.load() && rawDataShown_.load())
            OnMainThread([&] { UpdateRawData(c); });
        fullRefreshPass_ = false;
        ++passes_;
        Pause();
        lastTick = tick;
    }
}

void ScreenThread::RunChangedUpdaters(ScreenContext& c, bool full)
{
    for (const Step& step : kSteps) {
        if ((full && step.forcedByFullRefresh) || step.changed(c.decoder))
            OnMainThread([&] { step.update(c, full); });
    }
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

void ScreenThread::Pause()
{
    std::unique_lock lock(pauseMutex_);
    pauseWake_.wait_for(lock, kPassPause, [this] { return isInterruptionRequested(); });
}
