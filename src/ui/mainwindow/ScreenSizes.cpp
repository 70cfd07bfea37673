#include "ui/mainwindow/ScreenSizes.h"

#include <QHeaderView>
#include <QTreeView>

#include "persist/Settings.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/ListViewTable.h"

namespace {

// The list of each column-width section, in the order of ColumnScreen.
constexpr ListRole kColumnLists[kColumnScreens] = {
    ListRole::Activity,    ListRole::Neighbors,      ListRole::Identifiers,    ListRole::AffiliationList,
    ListRole::PatchList,   ListRole::AffiliationLog, ListRole::UnknownPackets, ListRole::GrantTrace,
    ListRole::OtherEvents, ListRole::PatchLog,       ListRole::SiteInfo,       ListRole::PacketDump,
    ListRole::RecentGrants};

QTreeView* List(TForm1& window, ListRole role)
{
    return window.Widgets().List(role);
}

}  // namespace

void ApplyScreenSizes(TForm1& window, const Settings& s, QFont& listFont)
{
    if (s.useGlobalFont && !s.font.empty()) {
        listFont = QFont(QString::fromStdString(s.font), s.fontSize > 0 ? s.fontSize : listFont.pointSize());
        listFont.setBold(s.fontBold);
    }
    for (QTreeView* view : window.Widgets().lists)
        if (view)
            view->setFont(listFont);

    if (!s.saveScreenSizes)
        return;
    window.setGeometry(s.left, s.top, s.width, s.height);
    for (int screen = 0; screen < kColumnScreens; ++screen) {
        QTreeView* view = List(window, kColumnLists[screen]);
        if (!view)
            continue;
        const std::vector<int>& widths = s.columnWidths[static_cast<size_t>(screen)];
        const int columns = view->header()->count();
        for (int c = 0; c < columns && c < static_cast<int>(widths.size()); ++c)
            if (widths[static_cast<size_t>(c)] > 0)
                view->header()->resizeSection(c, widths[static_cast<size_t>(c)]);
    }
}

void CollectScreenSizes(TForm1& window, Settings& s)
{
    if (!s.saveScreenSizes)
        return;
    s.maximized = window.isMaximized();
    if (!s.maximized) {
        const QRect bounds = window.geometry();
        s.left = bounds.left();
        s.top = bounds.top();
        s.width = bounds.width();
        s.height = bounds.height();
    }
    for (int screen = 0; screen < kColumnScreens; ++screen) {
        QTreeView* view = List(window, kColumnLists[screen]);
        if (!view)
            continue;
        std::vector<int>& widths = s.columnWidths[static_cast<size_t>(screen)];
        const int columns = view->header()->count();
        widths.resize(static_cast<size_t>(columns), kDefaultColumnWidth);
        for (int c = 0; c < columns; ++c)
            widths[static_cast<size_t>(c)] = view->header()->sectionSize(c);
    }
}
