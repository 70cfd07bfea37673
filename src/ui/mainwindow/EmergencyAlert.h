#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "ui/views/EmergencyCalls.h"

class P25Class;
class QPushButton;
class QSystemTrayIcon;
class QWidget;
struct Settings;

// The notice of an emergency call: when a talkgroup's call on the activity table carries the
// emergency flag, "EMERGENCY: <talkgroup name> (<number>) from <radio name> (<id>)" shows in the
// notice row of the window until the user clicks it, with a beep and a desktop notification when
// the settings ask for them. A talkgroup alerts once per call: only after its emergency has ended
// does a new one alert again. It has no timer: the activity updater tells the calls (Calls()) of
// every new copy of the channel table, and a new emergency call brings the notice.
class EmergencyAlert : public QObject {
    Q_OBJECT
public:
    // `notice` is the button the text is shown on (hidden until an emergency); the getters are
    // asked at each new emergency (the decoder exists from the window's first showing).
    EmergencyAlert(QPushButton* notice, std::function<P25Class*()> decoder, std::function<const Settings&()> settings,
                   QObject* parent);

    // The emergency calls the refresh follows (fed by the activity updater).
    EmergencyCalls& Calls() { return calls_; }
    // The user saw it: the notice goes away until the next emergency.
    void Acknowledge();

    QString Text() const;
    bool Showing() const;

private:
    void Began(const EmergencyCalls::Call& call);
    void Alert(const QString& text);

    QPushButton* notice_;
    std::function<P25Class*()> decoder_;
    std::function<const Settings&()> settings_;
    EmergencyCalls calls_;
    QSystemTrayIcon* tray_ = nullptr;
};
