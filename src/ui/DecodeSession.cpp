// The decode session of the main window: start, stop, the port-failure stop, the timers that run
// beside it and the close sequence.
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "ScannerSimulator.h"
#include "DemoSimulator.h"
#include "decoder/P25Class.h"
#include "link/Procthread.h"
#include "link/TBSKQueue.h"
#include "link/TScannerReadThread.h"
#include "platform/Clock.h"
#include "scancontrol/ScannerControl.h"
#include "store/SystemStore.h"
#include "ui/BackupScheduler.h"
#include "ui/EventPump.h"
#include "ui/ListModel.h"
#include "ui/ListViewTable.h"
#include "ui/MainWindowLayout.h"
#include "ui/MainWindowNames.h"
#include "ui/ReceiveRate.h"
#include "ui/Mainwindow.h"
#include "ui/RefreshKeeper.h"

namespace {

constexpr char kStopQuestion[] = "Are you sure you want to stop the data decode session?";
constexpr char kStopTitle[] = "Stop Decode";
constexpr int kDrainStepMs = 200;
constexpr int kSaveTimerMs = 60000;
constexpr int kPortFailureStopMs = 250;
constexpr int kSecondsPerMinute = 60;
// The periodic save marks itself a little early so that the next check, a whole number of
// minutes later, does not just miss the interval.
constexpr int64_t kPeriodicSaveBackdate = 5;
constexpr int kDemoScannerType = 1;
constexpr int kFullRate = 100;

}  // namespace

void TForm1::ToggleSession()
{
    // One toggle at a time: a menu command or Timer3 arriving while a stop waits does nothing.
    if (toggling_ || closed_ || !decoder_)
        return;
    toggling_ = true;
    button1_->setEnabled(false);
    if (state_.DecodeRunning)
        StopSession();
    else
        StartSession();
    button1_->setEnabled(true);
    toggling_ = false;
    const DeferredEnd end = std::exchange(deferredEnd_, DeferredEnd::None);
    if (end == DeferredEnd::Close)
        QTimer::singleShot(0, this, &QWidget::close);
    else if (end == DeferredEnd::Exit)
        QTimer::singleShot(0, this, &TForm1::ExitProgram);
}

void TForm1::StartSession()
{
    decoder_->ResetAll();
    button1_->setText(kRunningCaption);
    EmptyAllLists();
    state_.DecodeRunning = true;

    processing_ = std::make_unique<ProcThread>(*queue_, *decoder_);
    processing_->SetIdlePriority(true);
    processingEnded_ = false;
    const int processingSession = ++sessionNumber_;
    processing_->SetEndCallback([this, processingSession] {
        QMetaObject::invokeMethod(
            this, [this, processingSession] { NoteThreadEnd(processingEnded_, processingSession); },
            Qt::QueuedConnection);
    });
    processing_->Start();
    StartReader();

    if (settings_.scanControlEnabled) {
        scannerControl_ = std::make_unique<ScannerControl>(settings_, ProgramFolder());
        scannerControl_->SendInit();
        scannerControl_->TuneQuiet();
    }
    if (settings_.autoSaveEnabled) {
        state_.LastSystemSave = WallClock().Now();
        timer2_->start(kSaveTimerMs);
    }
    SetDecodeActions(true);
    if (!timer1_->isActive())
        timer1_->start();
    emit SessionStarted();
}

void TForm1::StartReader()
{
    readerEnded_ = true;
    ScannerReadConfig config;
    config.scannerType = settings_.scannerType;
    config.port = settings_.port;
    config.unidenSpeed = static_cast<uint32_t>(settings_.unidenSpeed);
    config.latency = settings_.latency;
    config.rawDump = settings_.psrDump.visible;
    if (options_.demo) {
        // The demo decodes the built-in simulator whatever port and type the settings name.
        if (!demo_) {
            std::string error;
            demo_ = StartDemoSimulator(options_.demoCapture, kDemoScannerType, error);
            if (!demo_) {
                // Reported like a port that cannot be opened; the session then stops.
                QMetaObject::invokeMethod(
                    this,
                    [this, error] {
                        ReportPortFailure(QString::fromStdString(error), TScannerReadThread::kOpenErrorTitle,
                                          sessionNumber_);
                    },
                    Qt::QueuedConnection);
                return;
            }
        }
        config.scannerType = kDemoScannerType;
        config.port = demo_->SlavePath();
    }
    reader_ = std::make_unique<TScannerReadThread>(*queue_, config);
    reader_->SetIdlePriority(true);
    readerEnded_ = false;
    const int readerSession = sessionNumber_;
    // Both notices come from the reader thread; the window handles them on the main thread.
    reader_->SetOpenErrorCallback([this, readerSession](const std::string& text, const std::string& title) {
        QMetaObject::invokeMethod(
            this,
            [this, text, title, readerSession] {
                ReportPortFailure(QString::fromStdString(text), QString::fromStdString(title), readerSession);
            },
            Qt::QueuedConnection);
    });
    reader_->SetEndCallback([this, readerSession] {
        QMetaObject::invokeMethod(
            this, [this, readerSession] { NoteThreadEnd(readerEnded_, readerSession); }, Qt::QueuedConnection);
    });
    reader_->Start();
}

void TForm1::ReportPortFailure(const QString& text, const QString& title, int session)
{
    QMessageBox::critical(this, title, text);
    // The session stops a moment later, exactly as the user's stop command would; unless the
    // user has stopped it (or started another) meanwhile.
    if (session == sessionNumber_ && state_.DecodeRunning)
        timer3_->start(kPortFailureStopMs);
}

void TForm1::NoteThreadEnd(bool& ended, int session)
{
    if (session != sessionNumber_)
        return;  // a notice of an earlier session's thread
    ended = true;
    if (state_.PendingThreadEnds > 0)
        --state_.PendingThreadEnds;
}

void TForm1::WaitForThreadEnd(bool& ended)
{
    // The main thread keeps running the event loop, so a refresh thread inside a view update
    // can finish meanwhile.
    state_.PendingThreadEnds = 1;
    PumpEventsUntil([&ended] { return ended; });
    state_.PendingThreadEnds = 0;
}

void TForm1::EndReader()
{
    if (!reader_)
        return;
    // A reader that ended by itself after a port failure is not waited for.
    if (!readerEnded_) {
        reader_->Terminate();
        WaitForThreadEnd(readerEnded_);
    }
    reader_.reset();
}

void TForm1::EndProcessing()
{
    if (!processing_)
        return;
    if (!processingEnded_) {
        processing_->Terminate();
        WaitForThreadEnd(processingEnded_);
    }
    processing_.reset();
}

void TForm1::DrainQueue()
{
    // The processing thread still runs and empties the queue into the decoder.
    while (queue_->HasData() && processing_ && !processingEnded_) {
        QCoreApplication::processEvents();
        QThread::msleep(kDrainStepMs);
    }
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
    EndReader();
    DrainQueue();
    EndProcessing();
    button1_->setText(kIdleCaption);
    timer2_->stop();
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
    timer1_->stop();
    int32_t expected = 0;
    int32_t good = 0;
    if (reader_)
        reader_->TakeCounters(expected, good);
    const ReceiveRate rate = ReceiveRate::From(good, expected);
    layout_->rateValue->setText(rate.rateText);
    layout_->statusValues[2]->setText(rate.decodeText);
    layout_->progressBar->setValue(rate.bar);
    layout_->bufferValue->setText(QString::asprintf("%3d%%", queue_ ? queue_->FreePercent() : kFullRate));
    timer1_->start();
}

void TForm1::Timer2Tick()
{
    timer2_->stop();
    if (!settings_.autoSaveEnabled)
        return;
    // Nothing is saved before a system is known; the timer goes on.
    if (decoder_ && decoder_->GetSystemId() != 0) {
        const int64_t now = WallClock().Now();
        const int64_t interval = static_cast<int64_t>(settings_.autoSaveInterval) * kSecondsPerMinute;
        if (now > state_.LastSystemSave + interval) {
            SaveSystemData(*decoder_);
            state_.LastSystemSave = now - kPeriodicSaveBackdate;
        }
        RunLogAutoSaves();
    }
    timer2_->start();
}

void TForm1::Timer3Tick()
{
    timer3_->stop();
    // Only ever a stop: a session stopped by hand meanwhile is not started again.
    if (state_.DecodeRunning)
        ToggleSession();
}

void TForm1::Timer4Tick()
{
    if (decoder_)
        decoder_->AdvanceTick();
}

void TForm1::RunCloseSequence()
{
    if (closed_)
        return;
    closed_ = true;
    timer1_->stop();
    timer2_->stop();
    timer3_->stop();
    if (state_.DecodeRunning) {
        // No resume command here and no draining: the program is going.
        state_.DecodeRunning = false;
        scannerControl_.reset();
        EndReader();
        EndProcessing();
    }
    state_.ShuttingDown = true;
    refresh_->EndForShutdown();
    backups_->WaitWhileBusy();
    backups_->StopTimer();
    if (shown_)
        SaveSettingsNow();
    timer4_->stop();
    decoder_.reset();
    queue_.reset();
    if (demo_) {
        demo_->Close();
        demo_.reset();
    }
}
