// The configuration dialog: every control shows its setting, "Ok" stores it, "Cancel" changes
// nothing; the enabling rules, the locks while decoding and the corrections made on "Ok".
#include <QButtonGroup>
#include <QFile>
#include <QPushButton>
#include <QStyle>

#include "ConfigFixture.h"
#include "ui/mainwindow/MainWindowNames.h"

namespace {

using uitest::ConfigFixture;

// A check box and the yes/no setting it edits.
struct BoxRow {
    const char* control;
    bool& (*ref)(Settings&);
};
#define B(control, member)                                                                                             \
    BoxRow                                                                                                             \
    {                                                                                                                  \
        control, +[](Settings& s) -> bool& { return s.member; }                                                        \
    }

const BoxRow kBoxRows[] = {
    B("CheckBox5", scanControlEnabled),
    B("CheckBox21", useGlobalFont),
    B("CheckBox22", fontBold),
    B("CheckBox25", saveScreenSizes),
    B("CheckBox36", hideSystemInfo),
    B("CheckBox34", showGrantLog),
    B("CheckBox35", showPatchList),
    B("CheckBox45", saveHits),
    B("CheckBox3", logDenied),
    B("CheckBox8", affiliations.autoSave),
    B("CheckBox27", affiliations.visible),
    B("CheckBox28", affiliationsUseTGColors),
    B("CheckBox29", towerInfo.visible),
    B("CheckBox13", patches.autoSave),
    B("CheckBox30", patches.visible),
    B("CheckBox9", otherInfo.autoSave),
    B("CheckBox4", otherInfo.visible),
    B("CheckBox10", grants.autoSave),
    B("CheckBox1", grants.visible),
    B("CheckBox31", grantsUseTGColors),
    B("CheckBox7", grantsUseFilter),
    B("CheckBox32", grantsFilterOther),
    B("CheckBox11", unknowns.autoSave),
    B("CheckBox2", unknowns.visible),
    B("CheckBox24", pktDump.autoSave),
    B("CheckBox23", pktDump.visible),
    B("CheckBox39", psrDump.autoSave),
    B("CheckBox38", psrDump.visible),
    B("CheckBox6", autoSaveEnabled),
    B("CheckBox12", includeDate),
    B("CheckBox33", confirmations),
    B("CheckBox42", backupEnabled),
    B("CheckBox43", backupAddDate),
    B("CheckBox40", webEnabled),
    B("CheckBox44", cdromEnabled),
    B("CheckBox41", proxyLoginRequired),
};

// A control holding a value: the stored value and what the control shows for it, then what
// the test enters and how it is written.
struct ValueRow {
    const char* control;
    void (*store)(Settings&);
    const char* shown;
    const char* entered;
    std::string (*written)(const Settings&);
    const char* expected;
};
#define V(control, member, value, shown, entered, expected)                                                            \
    ValueRow                                                                                                           \
    {                                                                                                                  \
        control, [](Settings& s) { s.member = value; }, shown, entered,                                                \
            [](const Settings& s) { return ToText(s.member); }, expected                                               \
    }

std::string ToText(const std::string& v)
{
    return v;
}
std::string ToText(int v)
{
    return std::to_string(v);
}
std::string ToText(double v)
{
    return QString::number(v).toStdString();
}

const ValueRow kValueRows[] = {
    V("ComboBox1", port, "/dev/ttyACM0", "/dev/ttyACM0", "/dev/ttyUSB1", "/dev/ttyUSB1"),
    V("ComboBox2", scanControlPort, "/dev/ttyUSB1", "/dev/ttyUSB1", "/dev/ttyUSB0", "/dev/ttyUSB0"),
    V("TrackBar1", latency, 55, "55", "80", "80"),
    V("ComboBox15", scannerType, 2, "Uniden BCD396XT", "Anritsu S412D Analyzer", "3"),
    V("ComboBox19", unidenSpeed, 19200, "19200", "4800", "4800"),
    V("ComboBox20", decodeBarColor, 2, "Red", "Blue", "5"),
    V("UpDown11", privatePriority, 42, "42", "7", "7"),
    V("Edit16", quietFrequency, 851.0125, "851.01250", "866.5", "866.5"),
    V("ComboBox4", portSpeed, 19200, "19200", "115200", "115200"),
    V("UpDown9", fontSize, 11, "11", "7", "7"),
    V("ComboBox14", grantLogMax, 150, "150", "40", "40"),
    V("ComboBox17", activityColorMode, 2, "Split Color", "Radio ID Color", "0"),
    V("ComboBox18", grantsColorMode, 0, "Radio ID Color", "Talkgroup ID Color", "1"),
    V("UpDown12", grantsFilterLevel, 30, "30", "12", "12"),
    V("UpDown1", autoSaveInterval, 25, "25", "60", "60"),
    V("Edit26", backupDays, 30, "30", "90", "90"),
    V("Edit27", backupPath, "/srv/bak", "/srv/bak", "/srv/b2", "/srv/b2"),
    V("Edit17", webUserName, "alice", "alice", "bob", "bob"),
    V("Edit20", webPassword, "s3cret!", "s3cret!", "n3w:pw", "n3w:pw"),
    V("Edit21", webWsdl, "http://ws.test/a?wsdl", "http://ws.test/a?wsdl", "http://ws.test/b?wsdl",
      "http://ws.test/b?wsdl"),
    V("Edit28", webTimeOut, 60, "60", "75", "75"),
    V("Edit29", cdromWsdl, "http://127.0.0.1:9001/s?wsdl", "http://127.0.0.1:9001/s?wsdl", "http://127.0.0.1:9/s",
      "http://127.0.0.1:9/s"),
    V("Edit30", cdromTimeOut, 400, "400", "120", "120"),
    V("Edit22", proxyAddress, "proxy.lan", "proxy.lan", "gw.lan", "gw.lan"),
    V("Edit23", proxyPort, 8080, "8080", "3128", "3128"),
    V("Edit24", proxyUserName, "carol", "carol", "dave", "dave"),
    V("Edit25", proxyPassword, "pw1", "pw1", "pw2", "pw2"),
};

QString Shown(QWidget* w)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* spin = qobject_cast<QSpinBox*>(w))
        return QString::number(spin->value());
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* slider = qobject_cast<QSlider*>(w))
        return QString::number(slider->value());
    return "<unknown control>";
}

void Enter(QWidget* w, const QString& value)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(value);
    else if (auto* spin = qobject_cast<QSpinBox*>(w))
        spin->setValue(value.toInt());
    else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        ASSERT_GE(combo->findText(value), 0) << w->objectName().toStdString() << " has no " << value.toStdString();
        combo->setCurrentIndex(combo->findText(value));
    } else if (auto* slider = qobject_cast<QSlider*>(w))
        slider->setValue(value.toInt());
}

class ConfigDialogTest : public ConfigFixture {
protected:
    // Every setting of the tables away from its default.
    void StoreTableValues()
    {
        const Settings defaults;
        for (const BoxRow& row : kBoxRows)
            row.ref(settings) = !row.ref(const_cast<Settings&>(defaults));
        for (const ValueRow& row : kValueRows)
            row.store(settings);
        settings.webVersion = kWebServiceVersion;  // an older version would reset the service address
    }
    QByteArray FileBytes() const
    {
        QFile file(QString::fromStdString(SettingsFile()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(ConfigDialogTest, EveryControlShowsItsStoredValueOnOpening)
{
    StoreTableValues();
    Start();
    for (int page = 0; page < TcfgForm::kPageCount; ++page) {
        SCOPED_TRACE(page);
        EXPECT_TRUE(Open(
            page,
            [&](TcfgForm& form) {
                EXPECT_EQ(Control<QTabWidget>("PageControl1")->currentIndex(), page);
                for (const BoxRow& row : kBoxRows)
                    EXPECT_EQ(Control<QCheckBox>(row.control)->isChecked(), row.ref(settings)) << row.control;
                for (const ValueRow& row : kValueRows)
                    EXPECT_EQ(Shown(Control<QWidget>(row.control)), row.shown) << row.control;
                EXPECT_EQ(Control<QLabel>("LatSet")->text(), " 55 ms");
                EXPECT_EQ(form.windowTitle(), "Configuration Settings");
            },
            QDialog::Rejected));
    }
}

TEST_F(ConfigDialogTest, OkWritesEveryControlToTheSettingsFile)
{
    StoreTableValues();
    Start();
    ASSERT_TRUE(Open(TcfgForm::kDecodePage, [&](TcfgForm&) {
        for (const BoxRow& row : kBoxRows)
            Control<QCheckBox>(row.control)->setChecked(!row.ref(settings));
        for (const ValueRow& row : kValueRows)
            Enter(Control<QWidget>(row.control), row.entered);
    }));
    const Settings stored = Reloaded();
    Settings s = stored;
    for (const BoxRow& row : kBoxRows)
        EXPECT_EQ(row.ref(s), !row.ref(settings)) << row.control;
    for (const ValueRow& row : kValueRows)
        EXPECT_EQ(row.written(stored), row.expected) << row.control;
    EXPECT_EQ(window->AppSettings(), stored);
}

TEST_F(ConfigDialogTest, CancelChangesNothing)
{
    StoreTableValues();
    Start();
    const Settings before = window->AppSettings();
    const QByteArray file = FileBytes();
    ASSERT_TRUE(Open(
        TcfgForm::kScreenPage,
        [&](TcfgForm&) {
            for (const BoxRow& row : kBoxRows)
                Control<QCheckBox>(row.control)->toggle();
            for (const ValueRow& row : kValueRows)
                Enter(Control<QWidget>(row.control), row.entered);
        },
        QDialog::Rejected));
    EXPECT_EQ(window->AppSettings(), before);
    EXPECT_EQ(FileBytes(), file);
}

TEST_F(ConfigDialogTest, EachEditMenuCommandOpensItsPage)
{
    Start();
    const std::pair<const char*, int> commands[] = {{ui_names::kActDecodeConfig, 0},
                                                    {ui_names::kActScannerControl, 1},
                                                    {ui_names::kActScreenSettings, 2},
                                                    {ui_names::kActDataOptions, 3},
                                                    {ui_names::kActWebSettings, 4}};
    for (const auto& [action, page] : commands) {
        uitest::ModalAnswerer answerer;
        int shownPage = -1;
        answerer.fill = [&](QDialog&) { shownPage = Control<QTabWidget>("PageControl1")->currentIndex(); };
        answerer.dialogResult = QDialog::Rejected;
        Action(action)->trigger();
        EXPECT_EQ(shownPage, page) << action;
    }
}

TEST_F(ConfigDialogTest, BackupDaysAreLimitedOnOk)
{
    Start();
    const std::pair<const char*, int> cases[] = {{"0", 1}, {"400", 365}, {"365", 365}, {"1", 1}, {"two", 1}};
    for (const auto& [typed, days] : cases) {
        ASSERT_TRUE(Open(TcfgForm::kDataPage, [&](TcfgForm&) { Control<QLineEdit>("Edit26")->setText(typed); }));
        EXPECT_EQ(Reloaded().backupDays, days) << typed;
    }
}

TEST_F(ConfigDialogTest, ProxyTypeRoundTrips)
{
    Start();
    const std::pair<const char*, int> choices[] = {{"RadioButton3", 1}, {"RadioButton2", 2}, {"RadioButton1", 0}};
    for (const auto& [radio, type] : choices) {
        ASSERT_TRUE(Open(TcfgForm::kWebPage, [&](TcfgForm&) { Control<QRadioButton>(radio)->click(); }));
        EXPECT_EQ(Reloaded().proxyType, type) << radio;
        ASSERT_TRUE(Open(
            TcfgForm::kWebPage,
            [&](TcfgForm&) {
                EXPECT_TRUE(Control<QRadioButton>(radio)->isChecked()) << radio;
                // The proxy's own fields are open only for a manual configuration.
                EXPECT_EQ(Control<QLineEdit>("Edit22")->isEnabled(), type == 1) << radio;
            },
            QDialog::Rejected));
    }
}

TEST_F(ConfigDialogTest, StoredNumbersNotInTheListsSelectTheDefaultsAndOkStillSaves)
{
    settings.unidenSpeed = 4000;
    settings.grantLogMax = 25;
    settings.portSpeed = 5000;  // no such control port speed: "Ok" must still store everything
    Start();
    ASSERT_TRUE(Open(TcfgForm::kDecodePage, [&](TcfgForm&) {
        EXPECT_EQ(Control<QComboBox>("ComboBox19")->currentText(), "115200");
        EXPECT_EQ(Control<QComboBox>("ComboBox14")->currentText(), "20");
        EXPECT_EQ(Control<QComboBox>("ComboBox4")->currentText(), "9600");
        Control<QCheckBox>("CheckBox33")->setChecked(true);
    }));
    const Settings stored = Reloaded();
    EXPECT_EQ(stored.unidenSpeed, 115200);
    EXPECT_EQ(stored.grantLogMax, 20);
    EXPECT_EQ(stored.portSpeed, 9600);
    EXPECT_TRUE(stored.confirmations);
}

TEST_F(ConfigDialogTest, EnablingRulesFollowTheirControls)
{
    settings.useGlobalFont = true;
    Start();
    struct Rule {
        const char* what;
        std::function<void(bool)> set;
        std::vector<const char*> followers;  // enabled exactly while `set(true)`
    };
    const std::vector<Rule> rules = {
        {"global font",
         [&](bool on) { Control<QCheckBox>("CheckBox21")->setChecked(on); },
         {"ComboBox12", "UpDown9", "CheckBox22"}},
        {"web service",
         [&](bool on) { Control<QCheckBox>("CheckBox40")->setChecked(on); },
         {"Edit17", "Edit20", "Edit21", "Edit28", "CheckBox44", "Edit29", "Edit30"}},
        {"manual proxy",
         [&](bool on) { Control<QRadioButton>(on ? "RadioButton3" : "RadioButton2")->setChecked(true); },
         {"Edit22", "Edit23", "Edit24", "Edit25", "CheckBox41"}},
        {"uniden", [&](bool on) { Control<QComboBox>("ComboBox15")->setCurrentIndex(on ? 2 : 1); }, {"ComboBox19"}},
        {"grant filter",
         [&](bool on) { Control<QCheckBox>("CheckBox7")->setChecked(on); },
         {"CheckBox32", "UpDown12", "Edit14"}},
        {"grant log", [&](bool on) { Control<QCheckBox>("CheckBox34")->setChecked(on); }, {"ComboBox14"}},
    };
    ASSERT_TRUE(Open(
        TcfgForm::kScreenPage,
        [&](TcfgForm& form) {
            for (const Rule& rule : rules)
                for (bool on : {true, false, true}) {
                    rule.set(on);
                    for (const char* name : rule.followers) {
                        QWidget* follower = Control<QWidget>(name);
                        EXPECT_EQ(follower->isEnabledTo(&form), on) << rule.what << " " << name;
                        // Its caption follows it.
                        for (QLabel* label : form.findChildren<QLabel*>()) {
                            if (label->buddy() == follower) {
                                EXPECT_EQ(label->isEnabledTo(&form), on) << rule.what << " label of " << name;
                            }
                        }
                    }
                }
            // The screens' own fonts are the reverse of the global font.
            Control<QCheckBox>("CheckBox21")->setChecked(true);
            EXPECT_FALSE(Control<QComboBox>("FontNameGrantLog")->isEnabledTo(&form));
            Control<QCheckBox>("CheckBox21")->setChecked(false);
            EXPECT_TRUE(Control<QComboBox>("FontNameGrantLog")->isEnabledTo(&form));
        },
        QDialog::Rejected));
}

TEST_F(ConfigDialogTest, PasswordsAreMaskedWithStarsAndKeptWithinTheStoredLength)
{
    Start();
    const QString tooLong(300, QChar('p'));
    ASSERT_TRUE(Open(TcfgForm::kWebPage, [&](TcfgForm&) {
        for (const char* name : {"Edit20", "Edit25"}) {
            auto* edit = Control<QLineEdit>(name);
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password) << name;
            EXPECT_EQ(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit), '*') << name;
            edit->setText(tooLong);
        }
    }));
    EXPECT_EQ(Reloaded().webPassword, std::string(255, 'p'));
    EXPECT_EQ(Reloaded().proxyPassword, std::string(255, 'p'));
}

TEST_F(ConfigDialogTest, RunningDecodeLocksPortAutoSaveAndScannerControl)
{
    Start();
    const char* locked[] = {"ComboBox1", "CheckBox6", "UpDown1", "CheckBox5", "ComboBox2",
                            "ComboBox3", "UpDown11",  "Edit16",  "ComboBox4", "Button10"};
    for (bool running : {true, false}) {
        window->State().DecodeRunning = running;
        ASSERT_TRUE(Open(
            TcfgForm::kDecodePage,
            [&](TcfgForm& form) {
                for (const char* name : locked)
                    EXPECT_EQ(Control<QWidget>(name)->isEnabledTo(&form), !running) << name;
                EXPECT_TRUE(Control<QWidget>("ComboBox15")->isEnabledTo(&form));
                EXPECT_EQ(Control<QLabel>("RunningNote")->isVisibleTo(&form), running);
                EXPECT_EQ(Control<QLabel>("RunningNote")->text(),
                          "Note:  These settings may not be changed while Varnel is actively monitoring a system.");
            },
            QDialog::Rejected));
    }
}

TEST_F(ConfigDialogTest, BackupFolderChooserPutsTheFolderIntoThePath)
{
    settings.backupPath = "/srv/old";
    Start();
    QString startedAt;
    Form()->SetFolderChooser([&](QWidget*, const QString& start) {
        startedAt = start;
        return QStringLiteral("/srv/new backups");
    });
    ASSERT_TRUE(Open(TcfgForm::kDataPage, [&](TcfgForm&) { Control<QPushButton>("Button7")->click(); }));
    EXPECT_EQ(startedAt, "/srv/old");
    EXPECT_EQ(Reloaded().backupPath, "/srv/new backups");

    Form()->SetFolderChooser([](QWidget*, const QString&) { return QString(); });  // cancelled
    ASSERT_TRUE(Open(TcfgForm::kDataPage, [&](TcfgForm&) { Control<QPushButton>("Button7")->click(); }));
    EXPECT_EQ(Reloaded().backupPath, "/srv/new backups");
}

TEST_F(ConfigDialogTest, ColourButtonsSetTheExamplesAndOddLinesShareTheEvenText)
{
    settings.evenText = 0x332211;  // #112233
    settings.evenBackground = 0x665544;
    settings.oddText = 0x998877;
    settings.oddBackground = 0xCCBBAA;
    settings.defaultText = 0x000001;
    settings.defaultBackground = 0x000002;
    settings.controlText = 0x000003;
    settings.controlBackground = 0x000004;
    Start();
    const QColor picked[] = {QColor(0x10, 0x20, 0x30), QColor(0x40, 0x50, 0x60), QColor(0x70, 0x80, 0x90),
                             QColor(0xA0, 0xB0, 0xC0), QColor(0xD0, 0xE0, 0xF0)};
    int next = 0;
    Form()->SetColourChooser([&](QColor& c) {
        c = picked[next++];
        return true;
    });
    ASSERT_TRUE(Open(TcfgForm::kScreenPage, [&](TcfgForm&) {
        auto text = [&](const char* e) { return Control<QLineEdit>(e)->palette().color(QPalette::Text); };
        auto back = [&](const char* e) { return Control<QLineEdit>(e)->palette().color(QPalette::Base); };
        EXPECT_EQ(text("Edit4"), QColor(0x11, 0x22, 0x33));
        EXPECT_EQ(back("Edit4"), QColor(0x44, 0x55, 0x66));
        EXPECT_EQ(text("Edit13"), QColor(0x77, 0x88, 0x99));
        EXPECT_EQ(back("Edit13"), QColor(0xAA, 0xBB, 0xCC));
        EXPECT_EQ(text("Edit3"), QColor(1, 0, 0));
        EXPECT_EQ(back("Edit18"), QColor(4, 0, 0));
        for (const char* button : {"Button5", "Button6", "Button8", "Button4", "Button17"})
            Control<QPushButton>(button)->click();
        EXPECT_EQ(text("Edit13"), picked[0]);  // "Text" colours both examples
    }));
    const Settings s = Reloaded();
    EXPECT_EQ(s.evenText, 0x302010u);
    EXPECT_EQ(s.oddText, 0x302010u);
    EXPECT_EQ(s.evenBackground, 0x605040u);
    EXPECT_EQ(s.oddBackground, 0x908070u);
    EXPECT_EQ(s.defaultBackground, 0xC0B0A0u);
    EXPECT_EQ(s.defaultText, 0x000001u);
    EXPECT_EQ(s.controlText, 0xF0E0D0u);
    EXPECT_EQ(s.controlBackground, 0x000004u);
}

}  // namespace
