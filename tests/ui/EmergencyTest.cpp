// An emergency call of the demo capture (a police officer's emergency button at 2:30, answered
// on the talkgroup in emergency), in each colour mode of the lists: the activity row, the grant
// trace rows and the recent grants rows of the call are red while it lasts and not after, and the
// notice in the window names the talkgroup and the radio until it is clicked.
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include <cstdlib>

#include "DemoScannerRig.h"
#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "ui/mainwindow/EmergencyAlert.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListModel.h"

using namespace uitest;

namespace {

// Activity columns.
constexpr int kType = 3, kTalkgroup = 5, kTalkgroupDesc = 6, kRadio = 7, kRadioDesc = 8;
// Grant trace and recent grants columns.
constexpr int kGrantTalkgroup = 4, kGrantRadio = 6;
const QColor kRed(200, 0, 0);

struct ColourCase {
    const char* what;
    int activityMode;
    bool grantsUseTgColours;  // off: the odd/even colours
    int grantsMode;
};

const ColourCase kColourCases[] = {
    {"by radio, grants odd/even", 0, false, 0},
    {"by talkgroup, grants by radio", 1, true, 0},
    {"split, grants by talkgroup", 2, true, 1},
    {"split, grants split", 2, true, 2},
};

class EmergencyTest : public MainWindowFixture, public testing::WithParamInterface<ColourCase> {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        StartDemoScanner(scanner, settings);
        if (HasFatalFailure())
            return;
        settings.autoSaveEnabled = false;
        settings.showGrantLog = true;
        settings.grants.visible = true;  // the grant trace tab
        settings.activityColorMode = GetParam().activityMode;
        settings.grantsUseTGColors = GetParam().grantsUseTgColours;
        settings.grantsColorMode = GetParam().grantsMode;
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        scanner->Close();
    }

    static int EmergencyRow(ListModel& m)
    {
        for (int row = 0; row < m.Count(); ++row)
            if (m.Cell(row, kType).endsWith(QLatin1String("(Emrg)")))
                return row;
        return -1;
    }
    // How a list draws a cell: what the user sees, odd/even colours and the rows' own alike.
    static QColor Back(const ListModel& m, int row, int column)
    {
        return m.data(m.index(row, column), Qt::BackgroundRole).value<QColor>();
    }
    static QColor Text(const ListModel& m, int row, int column)
    {
        return m.data(m.index(row, column), Qt::ForegroundRole).value<QColor>();
    }
    // Rows of the talkgroup drawn red, over all their cells.
    static int RedRows(const ListModel& m, int talkgroup)
    {
        int red = 0;
        for (int row = 0; row < m.Count(); ++row) {
            if (m.Cell(row, kGrantTalkgroup).trimmed().toInt() != talkgroup || Back(m, row, 0) != kRed)
                continue;
            ++red;
            for (int column : {1, kGrantRadio, kGrantRadio + 1})
                EXPECT_EQ(Back(m, row, column), kRed) << "row " << row << " column " << column;
            EXPECT_EQ(Text(m, row, 0), QColor(Qt::white));
        }
        return red;
    }
    static int AnyRedRows(const ListModel& m)
    {
        int red = 0;
        for (int row = 0; row < m.Count(); ++row)
            red += Back(m, row, 0) == kRed;
        return red;
    }

    std::unique_ptr<ScannerSimulator> scanner;
};

TEST_P(EmergencyTest, DemoEmergencyIsRedWhileItLastsAndNoticedUntilClicked)
{
    MakeWindow();
    window->resize(1200, 800);
    window->ToggleSession();
    ListModel* activity = ModelOf(window->Widgets().List(ListRole::Activity));
    ListModel* trace = ModelOf(window->Widgets().List(ListRole::GrantTrace));
    ListModel* recent = ModelOf(window->Widgets().List(ListRole::RecentGrants));
    ASSERT_TRUE(activity && trace && recent);
    EmergencyAlert* alert = window->Emergencies();
    ASSERT_NE(alert, nullptr);

    // While the call lasts: the activity row, and the call's rows in both grant lists.
    int talkgroup = 0;
    ASSERT_TRUE(PumpUntil(
        [&] {
            const int row = EmergencyRow(*activity);
            if (row < 0 || !alert->Showing())
                return false;
            talkgroup = activity->Cell(row, kTalkgroup).toInt();
            return RedRows(*trace, talkgroup) > 0 && RedRows(*recent, talkgroup) > 0;
        },
        60000))
        << trace->Count() << " trace rows, " << recent->Count() << " recent";
    const int row = EmergencyRow(*activity);
    for (int column : {0, kTalkgroup, kRadio, kRadioDesc, 10})
        EXPECT_EQ(Back(*activity, row, column), kRed) << column;
    EXPECT_EQ(Text(*activity, row, 0), QColor(Qt::white));
    EXPECT_EQ(alert->Text().toStdString(), QStringLiteral("EMERGENCY: %1 (%2) from %3 (%4)")
                                               .arg(activity->Cell(row, kTalkgroupDesc))
                                               .arg(talkgroup)
                                               .arg(activity->Cell(row, kRadioDesc))
                                               .arg(activity->Cell(row, kRadio))
                                               .toStdString());
    EXPECT_FALSE(activity->Cell(row, kTalkgroupDesc).isEmpty());
    EXPECT_TRUE(alert->Calls().Active(talkgroup));

    if (const char* shots = std::getenv("VARNEL_SHOTS_DIR")) {
        QDir().mkpath(shots);
        // One pair of pictures per colour case: emergency-<case>-activity.png, -grants.png.
        const QString test = QString::fromUtf8(testing::UnitTest::GetInstance()->current_test_info()->name());
        const QString base = QString::fromLocal8Bit(shots) + "/emergency-" + test.section('/', -1);
        window->grab().save(base + "-activity.png");
        QWidget* current = window->Pages()->currentWidget();
        window->Pages()->setCurrentWidget(window->findChild<QWidget*>(ui_names::kTabGrants));
        window->grab().save(base + "-grants.png");
        window->Pages()->setCurrentWidget(current);
    }

    // A click acknowledges the notice; the call goes on.
    window->findChild<QPushButton*>("EmergencyNotice")->click();
    EXPECT_FALSE(alert->Showing());

    // The call ends: nothing is red any more, in any list. (Looked at in the same turn of the
    // event loop as the end: the capture plays on in a loop and brings the emergency again.)
    ASSERT_TRUE(PumpUntil([&] { return !alert->Calls().Active(talkgroup); }, 60000));
    EXPECT_LT(EmergencyRow(*activity), 0);
    EXPECT_EQ(RedRows(*trace, talkgroup), 0);
    EXPECT_EQ(RedRows(*recent, talkgroup), 0);
    if (alert->Calls().Calls().empty()) {
        EXPECT_EQ(AnyRedRows(*activity), 0);
        EXPECT_EQ(AnyRedRows(*trace), 0);
        EXPECT_EQ(AnyRedRows(*recent), 0);
    }
    window->ToggleSession();
}

INSTANTIATE_TEST_SUITE_P(ColourModes, EmergencyTest, testing::ValuesIn(kColourCases),
                         [](const testing::TestParamInfo<ColourCase>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             return name;
                         });

}  // namespace
