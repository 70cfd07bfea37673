// Row and cell colours of the lists: the activity rules in the three colour modes, the grant and
// affiliation views with and without talkgroup colours, and odd/even everywhere else. Talkgroups
// and radios come in three kinds: with colours of their own, known without, and unknown.
#include <gtest/gtest.h>

#include <QColor>

#include "ScreenRootFixture.h"
#include "site/ChannelTable.h"
#include "ui/views/EmergencyCalls.h"
#include "ui/views/ListModel.h"
#include "ui/views/RowColours.h"

namespace {

using namespace ui_names;

// Colour values are 0x00BBGGRR.
QColor Q(uint32_t v)
{
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

constexpr uint32_t kTgText = 0x0000C0, kTgBack = 0xC0FFFF;        // talkgroup 100's own colours
constexpr uint32_t kRadioText = 0xC00000, kRadioBack = 0xFFFFC0;  // radio 1's own colours
constexpr uint32_t kDefText = 0x202020, kDefBack = 0xF0F0F0;
constexpr uint32_t kEvenText = 0x010101, kEvenBack = 0xFEFEFE, kOddText = 0x030303, kOddBack = 0xCCFFCC;

// Talkgroups: 100 own colours, 101 known without, 102 unknown. Radios: 1 own, 2 known without, 3 unknown.
enum Expect { T, R, D, C, None, Even, Odd, Emergency };

class RowColoursTest : public uitest::ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        settings.defaultText = kDefText;
        settings.defaultBackground = kDefBack;
        settings.evenText = kEvenText;
        settings.evenBackground = kEvenBack;
        settings.oddText = kOddText;
        settings.oddBackground = kOddBack;
        ApplySettingsToDecoder(settings, *decoder);  // the tables answer with these defaults
        decoder->Talkgroups().SetTalkgroup(100, "Police", 5, 0);
        decoder->Talkgroups().SetTalkgroupColors(100, kTgText, kTgBack);
        decoder->Talkgroups().SetTalkgroup(101, "Fire", 5, 0);
        decoder->Radios().SetRadio(1, "Car 1", 0);
        decoder->Radios().SetRadioColors(1, kRadioText, kRadioBack);
        decoder->Radios().SetRadio(2, "Car 2", 0);
    }

    std::pair<QColor, QColor> Expected(Expect e) const
    {
        switch (e) {
        case T: return {Q(kTgText), Q(kTgBack)};
        case R: return {Q(kRadioText), Q(kRadioBack)};
        case D: return {Q(kDefText), Q(kDefBack)};
        case C: return {Q(settings.controlText), Q(settings.controlBackground)};
        case Even: return {Q(kEvenText), Q(kEvenBack)};
        case Odd: return {Q(kOddText), Q(kOddBack)};
        case Emergency: return {QColor(255, 255, 255), QColor(200, 0, 0)};
        case None: break;
        }
        return {QColor(), QColor()};
    }

    std::pair<QColor, QColor> Drawn(const char* view, int row, int column)
    {
        ListModel& m = Model(view);
        return {m.data(m.index(row, column), Qt::ForegroundRole).value<QColor>(),
                m.data(m.index(row, column), Qt::BackgroundRole).value<QColor>()};
    }

    void Fill(const char* view, const std::vector<QStringList>& rows)
    {
        Model(view).Clear();
        for (const QStringList& r : rows)
            Model(view).AppendRow(r);
    }
};

struct ActivityCase {
    const char* what;
    const char* type;
    const char* priority;
    const char* tg;
    const char* radio;
    Expect row[3];      // by colour mode 0, 1, 2
    Expect radioCells;  // "Radio ID" and "Radio Desc" in mode 2
};

const ActivityCase kActivityCases[] = {
    {"both with colours", "Group", "5", "100", "1", {R, T, T}, R},
    {"radio without own colours", "Group", "5", "100", "2", {D, T, T}, None},
    {"unknown radio", "Group", "5", "100", "3", {T, T, T}, None},
    {"unknown talkgroup", "Group", "5", "102", "1", {R, R, D}, R},
    {"talkgroup without own colours", "Group", "5", "101", "3", {D, D, D}, None},
    {"nothing known", "Private", "7", "102", "3", {D, D, D}, None},
    {"control channel", "Control", "", "100", "1", {C, C, C}, None},
    {"control channel with a priority", "Control", "5", "100", "1", {C, C, C}, None},
    {"idle channel", "", "", "100", "1", {D, D, D}, None},
    // An emergency stands out whatever the mode, over the radio's own cells too.
    {"emergency call", "Group (Emrg)", "5", "100", "1", {Emergency, Emergency, Emergency}, Emergency},
};

TEST_F(RowColoursTest, ActivityRowsInEachColourMode)
{
    std::vector<QStringList> rows;
    for (const ActivityCase& c : kActivityCases)
        rows.push_back({"00-0001", "851.0", "v", c.type, c.priority, c.tg, "desc", c.radio, "radio", "", "1"});
    rows.push_back({"00-0099", "851.0", "v", "Group", "5", "100"});  // short row: cells added empty
    for (int mode = 0; mode < 3; ++mode) {
        settings.activityColorMode = mode;
        Fill(kListActivity, rows);
        ColourRows(widgets, RoleOf(kListActivity), *decoder, settings);
        for (size_t i = 0; i < std::size(kActivityCases); ++i) {
            const ActivityCase& c = kActivityCases[i];
            const int row = static_cast<int>(i);
            SCOPED_TRACE(testing::Message() << c.what << ", mode " << mode);
            EXPECT_EQ(Drawn(kListActivity, row, 0), Expected(c.row[mode]));
            EXPECT_EQ(Drawn(kListActivity, row, 10), Expected(c.row[mode]));  // "Hits" keeps the row's
            const Expect cells = mode == 2 && c.radioCells != None ? c.radioCells : c.row[mode];
            EXPECT_EQ(Drawn(kListActivity, row, 7), Expected(cells));
            EXPECT_EQ(Drawn(kListActivity, row, 8), Expected(cells));
        }
        EXPECT_EQ(Drawn(kListActivity, static_cast<int>(rows.size()) - 1, 0), Expected(mode == 1 ? T : T));
    }
}

struct GrantCase {
    const char* what;
    const char* type;
    const char* tg;
    const char* radio;
    Expect row[3];
    Expect radioCells;
};

const GrantCase kGrantCases[] = {
    {"group call", "Group", "  100", "1", {R, T, T}, R},
    {"group data", "GrpData", "  100", "2", {D, T, T}, None},
    {"encrypted group call", "Group (Enc)", "  102", "1", {R, R, D}, R},
    // The status alone does not make a log row red: only a marked row of a lasting emergency is
    // (GrantRowsRedWhileTheirEmergencyLasts).
    {"emergency group call", "Group (Emrg)", "  101", "3", {D, D, D}, None},
    {"radio 0 has no cells of its own", "Group", "  102", "0", {D, D, D}, None},
    {"private call keeps the toolkit's colours", "Private", "1", "1", {None, None, None}, None},
    {"other group status keeps the toolkit's colours", "Group (Other)", "  100", "1", {None, None, None}, None},
};

TEST_F(RowColoursTest, GrantRowsWithTalkgroupColoursInEachMode)
{
    settings.grantsUseTGColors = true;
    std::vector<QStringList> rows;
    for (const GrantCase& c : kGrantCases)
        rows.push_back({"04/21 14:07:00", c.type, "00-0016", "851.0", c.tg, "desc", c.radio, "radio"});
    for (const char* view : {kListGrantTrace, kListRecentGrants}) {
        for (int mode = 0; mode < 3; ++mode) {
            settings.grantsColorMode = mode;
            Fill(view, rows);
            ColourRows(widgets, RoleOf(view), *decoder, settings);
            for (size_t i = 0; i < std::size(kGrantCases); ++i) {
                const GrantCase& c = kGrantCases[i];
                SCOPED_TRACE(testing::Message() << view << ": " << c.what << ", mode " << mode);
                const int row = static_cast<int>(i);
                EXPECT_EQ(Drawn(view, row, 1), Expected(c.row[mode]));
                const Expect cells = mode == 2 && c.radioCells != None ? c.radioCells : c.row[mode];
                EXPECT_EQ(Drawn(view, row, 6), Expected(cells));
                EXPECT_EQ(Drawn(view, row, 7), Expected(cells));
            }
        }
    }
}

TEST_F(RowColoursTest, AffiliationViewsTakeTheRadiosColoursElseTheTalkgroups)
{
    settings.affiliationsUseTGColors = true;
    // Affiliation list: TalkGrp, TG ID, RadID, Description, Last Affiliation.
    Fill(kListAffList,
         {{"  100", "Police", "1"}, {"  100", "Police", "2"}, {"  100", "Police", "3"}, {"  102", "", "2"}});
    ColourRows(widgets, RoleOf(kListAffList), *decoder, settings);
    EXPECT_EQ(Drawn(kListAffList, 0, 0), Expected(R));
    EXPECT_EQ(Drawn(kListAffList, 1, 0), Expected(T));  // a radio without colours of its own
    EXPECT_EQ(Drawn(kListAffList, 2, 0), Expected(T));
    EXPECT_EQ(Drawn(kListAffList, 3, 0), Expected(D));  // unknown talkgroup: never black on black

    // Affiliation log: Time, Function, TG ID, TG Description, Radio ID, Radio Description.
    Fill(kListAffLog, {{"t", "Affiliate", "  100", "Police", "1"},
                       {"t", "Unaffiliate", "", "", "1"},
                       {"t", "Affiliate", "  100", "Police", "2"}});
    ColourRows(widgets, RoleOf(kListAffLog), *decoder, settings);
    EXPECT_EQ(Drawn(kListAffLog, 0, 0), Expected(R));
    EXPECT_EQ(Drawn(kListAffLog, 1, 0), Expected(D));  // no talkgroup: the defaults
    EXPECT_EQ(Drawn(kListAffLog, 2, 0), Expected(T));
}

// An activity row that turns into an emergency loses the radio's own cells of split mode, and gets
// its colours back when the emergency status goes.
TEST_F(RowColoursTest, ActivityEmergencyCoversTheSplitCellsAndEnds)
{
    settings.activityColorMode = 2;
    Fill(kListActivity, {{"00-0001", "851.0", "v", "Group", "5", "100", "Police", "1", "Car 1", "", "1"}});
    ColourRows(widgets, RoleOf(kListActivity), *decoder, settings);
    ASSERT_EQ(Drawn(kListActivity, 0, 7), Expected(R));
    Model(kListActivity).SetCell(0, 3, "Group (Emrg)");
    ColourRows(widgets, RoleOf(kListActivity), *decoder, settings);
    for (int column : {0, 7, 8, 10})
        EXPECT_EQ(Drawn(kListActivity, 0, column), Expected(Emergency)) << column;
    Model(kListActivity).SetCell(0, 3, "Group");
    ColourRows(widgets, RoleOf(kListActivity), *decoder, settings);
    EXPECT_EQ(Drawn(kListActivity, 0, 0), Expected(T));
    EXPECT_EQ(Drawn(kListActivity, 0, 7), Expected(R));
}

// A grant row marked as an emergency is red while its talkgroup's emergency call lasts, in both
// grant lists, with and without talkgroup colours, in every mode; when the call ends it takes its
// normal colours and keeps them through a later emergency of the same talkgroup.
TEST_F(RowColoursTest, GrantRowsRedWhileTheirEmergencyLasts)
{
    FreqInfo call;
    call.channel = 0x0016;
    call.usage = "Group";
    call.target = 100;
    call.source = 1;
    call.status = "Emrg";
    FreqInfo otherCall = call;  // a private call's emergency names a radio, no talkgroup
    otherCall.usage = "Private";
    otherCall.target = 101;
    const std::vector<QStringList> rows = {
        {"04/21 14:07:00", "Group", "00-0016", "851.0", "  100", "Police", "1", "Car 1"},  // marked
        {"04/21 14:07:01", "Group", "00-0016", "851.0", "  100", "Police", "1", "Car 1"},  // not marked
        {"04/21 14:07:02", "Group", "00-0017", "851.0", "  101", "Fire", "1", "Car 1"},    // marked, no emergency
    };
    for (const char* view : {kListGrantTrace, kListRecentGrants}) {
        for (const bool useTgColours : {false, true}) {
            for (int mode = 0; mode < 3; ++mode) {
                SCOPED_TRACE(testing::Message() << view << ", talkgroup colours " << useTgColours << ", mode " << mode);
                settings.grantsUseTGColors = useTgColours;
                settings.grantsColorMode = mode;
                Fill(view, rows);
                Model(view).SetEmergency(0, true);
                Model(view).SetEmergency(2, true);
                EmergencyCalls calls;
                ColourRows(widgets, RoleOf(view), *decoder, settings, 0, &calls);
                const EmergencyCalls::Change begun = calls.Follow(std::vector<FreqInfo>{call, otherCall});
                ASSERT_EQ(begun.begun, std::vector<int32_t>{100});
                FollowEmergencies(widgets, *decoder, settings, calls, begun);

                // Normal: by mode with talkgroup colours (radio 1 and talkgroup 100 have their own), else odd/even.
                const Expect byMode[3] = {R, T, T};
                auto normal = [&](int row, int column) {
                    if (!useTgColours)
                        return Expected(row % 2 ? Odd : Even);
                    if (row == 2)  // talkgroup 101 has no colours of its own
                        return Expected(mode == 0 || (mode == 2 && column >= 6) ? R : D);
                    return Expected(mode == 2 && column >= 6 ? R : byMode[mode]);
                };
                for (int column : {1, 6, 7}) {
                    EXPECT_EQ(Drawn(view, 0, column), Expected(Emergency)) << column;
                    EXPECT_EQ(Drawn(view, 1, column), normal(1, column)) << column;
                    EXPECT_EQ(Drawn(view, 2, column), normal(2, column)) << column;
                }
                // A new row of the same emergency, coloured as it arrives.
                Model(view).AppendRow(rows[0]);
                Model(view).SetEmergency(3, true);
                ColourRows(widgets, RoleOf(view), *decoder, settings, 3, &calls);
                EXPECT_EQ(Drawn(view, 3, 1), Expected(Emergency));

                FollowEmergencies(widgets, *decoder, settings, calls, calls.Follow({}));
                for (int column : {1, 6, 7})
                    EXPECT_EQ(Drawn(view, 0, column), normal(0, column)) << column;
                EXPECT_FALSE(Model(view).RowAt(0).emergency);
                EXPECT_EQ(Drawn(view, 3, 1), normal(3, 1));

                // A later emergency of the talkgroup leaves the rows of the ended one alone.
                FollowEmergencies(widgets, *decoder, settings, calls, calls.Follow(std::vector<FreqInfo>{call}));
                EXPECT_EQ(Drawn(view, 0, 1), normal(0, 1));
                EXPECT_EQ(Drawn(view, 3, 1), normal(3, 1));
            }
        }
    }
}

// Without talkgroup colours the views alternate by position, also after the first row is gone;
// the site information and current patch lists keep the toolkit's colours.
TEST_F(RowColoursTest, OddEvenByPosition)
{
    const std::vector<QStringList> rows = {{"1", "a"}, {"2", "b"}, {"3", "c"}};
    for (const char* view : {kListGrantTrace, kListRecentGrants, kListAffList, kListAffLog, kListNeighbors,
                             kListIdentifiers, kListPatchList, kListPatchLog, kListOtherEvents, kListUnknown,
                             kListPacketDump, kListRawData, kListFilterRanges}) {
        SCOPED_TRACE(view);
        Fill(view, rows);
        ColourRows(widgets, RoleOf(view), *decoder, settings);
        EXPECT_EQ(Drawn(view, 0, 0), Expected(Even));
        EXPECT_EQ(Drawn(view, 1, 0), Expected(Odd));
        EXPECT_EQ(Drawn(view, 2, 0), Expected(Even));
        Model(view).RemoveRows(0, 1);
        EXPECT_EQ(Drawn(view, 0, 0), Expected(Even));
        EXPECT_EQ(Drawn(view, 1, 0), Expected(Odd));
    }
    for (const char* view : {kListSiteInfo, kListCurrentPatches}) {
        Fill(view, rows);
        ColourRows(widgets, RoleOf(view), *decoder, settings);
        EXPECT_EQ(Drawn(view, 1, 0), Expected(None)) << view;
    }
}

// Switching talkgroup colours on gives the rows their own colours instead of the alternation.
TEST_F(RowColoursTest, TalkgroupColoursReplaceTheAlternation)
{
    Fill(kListAffList, {{"  100", "Police", "1"}, {"  100", "Police", "1"}});
    ColourRows(widgets, RoleOf(kListAffList), *decoder, settings);
    ASSERT_EQ(Drawn(kListAffList, 1, 0), Expected(Odd));
    settings.affiliationsUseTGColors = true;
    ColourRows(widgets, RoleOf(kListAffList), *decoder, settings);
    EXPECT_EQ(Drawn(kListAffList, 1, 0), Expected(R));
}

}  // namespace
