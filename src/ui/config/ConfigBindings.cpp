// Which control of the configuration dialog edits which setting: filling the controls from the
// settings and collecting them back on "Ok".
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include "persist/Settings.h"
#include "ui/config/Configform.h"
#include "ui/views/ColourValue.h"

namespace {

#define M(member)                                                                                                      \
    +[](Settings & s) -> auto&                                                                                         \
    {                                                                                                                  \
        return s.member;                                                                                               \
    }

struct BoxBinding {
    const char* name;
    bool& (*ref)(Settings&);
};
struct TextBinding {
    const char* name;
    std::string& (*ref)(Settings&);
};
// Controls holding an integer: text fields, spinners, the latency track bar, item indexes and
// lists whose items are numbers.
struct IntBinding {
    const char* name;
    int& (*ref)(Settings&);
    int fallback = 0;  // numbered lists: the item chosen when the stored number is not an item
};

const BoxBinding kBoxes[] = {
    {"CheckBox5", M(scanControlEnabled)},
    {"CheckBox21", M(useGlobalFont)},
    {"CheckBox25", M(saveScreenSizes)},
    {"CheckBox36", M(hideSystemInfo)},
    {"CheckBox34", M(showGrantLog)},
    {"CheckBox35", M(showPatchList)},
    {"CheckBox45", M(saveHits)},
    {"CheckBox3", M(logDenied)},
    {"CheckBox8", M(affiliations.autoSave)},
    {"CheckBox27", M(affiliations.visible)},
    {"CheckBox28", M(affiliationsUseTGColors)},
    {"CheckBox29", M(towerInfo.visible)},
    {"CheckBox13", M(patches.autoSave)},
    {"CheckBox30", M(patches.visible)},
    {"CheckBox9", M(otherInfo.autoSave)},
    {"CheckBox4", M(otherInfo.visible)},
    {"CheckBox10", M(grants.autoSave)},
    {"CheckBox1", M(grants.visible)},
    {"CheckBox31", M(grantsUseTGColors)},
    {"CheckBox7", M(grantsUseFilter)},
    {"CheckBox32", M(grantsFilterOther)},
    {"CheckBox11", M(unknowns.autoSave)},
    {"CheckBox2", M(unknowns.visible)},
    {"CheckBox24", M(pktDump.autoSave)},
    {"CheckBox23", M(pktDump.visible)},
    {"CheckBox39", M(psrDump.autoSave)},
    {"CheckBox38", M(psrDump.visible)},
    {"CheckBox6", M(autoSaveEnabled)},
    {"CheckBox12", M(includeDate)},
    {"CheckBox33", M(confirmations)},
    {"CheckBox42", M(backupEnabled)},
    {"CheckBox43", M(backupAddDate)},
    {"CheckBox40", M(webEnabled)},
    {"CheckBox44", M(cdromEnabled)},
    {"CheckBox41", M(proxyLoginRequired)},
};

const TextBinding kTexts[] = {
    {"Edit27", M(backupPath)}, {"Edit17", M(webUserName)},  {"Edit20", M(webPassword)},   {"Edit21", M(webWsdl)},
    {"Edit29", M(cdromWsdl)},  {"Edit22", M(proxyAddress)}, {"Edit24", M(proxyUserName)}, {"Edit25", M(proxyPassword)},
};

const IntBinding kNumberFields[] = {
    {"Edit26", M(backupDays)},
    {"Edit28", M(webTimeOut)},
    {"Edit30", M(cdromTimeOut)},
    {"Edit23", M(proxyPort)},
};

const IntBinding kSpinners[] = {
    {"UpDown11", M(privatePriority)},
    {"UpDown12", M(grantsFilterLevel)},
    {"UpDown1", M(autoSaveInterval)},
};

const IntBinding kIndexes[] = {
    {"ComboBox15", M(scannerType)},
    {"ComboBox20", M(decodeBarColor)},
    {"ComboBox17", M(activityColorMode)},
    {"ComboBox18", M(grantsColorMode)},
};

const IntBinding kNumberedLists[] = {
    {"ComboBox19", M(unidenSpeed), 115200},
    // A control port speed that is not an item falls back to the default speed; without an item
    // chosen there would be no speed to store.
    {"ComboBox4", M(portSpeed), 9600},
    {"ComboBox14", M(grantLogMax), 20},
};

// Text that is not a decimal integer reads as 0.
int DecimalOr0(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

}  // namespace

void TcfgForm::FillBound(const Settings& settings)
{
    Settings s = settings;  // the accessors hand out writable references; filling only reads them
    for (const BoxBinding& b : kBoxes)
        Get<QCheckBox>(b.name)->setChecked(b.ref(s));
    for (const TextBinding& b : kTexts)
        Get<QLineEdit>(b.name)->setText(QString::fromStdString(b.ref(s)));
    for (const IntBinding& b : kNumberFields)
        Get<QLineEdit>(b.name)->setText(QString::number(b.ref(s)));
    for (const IntBinding& b : kSpinners)
        Get<QSpinBox>(b.name)->setValue(b.ref(s));
    for (const IntBinding& b : kIndexes) {
        auto* list = Get<QComboBox>(b.name);
        list->setCurrentIndex(b.ref(s) >= 0 && b.ref(s) < list->count() ? b.ref(s) : -1);
    }
    for (const IntBinding& b : kNumberedLists) {
        auto* list = Get<QComboBox>(b.name);
        int index = list->findText(QString::number(b.ref(s)));
        if (index < 0)
            index = list->findText(QString::number(b.fallback));
        list->setCurrentIndex(index);
    }
    Get<QSlider>("TrackBar1")->setValue(s.latency);
    // valueChanged does not come when the value stays; the label is written here as well.
    Get<QLabel>("LatSet")->setText(QString::asprintf("%3d ms", Get<QSlider>("TrackBar1")->value()));
    Get<QLineEdit>("Edit16")->setText(QString::asprintf("%03.5f", s.quietFrequency));

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
    for (const BoxBinding& b : kBoxes)
        b.ref(s) = Get<QCheckBox>(b.name)->isChecked();
    for (const TextBinding& b : kTexts)
        b.ref(s) = Get<QLineEdit>(b.name)->text().toStdString();
    for (const IntBinding& b : kNumberFields)
        b.ref(s) = DecimalOr0(Get<QLineEdit>(b.name)->text());
    for (const IntBinding& b : kSpinners)
        b.ref(s) = Get<QSpinBox>(b.name)->value();
    // Lists without a chosen item leave their settings as they were.
    for (const IntBinding& b : kIndexes)
        if (Get<QComboBox>(b.name)->currentIndex() >= 0)
            b.ref(s) = Get<QComboBox>(b.name)->currentIndex();
    for (const IntBinding& b : kNumberedLists) {
        bool ok = false;
        const int value = Get<QComboBox>(b.name)->currentText().toInt(&ok);
        if (ok)
            b.ref(s) = value;
    }
    s.latency = Get<QSlider>("TrackBar1")->value();

    // A quiet frequency that is not a number keeps the one stored.
    bool ok = false;
    const double quiet = Get<QLineEdit>("Edit16")->text().trimmed().toDouble(&ok);
    if (ok)
        s.quietFrequency = quiet;

    const int proxyType = proxyGroup_->checkedId();
    if (proxyType >= 0)
        s.proxyType = proxyType;

    // A port chosen or typed replaces the stored one; an empty list (nothing found, nothing
    // stored) keeps the stored name.
    const QString port = Get<QComboBox>("ComboBox1")->currentText().trimmed();
    if (!port.isEmpty())
        s.port = port.toStdString();
    const QString controlPort = Get<QComboBox>("ComboBox2")->currentText().trimmed();
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

namespace {

// The example fields show a colour pair as their text and background.
struct ExampleBinding {
    const char* name;
    uint32_t& (*text)(Settings&);
    uint32_t& (*back)(Settings&);
};

const ExampleBinding kExamples[] = {
    {"Edit4", M(evenText), M(evenBackground)},
    {"Edit13", M(oddText), M(oddBackground)},
    {"Edit3", M(defaultText), M(defaultBackground)},
    {"Edit18", M(controlText), M(controlBackground)},
};

}  // namespace

void TcfgForm::FillColours(const Settings& settings)
{
    Settings s = settings;
    for (const ExampleBinding& b : kExamples) {
        auto* example = Get<QLineEdit>(b.name);
        QPalette palette = example->palette();
        palette.setColor(QPalette::Text, ToQColor(b.text(s)));
        palette.setColor(QPalette::Base, ToQColor(b.back(s)));
        example->setPalette(palette);
    }
}

void TcfgForm::CollectColours(Settings& s) const
{
    for (const ExampleBinding& b : kExamples) {
        const QPalette palette = Get<QLineEdit>(b.name)->palette();
        b.text(s) = FromQColor(palette.color(QPalette::Text));
        b.back(s) = FromQColor(palette.color(QPalette::Base));
    }
    // Odd lines take the even lines' text colour: both kinds share one.
    s.oddText = s.evenText;
}
