// The log views: affiliations, grants, unknown packets, events, patches and the packet dump; their
// clear markers, caps, auto scroll and the "Refresh" buttons.
#include <QApplication>
#include <QScrollBar>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "ScreenRootFixture.h"
#include "link/TBSKQueue.h"
#include "link/TScannerReadThread.h"

namespace {

using namespace ui_names;
using uitest::MakeBlock;
using uitest::ScreenFixture;

class LogUpdatersTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        Identify();
        UpdateAll();  // takes the clear markers of the identification
    }
    void UpdateAll()
    {
        UpdateAffiliations(*ctx);
        UpdateGrants(*ctx);
        UpdateUnknownPackets(*ctx);
        UpdateEvents(*ctx);
        UpdatePatches(*ctx);
        UpdatePacketDump(*ctx);
    }
    void Affiliation(char function, int32_t radio, int32_t tg, const char* text = "Affiliate")
    {
        ASSERT_TRUE(decoder->AffLog().LogAffiliation(function, radio, text, tg));
    }
    void GroupGrant(uint16_t channel, uint16_t tg, uint8_t source, uint8_t options = 0)
    {
        Decode({0x00, 0x00, options, static_cast<uint8_t>(channel >> 8), static_cast<uint8_t>(channel),
                static_cast<uint8_t>(tg >> 8), static_cast<uint8_t>(tg), 0x00, 0x00, source});
    }
    QString Tg(int32_t id) { return QString::fromStdString(decoder->Talkgroups().GetTalkgroupText(id)); }
    QString Radio(int32_t id) { return QString::fromStdString(decoder->Radios().GetRadioText(id)); }
    // Fills a log view with rows whose first cell is the given time text.
    void Fill(const char* view, int rows, const QString& time)
    {
        std::vector<QStringList> cells(static_cast<size_t>(rows), QStringList{time});
        Model(view).AppendRows(cells);
    }
    static constexpr const char* kNow = "04/21 14:07:00";  // the fixture's clock
};

TEST_F(LogUpdatersTest, AffiliationListKeepsOneRowPerRadio)
{
    Affiliation('A', 1001, 100);
    UpdateAffiliations(*ctx);
    ASSERT_EQ(Rows(kListAffList), 1);
    EXPECT_EQ(Model(kListAffList).RowAt(0).cells, QStringList({"  100", Tg(100), "1001", Radio(1001), kNow}));
    EXPECT_FALSE(Radio(1001).isEmpty());  // noted with its generated name
    EXPECT_EQ(Model(kListAffLog).RowAt(0).cells,
              QStringList({kNow, "Affiliate", "  100", Tg(100), "1001", Radio(1001)}));
    EXPECT_EQ(TabCaption(kTabAffList), "Affiliation List (1)");
    EXPECT_EQ(Label(kAffiliateCount), "1");

    Affiliation('A', 1001, 200);  // moves to another talkgroup: its row is replaced
    Affiliation('A', 1002, 200);
    UpdateAffiliations(*ctx);
    ASSERT_EQ(Rows(kListAffList), 2);
    EXPECT_EQ(Cell(kListAffList, 0, 0), "  200");
    EXPECT_EQ(Cell(kListAffList, 0, 2), "1001");

    Affiliation('U', 1001, 0, "Unaffiliate");
    Affiliation('D', 1003, 300, "Denied");  // LogDenied is off: nowhere
    UpdateAffiliations(*ctx);
    EXPECT_EQ(Rows(kListAffList), 1);
    EXPECT_EQ(Rows(kListAffLog), 4);
    EXPECT_EQ(Model(kListAffLog).RowAt(3).cells, QStringList({kNow, "Unaffiliate", "", "", "1001", Radio(1001)}));
    EXPECT_EQ(TabCaption(kTabAffList), "Affiliation List (1)");

    settings.logDenied = true;
    Affiliation('D', 1004, 300, "Denied");  // now to the log, never to the list
    UpdateAffiliations(*ctx);
    EXPECT_EQ(Rows(kListAffLog), 5);
    EXPECT_EQ(Rows(kListAffList), 1);

    decoder->Affiliations().ClearAffiliations();  // the reset's clear marker
    UpdateAffiliations(*ctx);
    EXPECT_EQ(Rows(kListAffList), 0);
    EXPECT_EQ(Rows(kListAffLog), 0);
    EXPECT_EQ(TabCaption(kTabAffList), "Affiliation List (0)");
}

TEST_F(LogUpdatersTest, AffiliationLogFilterHonoursActiveRanges)
{
    decoder->Filter().SetFilterEnabled(true);
    decoder->Filter().SetFilterRange(false, 100, 199);
    decoder->Filter().SetFilterRange(true, 500, 599);
    UpdateFilterRanges(*ctx);
    Affiliation('A', 150, 10);
    Affiliation('A', 550, 10);
    UpdateAffiliations(*ctx);
    ASSERT_EQ(Rows(kListAffLog), 1);
    EXPECT_EQ(Cell(kListAffLog, 0, 4), "550");
    EXPECT_EQ(Rows(kListAffList), 2);  // the list is not filtered

    decoder->Filter().SetFilterRange(false, 500, 599);  // no range active: everything is logged
    UpdateFilterRanges(*ctx);
    Affiliation('A', 160, 10);
    UpdateAffiliations(*ctx);
    EXPECT_EQ(Rows(kListAffLog), 2);
}

TEST_F(LogUpdatersTest, GrantTraceAndRecentGrantsByCallType)
{
    GroupGrant(0x0010, 200, 1, 0x40);  // encrypted
    decoder->Activity().RecordCwid(0x0012, "WQX123");
    decoder->Activity().RecordPrivateGrant(0x0013, 100, "", 7);
    UpdateGrants(*ctx);
    ASSERT_EQ(Rows(kListGrantTrace), 3);
    EXPECT_EQ(Model(kListGrantTrace).RowAt(0).cells,
              QStringList({kNow, "Group (Enc)", "00-0016", "851.10625", "  200", Tg(200), "1", Radio(1)}));
    EXPECT_EQ(Model(kListRecentGrants).RowAt(0).cells,
              QStringList({"14:07:00", "Group", "00-0016", "851.10625", "  200", Tg(200), "1", Radio(1)}));
    EXPECT_EQ(Model(kListGrantTrace).RowAt(1).cells,
              QStringList({kNow, "CWID", "00-0018", "851.11875", "", "WQX123", "", ""}));
    EXPECT_EQ(Model(kListGrantTrace).RowAt(2).cells,
              QStringList({kNow, "Private", "00-0019", "851.12500", "100", Radio(100), "7", Radio(7)}));
    EXPECT_EQ(Label(kStatusTGIDsValue), QString::number(decoder->Talkgroups().TalkgroupCount()));
    EXPECT_EQ(Label(kStatusRIDsValue), QString::number(decoder->Radios().RadioCount()));

    decoder->Grants().ClearGrantLog();
    UpdateGrants(*ctx);
    EXPECT_EQ(Rows(kListGrantTrace), 0);
    EXPECT_EQ(Rows(kListRecentGrants), 0);
}

TEST_F(LogUpdatersTest, GrantFilterAndRecentGrantsLimit)
{
    settings.grantLogMax = 2;
    settings.grantsUseFilter = true;
    settings.grantsFilterLevel = 10;
    settings.grantsFilterOther = true;
    decoder->Talkgroups().SetTalkgroup(300, "Fire", 5, 0);
    decoder->Talkgroups().SetTalkgroup(400, "EMS", 9, 0);
    decoder->Talkgroups().SetTalkgroup(500, "Roads", 0, 0);  // ignored
    GroupGrant(0x0010, 200, 1);                              // priority 50: above the level
    GroupGrant(0x0011, 300, 2);
    GroupGrant(0x0012, 400, 3);
    GroupGrant(0x0013, 500, 4);
    GroupGrant(0x0014, 300, 5);
    decoder->Activity().RecordCwid(0x0015, "WQX123");  // neither Group nor Private
    UpdateGrants(*ctx);
    ASSERT_EQ(Rows(kListGrantTrace), 3);
    EXPECT_EQ(Cell(kListGrantTrace, 0, 4), "  300");
    EXPECT_EQ(Cell(kListGrantTrace, 1, 4), "  400");
    ASSERT_EQ(Rows(kListRecentGrants), 2);
    EXPECT_EQ(Cell(kListRecentGrants, 0, 4), "  400");
    EXPECT_EQ(Cell(kListRecentGrants, 1, 2), "00-0020");
}

TEST_F(LogUpdatersTest, FullGrantTraceLosesItsEarliestRow)
{
    Fill(kListGrantTrace, 2500, "04/21 13:00:00");
    Fill(kListGrantTrace, 1, "04/21 12:00:00");
    Fill(kListGrantTrace, 2499, "04/21 13:30:00");
    GroupGrant(0x0010, 200, 1);
    UpdateGrants(*ctx);
    ASSERT_EQ(Rows(kListGrantTrace), 5000);
    EXPECT_EQ(Cell(kListGrantTrace, 2500, 0), "04/21 13:30:00");  // the 12:00 row has gone
    EXPECT_EQ(Cell(kListGrantTrace, 4999, 1), "Group");
}

TEST_F(LogUpdatersTest, AtTheTurnOfTheYearLastYearsRowsGoFirst)
{
    clock.Set(1262304060);  // 1 Jan 2010 00:01:00 UTC
    Fill(kListGrantTrace, 1, "01/01 00:00:30");
    Fill(kListGrantTrace, 4999, "12/31 23:59:00");
    GroupGrant(0x0010, 200, 1);
    UpdateGrants(*ctx);
    ASSERT_EQ(Rows(kListGrantTrace), 5000);
    EXPECT_EQ(Cell(kListGrantTrace, 0, 0), "01/01 00:00:30");
    EXPECT_EQ(Cell(kListGrantTrace, 1, 0), "01/01 00:01:00");  // the trace sorts by its time text
    EXPECT_EQ(Cell(kListGrantTrace, 4999, 0), "12/31 23:59:00");
}

TEST_F(LogUpdatersTest, BlockLogsShowOpcodeBytesAndText)
{
    const Tsbk unknown = MakeBlock({0xBF, 0x00, 0x01});
    decoder->Unknowns().AddUnknownPacket(unknown, "Unknown Op=3F Mfg 00(Standard)");
    decoder->Dump().AddPacketDumpEntry(unknown, "dump text");
    UpdateUnknownPackets(*ctx);
    UpdatePacketDump(*ctx);
    const QString bytes = QString::asprintf("BF 00 01 00 00 00 00 00 00 00 %02X %02X ", unknown[10], unknown[11]);
    EXPECT_EQ(Model(kListUnknown).RowAt(0).cells, QStringList({kNow, "3F", bytes, "Unknown Op=3F Mfg 00(Standard)"}));
    EXPECT_EQ(Model(kListPacketDump).RowAt(0).cells, QStringList({kNow, bytes, "dump text"}));
    EXPECT_FALSE(Model(kListPacketDump).Saved(0));

    decoder->Unknowns().ClearUnknownPackets();
    decoder->Dump().ClearPacketDump();
    UpdateUnknownPackets(*ctx);
    UpdatePacketDump(*ctx);
    EXPECT_EQ(Rows(kListUnknown), 0);
    EXPECT_EQ(Rows(kListPacketDump), 0);
}

TEST_F(LogUpdatersTest, LogCapsDropTheOldestRows)
{
    const struct {
        const char* view;
        int cap;
    } logs[] = {{kListPacketDump, 10000}, {kListUnknown, 5000}, {kListOtherEvents, 5000}};
    for (const auto& log : logs) {
        Fill(log.view, 1, "oldest");
        Fill(log.view, log.cap - 1, "old");
    }
    const Tsbk block = MakeBlock({0x3D, 0x00, 0x02});
    decoder->Dump().AddPacketDumpEntry(block, "d");
    decoder->Unknowns().AddUnknownPacket(block, "u");
    decoder->Events().AddEventLogEntry(block, "e");
    UpdateAll();
    for (const auto& log : logs) {
        ASSERT_EQ(Rows(log.view), log.cap) << log.view;
        EXPECT_EQ(Cell(log.view, 0, 0), "old") << log.view;
        EXPECT_EQ(Cell(log.view, log.cap - 1, 0), kNow) << log.view;
    }
}

TEST_F(LogUpdatersTest, RegistrationFilterKeepsUnitRegistrationsOut)
{
    Check(kFilterRegistrations, true);
    decoder->Events().AddEventLogEntry(MakeBlock({0x2C, 0x00, 0x01}), "Unit Registration Response");
    decoder->Events().AddEventLogEntry(MakeBlock({0x2D, 0x00, 0x01}), "Other event");
    UpdateEvents(*ctx);
    ASSERT_EQ(Rows(kListOtherEvents), 1);
    EXPECT_EQ(Cell(kListOtherEvents, 0, 2), "Other event");
}

TEST_F(LogUpdatersTest, PatchListsCaptionAndLog)
{
    decoder->Talkgroups().SetTalkgroup(1001, "Fire", 255, 0);
    ASSERT_TRUE(decoder->Patches().AddPatch(1001, 2002));
    decoder->PatchEvents().AddPatchLogEntry('X', 5, 6);
    UpdatePatches(*ctx);
    ASSERT_EQ(Rows(kListPatchList), 1);
    EXPECT_EQ(Cell(kListPatchList, 0, 0), "01001 (Fire) --> 02002 ()");
    EXPECT_EQ(Model(kListCurrentPatches).RowAt(0).cells, QStringList({"01001", "02002"}));
    EXPECT_EQ(TabCaption(kTabPatches), "Patches (1)");
    ASSERT_EQ(Rows(kListPatchLog), 2);
    EXPECT_EQ(Cell(kListPatchLog, 0, 1), "Added Patch:   1001 (Fire) --> 2002 ()");
    EXPECT_EQ(Cell(kListPatchLog, 1, 1), "Unknown Function:5 () --> 6 ()");
    EXPECT_EQ(scratch.patchCount, 1);

    decoder->Patches().ReleasePatches(2002);
    decoder->PatchEvents().ClearPatchLog();
    UpdatePatches(*ctx);
    EXPECT_EQ(Rows(kListPatchList), 0);
    EXPECT_EQ(Rows(kListPatchLog), 0);
    EXPECT_EQ(TabCaption(kTabPatches), "Patches (0)");
}

TEST_F(LogUpdatersTest, RefreshReadsNamesAgain)
{
    Affiliation('A', 1001, 100);
    GroupGrant(0x0010, 100, 9);
    decoder->Activity().RecordPrivateGrant(0x0011, 100, "", 9);
    UpdateAffiliations(*ctx);
    UpdateGrants(*ctx);
    decoder->Talkgroups().SetTalkgroup(100, "Fire Dispatch", 255, 0);
    decoder->Radios().SetRadio(1001, "Engine 1", 0);
    decoder->Radios().SetRadio(100, "Unit 100", 0);
    decoder->Radios().SetRadio(9, "Chief", 0);

    RefreshAffiliationViews(widgets, *decoder, settings);
    EXPECT_EQ(Cell(kListAffList, 0, 1), "Fire Dispatch");
    EXPECT_EQ(Cell(kListAffList, 0, 3), "Engine 1");
    EXPECT_EQ(Cell(kListAffLog, 0, 3), "Fire Dispatch");
    EXPECT_EQ(Cell(kListAffLog, 0, 5), "Engine 1");
    EXPECT_FALSE(decoder->Affiliations().AffiliationsChanged());

    RefreshGrantViews(widgets, *decoder);
    for (const char* view : {kListGrantTrace, kListRecentGrants}) {
        EXPECT_EQ(Cell(view, 0, 5), "Fire Dispatch") << view;
        EXPECT_EQ(Cell(view, 0, 7), "Chief") << view;
        EXPECT_EQ(Cell(view, 1, 5), "Unit 100") << view;  // a private call's target is a radio
    }
}

TEST_F(LogUpdatersTest, AutoScrollOnlyWhenCheckedAndAtTheEnd)
{
    root->resize(400, 2000);
    root->show();
    auto* view = root->findChild<QAbstractItemView*>(kListPacketDump);
    view->setFixedHeight(120);
    auto append = [&](int n) {
        for (int i = 0; i < n; ++i)
            decoder->Dump().AddPacketDumpEntry(MakeBlock({0x3D, 0x00, static_cast<uint8_t>(i)}), "d");
        UpdatePacketDump(*ctx);
        QApplication::processEvents();
    };
    append(60);
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(0);  // the user reads older rows
    append(5);
    EXPECT_EQ(bar->value(), 0);

    bar->setValue(bar->maximum());
    Check(kDumpAutoScroll, false);
    append(5);
    EXPECT_LT(bar->value(), bar->maximum());
}

// A reader of a text scanner on a pseudo-terminal keeps the lines it receives for the raw list.
// Disabled: on this machine the reader ends its session right after preparing the
// pseudo-terminal in this test, so no raw line arrives; under investigation.
TEST_F(LogUpdatersTest, RawLinesMoveTenAPassAndOnlyWhileShown)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    TBSKQueue queue;
    ScannerReadConfig config;
    config.scannerType = 1;
    config.port = ::ptsname(master);
    config.rawDump = true;
    TScannerReadThread reader(queue, config);
    ASSERT_TRUE(reader.Start());
    ScreenContext c{widgets,     *decoder, state, settings, scratch, [] { return nullptr; }, [&] { return &reader; },
                    &emergencies};
    Fill(kListRawData, 10000, "old");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!reader.Running() && std::chrono::steady_clock::now() < deadline)  // the port is prepared
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::string text;
    for (int i = 0; i < 25; ++i)
        text += "PSR,LINE," + std::to_string(i) + ",0123456789ABCDEF\r";  // long enough to be kept
    ASSERT_EQ(::write(master, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    while (!reader.HasRawLines() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    UpdateRawData(c);  // PSRDUMP/Visible is off
    EXPECT_EQ(Cell(kListRawData, 9999, 0), "old");

    settings.psrDump.visible = true;
    int moved = 0;
    while (moved < 25 && std::chrono::steady_clock::now() < deadline) {
        const QString before = Cell(kListRawData, 9999, 0);
        UpdateRawData(c);
        int added = 0;
        while (added < Rows(kListRawData) && Cell(kListRawData, 9999 - added, 0) != before)
            ++added;
        EXPECT_LE(added, 10);
        moved += added;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(moved, 25);
    EXPECT_EQ(Rows(kListRawData), 10000);
    EXPECT_EQ(Cell(kListRawData, 9975, 0), "PSR,LINE,0,0123456789ABCDEF");
    EXPECT_EQ(Cell(kListRawData, 9999, 0), "PSR,LINE,24,0123456789ABCDEF");
    reader.Terminate();
    reader.WaitFor();
    ::close(master);
}

}  // namespace
