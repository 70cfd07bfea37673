#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <set>

class P25Class;
class QPushButton;
class QSystemTrayIcon;
class QTimer;
class QWidget;
struct Settings;

// The notice of an emergency call: when a talkgroup's call on the activity table carries the
// emergency flag, "EMERGENCY: <talkgroup name> (<number>) from <radio name> (<id>)" shows in the
// notice row of the window until the user clicks it, with a beep and a desktop notification when
// the settings ask for them. A talkgroup alerts once per call: only after its emergency has ended
// does a new one alert again.
class EmergencyAlert : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 250;

    // `notice` is the button the text is shown on (hidden until an emergency); the getters are
    // asked at every poll (the decoder exists from the window's first showing).
    EmergencyAlert(QPushButton* notice, std::function<P25Class*()> decoder, std::function<const Settings&()> settings,
                   QObject* parent);

    // Looks at the channel table (also run by the timer every kPollMs).
    void Poll();
    // The user saw it: the notice goes away until the next emergency.
    void Acknowledge();

    QString Text() const;
    bool Showing() const;

private:
    void Alert(const QString& text);

    QPushButton* notice_;
    std::function<P25Class*()> decoder_;
    std::function<const Settings&()> settings_;
    QTimer* timer_;
    QSystemTrayIcon* tray_ = nullptr;
    std::set<int32_t> active_;  // talkgroups whose emergency call is on now
};
