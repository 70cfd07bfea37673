// The views of the current state: site information with its panels, activity with the follow
// marking and the second scanner's tuning, adjacent sites, identifier tables, filter ranges and
// the row colours.
#include <QAbstractItemView>
#include <QPalette>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ScreenRootFixture.h"
#include "p25/NameTables.h"
#include "scancontrol/ScannerControl.h"
#include "ui/views/EmergencyCalls.h"

namespace {

using namespace ui_names;
using uitest::ScreenFixture;

class SiteInformationTest : public ScreenFixture { };

TEST_F(SiteInformationTest, PlaceholdersUntilTheSystemIsKnown)
{
    UpdateSiteInformation(*ctx);
    EXPECT_EQ(Rows(kListSiteInfo), 0);
    const std::pair<const char*, const char*> expected[] = {{kSysIdValue, "000"},
                                                            {kStatusSystemValue, "000/00000"},
                                                            {kSiteIdValue, " 000 (T0000)"},
                                                            {kStatusSiteValue, "000 (T0000)"},
                                                            {kWacnValue, "00000"},
                                                            {kSiteDescValue, ""},
                                                            {kSystemDescValue, ""},
                                                            {kSiteStatusValue, "None"},
                                                            {kStatusTGIDsValue, "0"},
                                                            {kStatusRIDsValue, "0"},
                                                            {kStatusStatusValue, "Unknown"},
                                                            {kTGIDCount, "0"},
                                                            {kRIDCount, "0"}};
    for (auto [label, text] : expected)
        EXPECT_EQ(Label(label), text) << label;
}

TEST_F(SiteInformationTest, EightRowsAndThePanelsOnceIdentified)
{
    Identify();
    decoder->SetWacn(0xBEE00);
    decoder->SetSystemName("County Trunked");
    decoder->SetSiteName("North Tower");
    decoder->AddCallSign("WQX123");
    decoder->AddCallSign("KAB456");
    UpdateSiteInformation(*ctx);

    const std::pair<const char*, QString> rows[] = {{"System ID", "123"},
                                                    {"Tower ID", "105 (T0105)"},
                                                    {"WACN", "BEE00"},
                                                    {"Tower Description", "North Tower"},
                                                    {"System Description", "County Trunked"},
                                                    {"Capabilities", QString::fromStdString(ServiceClassText(0x70))},
                                                    {"Call Signs", "WQX123 KAB456"},
                                                    {"Tower Status", "Connected"}};
    ASSERT_EQ(Rows(kListSiteInfo), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Cell(kListSiteInfo, i, 0), rows[i].first);
        EXPECT_EQ(Cell(kListSiteInfo, i, 1), rows[i].second) << rows[i].first;
    }
    EXPECT_EQ(Label(kSysIdValue), "123");
    EXPECT_EQ(Label(kStatusSystemValue), "123/BEE00");
    EXPECT_EQ(Label(kSiteIdValue), "105 (T0105)");
    EXPECT_EQ(Label(kStatusSiteValue), "105 (T0105)");
    EXPECT_EQ(Label(kSiteDescValue), "North Tower");
    EXPECT_EQ(Label(kSystemDescValue), "County Trunked");
    EXPECT_EQ(Label(kSiteStatusValue), "OK");
    EXPECT_EQ(Label(kStatusStatusValue), "OK");

    decoder->SetSiteStatus(0);  // the site lost its network link
    UpdateSiteInformation(*ctx);
    EXPECT_EQ(Cell(kListSiteInfo, 7, 1), "Site Trunking Mode");
    EXPECT_EQ(Cell(kListSiteInfo, 6, 0), "Call Signs");
    EXPECT_EQ(Label(kSiteStatusValue), "ST!");
    EXPECT_EQ(Label(kStatusStatusValue), "ST!");
}

TEST_F(SiteInformationTest, AChangeTakenByAnotherUpdaterStillReachesTheList)
{
    Identify();
    UpdateSiteInformation(*ctx);
    decoder->SetSystemName("Renamed");
    UpdateIdentifiers(*ctx);  // its copy of the system information clears the changed flag
    EXPECT_FALSE(decoder->SystemInfoChanged());
    EXPECT_EQ(Cell(kListSiteInfo, 4, 1), "Renamed");
}

// ---- activity ----

class ActivityTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        Identify();
    }
    enum { kCh, kFreq, kUsage, kType, kPriority, kTg, kTgDesc, kRadio, kRadioDesc, kActive, kHits };
    // Group voice grant: channel, talkgroup, source, service options (0x40 encrypted).
    void GroupCall(uint16_t channel, uint16_t tg, uint8_t source, uint8_t options = 0)
    {
        Decode({0x00, 0x00, options, static_cast<uint8_t>(channel >> 8), static_cast<uint8_t>(channel),
                static_cast<uint8_t>(tg >> 8), static_cast<uint8_t>(tg), 0x00, 0x00, source});
    }
    int RowOf(const QString& ch)
    {
        for (int r = 0; r < Rows(kListActivity); ++r)
            if (Cell(kListActivity, r, kCh) == ch)
                return r;
        return -1;
    }
    QString At(const QString& ch, int column) { return Cell(kListActivity, RowOf(ch), column); }
};

TEST_F(ActivityTest, CallRowsShowChannelCallAndNames)
{
    GroupCall(0x0010, 200, 1);
    GroupCall(0x0011, 300, 2, 0x40);
    decoder->Activity().RecordCwid(0x0012, "WQX123");
    decoder->Activity().RecordPrivateGrant(0x2010, 100, "", 7);  // identifier 2 has no base yet
    settings.privatePriority = 7;
    UpdateActivity(*ctx);

    ASSERT_EQ(Rows(kListActivity), 4);
    const QStringList group{"00-0016",
                            "851.10625",
                            "v",
                            "Group",
                            "50",
                            "200",
                            QString::fromStdString(decoder->Talkgroups().GetTalkgroupText(200)),
                            "1",
                            QString::fromStdString(decoder->Radios().GetRadioText(1)),
                            "<-----",
                            "1"};
    for (int c = 0; c < group.size(); ++c)
        EXPECT_EQ(At("00-0016", c), group[c]) << "column " << c;
    EXPECT_FALSE(At("00-0016", kRadioDesc).isEmpty());  // a radio heard first gets its generated name
    EXPECT_EQ(At("00-0017", kType), "Group (Enc)");
    EXPECT_EQ(At("00-0017", kActive), "");  // encrypted calls are never followed
    EXPECT_EQ(At("00-0018", kType), "CWID");
    EXPECT_EQ(At("00-0018", kUsage), "i");
    EXPECT_EQ(At("00-0018", kPriority), "WQX123");
    EXPECT_EQ(At("00-0018", kTg), "");
    EXPECT_EQ(At("02-0016", kFreq), "Unknown");
    EXPECT_EQ(At("02-0016", kType), "Private");
    EXPECT_EQ(At("02-0016", kPriority), "7");
    EXPECT_EQ(At("02-0016", kTg), "100");
    EXPECT_EQ(Label(kHoldLabel), "No Hold");
    EXPECT_EQ(state.LastFollowedTarget.load(), 200);
}

// The emergencies follow the channel table as the activity list shows it: a group call flagged
// as emergency begins one (once, however often it is heard), a private one does not, the call
// going on without the flag ends it, and so does a reset of the decoder (a new session), so the
// same emergency heard again alerts again.
TEST_F(ActivityTest, EmergenciesFollowTheChannelTable)
{
    std::vector<int32_t> began;
    QObject::connect(&emergencies, &EmergencyCalls::Began,
                     [&](const EmergencyCalls::Call& call) { began.push_back(call.talkgroup); });
    GroupCall(0x0010, 200, 1, 0x80);
    decoder->Activity().RecordPrivateGrant(0x0011, 300, "Emrg", 2);
    UpdateActivity(*ctx);
    GroupCall(0x0010, 200, 1, 0x80);
    UpdateActivity(*ctx);
    EXPECT_EQ(began, std::vector<int32_t>{200});
    EXPECT_TRUE(emergencies.Active(200));
    EXPECT_FALSE(emergencies.Active(300));
    ASSERT_EQ(emergencies.Calls().at(200).radio, 1);

    GroupCall(0x0010, 200, 1);
    UpdateActivity(*ctx);
    EXPECT_FALSE(emergencies.Active(200));

    GroupCall(0x0010, 200, 1, 0x80);
    UpdateActivity(*ctx);
    decoder->ResetAll();
    UpdateActivity(*ctx);
    EXPECT_TRUE(emergencies.Calls().empty());
    Identify();
    GroupCall(0x0010, 200, 1, 0x80);
    UpdateActivity(*ctx);
    EXPECT_EQ(began, (std::vector<int32_t>{200, 200, 200}));
}

TEST_F(ActivityTest, IdleChannelKeepsItsRowUsageAndHits)
{
    GroupCall(0x0010, 200, 1);
    UpdateActivity(*ctx);
    decoder->SetTgTimeOut(5);
    for (int i = 0; i < 6; ++i)
        decoder->AdvanceTick();
    ASSERT_TRUE(decoder->Activity().ExpireChannelActivity());
    UpdateActivity(*ctx);
    ASSERT_EQ(Rows(kListActivity), 1);
    EXPECT_EQ(Model(kListActivity).RowAt(0).cells,
              QStringList({"00-0016", "851.10625", "v", "", "", "", "", "", "", "", "1"}));
}

TEST_F(ActivityTest, BestPriorityIsMarkedAndAHoldOverridesIt)
{
    decoder->Talkgroups().SetTalkgroup(200, "Police", 5, 0);
    decoder->Talkgroups().SetTalkgroup(300, "Fire", 3, 0);
    GroupCall(0x0010, 200, 1);
    GroupCall(0x0011, 300, 2);
    UpdateActivity(*ctx);
    EXPECT_EQ(At("00-0016", kPriority), "5");
    EXPECT_EQ(At("00-0016", kTgDesc), "Police");
    EXPECT_EQ(At("00-0016", kActive), "");
    EXPECT_EQ(At("00-0017", kActive), "<-----");
    EXPECT_EQ(state.LastFollowedTarget.load(), 300);

    state.HeldTalkgroup = 200;
    UpdateActivity(*ctx);
    EXPECT_EQ(Label(kHoldLabel), "Holding Talkgroup 200");
    EXPECT_EQ(At("00-0016", kActive), "<-----");
    EXPECT_EQ(At("00-0017", kActive), "");
    EXPECT_EQ(state.LastFollowedTarget.load(), 200);
}

// The second scanner on a pseudo-terminal, with a profile that tunes by text command.
class ActivityTuningTest : public ActivityTest {
protected:
    void SetUp() override
    {
        ActivityTest::SetUp();
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        const std::filesystem::path dir = folder.path().toStdString();
        std::ofstream(dir / "test.scanner") << "[Commands]\r\nActive=F$AF-0#######$$CR$\r\n"
                                               "Quiet=Q$QF-0#######$$CR$\r\n";
        control = std::make_unique<ScannerControl>(::ptsname(master), "test.scanner", 866.0, 9600, dir);
        ASSERT_TRUE(control->PortOpen());
        scanner = control.get();
        settings.scanControlEnabled = true;
    }
    void TearDown() override
    {
        control.reset();
        ::close(master);
    }
    int master = -1;
    std::unique_ptr<ScannerControl> control;
};

TEST_F(ActivityTuningTest, FollowsTheMarkedCallAndGoesQuietWhenNothingQualifies)
{
    GroupCall(0x0010, 200, 1);
    UpdateActivity(*ctx);
    EXPECT_EQ(control->LastTunedFrequency(), ScannerControl::kNoFrequency);  // no session: nothing sent

    state.DecodeRunning = true;
    UpdateActivity(*ctx);
    EXPECT_DOUBLE_EQ(control->LastTunedFrequency(), 851.10625);

    state.HeldTalkgroup = 999;  // held, and idle
    UpdateActivity(*ctx);
    EXPECT_EQ(At("00-0016", kActive), "");
    EXPECT_DOUBLE_EQ(control->LastTunedFrequency(), 866.0);
}

// ---- snapshots ----

TEST_F(ActivityTest, NeighborsInTextOrderWithTheMonitoredSystemsNames)
{
    decoder->Towers().SetTowerName(2, 3, "Hilltop");
    NeighborSite other{0x456, 2, 3, 0x0010, 0x01, 0, ""};  // another system, same RFSS and site
    NeighborSite stale{0x123, 10, 1, 0xFFFF, 0x02, 0, ""};
    ASSERT_TRUE(decoder->Neighbors().AddNeighbor(other));
    ASSERT_TRUE(decoder->Neighbors().AddNeighbor(stale));
    UpdateNeighbors(*ctx);
    ASSERT_EQ(Rows(kListNeighbors), 2);
    // "1001 ..." sorts before "203 ..." as text.
    EXPECT_EQ(Model(kListNeighbors).RowAt(0).cells,
              QStringList({"1001 (T0A01)", "123", "", "", "", "Failed, Current"}));
    EXPECT_EQ(Model(kListNeighbors).RowAt(1).cells,
              QStringList({"203 (T0203)", "456", "00-0016", "851.10625", "Hilltop", "Connected, Stale"}));
}

TEST_F(ActivityTest, IdentifierTablesShowAssumedAndReceivedEntries)
{
    UpdateIdentifiers(*ctx);
    ASSERT_EQ(Rows(kListIdentifiers), 16);
    // The built-in 800 MHz plan until the site announces its own table.
    EXPECT_EQ(Model(kListIdentifiers).RowAt(0).cells,
              QStringList({"00", "851.00625", "0.00625", "-45.00000", "A", "0.01250"}));

    decoder->Identifiers().StoreIdentifier(2, IdentifierEntry{851.0, -45.0, 0.0125, 0.0125, false});
    UpdateIdentifiers(*ctx);
    EXPECT_EQ(Model(kListIdentifiers).RowAt(0).cells, QStringList({"00", "", "", "", "", ""}));
    EXPECT_EQ(Model(kListIdentifiers).RowAt(2).cells,
              QStringList({"02", "851.00000", "0.01250", "-45.00000", "C", "0.01250"}));
    EXPECT_EQ(Cell(kListIdentifiers, 15, 0), "15");
}

TEST_F(ActivityTest, SnapshotsWaitWhileTheSystemIsUnknown)
{
    UpdateIdentifiers(*ctx);
    ASSERT_EQ(Rows(kListIdentifiers), 16);
    decoder->ResetAll();  // system ID 0 again
    Model(kListIdentifiers).SetCell(0, 1, "kept");
    UpdateIdentifiers(*ctx);
    UpdateActivity(*ctx);
    EXPECT_EQ(Cell(kListIdentifiers, 0, 1), "kept");
    EXPECT_EQ(Label(kSysIdValue), "000");  // the common start still showed the reset
}

TEST_F(ActivityTest, FilterRangesSortedWithTheSwitch)
{
    decoder->Filter().SetFilterEnabled(true);
    decoder->Filter().SetFilterRange(true, 500, 599);
    decoder->Filter().SetFilterRange(false, 100, 199);
    decoder->Filter().SetFilterRange(true, 100, 150);
    UpdateFilterRanges(*ctx);
    EXPECT_TRUE(root->findChild<QAbstractButton*>(kFilterEnable)->isChecked());
    ASSERT_EQ(Rows(kListFilterRanges), 3);
    EXPECT_EQ(Model(kListFilterRanges).RowAt(0).cells, QStringList({"100", "150", "Yes"}));
    EXPECT_EQ(Model(kListFilterRanges).RowAt(1).cells, QStringList({"100", "199", "No"}));
    EXPECT_EQ(Model(kListFilterRanges).RowAt(2).cells, QStringList({"500", "599", "Yes"}));
    EXPECT_EQ(scratch.filterRangeCount, 3);
}

// ---- colours ----

QColor Foreground(ListModel& m, int row, int column)
{
    return m.data(m.index(row, column), Qt::ForegroundRole).value<QColor>();
}
QColor Background(ListModel& m, int row, int column)
{
    return m.data(m.index(row, column), Qt::BackgroundRole).value<QColor>();
}

TEST_F(ActivityTest, RowColoursFollowTheTablesAndTheControlColours)
{
    decoder->Talkgroups().SetTalkgroup(200, "Police", 5, 0);
    decoder->Talkgroups().SetTalkgroupColors(200, 0x0000FF, 0xFFFF00);  // red on cyan (0x00BBGGRR)
    decoder->Radios().SetRadio(9, "Car 9", 0);
    decoder->Radios().SetRadioColors(9, 0xFF0000, 0x00FFFF);  // blue on yellow
    GroupCall(0x0010, 200, 9);
    decoder->Activity().RecordControlChannel(0x0020, 0);
    settings.activityColorMode = 2;  // split colour
    UpdateActivity(*ctx);
    ListModel& m = Model(kListActivity);
    const int call = RowOf("00-0016");
    EXPECT_EQ(Foreground(m, call, kTg), QColor(255, 0, 0));
    EXPECT_EQ(Background(m, call, kTg), QColor(0, 255, 255));
    EXPECT_EQ(Foreground(m, call, kRadio), QColor(0, 0, 255));  // the radio's own cells
    EXPECT_EQ(Background(m, call, kRadioDesc), QColor(255, 255, 0));
    EXPECT_EQ(Foreground(m, RowOf("00-0032"), kCh), QColor(0, 255, 0));  // control text #00FF00

    UpdateIdentifiers(*ctx);  // an odd/even list
    EXPECT_EQ(Background(Model(kListIdentifiers), 1, 0), QColor(0xCC, 0xFF, 0xCC));
}

}  // namespace
