#include "ui/views/ListFonts.h"

#include <QTreeView>
#include <QWidget>

#include "persist/Settings.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListViewTable.h"

using namespace ui_names;

#define SCREEN(member) +[](Settings& s) -> ScreenSettings& { return s.member; }

const std::array<FontScreenDef, kFontScreens>& FontScreens()
{
    static const std::array<FontScreenDef, kFontScreens> table = {{
        {"Activity", "Activity", {kListActivity, kListCurrentPatches, kListRecentGrants}, SCREEN(activity)},
        {"Affiliations", "Affiliations", {kListAffList, kListAffLog, kListFilterRanges}, SCREEN(affiliations)},
        {"Site Info", "SiteInfo", {kListSiteInfo, kListNeighbors, kListIdentifiers}, SCREEN(towerInfo)},
        {"Patches", "Patches", {kListPatchList, kListPatchLog}, SCREEN(patches)},
        {"Other", "Other", {kListOtherEvents}, SCREEN(otherInfo)},
        {"GrantLog", "GrantLog", {kListGrantTrace}, SCREEN(grants)},
        {"Unknown", "Unknown", {kListUnknown}, SCREEN(unknowns)},
        {"Dump", "Dump", {kListPacketDump}, SCREEN(pktDump)},
        {"RAW Dump", "RawDump", {kListRawData}, SCREEN(psrDump)},
    }};
    return table;
}

QFont FontFromSettings(const std::string& family, int size, bool bold, int fallbackSize)
{
    QFont font(QString::fromStdString(family), size > 0 ? size : fallbackSize);
    font.setBold(bold);
    return font;
}

std::array<QFont, kFontScreens> CurrentScreenFonts(QWidget& window, const QFont& fallback)
{
    std::array<QFont, kFontScreens> fonts;
    for (int i = 0; i < kFontScreens; ++i) {
        auto* list = window.findChild<QTreeView*>(FontScreens()[static_cast<size_t>(i)].lists.front());
        fonts[static_cast<size_t>(i)] = list ? list->font() : fallback;
    }
    return fonts;
}

QFont ApplyListFonts(QWidget& window, const Settings& settings, const QFont& current)
{
    QFont global = current;
    if (!settings.font.empty())
        global = FontFromSettings(settings.font, settings.fontSize, settings.fontBold, current.pointSize());
    Settings copy = settings;  // the accessors hand out writable references; this only reads them
    for (const FontScreenDef& screen : FontScreens()) {
        QFont font = global;
        if (!settings.useGlobalFont) {
            const ScreenSettings& own = screen.settings(copy);
            font = own.font.empty() ? current : FontFromSettings(own.font, own.size, own.bold, current.pointSize());
        }
        for (const char* name : screen.lists)
            if (auto* list = window.findChild<QTreeView*>(name))
                list->setFont(font);
    }
    return global;
}
