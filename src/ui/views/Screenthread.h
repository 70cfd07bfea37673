#pragma once

#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <limits>
#include <mutex>

class EmergencyCalls;
class P25Class;
class QObject;
class ScannerControl;
class TForm1;
class TScannerReadThread;
struct AppState;
struct MainWindowWidgets;
struct ScreenContext;
struct Settings;

// The screen refresh thread. It sleeps until something a view shows may have changed: the
// decoder's notice of changes (raised by the processing thread after each decoded batch and by the
// reader for raw lines) wakes it, and after every turn of the main thread's event loop the main
// thread looks at the changed flags, the hold, a full refresh request and the tick (a few atomic
// reads) and wakes it when any of them has work, so edits, resets and the 100 ms tick made on the
// main thread are seen too. Passes follow one another at least kPassPause apart; what arrives
// meanwhile is gathered into the next pass. A pass hands the updaters of the changed views to the
// main thread in one hand-over, where they run one at a time in their fixed order, and waits
// until they have returned (the views belong to the main thread). When the tick has moved on it
// returns idle channels to idle and drops stale patches; with no call and no patch left to expire
// the tick wakes nobody.
//
// Stopping never deadlocks: a hand-over that the main thread has not started yet is withdrawn as
// soon as interruption is requested, so RequestStop() + wait() (or Stop()) from the main
// thread returns within one pass, even while the thread is waiting for the main thread.
// The root window and its widgets, the decoder, the state and the settings must outlive the running thread.
class ScreenThread : public QThread {
    Q_OBJECT
public:
    struct Links {
        P25Class* decoder = nullptr;
        QObject* root = nullptr;                     // the main window: the updaters run in its thread
        const MainWindowWidgets* widgets = nullptr;  // what the updaters write
        AppState* state = nullptr;
        const Settings* settings = nullptr;  // read on the main thread only
        // Called on the main thread only (the session creates and destroys both there).
        std::function<TScannerReadThread*()> reader;
        std::function<ScannerControl*()> scanner;
        EmergencyCalls* emergencies = nullptr;  // main thread only; may be null
    };

    // Least time from the start of one pass to the start of the next.
    static constexpr std::chrono::milliseconds kPassPause{10};
    // How often a thread waiting for the main thread looks for a stop request.
    static constexpr std::chrono::milliseconds kHandOverSlice{5};
    // "Last tick" before the first pass, so the first pass runs the expiry.
    static constexpr int32_t kNoTickYet = 1000000;
    static constexpr int32_t kNone32 = std::numeric_limits<int32_t>::max();
    static constexpr int64_t kNone64 = std::numeric_limits<int64_t>::max();

    explicit ScreenThread(Links links, QObject* parent = nullptr);
    // The main window's decoder, state, settings, reader and second scanner (the decoder must
    // exist already).
    explicit ScreenThread(TForm1& window, QObject* parent = nullptr);
    ~ScreenThread() override;  // stops and waits

    // Requests interruption, wakes the thread and waits for the end.
    void Stop();
    // Requests interruption and wakes the thread; returns at once. (A bare requestInterruption()
    // is seen when the main thread's loop next turns or the thread next wakes.)
    void RequestStop();

    // Whether a pass would find work now: a changed flag whose updater can take it, a full refresh
    // request, a changed hold, raw lines left over, or a tick that brings an expiry due. Cheap;
    // any thread.
    bool WorkWaiting() const;

    // Set during the pass that serves a full refresh (AppState::FullRefreshRequested).
    bool FullRefreshPass() const { return fullRefreshPass_.load(); }
    // The thread ended because an updater threw; the owner starts a new one.
    bool Failed() const { return failed_.load(); }
    // Passes of the loop and updaters handed to the main thread so far (diagnostics and tests).
    int64_t Passes() const { return passes_.load(); }
    int64_t HandOvers() const { return handOvers_.load(); }

protected:
    void run() override;

private:
    void Loop();
    void Pass(ScreenContext& c);
    // Whether the pass has anything for the main thread.
    bool ViewsToUpdate(bool full) const;
    // Runs the updaters of the changed views on the main thread.
    void UpdateViews(ScreenContext& c, bool full);
    // Notes when the next expiry can be due.
    void NoteNextExpiry();
    // Runs `work` on the main thread and waits for it; false when a stop withdrew it or it threw.
    bool OnMainThread(const std::function<void()>& work);
    // Sleeps until `until` or a stop request.
    void PauseUntil(std::chrono::steady_clock::time_point until);
    // Wakes the thread when the main thread's event loop has left work behind.
    void WatchMainThread();
    void Wake();

    Links links_;
    std::atomic<bool> fullRefreshPass_{false};
    std::atomic<bool> failed_{false};
    std::atomic<int64_t> passes_{0};
    std::atomic<int64_t> handOvers_{0};
    // PSRDUMP/Visible as last seen on the main thread: raw lines are fetched only while it is on.
    std::atomic<bool> rawDataShown_{false};
    // The raw data updater left lines for a later pass.
    std::atomic<bool> rawLinesLeft_{false};
    std::atomic<bool> looping_{false};
    // What the last pass saw; written by the refresh thread, read by WorkWaiting anywhere.
    std::atomic<int32_t> lastTick_{kNoTickYet};
    std::atomic<int32_t> lastHold_{-1};
    // Earliest last activity of a call and earliest patch expiry (Unix seconds), or none.
    std::atomic<int32_t> earliestCall_{kNone32};
    std::atomic<int64_t> patchExpiry_{kNone64};
    std::mutex pauseMutex_;
    std::condition_variable pauseWake_;
};
