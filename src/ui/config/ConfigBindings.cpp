// Filling the configuration dialog's controls from the settings and collecting them back on "Ok":
// the bound controls through the dialog's one table of bindings, then the controls with rules of
// their own (latency, quiet frequency, proxy type, ports, fonts).
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include "persist/Settings.h"
#include "ui/config/Configform.h"

void TcfgForm::FillBound(const Settings& s)
{
    bindings_.Fill(s);
    latencySlider_->setValue(s.latency);
    // valueChanged does not come when the value stays; the label is written here as well.
    latencyLabel_->setText(QString::asprintf("%3d ms", latencySlider_->value()));
    quietFrequencyField_->setText(QString::asprintf("%03.5f", s.quietFrequency));

    QButtonGroup* proxy = proxyGroup_;
    if (QAbstractButton* chosen = proxy->button(s.proxyType)) {
        chosen->setChecked(true);
    } else {
        // An unknown type selects none of the three.
        proxy->setExclusive(false);
        for (QAbstractButton* button : proxy->buttons())
            button->setChecked(false);
        proxy->setExclusive(true);
    }

    storedPort_ = QString::fromStdString(s.port);
    storedControlPort_ = QString::fromStdString(s.scanControlPort);
    showAllPorts_ = s.showAllPorts;
    highPort_ = s.highPort;
}

void TcfgForm::CollectBound(Settings& s) const
{
    bindings_.Collect(s);
    // Odd lines take the even lines' text colour: both kinds share one.
    s.oddText = s.evenText;
    s.latency = latencySlider_->value();

    // A quiet frequency that is not a number keeps the one stored.
    bool ok = false;
    const double quiet = quietFrequencyField_->text().trimmed().toDouble(&ok);
    if (ok)
        s.quietFrequency = quiet;

    const int proxyType = proxyGroup_->checkedId();
    if (proxyType >= 0)
        s.proxyType = proxyType;

    // A port chosen or typed replaces the stored one; an empty list (nothing found, nothing
    // stored) keeps the stored name.
    const QString port = decodePortList_->currentText().trimmed();
    if (!port.isEmpty())
        s.port = port.toStdString();
    const QString controlPort = controlPortList_->currentText().trimmed();
    if (!controlPort.isEmpty())
        s.scanControlPort = controlPort.toStdString();
}

void TcfgForm::FillFonts(const Settings& s, const std::array<QFont, kFontScreens>& screenFonts)
{
    auto show = [](const FontControls& c, const QFont& font) {
        int index = c.names->findText(font.family());
        if (index < 0) {
            // A font this machine lacks stays the screen's choice.
            c.names->addItem(font.family());
            index = c.names->count() - 1;
        }
        c.names->setCurrentIndex(index);
        c.size->setValue(font.pointSize());
        c.bold->setChecked(font.bold());
    };
    show(globalFont_, FontFromSettings(s.font, s.fontSize, s.fontBold));
    for (size_t i = 0; i < screenFonts_.size(); ++i)
        show(screenFonts_[i], screenFonts[i]);
}

void TcfgForm::CollectFonts(Settings& s) const
{
    s.font = globalFont_.names->currentText().toStdString();
    s.fontSize = globalFont_.size->value();
    s.fontBold = globalFont_.bold->isChecked();
    for (size_t i = 0; i < screenFonts_.size(); ++i) {
        ScreenSettings& own = FontScreens()[i].settings(s);
        own.font = screenFonts_[i].names->currentText().toStdString();
        own.size = screenFonts_[i].size->value();
        own.bold = screenFonts_[i].bold->isChecked();
    }
}
