// The site information list (ListView11) with the side panel and status line texts, and the
// common start that every updater reading the system information goes through.
#include <QTreeView>

#include "decoder/P25Class.h"
#include "p25/NameTables.h"
#include "ui/views/ListModel.h"
#include "ui/views/MainWindowWidgets.h"
#include "ui/views/ViewHelpers.h"
#include "ui/views/ViewUpdaters.h"

using screen::SetLabel;

namespace {

constexpr int32_t kSiteConnected = 0x01;  // site status bit 0: the site has its network link
const char kNoWacn[] = "00000";

QString TowerIdText(const SystemInfo& info)
{
    return QString::asprintf("%d%02d (T%02X%02X)", static_cast<int>(info.rfssId), static_cast<int>(info.siteId),
                             info.rfssId, info.siteId);
}

ListModel::Row ItemRow(const char* item, const QString& value)
{
    ListModel::Row row;
    row.cells = {QString::fromLatin1(item), value};
    return row;
}

void ShowKnownSite(ScreenContext& c, const SystemInfo& info, std::vector<ListModel::Row>& rows)
{
    const MainWindowWidgets& w = c.widgets;
    const QString sysId = QString::asprintf("%03X", info.systemId);
    const QString wacn = QString::asprintf("%05lX", static_cast<unsigned long>(info.wacn));
    const QString tower = TowerIdText(info);
    const QString towerName = screen::Text(c.decoder.Towers().GetTowerName(info.rfssId, info.siteId));
    const QString systemName = screen::Text(info.systemName);
    const QString callSigns = screen::Text(info.callSigns);
    const bool connected = (info.siteStatus & kSiteConnected) != 0;

    rows.push_back(ItemRow("System ID", sysId));
    rows.push_back(ItemRow("Tower ID", tower));
    rows.push_back(ItemRow("WACN", wacn));
    rows.push_back(ItemRow("Tower Description", towerName));
    rows.push_back(ItemRow("System Description", systemName));
    rows.push_back(ItemRow("Capabilities", screen::Text(ServiceClassText(info.serviceClass))));
    rows.push_back(ItemRow(callSigns.contains(QLatin1Char(' ')) ? "Call Signs" : "Call Sign", callSigns));
    rows.push_back(ItemRow("Tower Status", QLatin1String(connected ? "Connected" : "Site Trunking Mode")));

    SetLabel(w.sysIdValue, sysId);
    SetLabel(w.statusSystemValue, sysId + QLatin1Char('/') + wacn);
    SetLabel(w.siteIdValue, tower);
    SetLabel(w.statusSiteValue, tower);
    SetLabel(w.wacnValue, wacn);
    SetLabel(w.siteDescValue, towerName);
    SetLabel(w.systemDescValue, systemName);
    const QString status = QLatin1String(connected ? "OK" : "ST!");
    SetLabel(w.siteStatusValue, status);
    SetLabel(w.statusStatusValue, status);
}

void ShowNoSite(const MainWindowWidgets& w)
{
    SetLabel(w.sysIdValue, QStringLiteral("000"));
    SetLabel(w.statusSystemValue, QStringLiteral("000/00000"));
    SetLabel(w.siteIdValue, QStringLiteral(" 000 (T0000)"));
    SetLabel(w.statusSiteValue, QStringLiteral("000 (T0000)"));
    SetLabel(w.wacnValue, QString::fromLatin1(kNoWacn));
    SetLabel(w.siteDescValue, QString());
    SetLabel(w.systemDescValue, QString());
    SetLabel(w.siteStatusValue, QStringLiteral("None"));
    SetLabel(w.statusTalkgroupsValue, QStringLiteral("0"));
    SetLabel(w.statusRadiosValue, QStringLiteral("0"));
    SetLabel(w.statusStatusValue, QStringLiteral("Unknown"));
}

}  // namespace

void ShowSiteInformation(ScreenContext& c, const SystemInfo& info)
{
    std::vector<ListModel::Row> rows;
    if (info.systemId != 0)
        ShowKnownSite(c, info, rows);
    else
        ShowNoSite(c.widgets);
    if (ListModel* list = ModelOf(c.widgets.List(ListRole::SiteInfo)))
        list->SetRows(std::move(rows));  // one reset: the list redraws once
    screen::ShowTableCounts(c.widgets, c.decoder);
}

void UpdateSiteInformation(ScreenContext& c)
{
    SystemInfo info;
    c.decoder.CopySystemInfo(info);
    ShowSiteInformation(c, info);
}

bool CommonStart(ScreenContext& c, SystemInfo& info)
{
    c.decoder.CopySystemInfo(info);
    // The copy clears the area's changed flag; a change it took is shown here so the site
    // information list does not miss it.
    const bool panelBehind = info.wacn != 0 && screen::LabelText(c.widgets.wacnValue) == QLatin1String(kNoWacn);
    if (info.changed || panelBehind)
        ShowSiteInformation(c, info);
    return info.systemId != 0;
}
