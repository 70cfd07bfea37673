// Column sorting of the activity list, the affiliation list, the affiliation log and the grant
// trace: every comparison with its tie rule, one row pair at a time; then the orders the lists
// take in the updaters and on a heading click.
#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QTreeView>

#include <initializer_list>
#include <random>
#include <utility>

#include "ScreenRootFixture.h"
#include "ui/views/ListModel.h"
#include "ui/views/ListSorting.h"
#include "ui/views/ViewHelpers.h"

namespace {

using uitest::ScreenFixture;

// A row of `columns` empty cells with some of them set.
QStringList Row(int columns, std::initializer_list<std::pair<int, const char*>> cells)
{
    QStringList row(columns, QString());
    for (const auto& [column, text] : cells)
        row[column] = QString::fromUtf8(text);
    return row;
}

constexpr int kActivityColumns = 11;
constexpr int kAffListColumns = 5;
constexpr int kAffLogColumns = 6;
constexpr int kGrantColumns = 8;

QStringList Act(std::initializer_list<std::pair<int, const char*>> cells)
{
    return Row(kActivityColumns, cells);
}
QStringList AffList(std::initializer_list<std::pair<int, const char*>> cells)
{
    return Row(kAffListColumns, cells);
}
QStringList AffLog(std::initializer_list<std::pair<int, const char*>> cells)
{
    return Row(kAffLogColumns, cells);
}
QStringList Grant(std::initializer_list<std::pair<int, const char*>> cells)
{
    return Row(kGrantColumns, cells);
}

struct CompareCase {
    const char* what;
    SortedList list;
    int column;
    QStringList a;
    QStringList b;
    int sign;  // of CompareRows(a, b)
};

int Sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Activity columns: 0 Ch, 1 Frequency, 2 Usage, 3 Type, 4 Priority, 5 TlkGrp, 6 TalkGroup Desc,
// 7 Radio ID, 8 Radio Desc, 9 Active, 10 Hits.
const std::vector<CompareCase>& Cases()
{
    using L = SortedList;
    static const std::vector<CompareCase> cases = {
        {"Ch as text", L::Activity, 0, Act({{0, "00-0002"}}), Act({{0, "00-0010"}}), -1},
        {"Frequency as a real number", L::Activity, 1, Act({{1, "851.5"}}), Act({{1, "96.1"}}), 1},
        {"Unknown frequency reads 0", L::Activity, 1, Act({{1, "Unknown"}}), Act({{1, "12.5"}}), -1},
        {"Usage as text", L::Activity, 2, Act({{2, "v"}}), Act({{2, "cv"}}), 1},
        {"Type descending", L::Activity, 3, Act({{3, "Group"}}), Act({{3, "Private"}}), 1},
        {"Type ignores case, Ch breaks the tie", L::Activity, 3, Act({{0, "00-0017"}, {3, "group"}}),
         Act({{0, "00-0016"}, {3, "GROUP"}}), 1},
        {"Priority as a number", L::Activity, 4, Act({{4, "5"}}), Act({{4, "40"}}), -1},
        {"empty Priority after 99", L::Activity, 4, Act({{4, ""}}), Act({{4, "99"}}), 1},
        {"two empty Priorities: Ch", L::Activity, 4, Act({{0, "00-0001"}}), Act({{0, "00-0003"}}), -1},
        {"TlkGrp as a number", L::Activity, 5, Act({{5, "900"}}), Act({{5, "1000"}}), -1},
        {"TlkGrp not a number reads 0", L::Activity, 5, Act({{5, "abc"}}), Act({{5, "1"}}), -1},
        {"equal TlkGrp: Ch", L::Activity, 5, Act({{0, "00-0017"}, {5, "200"}}), Act({{0, "00-0016"}, {5, "200"}}), 1},
        {"TalkGroup Desc ignores case", L::Activity, 6, Act({{6, "Police"}}), Act({{6, "fire"}}), 1},
        {"idle channel after the largest radio", L::Activity, 7, Act({}), Act({{4, "5"}, {7, "16777215"}}), 1},
        {"no radio but a priority reads 0", L::Activity, 7, Act({{4, "WQX123"}}), Act({{4, "5"}, {7, "3"}}), -1},
        {"Radio ID as a number", L::Activity, 7, Act({{4, "5"}, {7, "20"}}), Act({{4, "5"}, {7, "100"}}), -1},
        {"Radio Desc as text", L::Activity, 8, Act({{8, "b"}}), Act({{8, "A"}}), 1},
        {"Active descending: marked first", L::Activity, 9, Act({{9, "<-----"}}), Act({}), -1},
        {"Hits as a number", L::Activity, 10, Act({{10, "9"}}), Act({{10, "10"}}), -1},
        {"unknown column: Ch", L::Activity, 11, Act({{0, "00-0002"}, {5, "1"}}), Act({{0, "00-0001"}, {5, "2"}}), 1},

        // Affiliation list: 0 TalkGrp, 1 TG ID, 2 RadID, 3 Description, 4 Last Affiliation.
        {"TalkGrp as a number", L::AffiliationList, 0, AffList({{0, "  900"}}), AffList({{0, " 1000"}}), -1},
        {"equal TalkGrp: RadID", L::AffiliationList, 0, AffList({{0, "100"}, {2, "40"}}),
         AffList({{0, "100"}, {2, "5"}}), 1},
        {"TG ID as text", L::AffiliationList, 1, AffList({{1, "apple"}, {0, "2"}}), AffList({{1, "Banana"}, {0, "1"}}),
         -1},
        {"equal TG ID: talkgroup number", L::AffiliationList, 1, AffList({{1, "Fire"}, {0, "200"}, {2, "1"}}),
         AffList({{1, "fire"}, {0, "100"}, {2, "2"}}), 1},
        {"RadID itself: RadID", L::AffiliationList, 2, AffList({{0, "1"}, {2, "50"}}), AffList({{0, "2"}, {2, "40"}}),
         1},
        {"Description as text", L::AffiliationList, 3, AffList({{3, "a"}, {2, "9"}}), AffList({{3, "B"}, {2, "1"}}),
         -1},
        {"Last Affiliation as text", L::AffiliationList, 4, AffList({{4, "04/21 14:07:00"}}),
         AffList({{4, "04/21 09:00:00"}}), 1},
        {"unknown column: RadID", L::AffiliationList, 7, AffList({{0, "9"}, {2, "1"}}), AffList({{0, "1"}, {2, "2"}}),
         -1},

        // Affiliation log: 0 Time, 1 Function, 2 TG ID, 3 TG Description, 4 Radio ID, 5 Radio Description.
        {"Time", L::AffiliationLog, 0, AffLog({{0, "04/21 14:07:05"}}), AffLog({{0, "04/21 14:07:00"}}), 1},
        {"Function as text", L::AffiliationLog, 1, AffLog({{1, "Denied"}}), AffLog({{1, "affiliate"}}), 1},
        {"TG ID as a number", L::AffiliationLog, 2, AffLog({{2, "  900"}}), AffLog({{2, " 1000"}}), -1},
        {"empty TG ID reads 0", L::AffiliationLog, 2, AffLog({}), AffLog({{2, "5"}}), -1},
        {"TG Description as text", L::AffiliationLog, 3, AffLog({{3, "z"}}), AffLog({{3, "A"}}), 1},
        {"Radio ID as a number", L::AffiliationLog, 4, AffLog({{4, "99"}}), AffLog({{4, "100"}}), -1},
        {"equal Radio ID: Time", L::AffiliationLog, 4, AffLog({{0, "04/21 14:07:05"}, {4, "7"}}),
         AffLog({{0, "04/21 14:07:00"}, {4, "7"}}), 1},
        {"Radio Description as text", L::AffiliationLog, 5, AffLog({{5, "Bob"}}), AffLog({{5, "alice"}}), 1},
        {"unknown column: Time", L::AffiliationLog, 6, AffLog({{0, "1"}, {4, "9"}}), AffLog({{0, "2"}, {4, "1"}}), -1},

        // Grant trace: 0 Time Stamp, 1 Type, 2 Channel, 3 Frequency, 4 TG, 5 TalkGroup ID, 6 Radio ID,
        // 7 Radio Description.
        {"Time Stamp", L::GrantTrace, 0, Grant({{0, "04/21 14:07:05"}}), Grant({{0, "04/21 14:07:00"}}), 1},
        {"Type as text", L::GrantTrace, 1, Grant({{1, "Private"}}), Grant({{1, "group"}}), 1},
        {"Channel as text", L::GrantTrace, 2, Grant({{2, "00-0016"}}), Grant({{2, "00-0100"}}), -1},
        {"Frequency as a real number", L::GrantTrace, 3, Grant({{3, "96.1"}}), Grant({{3, "851.0"}}), -1},
        {"TG as a number", L::GrantTrace, 4, Grant({{4, "  900"}}), Grant({{4, " 1000"}}), -1},
        {"equal TG: Time Stamp", L::GrantTrace, 4, Grant({{0, "04/21 14:07:05"}, {4, "1"}}),
         Grant({{0, "04/21 14:07:00"}, {4, "1"}}), 1},
        {"TalkGroup ID as text", L::GrantTrace, 5, Grant({{5, "fire"}}), Grant({{5, "Police"}}), -1},
        {"Radio ID as a number", L::GrantTrace, 6, Grant({{6, "99"}}), Grant({{6, "100"}}), -1},
        {"Radio Description as text", L::GrantTrace, 7, Grant({{7, "b"}}), Grant({{7, "A"}}), 1},
        {"unknown column: Time Stamp", L::GrantTrace, 8, Grant({{0, "1"}, {4, "9"}}), Grant({{0, "2"}, {4, "1"}}), -1},
    };
    return cases;
}

class CompareRowsTest : public ::testing::TestWithParam<CompareCase> { };

TEST_P(CompareRowsTest, AnswersWithTheColumnsOrderAndTheTieRule)
{
    const CompareCase& c = GetParam();
    EXPECT_EQ(Sign(sorting::CompareRows(c.list, c.a, c.b, c.column)), c.sign);
    EXPECT_EQ(Sign(sorting::CompareRows(c.list, c.b, c.a, c.column)), -c.sign);  // antisymmetric
    EXPECT_EQ(sorting::CompareRows(c.list, c.a, c.a, c.column), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryListAndColumn, CompareRowsTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<CompareCase>& info) {
                             std::string name = std::to_string(info.index) + "_" + info.param.what;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(CompareText, FoldsOnlyAsciiLetters)
{
    EXPECT_EQ(sorting::CompareText("ABC", "abc"), 0);
    EXPECT_LT(sorting::CompareText("ab", "ABC"), 0);
    EXPECT_LT(sorting::CompareText("[", "a"), 0);  // '[' lies between 'Z' and 'a': letters fold down
    EXPECT_NE(sorting::CompareText(QString::fromUtf8("\xC3\x84"), QString::fromUtf8("\xC3\xA4")), 0);
}

QStringList Column(const ListModel& m, int column)
{
    QStringList out;
    for (int row = 0; row < m.Count(); ++row)
        out << m.Cell(row, column);
    return out;
}

// A row appended to a list kept in order takes the place a stable sort would give it.
TEST(PlaceNewRow, EndsWhereAStableSortPutsIt)
{
    const std::vector<std::pair<const char*, const char*>> grants = {
        {"04/21 14:07:03", "300"}, {"04/21 14:07:01", "100"}, {"04/21 14:07:02", "300"}, {"04/21 14:07:00", "200"},
        {"04/21 14:07:04", "100"}, {"04/21 14:07:09", "50"},  {"04/21 14:07:05", "300"}};
    ListModel placed(QStringList(kGrantColumns, "h"));
    ListModel sorted(QStringList(kGrantColumns, "h"));
    for (const auto& [time, tg] : grants) {
        placed.AppendRow(Grant({{0, time}, {4, tg}}));
        sorting::PlaceNewRow(placed, SortedList::GrantTrace, 4);
        sorted.AppendRow(Grant({{0, time}, {4, tg}}));
    }
    sorting::SortList(sorted, SortedList::GrantTrace, 4);
    EXPECT_EQ(Column(placed, 0), Column(sorted, 0));
    EXPECT_EQ(Column(placed, 4), QStringList({"50", "100", "100", "200", "300", "300", "300"}));
    EXPECT_EQ(Column(placed, 0).mid(4), QStringList({"04/21 14:07:02", "04/21 14:07:03", "04/21 14:07:05"}));
}

// The row a whole pass over the log finds: the earliest (last year's texts, those after `now`,
// first), the first shown of equal ones.
int OldestByScan(const std::vector<QStringList>& rows, const QString& now)
{
    int oldest = -1;
    std::pair<int, QString> best;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const QString text = rows[static_cast<size_t>(row)][0];
        std::pair<int, QString> key{text <= now ? 1 : 0, text};
        if (oldest < 0 || key < best) {
            best = std::move(key);
            oldest = row;
        }
    }
    return oldest;
}

// A log trimmed at its cap loses the row a pass over the whole log would pick, through appends in
// sorted place, user sorts, edits, removals and clears; many rows share one second, so the tie rule
// (first shown) matters as much as the time order.
TEST(TrimOldestByTime, RemovesTheRowAPassOverTheLogFinds)
{
    std::mt19937 random(20);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const QString now = QStringLiteral("04/21 14:07:30");
    auto time = [&] { return QString::asprintf("%s 14:07:%02d", pick(10) == 0 ? "12/31" : "04/21", pick(40)); };
    constexpr int kCap = 60;
    ListModel log(QStringList(kGrantColumns, "h"));
    int column = 0;
    for (int step = 0; step < 3000; ++step) {
        switch (pick(40)) {
        case 0:
            column = pick(kGrantColumns);
            sorting::SortList(log, SortedList::GrantTrace, column);
            break;
        case 1:
            if (log.Count() > 0)
                log.SetCell(pick(log.Count()), 0, time());
            break;
        case 2:
            if (log.Count() > 2)
                log.RemoveRows(pick(log.Count() - 1), 2);
            break;
        case 3:
            log.InsertRow(pick(log.Count() + 1), ListModel::Row{Grant({{0, "04/21 14:07:00"}}), false, {}, {}, {}, 0});
            break;
        case 4:
            if (pick(20) == 0)
                log.Clear();
            break;
        default: break;
        }
        // The log as a pass over it would leave it.
        std::vector<QStringList> expected;
        for (int row = 0; row < log.Count(); ++row)
            expected.push_back(log.RowAt(row).cells);
        while (expected.size() >= static_cast<size_t>(kCap))
            expected.erase(expected.begin() + OldestByScan(expected, now));
        screen::TrimOldestByTime(log, 0, kCap, now);
        ASSERT_EQ(log.Count(), static_cast<int>(expected.size())) << "step " << step;
        for (int row = 0; row < log.Count(); ++row)
            ASSERT_EQ(log.RowAt(row).cells, expected[static_cast<size_t>(row)]) << "step " << step << " row " << row;
        QStringList row = Grant({{5, pick(2) ? "Police" : "fire"}});
        row[0] = time();
        row[4] = QString::number(pick(5));
        log.AppendRow(row);
        sorting::PlaceNewRow(log, SortedList::GrantTrace, column);
    }
}

// A sort keeps the user's selection on the row it was on.
TEST(SortList, SelectionStaysWithItsRow)
{
    QTreeView view;
    auto* model = new ListModel(QStringList(kActivityColumns, "h"), 0, &view);
    view.setModel(model);
    for (const char* ch : {"00-0003", "00-0001", "00-0002"})
        model->AppendRow(Act({{0, ch}}));
    view.selectionModel()->select(model->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sorting::SortList(*model, SortedList::Activity, 0);
    ASSERT_EQ(Column(*model, 0), QStringList({"00-0001", "00-0002", "00-0003"}));
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 2);
}

// The updaters keep their lists sorted by the program-wide sort columns.
class SortedUpdatersTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        Identify();
    }
    void GroupCall(uint16_t channel, uint16_t tg, uint8_t source)
    {
        Decode({0x00, 0x00, 0x00, static_cast<uint8_t>(channel >> 8), static_cast<uint8_t>(channel),
                static_cast<uint8_t>(tg >> 8), static_cast<uint8_t>(tg), 0x00, 0x00, source});
    }
    QStringList Cells(const char* view, int column) { return Column(Model(view), column); }
};

TEST_F(SortedUpdatersTest, ActivityByRadioPutsIdleChannelsLastAndByPriorityEmptyOnesAfterNumbered)
{
    decoder->Talkgroups().SetTalkgroup(200, "Police", 5, 0);
    decoder->Talkgroups().SetTalkgroup(300, "Fire", 40, 0);
    GroupCall(0x0010, 300, 9);
    GroupCall(0x0011, 200, 30);
    decoder->Activity().RecordCwid(0x0012, "WQX123");  // a priority cell without a radio
    decoder->Activity().RecordControlChannel(0x0013, 0x0013);
    state.ActivitySortColumn = 7;
    UpdateActivity(*ctx);
    EXPECT_EQ(Cells(ui_names::kListActivity, 0), QStringList({"00-0018", "00-0016", "00-0017", "00-0019"}));

    state.ActivitySortColumn = 4;
    UpdateActivity(*ctx);
    // The identification text of the CWID row is no number and reads 0; the control channel has
    // no priority at all.
    EXPECT_EQ(Cells(ui_names::kListActivity, 4), QStringList({"WQX123", "5", "40", ""}));
}

TEST_F(SortedUpdatersTest, AffiliationListAndLogKeepTheirSortColumns)
{
    state.AffiliationListSortColumn = 0;  // TalkGrp
    state.AffiliationLogSortColumn = 4;   // Radio ID
    for (auto [radio, tg] : {std::pair{3000, 900}, std::pair{10, 1000}, std::pair{200, 900}}) {
        ASSERT_TRUE(decoder->AffLog().LogAffiliation('A', radio, "Affiliate", tg));
        UpdateAffiliations(*ctx);
    }
    EXPECT_EQ(Cells(ui_names::kListAffList, 2), QStringList({"200", "3000", "10"}));
    EXPECT_EQ(Cells(ui_names::kListAffLog, 4), QStringList({"10", "200", "3000"}));

    // "Refresh" rebuilds the list in its sort order.
    state.AffiliationListSortColumn = 2;
    RefreshAffiliationViews(widgets, *decoder, settings, &state);
    EXPECT_EQ(Cells(ui_names::kListAffList, 2), QStringList({"10", "200", "3000"}));
}

TEST_F(SortedUpdatersTest, GrantTraceKeepsItsSortColumn)
{
    settings.grants.visible = true;
    state.GrantTraceSortColumn = 4;  // TG
    for (auto [tg, source] : {std::pair{1000, 1}, std::pair{900, 2}, std::pair{1000, 3}, std::pair{5, 4}}) {
        decoder->Grants().AddGrantLogEntry("Group", 0x0010, 50, "", source, tg);
        UpdateGrants(*ctx);
    }
    EXPECT_EQ(Cells(ui_names::kListGrantTrace, 6), QStringList({"4", "2", "1", "3"}));
}

}  // namespace
