// The site information list (ListView11) with the side panel and status line texts, and the
// common start that every updater reading the system information goes through.
#include <QWidget>

#include "decoder/P25Class.h"
#include "p25/NameTables.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListModel.h"
#include "ui/views/ViewHelpers.h"
#include "ui/views/ViewUpdaters.h"

using namespace ui_names;
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
    QWidget& root = c.root;
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

    SetLabel(root, kSysIdValue, sysId);
    SetLabel(root, kStatusSystemValue, sysId + QLatin1Char('/') + wacn);
    SetLabel(root, kSiteIdValue, tower);
    SetLabel(root, kStatusSiteValue, tower);
    SetLabel(root, kWacnValue, wacn);
    SetLabel(root, kSiteDescValue, towerName);
    SetLabel(root, kSystemDescValue, systemName);
    const QString status = QLatin1String(connected ? "OK" : "ST!");
    SetLabel(root, kSiteStatusValue, status);
    SetLabel(root, kStatusStatusValue, status);
}

void ShowNoSite(QWidget& root)
{
    SetLabel(root, kSysIdValue, QStringLiteral("000"));
    SetLabel(root, kStatusSystemValue, QStringLiteral("000/00000"));
    SetLabel(root, kSiteIdValue, QStringLiteral(" 000 (T0000)"));
    SetLabel(root, kStatusSiteValue, QStringLiteral("000 (T0000)"));
    SetLabel(root, kWacnValue, QString::fromLatin1(kNoWacn));
    SetLabel(root, kSiteDescValue, QString());
    SetLabel(root, kSystemDescValue, QString());
    SetLabel(root, kSiteStatusValue, QStringLiteral("None"));
    SetLabel(root, kStatusTGIDsValue, QStringLiteral("0"));
    SetLabel(root, kStatusRIDsValue, QStringLiteral("0"));
    SetLabel(root, kStatusStatusValue, QStringLiteral("Unknown"));
}

}  // namespace

void ShowSiteInformation(ScreenContext& c, const SystemInfo& info)
{
    std::vector<ListModel::Row> rows;
    if (info.systemId != 0)
        ShowKnownSite(c, info, rows);
    else
        ShowNoSite(c.root);
    if (ListModel* list = FindListModel(&c.root, kListSiteInfo))
        list->SetRows(std::move(rows));  // one reset: the list redraws once
    screen::ShowTableCounts(c.root, c.decoder);
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
    const bool panelBehind = info.wacn != 0 && screen::LabelText(c.root, kWacnValue) == QLatin1String(kNoWacn);
    if (info.changed || panelBehind)
        ShowSiteInformation(c, info);
    return info.systemId != 0;
}
