#include "ui/mainwindow/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The pipe's ends; the handler may only use what is async-signal-safe, so it reaches them as
// plain globals.
int g_pipe[2] = {-1, -1};

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::ReadPipe);
    struct sigaction action = {};
    action.sa_handler = &TerminationSignals::Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed_ = true;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        if (::sigaction(kSignals[i], &action, &previous_[i]) != 0)
            installed_ = false;
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier_)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &previous_[i], nullptr);
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::Handler(int signal)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a request; one more would add nothing.
    (void)!::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void TerminationSignals::ReadPipe()
{
    unsigned char byte = 0;
    int last = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        last = byte;
    if (last != 0)
        emit Requested(last);
}
