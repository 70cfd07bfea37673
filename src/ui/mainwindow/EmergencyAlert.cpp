#include "ui/mainwindow/EmergencyAlert.h"

#include <QApplication>
#include <QPushButton>
#include <QSystemTrayIcon>

#include <string>

#include "decoder/P25Class.h"
#include "persist/Settings.h"

namespace {

constexpr int kMessageMs = 10000;

}  // namespace

EmergencyAlert::EmergencyAlert(QPushButton* notice, std::function<P25Class*()> decoder,
                               std::function<const Settings&()> settings, QObject* parent)
    : QObject(parent), notice_(notice), decoder_(std::move(decoder)), settings_(std::move(settings))
{
    notice_->hide();
    notice_->setFlat(true);
    notice_->setCursor(Qt::PointingHandCursor);
    notice_->setToolTip(QStringLiteral("Click to acknowledge"));
    notice_->setStyleSheet(QStringLiteral("QPushButton { color: white; background: #c80000; font-weight: bold; "
                                          "padding: 1px 6px; border: none; }"));
    connect(notice_, &QPushButton::clicked, this, &EmergencyAlert::Acknowledge);
    connect(&calls_, &EmergencyCalls::Began, this, &EmergencyAlert::Began);
}

void EmergencyAlert::Began(const EmergencyCalls::Call& call)
{
    P25Class* d = decoder_();
    const std::string radioName = call.radio != 0 && d ? d->Radios().GetRadioText(call.radio) : std::string("unknown");
    Alert(QStringLiteral("EMERGENCY: %1 (%2) from %3 (%4)")
              .arg(QString::fromStdString(call.talkgroupName))
              .arg(call.talkgroup)
              .arg(QString::fromStdString(radioName))
              .arg(call.radio));
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
