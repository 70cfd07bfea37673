// A whole decode session in the main window: the demo capture of a busy site played by the
// scanner simulator on a pseudo-terminal, read, queued, decoded and drawn by the refresh thread
// into every view, side panel and the status line.
#include <QLabel>

#include <filesystem>
#include <fstream>

#include "DemoScannerRig.h"
#include "MainWindowFixture.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListModel.h"

using namespace uitest;
using namespace ui_names;

namespace {

class LiveSessionTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        StartDemoScanner(scanner, settings);
        if (HasFatalFailure())
            return;
        for (ScreenSettings* screen : {&settings.grants, &settings.unknowns, &settings.otherInfo, &settings.pktDump,
                                       &settings.psrDump, &settings.patches, &settings.affiliations})
            screen->visible = true;
    }

    void TearDown() override
    {
        MainWindowFixture::TearDown();
        scanner->Close();
    }

    QString Label(const char* name) { return Find<QLabel>(name)->text(); }
    ListModel& List(const char* name) { return *FindListModel(window.get(), name); }

    std::unique_ptr<ScannerSimulator> scanner;
};

int RowOf(ListModel& m, int column, const QString& text)
{
    for (int row = 0; row < m.Count(); ++row)
        if (m.Cell(row, column) == text)
            return row;
    return -1;
}

TEST_F(LiveSessionTest, EveryViewPanelAndTheStatusLineFill)
{
    MakeWindow();
    window->ToggleSession();
    ASSERT_TRUE(window->State().DecodeRunning.load());

    const char* logs[] = {kListActivity,   kListNeighbors,    kListIdentifiers, kListAffList,       kListPatchList,
                          kListAffLog,     kListUnknown,      kListGrantTrace,  kListOtherEvents,   kListPatchLog,
                          kListPacketDump, kListRecentGrants, kListRawData,     kListCurrentPatches};
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (const char* name : logs)
                if (List(name).Count() == 0)
                    return false;
            return List(kListSiteInfo).Count() == 8 && Label(kSysIdValue) != "Unknown";
        },
        30000))
        << [&] {
               std::string empty;
               for (const char* name : logs)
                   if (List(name).Count() == 0)
                       empty += std::string(name) + " ";
               return "still empty: " + empty + " site rows " + std::to_string(List(kListSiteInfo).Count());
           }();

    // System 0x1A3 of network 0x92A5C, RFSS 1 site 5, whose control channel is identifier 1
    // channel 190 of the 800 MHz plan (base 851.00625 MHz, 6.25 kHz spacing).
    EXPECT_EQ(Label(kSysIdValue), "1A3");
    EXPECT_EQ(Label(kWacnValue), "92A5C");
    EXPECT_EQ(Label(kSiteIdValue), "105 (T0105)");
    EXPECT_EQ(Label(kSiteStatusValue), "OK");
    EXPECT_EQ(Label(kStatusSystemValue), "1A3/92A5C");
    EXPECT_EQ(Label(kStatusSiteValue), "105 (T0105)");
    EXPECT_NE(Label(kStatusTGIDsValue), "0");
    EXPECT_NE(Label(kStatusRIDsValue), "0");

    ListModel& activity = List(kListActivity);
    const int control = RowOf(activity, 0, "01-0190");
    ASSERT_GE(control, 0);
    const QStringList controlRow{"01-0190", "852.19375", "c", "Control", "", "", "", "", "", "", "0"};
    for (int column = 0; column < controlRow.size(); ++column)
        EXPECT_EQ(activity.Cell(control, column), controlRow[column]) << "column " << column;
    // Voice channels carry a talkgroup, its priority and the calling radio.
    const int voice = RowOf(activity, 3, "Group");
    ASSERT_GE(voice, 0);
    EXPECT_EQ(activity.Cell(voice, 2), "v");
    EXPECT_EQ(activity.Cell(voice, 4), "50");
    EXPECT_FALSE(activity.Cell(voice, 5).isEmpty());
    EXPECT_FALSE(activity.Cell(voice, 7).isEmpty());

    window->ToggleSession();
    EXPECT_FALSE(window->State().DecodeRunning.load());
}

// With the setting on, the desktop program writes the headless run's event feed; off (the
// default) it writes none.
TEST_F(LiveSessionTest, EventFeedFileOnlyWhenTheSettingAsks)
{
    const std::string feed = Folder() + "events.jsonl";
    for (const bool enabled : {false, true}) {
        settings.eventFeedEnabled = enabled;
        window.reset();  // its closing saves its own settings
        MakeWindow();
        window->ToggleSession();
        ASSERT_TRUE(PumpUntil([&] { return Label(kSysIdValue) != "Unknown"; }, 20000));
        PumpUntil([] { return false; }, 500);
        window->ToggleSession();
        EXPECT_EQ(std::filesystem::exists(feed), enabled);
    }
    // The session may join the looped capture anywhere: the site is identified somewhere in it.
    std::ifstream in(feed);
    size_t lines = 0;
    bool identified = false;
    for (std::string line; std::getline(in, line); ++lines) {
        EXPECT_EQ(line.rfind(R"({"schema":1,"event":")", 0), 0u) << line;
        identified = identified || line.find(R"("event":"site_identified")") != std::string::npos;
    }
    EXPECT_TRUE(identified);
    EXPECT_GT(lines, 10u);
}

}  // namespace
