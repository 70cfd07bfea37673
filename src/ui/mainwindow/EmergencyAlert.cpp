#include "ui/mainwindow/EmergencyAlert.h"

#include <QApplication>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

#include <string>
#include <vector>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "site/ChannelTable.h"

namespace {

constexpr int kMessageMs = 10000;

struct Call {
    int32_t talkgroup;
    int32_t radio;
    std::string talkgroupName;
};

bool PrivateUsage(const std::string& usage)
{
    return usage == "Private" || usage == "PvtData" || usage == "Phone";
}

std::vector<Call> EmergencyCalls(P25Class& d)
{
    std::vector<Call> calls;
    ChannelTable& channels = d.Channels();
    LockGuard g(channels.Lock());
    for (int i = 0; i < channels.Count(); ++i) {
        const FreqInfo& f = channels.Record(i);
        if (!f.usage.empty() && f.target != 0 && f.status == "Emrg" && !PrivateUsage(f.usage))
            calls.push_back({f.target, f.source, f.targetDescription});
    }
    return calls;
}

}  // namespace

EmergencyAlert::EmergencyAlert(QPushButton* notice, std::function<P25Class*()> decoder,
                               std::function<const Settings&()> settings, QObject* parent)
    : QObject(parent), notice_(notice), decoder_(std::move(decoder)), settings_(std::move(settings)),
      timer_(new QTimer(this))
{
    notice_->hide();
    notice_->setFlat(true);
    notice_->setCursor(Qt::PointingHandCursor);
    notice_->setToolTip(QStringLiteral("Click to acknowledge"));
    notice_->setStyleSheet(QStringLiteral("QPushButton { color: white; background: #c80000; font-weight: bold; "
                                          "padding: 1px 6px; border: none; }"));
    connect(notice_, &QPushButton::clicked, this, &EmergencyAlert::Acknowledge);
    timer_->setInterval(kPollMs);
    connect(timer_, &QTimer::timeout, this, &EmergencyAlert::Poll);
    timer_->start();
}

void EmergencyAlert::Poll()
{
    P25Class* d = decoder_();
    if (!d)
        return;
    std::set<int32_t> now;
    for (const Call& call : EmergencyCalls(*d)) {
        now.insert(call.talkgroup);
        if (active_.count(call.talkgroup))
            continue;
        const std::string radioName = call.radio != 0 ? d->Radios().GetRadioText(call.radio) : std::string("unknown");
        Alert(QStringLiteral("EMERGENCY: %1 (%2) from %3 (%4)")
                  .arg(QString::fromStdString(call.talkgroupName))
                  .arg(call.talkgroup)
                  .arg(QString::fromStdString(radioName))
                  .arg(call.radio));
    }
    active_ = std::move(now);
}

void EmergencyAlert::Alert(const QString& text)
{
    notice_->setText(text);
    notice_->show();
    const Settings& s = settings_();
    if (s.emergencySound)
        QApplication::beep();
    if (s.emergencyNotice && QSystemTrayIcon::isSystemTrayAvailable() && QSystemTrayIcon::supportsMessages()) {
        if (!tray_) {
            tray_ = new QSystemTrayIcon(QApplication::windowIcon(), this);
            tray_->show();
        }
        tray_->showMessage(QStringLiteral("Varnel"), text, QSystemTrayIcon::Warning, kMessageMs);
    }
}

void EmergencyAlert::Acknowledge()
{
    notice_->hide();
}

QString EmergencyAlert::Text() const
{
    return notice_->text();
}

bool EmergencyAlert::Showing() const
{
    return !notice_->isHidden();
}
