#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class Clock;
class QLabel;
class QTimer;
class TBackup;
struct Settings;

// The backup schedule of the main window: the timer `BackupTimer` (a child of the window), the
// label `BackupLabel` ("*Backup In Progress*") and the one backup thread `TBackup` that may run.
// Each tick checks whether a backup is due; a due backup stores its start time in the settings
// file first, so a program that ends during the copy still counts it as done. Main thread only.
class BackupScheduler : public QObject {
    Q_OBJECT
public:
    static constexpr int kStartupIntervalMs = 5000;  // first check after program start
    static constexpr int kDialogIntervalMs = 1000;   // after the configuration dialog enables backups
    static constexpr int kWaitStepMs = 100;          // close: pumping while a backup runs

    BackupScheduler(QObject* timerParent, Settings& settings, const Clock& clock, std::string programFolder,
                    std::function<bool()> saveSettings);
    ~BackupScheduler() override;

    void SetLabel(QLabel* label) { label_ = label; }
    QTimer* Timer() const { return timer_; }

    // Starts (or restarts) the timer with the given interval.
    void StartTimer(int intervalMs);
    void StopTimer();
    // After the settings changed (configuration dialog "Ok"): backups just enabled are checked
    // within a second when the timer is not running; backups disabled stop the timer.
    void FollowSettings();
    // The schedule check of one tick.
    void Check();
    bool Busy() const { return busy_; }
    // Pumps the event loop in 100 ms steps until a running backup has ended.
    void WaitWhileBusy();

signals:
    void BackupFinished();

private:
    void BackupEnded();

    QTimer* timer_;
    Settings& settings_;
    const Clock& clock_;
    std::string programFolder_;
    std::function<bool()> saveSettings_;
    QLabel* label_ = nullptr;
    bool busy_ = false;
    std::unique_ptr<TBackup> backup_;
};
