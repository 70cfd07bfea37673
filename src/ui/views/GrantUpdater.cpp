// The grant trace (ListView8) and the recent grants of the activity tab (ListView14), fed from the
// decoder's pending grant log, and the grant trace's "Refresh".
#include <QCheckBox>
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

// Both lists share the column layout.
enum Column { kTime, kType, kChannel, kFrequency, kTalkgroup, kTalkgroupDesc, kRadio, kRadioDesc };

constexpr int32_t kNoChannel = -1;
constexpr int32_t kNoTarget = -1;

bool TypeIs(const std::string& type, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (type == n)
            return true;
    return false;
}

bool PrivateType(const std::string& t)
{
    return TypeIs(t, {"Private", "PvtData"});
}

QString TalkgroupText(P25Class& d, int32_t tg)
{
    return screen::Text(d.Talkgroups().GetTalkgroupText(tg));
}
QString RadioText(P25Class& d, int32_t radio)
{
    return screen::Text(d.Radios().GetRadioText(radio));
}

// With the grant filter on, only calls of interest reach the lists.
bool Passes(const Settings& s, P25Class& d, const GRANTLOG& e)
{
    if (!s.grantsUseFilter)
        return true;
    if (s.grantsFilterOther && !TypeIs(e.type, {"Group", "Private"}))
        return false;
    const int priority = e.type == "Private" ? s.privatePriority : d.Talkgroups().GetTalkgroupPriority(e.target);
    return priority != 0 && priority <= s.grantsFilterLevel;
}

// A group grant flagged as emergency: its rows are red while the talkgroup's emergency lasts.
// (An individual call's "talkgroup" cell holds a radio, which no talkgroup's emergency names.)
bool EmergencyGrant(const GRANTLOG& e)
{
    return e.status == "Emrg" && TypeIs(e.type, {"Group", "GrpData"});
}

// Talkgroup, talkgroup description, radio and radio description cells by call type.
QStringList PartyCells(P25Class& d, const GRANTLOG& e)
{
    const bool target = e.target != kNoTarget;
    if (e.type == "CWID")
        return {QString(), screen::Text(e.status), QString(), QString()};
    if (TypeIs(e.type, {"Group", "GrpData", "Queued"}))
        return {target ? QString::asprintf("%5d", e.target) : QString(),
                target ? TalkgroupText(d, e.target) : QString(), screen::Decimal(e.source), RadioText(d, e.source)};
    if (PrivateType(e.type))
        return {target ? screen::Decimal(e.target) : QString(), target ? RadioText(d, e.target) : QString(),
                screen::Decimal(e.source), RadioText(d, e.source)};
    if (e.type == "Phone")
        return {QString(), QString(), screen::Decimal(e.source), RadioText(d, e.source)};
    if (e.type == "Alert")
        return {screen::Decimal(e.target), RadioText(d, e.target), screen::Decimal(e.source), RadioText(d, e.source)};
    return {QString(), QString(), QString(), QString()};  // "Control" (the log carries no other types)
}

// Appends a grant trace row in its sorted place, making room by its oldest row first; returns
// where it went.
int AddToTrace(ScreenContext& c, ListModel& trace, const GRANTLOG& e, const QStringList& tail)
{
    QString type = screen::Text(e.type);
    if (!e.status.empty() && e.type != "CWID")
        type += QStringLiteral(" (") + screen::Text(e.status) + QLatin1Char(')');
    const QStringList cells = QStringList{screen::TimeText(e.time), type} + tail;
    screen::TrimOldestByTime(trace, kTime, screen::kLogCap, screen::TimeText(c.decoder.Context().time.Now()));
    const int row = screen::AppendLogRow(trace, cells, screen::kLogCap);
    trace.SetEmergency(row, EmergencyGrant(e));
    // Coloured while it is the last row; the colours move with it into its sorted place.
    ColourRows(c.widgets, ListRole::GrantTrace, c.decoder, c.settings, row, c.emergencies);
    return sorting::PlaceNewRow(trace, SortedList::GrantTrace, c.state.GrantTraceSortColumn.load());
}

void AddToRecent(ScreenContext& c, ListModel& recent, const GRANTLOG& e, const QStringList& tail)
{
    recent.AppendRow(QStringList{screen::ClockText(e.time), screen::Text(e.type)} + tail);
    const int max = std::max(0, c.settings.grantLogMax);
    if (recent.Count() > max)
        recent.RemoveRows(0, recent.Count() - max);
    recent.SetEmergency(recent.Count() - 1, EmergencyGrant(e));
    ColourRows(c.widgets, ListRole::RecentGrants, c.decoder, c.settings, recent.Count() - 1, c.emergencies);
    screen::ScrollToRow(c.widgets.List(ListRole::RecentGrants), recent.Count() - 1);
}

void ReadNamesAgain(ListModel& m, P25Class& d)
{
    for (int row = 0; row < m.Count(); ++row) {
        if (const QString tg = m.Cell(row, kTalkgroup); !tg.isEmpty()) {
            const auto id = static_cast<int32_t>(screen::CellNumber(tg));
            // Private and alert rows carry a called radio in this column, not a talkgroup.
            const QString type = m.Cell(row, kType).section(QStringLiteral(" ("), 0, 0);
            const bool radio = PrivateType(type.toStdString()) || type == QLatin1String("Alert");
            m.SetCell(row, kTalkgroupDesc, radio ? RadioText(d, id) : TalkgroupText(d, id));
        }
        if (const QString radio = m.Cell(row, kRadio); !radio.isEmpty())
            m.SetCell(row, kRadioDesc, RadioText(d, static_cast<int32_t>(screen::CellNumber(radio))));
    }
}

}  // namespace

void UpdateGrants(ScreenContext& c)
{
    SystemInfo info;
    if (!CommonStart(c, info))
        return;
    P25Class& d = c.decoder;
    std::vector<GRANTLOG>& buffer = c.scratch.grants;
    const int count = d.Grants().CopyGrantLog(buffer.data(), static_cast<int>(buffer.size()));
    ListModel* trace = ModelOf(c.widgets.List(ListRole::GrantTrace));
    ListModel* recent = ModelOf(c.widgets.List(ListRole::RecentGrants));
    // The rows of one pass go in as a batch: the view is scrolled once, to the last of them.
    const bool follow = screen::BoxChecked(c.widgets.grantTrace.autoScrollBox) &&
                        screen::ViewAtEnd(c.widgets.List(ListRole::GrantTrace));
    int lastTraceRow = -1;
    for (int i = 0; i < count; ++i) {
        const GRANTLOG& e = buffer[static_cast<size_t>(i)];
        if (e.time == 0) {  // clear marker
            if (trace)
                trace->Clear();
            if (recent)
                recent->Clear();
            lastTraceRow = -1;
            continue;
        }
        if (!Passes(c.settings, d, e))
            continue;
        const bool channel = e.channel != kNoChannel;
        const QStringList tail = QStringList{channel ? screen::ChannelText(e.channel) : QString(),
                                             channel ? screen::FrequencyText(e.frequency) : QString()} +
                                 PartyCells(d, e);
        if (trace)
            lastTraceRow = AddToTrace(c, *trace, e, tail);
        if (recent)
            AddToRecent(c, *recent, e, tail);
    }
    if (follow && lastTraceRow >= 0 && c.state.GrantTraceSortColumn.load() == 0)
        screen::ScrollToRow(c.widgets.List(ListRole::GrantTrace), lastTraceRow);
    const QString talkgroups = screen::Decimal(d.Talkgroups().TalkgroupCount());
    const QString radios = screen::Decimal(d.Radios().RadioCount());
    screen::SetLabel(c.widgets.talkgroupCount, talkgroups);
    screen::SetLabel(c.widgets.radioCount, radios);
    screen::SetLabel(c.widgets.statusTalkgroupsValue, talkgroups);
    screen::SetLabel(c.widgets.statusRadiosValue, radios);
}

void RefreshGrantViews(const MainWindowWidgets& w, P25Class& decoder, const AppState* state)
{
    if (ListModel* trace = ModelOf(w.List(ListRole::GrantTrace))) {
        ReadNamesAgain(*trace, decoder);
        // New names may change the order of a list sorted by a description.
        if (state)
            sorting::SortList(*trace, SortedList::GrantTrace, state->GrantTraceSortColumn.load());
    }
    if (ListModel* recent = ModelOf(w.List(ListRole::RecentGrants)))
        ReadNamesAgain(*recent, decoder);
}
