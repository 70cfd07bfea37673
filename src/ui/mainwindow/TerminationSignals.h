#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a desktop logout, Ctrl+C in a terminal, a closed terminal) brought
// into the Qt event loop: the handler only writes the signal's number into a pipe, and the loop
// reads it and emits Requested, so the program ends through its ordinary close sequence instead
// of dying with its settings and data unwritten. One instance at a time; the previous handlers
// are restored when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the pipe or a handler could not be installed (the signals then act as before).
    bool Installed() const { return installed_; }

signals:
    void Requested(int signal);

private:
    static void Handler(int signal);
    void ReadPipe();

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    struct sigaction previous_[3] = {};
    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
};
