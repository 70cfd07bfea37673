#pragma once

#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class P25Class;
class QObject;
class ScannerControl;
class TForm1;
class TScannerReadThread;
struct AppState;
struct MainWindowWidgets;
struct ScreenContext;
struct Settings;

// The screen refresh thread. About a hundred times a second it asks the decoder's areas whether
// they changed and hands the updater of every changed view to the main thread, one at a time,
// waiting until it has returned (the views belong to the main thread). Once per 100 ms tick it
// returns idle channels to idle and drops stale patches.
//
// Stopping never deadlocks: a hand-over that the main thread has not started yet is withdrawn as
// soon as interruption is requested, so requestInterruption() + wait() (or Stop()) from the main
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
    };

    static constexpr std::chrono::milliseconds kPassPause{10};
    // How often a thread waiting for the main thread looks for a stop request.
    static constexpr std::chrono::milliseconds kHandOverSlice{5};
    // "Last tick" before the first pass, so the first pass runs the expiry.
    static constexpr int32_t kNoTickYet = 1000000;

    explicit ScreenThread(Links links, QObject* parent = nullptr);
    // The main window's decoder, state, settings, reader and second scanner (the decoder must
    // exist already).
    explicit ScreenThread(TForm1& window, QObject* parent = nullptr);
    ~ScreenThread() override;  // stops and waits

    // Requests interruption, wakes the pause and waits for the end.
    void Stop();

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
    void RunChangedUpdaters(ScreenContext& c, bool full);
    // Runs `work` on the main thread and waits for it; false when a stop withdrew it or it threw.
    bool OnMainThread(const std::function<void()>& work);
    void Pause();

    Links links_;
    std::atomic<bool> fullRefreshPass_{false};
    std::atomic<bool> failed_{false};
    std::atomic<int64_t> passes_{0};
    std::atomic<int64_t> handOvers_{0};
    // PSRDUMP/Visible as last seen on the main thread: raw lines are fetched only while it is on.
    std::atomic<bool> rawDataShown_{false};
    std::mutex pauseMutex_;
    std::condition_variable pauseWake_;
};
