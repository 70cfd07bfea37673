// The decode session of the main window: start, stop, the port-failure stop, the timers that run
// beside it and the close sequence.
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeView>

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
#include "ui/mainwindow/Mainwindow.h"
#include "ui/mainwindow/ReceiveRate.h"
#include "ui/mainwindow/RefreshKeeper.h"
#include "ui/views/ListModel.h"
#include "ui/views/ListViewTable.h"
#include "ui/views/MainWindowWidgets.h"
#include "web/RequestCancel.h"

namespace {

constexpr char kStopQuestion[] = "Are you sure you want to stop the data decode session?";
constexpr char kStopTitle[] = "Stop Decode";
constexpr int kSaveTimerMs = 60000;
constexpr int kPortFailureStopMs = 250;
constexpr int kFullRate = 100;
// A running session that has had no block for this long says so.
constexpr int64_t kNoDataSeconds = 10;
constexpr int kMessageMs = 10000;  // how long a command's short report stays

QString NoDataText(const QString& port, int64_t seconds)
{
    return QStringLiteral("No data from the scanner on %1 for %2 s — check the port, speed and scanner type")
        .arg(port)
        .arg(seconds);
}

QString LostText(const QString& port)
{
    return QStringLiteral("Scanner lost: %1 — retrying").arg(port);
}

// What the port failure's message adds to the reader's text: the device and where to choose
// another, and for a refused device the usual causes on this platform.
QString PortFailureText(const QString& text, const QString& port)
{
    QString full = text;
    if (text.contains(QLatin1String("Access Denied")) && !text.contains(QLatin1String("dialout")))
        full += QStringLiteral("\n\nThe user may not be in the 'dialout' group, or another program holds the port.");
    full += QStringLiteral("\n\nPort: %1\nThe port is chosen under Edit → Decode Configuration.").arg(port);
    return full;
}

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
    // The start empties the decoder: what it learnt or the user edited since the last save is
    // written first.
    SaveKnownSystem();
    session_->Decoder().ResetAll();
    scannerLost_ = false;
    ShowSessionTrouble(QString());
    startStopButton_->setText(kRunningCaption);
    EmptyAllLists();
    state_.DecodeRunning = true;
    ResumeTick();

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
    // The reader tries a vanished device again every 2 s; meanwhile the window says so.
    notices.deviceLost = [this, session](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this, session] { NoteScannerLost(true, session); }, Qt::QueuedConnection);
    };
    notices.deviceBack = [this, session](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this, session] { NoteScannerLost(false, session); }, Qt::QueuedConnection);
    };
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
        if (!scannerControl_->Problem().empty())
            ShowFileNotice(scannerControl_->Problem(), QString::fromStdString(scannerControl_->Problem()));
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
    QString full = text;
    if (!session_ || !session_->DemoEnabled())
        full = PortFailureText(text, QString::fromStdString(settings_.port));
    QMessageBox::critical(this, title, full);
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
    // What the session learnt is kept on disk at once, not only by the periodic save.
    SaveKnownSystem();
    scannerLost_ = false;
    ShowSessionTrouble(QString());
    eventFeed_.reset();
    startStopButton_->setText(kIdleCaption);
    saveTimer_->stop();
    SetDecodeActions(false);
    emit SessionStopped();
}

void TForm1::EmptyAllLists()
{
    // The affiliation filter ranges (ListView16) belong to the system's data, not to a session.
    for (int i = 0; i < kListRoles; ++i) {
        if (static_cast<ListRole>(i) == ListRole::FilterRanges)
            continue;
        if (ListModel* model = ModelOf(widgets_.lists[static_cast<size_t>(i)]))
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
    UpdateSessionTrouble();
    rateTimer_->start();
}

void TForm1::NoteScannerLost(bool lost, int session)
{
    if (session != sessionNumber_ || !state_.DecodeRunning)
        return;  // a notice of an earlier session's reader
    scannerLost_ = lost;
    UpdateSessionTrouble();
}

void TForm1::UpdateSessionTrouble()
{
    if (!state_.DecodeRunning || !session_) {
        ShowSessionTrouble(QString());
        return;
    }
    const QString port = QString::fromStdString(session_->ReaderPort());
    if (scannerLost_) {
        ShowSessionTrouble(LostText(port));
        return;
    }
    const int64_t silent = session_->SecondsWithoutBlocks(WallClock().Now());
    ShowSessionTrouble(silent >= kNoDataSeconds ? NoDataText(port, silent) : QString());
}

void TForm1::ShowSessionTrouble(const QString& text)
{
    for (QLabel* label : {layout_->sessionNotice, layout_->siteNotice}) {
        if (!label)
            continue;
        if (label->text() != text)
            label->setText(text);
        label->setVisible(!text.isEmpty());
    }
    // While the scanner is gone, what the site panel shows is no longer current.
    for (QWidget* value : layout_->siteValues)
        value->setEnabled(!scannerLost_);
}

void TForm1::ShowNote(const QString& text)
{
    QLabel* label = layout_->messageNotice;
    if (!label)
        return;
    if (!messageTimer_) {
        messageTimer_ = new QTimer(this);
        messageTimer_->setSingleShot(true);
        connect(messageTimer_, &QTimer::timeout, label, &QLabel::hide);
    }
    label->setText(text);
    label->setToolTip(text);
    label->show();
    messageTimer_->start(kMessageMs);
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

void TForm1::PauseTickWhenIdle()
{
    if (!session_ || state_.DecodeRunning.load())
        return;
    P25Class& decoder = session_->Decoder();
    if (decoder.Activity().AnyActive() || decoder.Patches().Count() > 0)
        return;  // the refresh still has to end them on time
    tickTimer_->stop();
    decoder.Context().time.FollowSteadyClock();
}

void TForm1::ResumeTick()
{
    if (!session_ || tickTimer_->isActive())
        return;
    session_->Decoder().Context().time.FollowTimer();
    tickTimer_->start();
}

void TForm1::RunCloseSequence()
{
    if (closed_)
        return;
    closed_ = true;
    // A web request that runs now ends at once; its job finds the window closed.
    if (webCancel_)
        webCancel_->Cancel();
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
    // The decoder goes with the session: its system is written before.
    SaveKnownSystem();
    tickTimer_->stop();
    session_.reset();
}

bool TForm1::SaveKnownSystem()
{
    if (!session_ || session_->Decoder().GetSystemId() == 0)
        return false;
    return session_->SaveSystem();
}
