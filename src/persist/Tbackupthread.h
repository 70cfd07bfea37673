#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/Clock.h"

struct Settings;

// What one backup did; a folder or file that fails is skipped and counted, never reported.
struct BackupResult {
    int systemFolders = 0;  // "System*" folders found in the program folder
    int filesCopied = 0;
    int failures = 0;      // target folders not created plus files not copied
    bool stopped = false;  // a stop request ended it early
};

// Copies the files of every per-system folder ("System*" folders of the program folder) into
// its backup folder: "backup" (or "backup-YYYYMMDD") inside the system folder itself when no
// backup path is set, else <root>/<system folder> (or <root>/YYYYMMDD/<system folder>).
// Subfolders are not copied; a file of the same name in the target is replaced (through a
// temporary file and a rename, so an earlier backup's copy is never left half-written).
//
// Lifecycle: construct (the backup settings are read once, here), SetEndCallback, Start();
// Terminate() asks it to stop after the file being copied, WaitFor() joins; the destructor does
// both. The end callback runs on the backup thread; the desktop program posts it on to its main
// thread.
class TBackup {
public:
    TBackup(std::string programFolder, const Settings& settings, const Clock& clock = Clock::System());
    ~TBackup();
    TBackup(const TBackup&) = delete;
    TBackup& operator=(const TBackup&) = delete;

    void SetEndCallback(std::function<void(const BackupResult&)> onEnd);
    // Starts the copy; false when this object has been started before.
    bool Start();
    void Terminate();
    void WaitFor();
    bool Running() const { return running_.load(); }
    // What the copy did; complete once WaitFor has returned.
    const BackupResult& Result() const { return result_; }

    // The backup root: the backup path with blanks around it removed and a '/' appended; a
    // relative path is taken from the program folder. Empty when no path is set.
    static std::string BackupRoot(const std::string& backupPath, const std::string& programFolder);
    // The target folder of the system folder named `systemFolder`, with `root` from BackupRoot.
    static std::string TargetFolder(const std::string& programFolder, const std::string& systemFolder,
                                    const std::string& root, bool addDate, const std::tm& date);

private:
    void Execute(std::stop_token stop);
    void CopySystemFolder(const std::string& name, const std::string& root, const std::tm& date, std::stop_token& stop);
    bool CopyFile(const std::string& from, const std::string& folder, const std::string& name);

    std::string programFolder_;
    std::string backupPath_;
    bool addDate_;
    const Clock& clock_;
    std::function<void(const BackupResult&)> onEnd_;
    BackupResult result_;
    bool started_ = false;
    std::atomic<bool> running_{false};
    std::jthread thread_;  // last: stopped and joined before the members above go
};

// The schedule check of the backup timer, as a pure function of the settings and the time.
enum class BackupAction {
    StopTimer,    // a backup is running or backups are off
    StartBackup,  // due: set LastBackup to now, save the settings, start a TBackup
    CheckLater,   // not due: check again after `nextCheckSeconds`
};
struct BackupCheck {
    BackupAction action;
    int64_t nextCheckSeconds;  // CheckTime in seconds (the timer's next interval)
};

// A backup is due when LastBackup + Days days is strictly before `now` (Unix seconds).
bool BackupDue(const Settings& s, int64_t now);
BackupCheck CheckBackupSchedule(const Settings& s, bool busy, int64_t now);
