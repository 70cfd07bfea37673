#include "ui/mainwindow/BackupScheduler.h"

#include <QCoreApplication>
#include <QLabel>
#include <QThread>
#include <QTimer>

#include "persist/Settings.h"
#include "persist/Tbackupthread.h"
#include "ui/mainwindow/MainWindowNames.h"

namespace {
constexpr int kMsPerSecond = 1000;
}

BackupScheduler::BackupScheduler(QObject* timerParent, Settings& settings, const Clock& clock,
                                 std::string programFolder, std::function<bool()> saveSettings)
    : QObject(nullptr), timer_(new QTimer(timerParent)), settings_(settings), clock_(clock),
      programFolder_(std::move(programFolder)), saveSettings_(std::move(saveSettings))
{
    timer_->setObjectName(ui_names::kBackupTimer);
    connect(timer_, &QTimer::timeout, this, &BackupScheduler::Check);
}

BackupScheduler::~BackupScheduler()
{
    // A backup still running when the window goes is stopped after its current file.
    if (backup_) {
        backup_->Terminate();
        backup_->WaitFor();
    }
}

void BackupScheduler::StartTimer(int intervalMs)
{
    timer_->start(intervalMs);
}

void BackupScheduler::StopTimer()
{
    timer_->stop();
}

void BackupScheduler::FollowSettings()
{
    if (settings_.backupEnabled) {
        if (!timer_->isActive())
            timer_->start(kDialogIntervalMs);
    } else if (timer_->isActive()) {
        timer_->stop();
    }
}

void BackupScheduler::Check()
{
    const BackupCheck check = CheckBackupSchedule(settings_, busy_, clock_.Now());
    switch (check.action) {
    case BackupAction::StopTimer: timer_->stop(); return;
    case BackupAction::CheckLater: timer_->start(static_cast<int>(check.nextCheckSeconds * kMsPerSecond)); return;
    case BackupAction::StartBackup: break;
    }
    busy_ = true;
    // The start time is kept even if the program ends during the copy.
    settings_.lastBackup = clock_.Now();
    if (saveSettings_)
        saveSettings_();
    if (label_)
        label_->show();
    backup_ = std::make_unique<TBackup>(programFolder_, settings_, clock_);
    // The end notice comes from the backup thread; the schedule continues on the main thread.
    backup_->SetEndCallback([this](const BackupResult&) {
        QMetaObject::invokeMethod(
            this, [this] { BackupEnded(); }, Qt::QueuedConnection);
    });
    backup_->Start();
}

void BackupScheduler::BackupEnded()
{
    if (backup_) {
        backup_->WaitFor();
        backup_.reset();
    }
    timer_->setInterval(settings_.backupCheckTime * 60 * kMsPerSecond);
    busy_ = false;
    if (settings_.backupEnabled)
        timer_->start();
    if (label_)
        label_->hide();
    emit BackupFinished();
}

void BackupScheduler::WaitWhileBusy()
{
    while (busy_) {
        QThread::msleep(kWaitStepMs);
        QCoreApplication::processEvents();
    }
}
