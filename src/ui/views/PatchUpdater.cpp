// The patch lists (ListView5 "From-->To", ListView13 on the activity tab) and the patch log
// (ListView10).
#include <QCheckBox>
#include <QTreeView>

#include <algorithm>

#include "decoder/P25Class.h"
#include "ui/views/ListModel.h"
#include "ui/views/MainWindowWidgets.h"
#include "ui/views/RowColours.h"
#include "ui/views/ScreenScratch.h"
#include "ui/views/ViewHelpers.h"
#include "ui/views/ViewUpdaters.h"

namespace {

constexpr char kAdded = 'A';
constexpr char kRemoved = 'R';

QString TalkgroupText(P25Class& d, int32_t tg)
{
    return screen::Text(d.Talkgroups().GetTalkgroupText(tg));
}

void ShowPatchLists(ScreenContext& c)
{
    P25Class& d = c.decoder;
    std::vector<PATCHENTRY>& patches = c.scratch.patches;
    // Kept for the follow decision, which honours the patches of a held talkgroup.
    c.scratch.patchCount = d.Patches().CopyPatches(patches.data(), static_cast<int>(patches.size()));
    std::vector<ListModel::Row> pairs;
    std::vector<ListModel::Row> current;
    for (int i = 0; i < c.scratch.patchCount; ++i) {
        const PATCHENTRY& p = patches[static_cast<size_t>(i)];
        ListModel::Row pair;
        pair.cells << QString::asprintf("%05d (%s) --> %05d (%s)", p.group, qUtf8Printable(TalkgroupText(d, p.group)),
                                        p.supergroup, qUtf8Printable(TalkgroupText(d, p.supergroup)));
        pairs.push_back(std::move(pair));
        ListModel::Row row;
        row.cells << QString::asprintf("%05d", p.group) << QString::asprintf("%05d", p.supergroup);
        current.push_back(std::move(row));
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const ListModel::Row& a, const ListModel::Row& b) { return a.cells[0] < b.cells[0]; });
    if (ListModel* list = ModelOf(c.widgets.List(ListRole::PatchList))) {
        list->SetRows(std::move(pairs));
        ColourRows(c.widgets, ListRole::PatchList, d, c.settings);
    }
    if (ListModel* list = ModelOf(c.widgets.List(ListRole::CurrentPatches)))
        list->SetRows(std::move(current));
    screen::SetTabCaption(c.widgets.pages, c.widgets.patchesPage,
                          QString::asprintf("Patches (%d)", c.scratch.patchCount));
}

QString PatchLogText(P25Class& d, const PATCHLOGENTRY& e)
{
    QString text = e.action == kAdded     ? QStringLiteral("Added Patch:   ")
                   : e.action == kRemoved ? QStringLiteral("Removed Patch: ")
                                          : QStringLiteral("Unknown Function:");
    text += screen::Decimal(e.group) + QStringLiteral(" (") + TalkgroupText(d, e.group) + QStringLiteral(") --> ") +
            screen::Decimal(e.supergroup) + QStringLiteral(" (") + TalkgroupText(d, e.supergroup) + QLatin1Char(')');
    return text;
}

void ShowPatchLog(ScreenContext& c)
{
    std::vector<PATCHLOGENTRY>& buffer = c.scratch.patchLog;
    // A busy lock leaves the entries pending for a later pass.
    const int count = c.decoder.PatchEvents().CopyPatchLog(buffer.data(), static_cast<int>(buffer.size()), true);
    ListModel* log = ModelOf(c.widgets.List(ListRole::PatchLog));
    if (!log || count <= 0)
        return;
    const bool follow =
        screen::BoxChecked(c.widgets.patchLog.autoScrollBox) && screen::ViewAtEnd(c.widgets.List(ListRole::PatchLog));
    for (int i = 0; i < count; ++i) {
        const PATCHLOGENTRY& e = buffer[static_cast<size_t>(i)];
        if (e.time == 0)
            log->Clear();
        else
            screen::AppendLogRow(*log, {screen::TimeText(e.time), PatchLogText(c.decoder, e)}, screen::kLogCap);
    }
    ColourRows(c.widgets, ListRole::PatchLog, c.decoder, c.settings);
    if (follow)
        screen::ScrollToRow(c.widgets.List(ListRole::PatchLog), log->Count() - 1);
}

}  // namespace

void UpdatePatches(ScreenContext& c, bool rebuildList)
{
    SystemInfo info;
    if (!CommonStart(c, info))
        return;
    if (rebuildList || c.decoder.Patches().PatchesChanged())
        ShowPatchLists(c);
    if (c.decoder.PatchEvents().PatchLogChanged())
        ShowPatchLog(c);
    screen::ShowTableCounts(c.widgets, c.decoder);
}
