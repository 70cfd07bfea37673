#pragma once

#include <QObject>

class QThread;
class TForm1;

// Keeps the screen refresh thread alive for the whole run: created and started at start-up,
// replaced at once whenever it ends while the program is not shutting down, and ended (with its
// end notice awaited while the event loop runs) when the window closes. At most one refresh
// thread exists at any time. Main thread only.
class RefreshKeeper : public QObject {
    Q_OBJECT
public:
    explicit RefreshKeeper(TForm1& window);
    ~RefreshKeeper() override;

    // Creates and starts a refresh thread unless one exists.
    void Start();
    // Asks the running refresh thread to end and runs the event loop until its end notice has
    // arrived (a thread inside a view update on the main thread can so finish), then frees it.
    // The caller sets ShuttingDown first so that no replacement is started.
    void EndForShutdown();

    QThread* Current() const { return thread_; }
    // Refresh threads started so far (one, unless a thread ended early and was replaced).
    int Started() const { return started_; }

private:
    QThread* CreateThread();
    void AskToEnd();
    void OnThreadFinished(QThread* thread);

    TForm1& window_;
    QThread* thread_ = nullptr;
    int started_ = 0;
};
