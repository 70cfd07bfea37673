#pragma once

#include <QCoreApplication>
#include <QEventLoop>

// Runs the main thread's event loop until `done()` holds. Waits for events instead of spinning:
// a thread's end notice, a refresh thread's view update and the window's timers all arrive as
// events and wake it.
template <typename Done>
void PumpEventsUntil(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
