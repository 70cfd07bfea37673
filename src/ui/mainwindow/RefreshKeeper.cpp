#include "ui/mainwindow/RefreshKeeper.h"

#include <QThread>

#include "ui/mainwindow/EventPump.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/Screenthread.h"

RefreshKeeper::RefreshKeeper(TForm1& window) : QObject(nullptr), window_(window)
{ }

RefreshKeeper::~RefreshKeeper()
{
    if (thread_) {
        // Only reached when the close sequence did not run: no view update can be pending then
        // because the window is going; end the thread plainly.
        window_.State().ShuttingDown = true;
        AskToEnd();
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
}

// The one place that knows the refresh thread's class.
QThread* RefreshKeeper::CreateThread()
{
    return new ScreenThread(window_);
}

void RefreshKeeper::AskToEnd()
{
    // The refresh thread sleeps until there is work: it is woken to see the request.
    if (auto* screen = qobject_cast<ScreenThread*>(thread_))
        screen->RequestStop();
    else
        thread_->requestInterruption();
}

void RefreshKeeper::Start()
{
    if (thread_ || window_.State().ShuttingDown)
        return;
    QThread* thread = CreateThread();
    if (!thread)
        return;
    thread_ = thread;
    ++started_;
    // The end notice is delivered on the main thread through the event loop.
    connect(
        thread, &QThread::finished, this, [this, thread] { OnThreadFinished(thread); }, Qt::QueuedConnection);
    thread->start();
}

void RefreshKeeper::OnThreadFinished(QThread* thread)
{
    AppState& state = window_.State();
    if (thread != thread_)
        return;
    if (state.ShuttingDown) {
        if (state.PendingThreadEnds > 0)
            --state.PendingThreadEnds;
        return;  // EndForShutdown frees it
    }
    // Ended early (an exception inside it, for example): replace it at once.
    thread_->wait();
    thread_->deleteLater();
    thread_ = nullptr;
    Start();
}

void RefreshKeeper::EndForShutdown()
{
    if (!thread_)
        return;
    AppState& state = window_.State();
    state.ShuttingDown = true;
    // A wait for a thread that has already ended must not be started: its notice may be gone.
    if (!thread_->isFinished()) {
        state.PendingThreadEnds = 1;
        AskToEnd();
        PumpEventsUntil([&state] { return state.PendingThreadEnds <= 0; });
    }
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}
