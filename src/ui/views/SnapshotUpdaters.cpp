// Snapshot lists rebuilt whole on every change: adjacent sites (ListView2), identifier tables
// (ListView3) and affiliation filter ranges (ListView16).
#include <QCheckBox>
#include <QTreeView>

#include <algorithm>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "ui/views/ListModel.h"
#include "ui/views/MainWindowWidgets.h"
#include "ui/views/RowColours.h"
#include "ui/views/ScreenScratch.h"
#include "ui/views/ViewHelpers.h"
#include "ui/views/ViewUpdaters.h"

namespace {

constexpr int32_t kNoChannel = 0xFFFF;
constexpr int32_t kNeighborConnected = 0x01;  // status bit 0: the site has its network link
constexpr int32_t kNeighborCurrent = 0x02;    // status bit 1: the announcement is current

ListModel::Row NeighborRow(P25Class& d, const NeighborSite& n)
{
    ListModel::Row row;
    const bool channel = n.controlChannel != kNoChannel;
    row.cells << QString::asprintf("%d%02d (T%02X%02X)", n.rfssId, n.siteId, n.rfssId, n.siteId)
              << QString::asprintf("%03X", n.systemId) << (channel ? screen::ChannelText(n.controlChannel) : QString())
              << (channel ? screen::FrequencyText(n.controlFrequency) : QString())
              // The monitored system's name for that RFSS and site, whatever system announced it.
              << screen::Text(d.Towers().GetTowerName(static_cast<uint32_t>(n.rfssId), static_cast<uint32_t>(n.siteId)))
              << QString::fromLatin1(n.status & kNeighborConnected ? "Connected, " : "Failed, ") +
                     QString::fromLatin1(n.status & kNeighborCurrent ? "Current" : "Stale");
    return row;
}

ListModel::Row IdentifierRow(int index, const IdentifierEntry& e)
{
    ListModel::Row row;
    row.cells << QString::asprintf("%02d", index);
    if (e.base == 0.0) {
        row.cells << QString() << QString() << QString() << QString() << QString();
        return row;
    }
    row.cells << screen::FrequencyText(e.base) << screen::FrequencyText(e.spacing) << screen::FrequencyText(e.txOffset)
              << QString::fromLatin1(e.assumed ? "A" : "C") << screen::FrequencyText(e.bandwidth);
    return row;
}

}  // namespace

void UpdateNeighbors(ScreenContext& c)
{
    SystemInfo info;
    if (!CommonStart(c, info))
        return;
    std::vector<NeighborSite>& buffer = c.scratch.neighbors;
    const int count = c.decoder.Neighbors().CopyNeighbors(buffer.data(), static_cast<int>(buffer.size()));
    std::vector<ListModel::Row> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(NeighborRow(c.decoder, buffer[static_cast<size_t>(i)]));
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ListModel::Row& a, const ListModel::Row& b) { return a.cells[0] < b.cells[0]; });
    if (ListModel* list = ModelOf(c.widgets.List(ListRole::Neighbors))) {
        list->SetRows(std::move(rows));
        ColourRows(c.widgets, ListRole::Neighbors, c.decoder, c.settings);
    }
}

void UpdateIdentifiers(ScreenContext& c)
{
    SystemInfo info;
    if (!CommonStart(c, info))
        return;
    std::vector<IdentifierEntry>& buffer = c.scratch.identifiers;
    if (!c.decoder.Identifiers().CopyIdentifiers(buffer.data(), IdentifierTable::kCount))
        return;
    std::vector<ListModel::Row> rows;
    for (int i = 0; i < IdentifierTable::kCount; ++i)
        rows.push_back(IdentifierRow(i, buffer[static_cast<size_t>(i)]));
    if (ListModel* list = ModelOf(c.widgets.List(ListRole::Identifiers))) {
        list->SetRows(std::move(rows));
        ColourRows(c.widgets, ListRole::Identifiers, c.decoder, c.settings);
    }
}

void UpdateFilterRanges(ScreenContext& c)
{
    AffiliationFilter& filter = c.decoder.Filter();
    screen::SetBoxChecked(c.widgets.filterEnableBox, filter.GetFilterEnabled());
    std::vector<FILTERRANGE>& ranges = c.scratch.filterRanges;
    c.scratch.filterRangeCount = filter.CopyFilterRanges(ranges.data(), static_cast<int>(ranges.size()));

    std::vector<FILTERRANGE> sorted(ranges.begin(), ranges.begin() + c.scratch.filterRangeCount);
    std::stable_sort(sorted.begin(), sorted.end(), [](const FILTERRANGE& a, const FILTERRANGE& b) {
        return a.low != b.low ? a.low < b.low : a.high < b.high;
    });
    std::vector<ListModel::Row> rows;
    for (const FILTERRANGE& r : sorted) {
        ListModel::Row row;
        row.cells << screen::Decimal(r.low) << screen::Decimal(r.high) << QString::fromLatin1(r.active ? "Yes" : "No");
        rows.push_back(std::move(row));
    }
    if (ListModel* list = ModelOf(c.widgets.List(ListRole::FilterRanges))) {
        list->SetRows(std::move(rows));
        ColourRows(c.widgets, ListRole::FilterRanges, c.decoder, c.settings);
    }
}
