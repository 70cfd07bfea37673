// An emergency call of the demo capture (a police officer's emergency button at 2:30, answered
// on the talkgroup in emergency): red rows whatever the colour mode, and the notice in the
// window until it is clicked.
#include <QDir>
#include <QPushButton>
#include <QTreeView>

#include <cstdlib>

#include "DemoScannerRig.h"
#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "ui/mainwindow/EmergencyAlert.h"
#include "ui/views/ListModel.h"

using namespace uitest;

namespace {

constexpr int kType = 3;  // activity and grant columns
constexpr int kGrantType = 1;
constexpr int kGrantTalkgroup = 4;
const QColor kRed(200, 0, 0);

class EmergencyTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        StartDemoScanner(scanner, settings);
        if (HasFatalFailure())
            return;
        settings.autoSaveEnabled = false;
        settings.activityColorMode = 0;  // by radio: the emergency colour wins anyway
        settings.showGrantLog = true;
        settings.grants.visible = true;     // the grant trace tab
        settings.grantsUseTGColors = true;  // odd/even colouring paints over every row
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        scanner->Close();
    }

    int EmergencyRow(ListModel& m, int column)
    {
        for (int row = 0; row < m.Count(); ++row)
            if (m.Cell(row, column).endsWith(QLatin1String("(Emrg)")))
                return row;
        return -1;
    }

    std::unique_ptr<ScannerSimulator> scanner;
};

TEST_F(EmergencyTest, DemoEmergencyShowsRedAndNoticeUntilClicked)
{
    MakeWindow();
    window->resize(1200, 800);
    window->ToggleSession();
    ListModel* activity = ModelOf(window->Widgets().List(ListRole::Activity));
    ASSERT_NE(activity, nullptr);
    EmergencyAlert* alert = window->Emergencies();
    ASSERT_NE(alert, nullptr);

    ASSERT_TRUE(PumpUntil([&] { return EmergencyRow(*activity, kType) >= 0 && alert->Showing(); }, 60000));
    const int row = EmergencyRow(*activity, kType);
    EXPECT_EQ(activity->RowAt(row).back, kRed);
    EXPECT_EQ(activity->RowAt(row).text, QColor(Qt::white));
    const QString talkgroup = activity->Cell(row, 5);
    EXPECT_TRUE(alert->Text().startsWith(QStringLiteral("EMERGENCY: "))) << alert->Text().toStdString();
    EXPECT_TRUE(alert->Text().contains(QStringLiteral(" (") + talkgroup + QStringLiteral(") from ")))
        << alert->Text().toStdString();

    if (const char* shots = std::getenv("VARNEL_SHOTS_DIR")) {
        QDir().mkpath(shots);
        window->grab().save(QString::fromLocal8Bit(shots) + "/emergency-activity.png");
    }

    // The grant trace and the recent grants show the emergency call in red too.
    ListModel* trace = ModelOf(window->Widgets().List(ListRole::GrantTrace));
    ListModel* recent = ModelOf(window->Widgets().List(ListRole::RecentGrants));
    ASSERT_TRUE(trace && recent);
    ASSERT_TRUE(PumpUntil([&] { return EmergencyRow(*trace, kGrantType) >= 0; }))
        << trace->Count() << " trace rows, " << recent->Count() << " recent; last type "
        << (trace->Count() ? trace->Cell(trace->Count() - 1, kGrantType).toStdString() : std::string());
    EXPECT_EQ(trace->RowAt(EmergencyRow(*trace, kGrantType)).back, kRed);
    EXPECT_TRUE(PumpUntil([&] {
        for (int r = 0; r < recent->Count(); ++r)
            if (recent->Cell(r, kGrantTalkgroup).trimmed() == talkgroup.trimmed() && recent->RowAt(r).back == kRed)
                return true;
        return false;
    }));

    // A click acknowledges it; the call ending returns the row to its colours.
    window->findChild<QPushButton*>("EmergencyNotice")->click();
    EXPECT_FALSE(alert->Showing());
    EXPECT_TRUE(PumpUntil([&] { return EmergencyRow(*activity, kType) < 0; }, 60000));
    window->ToggleSession();
}

}  // namespace
