// The main window's structure: tabs, lists, side panels and status line, the layout rules, the
// menu, the "connect to a tower first" guard, the system name dialog and the About box.
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QThread>
#include <QTreeView>

#include "MainWindowFixture.h"
#include "Version.h"
#include "decoder/P25Class.h"
#include "ui/config/Configform.h"
#include "ui/dialogs/About.h"
#include "ui/dialogs/Sysedit.h"
#include "ui/dialogs/Tgedit.h"
#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/ReceiveRate.h"
#include "ui/mainwindow/RefreshKeeper.h"
#include "ui/views/ListModel.h"

using namespace uitest;
using namespace ui_names;

namespace {

const QStringList kTabCaptions = {"System Activity", "Affilation Log", "Affiliation List (0)", "Site Information",
                                  "Patches (0)",     "Other Events",   "Channel Grant Trace",  "Unknown Packets",
                                  "Packet Dump",     "RAW Data Dump"};

void SetAllScreens(Settings& s, bool on)
{
    for (ScreenSettings* screen :
         {&s.affiliations, &s.towerInfo, &s.patches, &s.otherInfo, &s.grants, &s.unknowns, &s.pktDump, &s.psrDump})
        screen->visible = on;
}

std::vector<bool> TabVisibility(QTabWidget* pages)
{
    std::vector<bool> shown;
    for (int i = 0; i < pages->count(); ++i)
        shown.push_back(pages->isTabVisible(i));
    return shown;
}

}  // namespace

class MainWindowTest : public MainWindowFixture { };

TEST_F(MainWindowTest, TabsStandInOrderWithTheirCaptionsAndFollowTheirSettings)
{
    MakeWindow();
    QTabWidget* pages = window->Pages();
    ASSERT_EQ(pages->count(), kTabCaptions.size());
    for (int i = 0; i < pages->count(); ++i)
        EXPECT_EQ(pages->tabText(i), kTabCaptions[i]) << i;
    EXPECT_EQ(pages->tabPosition(), QTabWidget::South);
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(window->windowTitle(), "P25 Control Channel Information Display");
    // Defaults: affiliations, tower information and patches shown; the recorded logs hidden.
    EXPECT_EQ(TabVisibility(pages),
              (std::vector<bool>{true, true, true, true, true, false, false, false, false, false}));

    window->AppSettings().grants.visible = true;
    window->AppSettings().affiliations.visible = false;
    window->ApplyTabVisibility();
    EXPECT_EQ(TabVisibility(pages),
              (std::vector<bool>{true, false, false, true, true, false, true, false, false, false}));
}

TEST_F(MainWindowTest, EveryTabHidesOnItsOwnSettingButTheActivityTab)
{
    SetAllScreens(settings, false);
    MakeWindow();
    std::vector<bool> onlyActivity(10, false);
    onlyActivity[0] = true;
    EXPECT_EQ(TabVisibility(window->Pages()), onlyActivity);
    SetAllScreens(window->AppSettings(), true);
    window->ApplyTabVisibility();
    EXPECT_EQ(TabVisibility(window->Pages()), std::vector<bool>(10, true));
}

TEST_F(MainWindowTest, EveryListHasItsColumnsCapAndSavedMarks)
{
    struct Expected {
        const char* name;
        QStringList columns;
        int cap;
        bool log;
    };
    const std::vector<Expected> lists = {
        {"ListView1",
         {"Ch", "Frequency", "Usage", "Type", "Priority", "TlkGrp", "TalkGroup Desc", "Radio ID", "Radio Desc",
          "Active", "Hits"},
         0,
         false},
        {"ListView2", {"Site ID", "SysID", "Ch", "Frequency", "Site Name", "Status"}, 0, false},
        {"ListView3", {"ID", "Base", "Spacing", "TX Offset", "A/C", "Bandwidth"}, 0, false},
        {"ListView4", {"TalkGrp", "TG ID", "RadID", "Description", "Last Affiliation"}, 0, false},
        {"ListView5", {"From-->To"}, 0, false},
        {"ListView6", {"Time", "Function", "TG ID", "TG Description", "Radio ID", "Radio Description"}, 5000, true},
        {"ListView7", {"Time", "Op", "Packet Data", "Notes"}, 5000, true},
        {"ListView8",
         {"Time Stamp", "Type", "Channel", "Frequency", "TG", "TalkGroup ID", "Radio ID", "Radio Description"},
         5000,
         true},
        {"ListView9", {"Time Stamp", "Packet Data", "Event Description"}, 5000, true},
        {"ListView10", {"Time Stamp", "Description"}, 5000, true},
        {"ListView11", {"Item", "Value"}, 0, false},
        {"ListView12", {"Time", "Packet Data", "Description"}, 10000, true},
        {"ListView13", {"Talkgroup", "Patched to"}, 0, false},
        {"ListView14", {"Time", "Type", "Ch", "Freq", "TG", "TG Desc", "RID", "RID Description"}, 0, false},
        {"ListView15", {"Recieved Data"}, 10000, true},
        {"ListView16", {"Low", "High", "Active"}, 0, false},
    };
    MakeWindow();
    for (const Expected& e : lists) {
        SCOPED_TRACE(e.name);
        auto* view = Find<QTreeView>(e.name);
        ASSERT_NE(view, nullptr);
        ListModel* model = FindListModel(window.get(), e.name);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->Headers(), e.columns);
        EXPECT_EQ(model->Cap(), e.cap);
        EXPECT_EQ(model->ShowsSavedMarks(), e.log);
        EXPECT_FALSE(view->rootIsDecorated());
        EXPECT_FALSE(view->isSortingEnabled());
    }
}

TEST_F(MainWindowTest, SidePanelsAndStatusLineStartWithTheirInitialTexts)
{
    MakeWindow();
    const std::pair<const char*, const char*> texts[] = {
        {kSysIdValue, "Unknown"}, {kRateValue, "  0% (0 out of 0)"},      {kBufferValue, "100%"},
        {kHoldLabel, "No Hold"},  {kBackupLabel, "*Backup In Progress*"}, {kImportLabel, "*Import In Progress*"}};
    for (const auto& [name, text] : texts)
        EXPECT_EQ(Find<QLabel>(name)->text(), text) << name;
    EXPECT_FALSE(Find<QLabel>(kBackupLabel)->isVisible());
    EXPECT_FALSE(Find<QLabel>(kImportLabel)->isVisible());
    EXPECT_EQ(Find<QPushButton>(kStartStopButton)->text(), "Read Data From Radio");
    EXPECT_EQ(Find<QPushButton>(kHoldButton)->text(), "Hold TalkGroup");
    const std::pair<const char*, const char*> panels[] = {{kPanelSystemInfo, "System Information"},
                                                          {kPanelSiteInfo, "Site Information:"},
                                                          {kPanelDecodeInfo, "Decode Information:"}};
    for (const auto& [name, title] : panels)
        EXPECT_EQ(Find<QGroupBox>(name)->title(), title);
    // Auto Scroll starts checked, Auto Save follows its setting.
    EXPECT_TRUE(Find<QCheckBox>(kDumpAutoScroll)->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(kDumpAutoSave)->isChecked());
}

TEST_F(MainWindowTest, StartupCopiesAutoSaveBoxesThresholdsAndDecoderSwitchesFromTheSettings)
{
    settings.pktDump.visible = true;
    settings.pktDump.autoSave = true;
    settings.psrDump.autoSave = true;
    settings.monitorThresholdHigh = 40;
    settings.monitorThresholdLow = 7;
    settings.grants.visible = true;
    MakeWindow();
    EXPECT_TRUE(Find<QCheckBox>(kDumpAutoSave)->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(kRawAutoSave)->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(kGrantsAutoSave)->isChecked());
    EXPECT_EQ(Find<QSpinBox>(kThresholdHighUpDown)->value(), 40);
    EXPECT_EQ(Find<QSpinBox>(kThresholdLowUpDown)->value(), 7);
    EXPECT_TRUE(window->Decoder()->PacketDumpOn());
    EXPECT_FALSE(window->Decoder()->EventLogOn());
}

// The configuration dialog and the talkgroup dialog carry controls named like the window's own
// ("CheckBox5", "UpDown1", "PageControl1"). Start-up changes the window's controls, whatever
// order the window's children stand in: here the widgets behind the dialogs.
TEST_F(MainWindowTest, StartupSetsTheWindowsOwnControlsNotTheDialogsNamesakes)
{
    settings.filterRegistrations = true;
    settings.monitorThresholdHigh = 42;
    settings.monitorThresholdLow = 9;
    MakeWindow({}, false);
    window->centralWidget()->raise();  // last among the window's children
    QWidget* config = window->Dialogs().config;
    QWidget* talkgroup = window->Dialogs().talkgroupDialog;
    auto* configBox = config->findChild<QCheckBox*>(kFilterRegistrations);
    auto* configSpin = config->findChild<QSpinBox*>(kThresholdHighUpDown);
    auto* talkgroupSpin = talkgroup->findChild<QSpinBox*>(kThresholdHighUpDown);
    ASSERT_TRUE(configBox && configSpin && talkgroupSpin);
    const bool configBoxBefore = configBox->isChecked();
    const int configSpinBefore = configSpin->value();
    const int talkgroupSpinBefore = talkgroupSpin->value();

    window->show();
    ASSERT_TRUE(PumpUntil([this] { return window->Decoder() != nullptr; }));
    QWidget* central = window->centralWidget();
    EXPECT_TRUE(central->findChild<QCheckBox*>(kFilterRegistrations)->isChecked());
    EXPECT_EQ(central->findChild<QSpinBox*>(kThresholdHighUpDown)->value(), 42);
    EXPECT_EQ(central->findChild<QSpinBox*>(kThresholdLowUpDown)->value(), 9);
    EXPECT_EQ(configBox->isChecked(), configBoxBefore);
    EXPECT_EQ(configSpin->value(), configSpinBefore);
    EXPECT_EQ(talkgroupSpin->value(), talkgroupSpinBefore);
}

TEST(ReceiveRateTest, RateTextRoundsHalfUpAndTheBarStopsAt100)
{
    struct Case {
        int32_t good, expected;
        const char* text;
        const char* decode;
        int bar;
    } cases[] = {{0, 0, "  0% (0 out of 0)", "  0%", 0},
                 {39, 40, " 98% (39 out of 40)", " 98%", 98},
                 {41, 40, "103% (41 out of 40)", "103%", 100},
                 {40, 40, "100% (40 out of 40)", "100%", 100},
                 {1, 3, " 33% (1 out of 3)", " 33%", 33}};
    for (const Case& c : cases) {
        const ReceiveRate r = ReceiveRate::From(c.good, c.expected);
        EXPECT_EQ(r.rateText, c.text);
        EXPECT_EQ(r.decodeText, c.decode);
        EXPECT_EQ(r.bar, c.bar);
    }
}

TEST_F(MainWindowTest, DialogsAreCreatedAfterTheMainWindowAndStayHidden)
{
    MakeWindow();
    QList<QDialog*> dialogs = window->findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_GE(dialogs.size(), 2);
    const qsizetype system = dialogs.indexOf(window->Dialogs().systemDialog);
    const qsizetype about = dialogs.indexOf(window->Dialogs().about);
    ASSERT_GE(system, 0);
    EXPECT_LT(system, about);
    for (QDialog* dialog : dialogs)
        EXPECT_FALSE(dialog->isVisible());
}

TEST_F(MainWindowTest, RefreshThreadThatEndsEarlyIsReplacedAtOnce)
{
    MakeWindow();
    QThread* first = window->Refresh().Current();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return first->isRunning(); }));
    first->requestInterruption();
    ASSERT_TRUE(PumpUntil([&] { return window->Refresh().Started() == 2; }));
    ASSERT_NE(window->Refresh().Current(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return window->Refresh().Current()->isRunning(); }));
}

namespace {

TEST_F(MainWindowTest, RefreshButtonsRereadTheAffiliationListAndTheNames)
{
    MakeWindow();
    P25Class& decoder = *window->Decoder();
    decoder.SetSiteIdentity(0x1A3, 1, 0x70, 5);
    decoder.AffLog().LogAffiliation('A', 1234567, "Affiliate", 100);
    decoder.AffLog().LogAffiliation('A', 7654321, "Affiliate", 200);
    Find<QPushButton>("Button8")->click();
    ListModel* list = FindListModel(window.get(), "ListView4");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Count(), 2);

    // A name given later shows in the grant trace's old rows after its Refresh.
    decoder.Talkgroups().SetTalkgroup(100, "Fire Dispatch", 255, 0);
    Find<QPushButton>("Button20")->click();
    ListModel* log = FindListModel(window.get(), "ListView6");
    ASSERT_NE(log, nullptr);
    for (int row = 0; row < log->Count(); ++row)
        if (log->Cell(row, 2) == "100") {
            EXPECT_EQ(log->Cell(row, 3), "Fire Dispatch");
        }
    Find<QPushButton>("Button17")->click();  // no rows yet: nothing to do, nothing breaks
}

}  // namespace
