// The main window's lists as the user works them: clicks name the edit targets in the pop-up,
// its commands open the editing dialogs, heading clicks sort, the monitor window refuses values
// out of range, the range list's commands change the affiliation filter, column widths persist.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeView>

#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "p25/BlockIntegrity.h"
#include "site/AffiliationFilter.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListInteraction.h"
#include "ui/views/ListModel.h"

namespace {

using namespace ui_names;
using uitest::MainWindowFixture;
using uitest::ModalAnswerer;
using uitest::PumpUntil;

class ListsWindowTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        settings.grants.visible = true;
        settings.showGrantLog = true;
    }

    QTreeView* View(const char* name) { return Find<QTreeView>(name); }
    ListModel& Model(const char* name) { return *qobject_cast<ListModel*>(View(name)->model()); }
    ListInteraction& Lists() { return *window->findChild<ListInteraction*>(ListInteraction::kObjectName); }
    QString Caption(const char* action) { return Action(action)->text(); }

    // Rows put straight into a list (no system is known, so the updaters leave the lists alone).
    void Fill(const char* view, const std::vector<QStringList>& rows)
    {
        Model(view).Clear();
        for (const QStringList& r : rows)
            Model(view).AppendRow(r);
    }

    void ShowPageOf(const char* view)
    {
        QWidget* w = View(view);
        while (w && !qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr))
            w = w->parentWidget();
        if (w)
            window->Pages()->setCurrentWidget(w);
        QCoreApplication::processEvents();
    }

    // A left click at a point of the list's viewport: press (which selects) and release.
    void ClickAt(const char* view, const QPoint& at)
    {
        QWidget* viewport = View(view)->viewport();
        const QPoint global = viewport->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QApplication::sendEvent(viewport, &release);
        QCoreApplication::processEvents();
    }
    void ClickRow(const char* view, int row)
    {
        ShowPageOf(view);
        ClickAt(view, View(view)->visualRect(Model(view).index(row, 0)).center());
    }
    void ClickBelowRows(const char* view)
    {
        ShowPageOf(view);
        ClickAt(view, QPoint(5, View(view)->viewport()->height() - 3));
    }
    // The right-click: the targets are taken, then the pop-up opens (closed again here).
    void RightClickRow(const char* view, int row)
    {
        ShowPageOf(view);
        const QRect rect = View(view)->visualRect(Model(view).index(row, 0));
        View(view)->selectionModel()->select(Model(view).index(row, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        emit View(view)->customContextMenuRequested(rect.center());
        auto* menu = Find<QMenu>(kListPopupMenu);
        ASSERT_TRUE(PumpUntil([menu] { return menu->isVisible(); }));
        menu->close();
    }
};

QStringList ActivityRow(const char* type, const char* tg, const char* radio)
{
    return {"00-0016", "851.10625", "v", type, "5", tg, "desc", radio, "radio", "", "1"};
}
QStringList GrantRow(const char* type, const char* tg, const char* radio)
{
    return {"04/21 14:07:00", type, "00-0016", "851.10625", tg, "desc", radio, "radio"};
}

struct TargetCase {
    const char* what;
    const char* view;
    QStringList row;
    const char* talkgroupCaption;
    const char* radioCaption;
};

TEST_F(ListsWindowTest, ClickNamesTheRowsTalkgroupAndRadioInThePopup)
{
    MakeWindow();
    const std::vector<TargetCase> cases = {
        {"group call", kListActivity, ActivityRow("Group", "1001", "7"), "Edit TalkGroup 1001", "Edit Radio ID 7"},
        {"private call names only the radio", kListActivity, ActivityRow("Private", "100", "7"), "Edit TalkGroups",
         "Edit Radio ID 7"},
        {"encrypted private call is not exactly Private", kListActivity, ActivityRow("Private (Enc)", "100", "7"),
         "Edit TalkGroup 100", "Edit Radio ID 7"},
        {"phone call", kListActivity, ActivityRow("Phone", "", "7"), "Edit TalkGroups", "Edit Radio ID 7"},
        {"talkgroup cut at the bracket", kListActivity, ActivityRow("Group", "1234 (A)", ""), "Edit TalkGroup 1234",
         "Edit Radio IDs"},
        {"idle channel", kListActivity, ActivityRow("", "", ""), "Edit TalkGroups", "Edit Radio IDs"},
        {"grant trace group call", kListGrantTrace, GrantRow("Group", "  900", "12"), "Edit TalkGroup   900",
         "Edit Radio ID 12"},
        {"grant trace CW identification", kListGrantTrace, GrantRow("CWID", "", ""), "Edit TalkGroups",
         "Edit Radio IDs"},
        {"recent grants private data", kListRecentGrants, GrantRow("PvtData", "55", "12"), "Edit TalkGroups",
         "Edit Radio ID 12"},
        {"affiliation log",
         kListAffLog,
         {"04/21 14:07:00", "Affiliate", "  300", "Fire", "4711", "Car"},
         "Edit TalkGroup   300",
         "Edit Radio ID 4711"},
        {"affiliation list",
         kListAffList,
         {"  300", "Fire", "4711", "Car", "04/21 14:07:00"},
         "Edit TalkGroup   300",
         "Edit Radio ID 4711"},
    };
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool right : {false, true}) {
            Fill(c.view, {c.row});
            ClickBelowRows(c.view);  // nothing selected: the generic captions and no targets
            EXPECT_EQ(Caption(kPopupEditTalkgroup), "Edit TalkGroups");
            EXPECT_EQ(Caption(kPopupEditRadio), "Edit Radio IDs");
            EXPECT_TRUE(Lists().TalkgroupTarget().isEmpty());
            EXPECT_TRUE(Lists().RadioTarget().isEmpty());
            if (right)
                RightClickRow(c.view, 0);
            else
                ClickRow(c.view, 0);
            EXPECT_EQ(Caption(kPopupEditTalkgroup), c.talkgroupCaption) << (right ? "right click" : "click");
            EXPECT_EQ(Caption(kPopupEditRadio), c.radioCaption) << (right ? "right click" : "click");
        }
    }
}

// A new selected row of the affiliation list names its talkgroup and radio without a click.
TEST_F(ListsWindowTest, AffiliationListSelectionNamesItsRow)
{
    MakeWindow();
    Fill(kListAffList, {{"  300", "Fire", "4711", "Car", "t"}, {"   12", "", "99", "", "t"}});
    View(kListAffList)
        ->selectionModel()
        ->select(Model(kListAffList).index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(Caption(kPopupEditTalkgroup), "Edit TalkGroup    12");  // the cell as shown
    EXPECT_EQ(Caption(kPopupEditRadio), "Edit Radio ID 99");
}

// The two commands open the talkgroup and radio dialogs with what the captions name.
TEST_F(ListsWindowTest, PopupCommandsOpenTheDialogsWithTheTargets)
{
    MakeWindow();
    Fill(kListActivity, {ActivityRow("Group", "1001", "7")});
    ClickRow(kListActivity, 0);
    ModalAnswerer answerer;
    answerer.dialogResult = QDialog::Rejected;
    QStringList opened;
    answerer.fill = [&](QDialog& d) { opened << d.objectName() + ":" + d.findChild<QLineEdit*>("Edit1")->text(); };
    Action(kPopupEditTalkgroup)->trigger();
    Action(kPopupEditRadio)->trigger();
    ClickBelowRows(kListActivity);
    Action(kPopupEditTalkgroup)->trigger();
    ASSERT_EQ(opened.size(), 3);
    EXPECT_TRUE(opened[0].endsWith(":1001")) << opened[0].toStdString();
    EXPECT_TRUE(opened[1].endsWith(":7")) << opened[1].toStdString();
    EXPECT_TRUE(opened[2].endsWith(":")) << opened[2].toStdString();
    EXPECT_NE(opened[0].section(':', 0, 0), opened[1].section(':', 0, 0));
}

TEST_F(ListsWindowTest, HeadingClickStoresTheSortColumnAndSortsAtOnce)
{
    MakeWindow();
    Fill(kListActivity, {{"00-0001", "851.0", "c", "Control", "", "", "", "", "", "", "9"},
                         ActivityRow("Group", "200", "30"),
                         {"00-0003", "851.2", "v", "Group", "5", "300", "", "9"}});
    Model(kListActivity).SetCell(1, 0, "00-0002");
    emit View(kListActivity)->header()->sectionClicked(7);
    EXPECT_EQ(window->State().ActivitySortColumn.load(), 7);
    EXPECT_EQ(Model(kListActivity).Cell(0, 0), "00-0003");
    EXPECT_EQ(Model(kListActivity).Cell(2, 0), "00-0001");  // the idle control row last

    Fill(kListGrantTrace, {GrantRow("Group", " 1000", "1"), GrantRow("Group", "  900", "2")});
    emit View(kListGrantTrace)->header()->sectionClicked(4);
    EXPECT_EQ(window->State().GrantTraceSortColumn.load(), 4);
    EXPECT_EQ(Model(kListGrantTrace).Cell(0, 6), "2");
    emit View(kListAffLog)->header()->sectionClicked(3);
    emit View(kListAffList)->header()->sectionClicked(1);
    EXPECT_EQ(window->State().AffiliationLogSortColumn.load(), 3);
    EXPECT_EQ(window->State().AffiliationListSortColumn.load(), 1);
}

QLineEdit* Field(QSpinBox* spin)
{
    return spin->findChild<QLineEdit*>();
}

// Types a value into a threshold field and leaves it.
void Enter(QSpinBox* spin, const QString& text)
{
    Field(spin)->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(spin, &out);
}

TEST_F(ListsWindowTest, MonitorWindowRefusesValuesOutOfRange)
{
    settings.monitorThresholdHigh = 40;
    settings.monitorThresholdLow = 7;
    MakeWindow();
    auto* high = Find<QSpinBox>(kThresholdHighUpDown);
    auto* low = Find<QSpinBox>(kThresholdLowUpDown);
    Settings& s = window->AppSettings();
    ASSERT_EQ(Field(high)->objectName(), kThresholdHighEdit);
    ASSERT_EQ(Field(low)->objectName(), kThresholdLowEdit);

    Enter(high, "5");
    EXPECT_EQ(high->value(), 40);
    EXPECT_EQ(Field(high)->text(), "40");
    Enter(high, "50");
    EXPECT_EQ(s.monitorThresholdHigh, 50);
    Enter(low, "0");
    EXPECT_EQ(low->value(), 7);
    Enter(low, "60");  // above High
    EXPECT_EQ(low->value(), 7);
    EXPECT_EQ(s.monitorThresholdLow, 7);
    Enter(low, "30");
    EXPECT_EQ(s.monitorThresholdLow, 30);

    // Lowering High leaves Low above it until Low is next changed, and then only downwards to High.
    high->stepBy(-30);
    EXPECT_EQ(s.monitorThresholdHigh, 20);
    EXPECT_EQ(low->value(), 30);
    EXPECT_EQ(s.monitorThresholdLow, 30);
    low->stepBy(-1);
    EXPECT_EQ(low->value(), 30);
    Enter(low, "20");
    EXPECT_EQ(s.monitorThresholdLow, 20);
    EXPECT_EQ(Reloaded().monitorThresholdLow, 7);  // stored when the settings are saved
    window->SaveSettingsNow();
    EXPECT_EQ(Reloaded().monitorThresholdLow, 20);
    EXPECT_EQ(Reloaded().monitorThresholdHigh, 20);
}

TEST_F(ListsWindowTest, RangeListCommandsChangeTheAffiliationFilter)
{
    MakeWindow();
    AffiliationFilter& filter = window->Decoder()->Filter();
    filter.SetFilterRange(true, 500, 599);
    filter.SetFilterRange(true, 100, 199);
    ASSERT_TRUE(PumpUntil([&] { return Model(kListFilterRanges).Count() == 2; }));
    EXPECT_EQ(Model(kListFilterRanges).Cell(0, 0), "100");  // in order of Low

    auto select = [&](std::initializer_list<int> rows) {
        View(kListFilterRanges)->clearSelection();
        for (int r : rows)
            View(kListFilterRanges)
                ->selectionModel()
                ->select(Model(kListFilterRanges).index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    auto activeColumn = [&] {
        return QStringList{Model(kListFilterRanges).Cell(0, 2), Model(kListFilterRanges).Cell(1, 2)};
    };
    select({0, 1});
    Action(kDisableRangesAction)->trigger();
    ASSERT_TRUE(PumpUntil([&] { return activeColumn() == QStringList({"No", "No"}); }));
    select({1});
    Action(kEnableRangeAction)->trigger();
    ASSERT_TRUE(PumpUntil([&] { return activeColumn() == QStringList({"No", "Yes"}); }));
    select({0});
    Find<QPushButton>(kDeleteRangeButton)->click();
    ASSERT_TRUE(PumpUntil([&] { return Model(kListFilterRanges).Count() == 1; }));
    EXPECT_EQ(Model(kListFilterRanges).Cell(0, 0), "500");
    select({0});
    Action(kDeleteRangeAction)->trigger();
    ASSERT_TRUE(PumpUntil([&] { return Model(kListFilterRanges).Count() == 0; }));

    Find<QAbstractButton>(kFilterEnable)->click();
    EXPECT_TRUE(filter.GetFilterEnabled());
    Find<QAbstractButton>(kFilterEnable)->click();
    EXPECT_FALSE(filter.GetFilterEnabled());
}

TEST_F(ListsWindowTest, ColumnWidthsRoundTripThroughTheSettingsFile)
{
    settings.saveScreenSizes = true;
    MakeWindow();
    View(kListActivity)->header()->resizeSection(0, 77);
    View(kListGrantTrace)->header()->resizeSection(2, 123);
    View(kListRecentGrants)->header()->resizeSection(1, 66);
    ASSERT_TRUE(window->SaveSettingsNow());
    Settings saved = Reloaded();
    EXPECT_EQ(saved.columnWidths[static_cast<int>(ColumnScreen::Activity)].at(0), 77);
    EXPECT_EQ(saved.columnWidths[static_cast<int>(ColumnScreen::Grant)].at(2), 123);
    EXPECT_EQ(saved.columnWidths[static_cast<int>(ColumnScreen::ActivityGrant)].size(), 8u);

    window->close();
    window.reset();
    settings = saved;
    MakeWindow();
    EXPECT_EQ(View(kListActivity)->header()->sectionSize(0), 77);
    EXPECT_EQ(View(kListGrantTrace)->header()->sectionSize(2), 123);
    EXPECT_EQ(View(kListRecentGrants)->header()->sectionSize(1), 66);
}

TEST_F(ListsWindowTest, ColumnWidthsStayOutOfTheFileWithoutSaveScreenSizes)
{
    MakeWindow();
    View(kListGrantTrace)->header()->resizeSection(2, 99);
    ASSERT_TRUE(window->SaveSettingsNow());
    QFile file(QString::fromStdString(SettingsFile()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("[GrantScreen]"));
    EXPECT_FALSE(text.contains("Column"));
}

// ---- lists that hold still under an open pop-up ----

// Group voice grant block (CRC added): channel, talkgroup, source; options 0x80 flags an emergency.
Tsbk GrantBlock(uint16_t channel, uint16_t tg, uint8_t source, uint8_t options = 0)
{
    Tsbk b{};
    const uint8_t bytes[10] = {0x00,
                               0x00,
                               options,
                               static_cast<uint8_t>(channel >> 8),
                               static_cast<uint8_t>(channel),
                               static_cast<uint8_t>(tg >> 8),
                               static_cast<uint8_t>(tg),
                               0x00,
                               0x00,
                               source};
    std::copy(std::begin(bytes), std::end(bytes), b.begin());
    const uint16_t crc = Crc16Ccitt(0, b.data(), 10);
    b[10] = static_cast<uint8_t>(crc >> 8);
    b[11] = static_cast<uint8_t>(crc & 0xFF);
    return b;
}

// What the view of a list shows: its rows' texts through the model's interface.
std::vector<QStringList> Shown(const QAbstractItemModel& m)
{
    std::vector<QStringList> rows;
    for (int r = 0; r < m.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m.columnCount(); ++c)
            cells << m.data(m.index(r, c)).toString();
        rows.push_back(cells);
    }
    return rows;
}

// What the list holds (the updaters' side).
std::vector<QStringList> Held(const ListModel& m)
{
    std::vector<QStringList> rows;
    for (int r = 0; r < m.Count(); ++r) {
        QStringList cells;
        for (int c = 0; c < m.columnCount(); ++c)
            cells << m.Cell(r, c);
        rows.push_back(cells);
    }
    return rows;
}

// While the pop-up of a list is open its view keeps its rows; the grants decoded meanwhile reach the
// list behind it and show, all of them and in order, as soon as the pop-up closes, with the
// selection still on its row. Lists without an open pop-up go on moving.
TEST_F(ListsWindowTest, ListHoldsStillWhileItsPopupIsOpen)
{
    MakeWindow();
    P25Class& d = *window->Decoder();
    d.SetSiteIdentity(0x123, 1, 0x70, 5);
    d.DecodeTsbk(GrantBlock(0x0010, 200, 1));
    d.DecodeTsbk(GrantBlock(0x0012, 210, 4));
    ASSERT_TRUE(PumpUntil([&] { return Model(kListActivity).Count() == 2 && Model(kListRecentGrants).Count() == 2; }));
    auto* menu = Find<QMenu>(kListPopupMenu);
    uint16_t tg = 300;
    for (const char* view : {kListActivity, kListGrantTrace, kListRecentGrants}) {
        SCOPED_TRACE(view);
        ShowPageOf(view);
        ListModel& m = Model(view);
        const int selected = m.Count() - 1;
        View(view)->selectionModel()->select(m.index(selected, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const QString selectedFirstCell = m.Cell(selected, 0) + m.Cell(selected, 5);
        emit View(view)->customContextMenuRequested(View(view)->visualRect(m.index(0, 0)).center());
        ASSERT_TRUE(PumpUntil([menu] { return menu->isVisible(); }));
        const std::vector<QStringList> before = Shown(m);
        const int grantsBefore = Model(kListGrantTrace).Count();

        // A new call on a new channel, a new talkgroup on a busy one, and an emergency.
        d.DecodeTsbk(GrantBlock(0x0011, tg, 2));
        d.DecodeTsbk(GrantBlock(0x0010, tg + 1, 3));
        d.DecodeTsbk(GrantBlock(0x0012, tg + 2, 4, 0x80));
        ASSERT_TRUE(PumpUntil([&] { return Model(kListGrantTrace).Count() == grantsBefore + 3; }));
        PumpUntil([] { return false; }, 50);  // a few more passes of the refresh
        EXPECT_EQ(Shown(m), before);
        EXPECT_NE(Held(m), before);
        for (const char* other : {kListActivity, kListGrantTrace, kListRecentGrants}) {
            if (other != view) {
                EXPECT_EQ(Shown(Model(other)), Held(Model(other))) << other << " moves on";
            }
        }

        menu->close();
        EXPECT_EQ(Shown(m), Held(m));
        if (view != kListActivity) {
            // Every grant, in the order decoded.
            const int n = m.Count();
            ASSERT_GE(n, 3);
            EXPECT_EQ(m.Cell(n - 3, 4).trimmed().toInt(), tg);
            EXPECT_EQ(m.Cell(n - 2, 4).trimmed().toInt(), tg + 1);
            EXPECT_EQ(m.Cell(n - 1, 4).trimmed().toInt(), tg + 2);
        }
        const QModelIndexList rows = View(view)->selectionModel()->selectedRows();
        ASSERT_EQ(rows.size(), 1);
        if (view != kListActivity) {  // an activity row is its channel: its cells changed meanwhile
            EXPECT_EQ(m.Cell(rows[0].row(), 0) + m.Cell(rows[0].row(), 5), selectedFirstCell);
        }
        tg += 10;
    }
}

// The filter range list holds still under its own pop-up too.
TEST_F(ListsWindowTest, RangeListHoldsStillWhileItsPopupIsOpen)
{
    MakeWindow();
    AffiliationFilter& filter = window->Decoder()->Filter();
    filter.SetFilterRange(true, 500, 599);
    ASSERT_TRUE(PumpUntil([&] { return Model(kListFilterRanges).Count() == 1; }));
    ShowPageOf(kListFilterRanges);
    auto* menu = Find<QMenu>(kRangeMenu);
    emit View(kListFilterRanges)->customContextMenuRequested(QPoint(5, 5));
    ASSERT_TRUE(PumpUntil([menu] { return menu->isVisible(); }));
    filter.SetFilterRange(true, 100, 199);
    ASSERT_TRUE(PumpUntil([&] { return Model(kListFilterRanges).Count() == 2; }));
    EXPECT_EQ(View(kListFilterRanges)->model()->rowCount(), 1);
    menu->close();
    EXPECT_EQ(View(kListFilterRanges)->model()->rowCount(), 2);
    EXPECT_EQ(Shown(Model(kListFilterRanges)), Held(Model(kListFilterRanges)));
}

}  // namespace
