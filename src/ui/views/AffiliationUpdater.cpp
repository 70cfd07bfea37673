// The affiliation list (ListView4, one row per radio) and the affiliation log (ListView6), fed
// from the decoder's pending affiliation events, and the "Refresh" of the two affiliation tabs.
#include <QCheckBox>
#include <QPushButton>
#include <QTreeView>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "ui/mainwindow/AppState.h"
#include "ui/views/ListModel.h"
#include "ui/views/ListSorting.h"
#include "ui/views/MainWindowWidgets.h"
#include "ui/views/RowColours.h"
#include "ui/views/ScreenScratch.h"
#include "ui/views/ViewHelpers.h"
#include "ui/views/ViewUpdaters.h"

namespace {

namespace list {
enum Column { kTalkgroup, kTalkgroupDesc, kRadio, kRadioDesc, kLastAffiliation };
}
namespace log {
enum Column { kTime, kFunction, kTalkgroup, kTalkgroupDesc, kRadio, kRadioDesc };
}

constexpr char kClear = 'C';
constexpr char kAffiliate = 'A';
constexpr char kUnaffiliate = 'U';
constexpr char kDenied = 'D';

QString TalkgroupText(P25Class& d, int32_t tg)
{
    return screen::Text(d.Talkgroups().GetTalkgroupText(tg));
}

// A radio's description, adding a radio not yet in the table so it gets its generated one.
QString RadioText(P25Class& d, int32_t radio, int32_t talkgroup)
{
    std::string text = d.Radios().GetRadioText(radio);
    if (text.empty()) {
        d.Radios().NoteRadio(radio, talkgroup);
        text = d.Radios().GetRadioText(radio);
    }
    return screen::Text(text);
}

QStringList ListRow(P25Class& d, int32_t talkgroup, int32_t radio, int64_t time)
{
    return {QString::asprintf("%5d", talkgroup), TalkgroupText(d, talkgroup), screen::Decimal(radio),
            RadioText(d, radio, talkgroup), screen::TimeText(time)};
}

void RemoveRadio(ListModel& m, int32_t radio)
{
    const QString id = screen::Decimal(radio);
    for (int row = m.Count() - 1; row >= 0; --row)
        if (m.Cell(row, list::kRadio) == id)
            m.RemoveRows(row, 1);
}

bool Logged(ScreenContext& c, const AFFLOG& e, bool filterOn)
{
    if (e.function == kDenied && !c.settings.logDenied)
        return false;
    if (!filterOn || c.scratch.filterRangeCount == 0)
        return true;
    return AffiliationFilter::RadioShown(e.radio, c.scratch.filterRanges.data(), c.scratch.filterRangeCount, true);
}

// Appends an affiliation log row in its sorted place, making room by its oldest row first;
// returns where it went.
int AppendLogEntry(ScreenContext& c, ListModel& log, const AFFLOG& e)
{
    P25Class& d = c.decoder;
    const bool withTalkgroup = e.talkgroup != 0;
    const QStringList cells{screen::TimeText(e.time),
                            screen::Text(e.text),
                            withTalkgroup ? QString::asprintf("%5d", e.talkgroup) : QString(),
                            withTalkgroup ? TalkgroupText(d, e.talkgroup) : QString(),
                            screen::Decimal(e.radio),
                            RadioText(d, e.radio, e.talkgroup)};
    screen::TrimOldestByTime(log, log::kTime, screen::kLogCap, screen::TimeText(d.Context().time.Now()));
    // Coloured while it is the last row; the colours move with it into its sorted place.
    ColourRows(c.widgets, ListRole::AffiliationLog, d, c.settings, screen::AppendLogRow(log, cells, screen::kLogCap));
    return sorting::PlaceNewRow(log, SortedList::AffiliationLog, c.state.AffiliationLogSortColumn.load());
}

void ShowAffiliateCount(const MainWindowWidgets& w, const ListModel* list)
{
    const int count = list ? list->Count() : 0;
    screen::SetLabel(w.affiliateCount, screen::Decimal(count));
    screen::SetTabCaption(w.pages, w.affiliationListPage, QStringLiteral("Affiliation List (%1)").arg(count));
}

}  // namespace

void UpdateAffiliations(ScreenContext& c)
{
    P25Class& d = c.decoder;
    std::vector<AFFLOG>& buffer = c.scratch.affiliationLog;
    const int count = d.AffLog().CopyAffiliationLog(buffer.data(), static_cast<int>(buffer.size()));
    ListModel* list = ModelOf(c.widgets.List(ListRole::AffiliationList));
    ListModel* log = ModelOf(c.widgets.List(ListRole::AffiliationLog));
    const bool filterOn = count > 0 && d.Filter().GetFilterEnabled();
    // The log rows of one pass go in as a batch: the view is scrolled once, to the last of them.
    const bool follow = screen::BoxChecked(c.widgets.affiliationLog.autoScrollBox) &&
                        screen::ViewAtEnd(c.widgets.List(ListRole::AffiliationLog));
    int lastLogRow = -1;
    for (int i = 0; i < count; ++i) {
        const AFFLOG& e = buffer[static_cast<size_t>(i)];
        if (e.function == kClear) {
            if (list)
                list->Clear();
            if (log)
                log->Clear();
            lastLogRow = -1;
            continue;
        }
        if (list && (e.function == kAffiliate || e.function == kUnaffiliate)) {
            RemoveRadio(*list, e.radio);
            if (e.function == kAffiliate) {
                list->AppendRow(ListRow(d, e.talkgroup, e.radio, e.time));
                ColourRows(c.widgets, ListRole::AffiliationList, d, c.settings, list->Count() - 1);
                sorting::PlaceNewRow(*list, SortedList::AffiliationList, c.state.AffiliationListSortColumn.load());
            }
        }
        if (log && Logged(c, e, filterOn))
            lastLogRow = AppendLogEntry(c, *log, e);
    }
    if (follow && lastLogRow >= 0 && c.state.AffiliationLogSortColumn.load() == 0)
        screen::ScrollToRow(c.widgets.List(ListRole::AffiliationLog), lastLogRow);
    ShowAffiliateCount(c.widgets, list);
    screen::ShowTableCounts(c.widgets, d);
}

void RefreshAffiliationViews(const MainWindowWidgets& w, P25Class& decoder, const Settings& settings,
                             const AppState* state)
{
    QPushButton* button = w.affiliationListRefresh;
    if (button)
        button->setEnabled(false);

    std::vector<AFFENTRY> entries(AffiliationList::kCapacity);
    const int count = decoder.Affiliations().CopyAffiliations(entries.data(), static_cast<int>(entries.size()));
    ListModel* list = ModelOf(w.List(ListRole::AffiliationList));
    if (list) {
        std::vector<ListModel::Row> rows;
        for (int i = 0; i < count; ++i) {
            const AFFENTRY& e = entries[static_cast<size_t>(i)];
            ListModel::Row row;
            row.cells = ListRow(decoder, e.talkgroup, e.radio, e.time);
            rows.push_back(std::move(row));
        }
        list->SetRows(std::move(rows));
        if (state)
            sorting::SortList(*list, SortedList::AffiliationList, state->AffiliationListSortColumn.load());
        ColourRows(w, ListRole::AffiliationList, decoder, settings);
    }
    // Names edited since the rows were made appear in them.
    if (ListModel* log = ModelOf(w.List(ListRole::AffiliationLog))) {
        for (int row = 0; row < log->Count(); ++row) {
            if (const QString tg = log->Cell(row, log::kTalkgroup); !tg.isEmpty())
                log->SetCell(row, log::kTalkgroupDesc,
                             TalkgroupText(decoder, static_cast<int32_t>(screen::CellNumber(tg))));
            if (const QString radio = log->Cell(row, log::kRadio); !radio.isEmpty())
                log->SetCell(
                    row, log::kRadioDesc,
                    screen::Text(decoder.Radios().GetRadioText(static_cast<int32_t>(screen::CellNumber(radio)))));
        }
        // New names may change the order of a log sorted by a description.
        if (state)
            sorting::SortList(*log, SortedList::AffiliationLog, state->AffiliationLogSortColumn.load());
        ColourRows(w, ListRole::AffiliationLog, decoder, settings);
    }
    ShowAffiliateCount(w, list);
    if (button)
        button->setEnabled(true);
}
