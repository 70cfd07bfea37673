// The decode session of the main window: start, stop, the port-failure stop, the timers that run
// beside it and the close sequence.
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "decoder/P25Class.h"
#include "link/TBSKQueue.h"
#include "link/TScannerReadThread.h"
#include "platform/Clock.h"
#include "scancontrol/ScannerControl.h"
#include "service/EventFeedFile.h"
#include "session/DecodeSession.h"
#include "ui/mainwindow/BackupScheduler.h"
#include "ui/mainwindow/EventPump.h"
#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/mainwindow/ReceiveRate.h"
#include "ui/mainwindow/RefreshKeeper.h"
#include "ui/views/ListModel.h"
#include "ui/views/ListViewTable.h"

namespace {

constexpr char kStopQuestion[] = "Are you sure you want to stop the data decode session?";
constexpr char kStopTitle[] = "Stop Decode";
constexpr int kSaveTimerMs = 60000;
constexpr int kPortFailureStopMs = 250;
constexpr int kFullRate = 100;

}  // namespace

void TForm1::ToggleSession()
{
    // One toggle at a time: a menu command or Timer3 arriving while a stop waits does nothing.
    if (toggling_ || closed_ || !session_)
        return;
    toggling_ = true;
    startStopButton_->setEnabled(false);
    if (state_.DecodeRunning)
        StopSession();
    else
        StartSession();
    startStopButton_->setEnabled(true);
    toggling_ = false;
    const DeferredEnd end = std::exchange(deferredEnd_, DeferredEnd::None);
    if (end == DeferredEnd::Close)
        QTimer::singleShot(0, this, &QWidget::close);
    else if (end == DeferredEnd::Exit)
        QTimer::singleShot(0, this, &TForm1::ExitProgram);
}

void TForm1::StartSession()
{
    session_->Decoder().ResetAll();
    startStopButton_->setText(kRunningCaption);
    EmptyAllLists();
    state_.DecodeRunning = true;

    // The notices come from the session's threads; the window handles them on the main thread.
    const int session = ++sessionNumber_;
    DecodeSession::Notices notices;
    notices.openError = [this, session](const std::string& text, const std::string& title) {
        QMetaObject::invokeMethod(
            this,
            [this, text, title, session] {
                ReportPortFailure(QString::fromStdString(text), QString::fromStdString(title), session);
            },
            Qt::QueuedConnection);
    };
    const auto ended = [this, session] {
        QMetaObject::invokeMethod(
            this, [this, session] { NoteThreadEnd(session); }, Qt::QueuedConnection);
    };
    notices.readerEnded = ended;
    notices.processingEnded = ended;
    session_->SetNotices(std::move(notices));
    if (settings_.eventFeedEnabled) {
        // A feed that cannot be written is said on standard error; the session runs without it.
        eventFeed_ = std::make_unique<EventFeedFile>();
        std::string feedError;
        if (!eventFeed_->Start(session_->Decoder(), ProgramFolder(), settings_.eventFeedFile, feedError)) {
            std::fprintf(stderr, "varnel: %s\n", feedError.c_str());
            eventFeed_.reset();
        }
    }
    session_->SetIdlePriority(true);
    session_->StartProcessing();
    StartReader();

    if (settings_.scanControlEnabled) {
        scannerControl_ = std::make_unique<ScannerControl>(settings_, ProgramFolder());
        scannerControl_->SendInit();
        scannerControl_->TuneQuiet();
    }
    if (settings_.autoSaveEnabled) {
        state_.LastSystemSave = WallClock().Now();
        saveTimer_->start(kSaveTimerMs);
    }
    SetDecodeActions(true);
    if (!rateTimer_->isActive())
        rateTimer_->start();
    emit SessionStarted();
}

void TForm1::StartReader()
{
    ScannerReadConfig config;
    config.scannerType = settings_.scannerType;
    config.port = settings_.port;
    config.unidenSpeed = static_cast<uint32_t>(settings_.unidenSpeed);
    config.latency = settings_.latency;
    config.rawDump = settings_.psrDump.visible;
    std::string error;
    if (!session_->StartReader(config, error)) {
        // A demo scanner that cannot start is reported like a port that cannot be opened; the
        // session then stops.
        QMetaObject::invokeMethod(
            this,
            [this, error] {
                ReportPortFailure(QString::fromStdString(error), TScannerReadThread::kOpenErrorTitle, sessionNumber_);
            },
            Qt::QueuedConnection);
    }
}

void TForm1::ReportPortFailure(const QString& text, const QString& title, int session)
{
    QMessageBox::critical(this, title, text);
    // The session stops a moment later, exactly as the user's stop command would; unless the
    // user has stopped it (or started another) meanwhile.
    if (session == sessionNumber_ && state_.DecodeRunning)
        portFailureTimer_->start(kPortFailureStopMs);
}

void TForm1::NoteThreadEnd(int session)
{
    if (session != sessionNumber_)
        return;  // a notice of an earlier session's thread
    if (state_.PendingThreadEnds > 0)
        --state_.PendingThreadEnds;
}

void TForm1::WaitForSession(const std::function<bool()>& done, std::chrono::milliseconds step)
{
    // The main thread keeps running the event loop, so a refresh thread inside a view update
    // can finish meanwhile.
    if (step >= DecodeSession::kDrainStep) {
        // The drain: the processing thread empties the queue; looked at every 200 ms.
        while (!done()) {
            QCoreApplication::processEvents();
            QThread::msleep(static_cast<unsigned long>(step.count()));
        }
        return;
    }
    // A thread's end: its notice arrives as an event and wakes the loop.
    state_.PendingThreadEnds = 1;
    PumpEventsUntil(done);
    state_.PendingThreadEnds = 0;
}

void TForm1::StopSession()
{
    if (settings_.confirmations &&
        QMessageBox::question(this, kStopTitle, kStopQuestion, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (scannerControl_) {
        if (settings_.scanControlEnabled)
            scannerControl_->ResumeScan();
        scannerControl_.reset();
    }
    state_.DecodeRunning = false;
    session_->Stop(true, [this](const std::function<bool()>& done, std::chrono::milliseconds step) {
        WaitForSession(done, step);
    });
    eventFeed_.reset();
    startStopButton_->setText(kIdleCaption);
    saveTimer_->stop();
    SetDecodeActions(false);
    emit SessionStopped();
}

void TForm1::EmptyAllLists()
{
    // The affiliation filter ranges (ListView16) belong to the system's data, not to a session.
    for (const ListViewDef& def : MainWindowLists()) {
        if (QString(def.name) == ui_names::kListFilterRanges)
            continue;
        if (ListModel* model = FindListModel(this, def.name))
            model->Clear();
    }
}

void TForm1::Timer1Tick()
{
    rateTimer_->stop();
    int32_t expected = 0;
    int32_t good = 0;
    if (session_)
        session_->TakeCounters(expected, good);
    const ReceiveRate rate = ReceiveRate::From(good, expected);
    layout_->rateValue->setText(rate.rateText);
    layout_->statusValues[2]->setText(rate.decodeText);
    layout_->progressBar->setValue(rate.bar);
    layout_->bufferValue->setText(QString::asprintf("%3d%%", session_ ? session_->Queue().FreePercent() : kFullRate));
    rateTimer_->start();
}

void TForm1::Timer2Tick()
{
    saveTimer_->stop();
    if (!settings_.autoSaveEnabled)
        return;
    // Nothing is saved before a system is known; the timer goes on.
    if (session_ && session_->Decoder().GetSystemId() != 0) {
        if (const auto next =
                session_->PeriodicSave(WallClock().Now(), settings_.autoSaveInterval, state_.LastSystemSave))
            state_.LastSystemSave = *next;
        RunLogAutoSaves();
    }
    saveTimer_->start();
}

void TForm1::Timer3Tick()
{
    portFailureTimer_->stop();
    // Only ever a stop: a session stopped by hand meanwhile is not started again.
    if (state_.DecodeRunning)
        ToggleSession();
}

void TForm1::Timer4Tick()
{
    if (session_)
        session_->Decoder().AdvanceTick();
}

void TForm1::RunCloseSequence()
{
    if (closed_)
        return;
    closed_ = true;
    rateTimer_->stop();
    saveTimer_->stop();
    portFailureTimer_->stop();
    if (state_.DecodeRunning) {
        // No resume command here and no draining: the program is going.
        state_.DecodeRunning = false;
        scannerControl_.reset();
        const auto wait = [this](const std::function<bool()>& done, std::chrono::milliseconds step) {
            WaitForSession(done, step);
        };
        session_->EndReader(wait);
        session_->EndProcessing(wait);
        eventFeed_.reset();
    }
    state_.ShuttingDown = true;
    refresh_->EndForShutdown();
    backups_->WaitWhileBusy();
    backups_->StopTimer();
    if (shown_)
        SaveSettingsNow();
    tickTimer_->stop();
    session_.reset();
}
