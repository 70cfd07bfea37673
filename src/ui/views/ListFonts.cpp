#include "ui/views/ListFonts.h"

#include <QTreeView>

#include "persist/Settings.h"
#include "ui/views/ListViewTable.h"

#define SCREEN(member) +[](Settings& s) -> ScreenSettings& { return s.member; }

const std::array<FontScreenDef, kFontScreens>& FontScreens()
{
    static const std::array<FontScreenDef, kFontScreens> table = {{
        {"Activity",
         "Activity",
         {ListRole::Activity, ListRole::CurrentPatches, ListRole::RecentGrants},
         SCREEN(activity)},
        {"Affiliations",
         "Affiliations",
         {ListRole::AffiliationList, ListRole::AffiliationLog, ListRole::FilterRanges},
         SCREEN(affiliations)},
        {"Site Info", "SiteInfo", {ListRole::SiteInfo, ListRole::Neighbors, ListRole::Identifiers}, SCREEN(towerInfo)},
        {"Patches", "Patches", {ListRole::PatchList, ListRole::PatchLog}, SCREEN(patches)},
        {"Other", "Other", {ListRole::OtherEvents}, SCREEN(otherInfo)},
        {"GrantLog", "GrantLog", {ListRole::GrantTrace}, SCREEN(grants)},
        {"Unknown", "Unknown", {ListRole::UnknownPackets}, SCREEN(unknowns)},
        {"Dump", "Dump", {ListRole::PacketDump}, SCREEN(pktDump)},
        {"RAW Dump", "RawDump", {ListRole::RawData}, SCREEN(psrDump)},
    }};
    return table;
}

QFont FontFromSettings(const std::string& family, int size, bool bold, int fallbackSize)
{
    QFont font(QString::fromStdString(family), size > 0 ? size : fallbackSize);
    font.setBold(bold);
    return font;
}

std::array<QFont, kFontScreens> CurrentScreenFonts(const MainWindowWidgets& w, const QFont& fallback)
{
    std::array<QFont, kFontScreens> fonts;
    for (int i = 0; i < kFontScreens; ++i) {
        const QTreeView* list = w.List(FontScreens()[static_cast<size_t>(i)].lists.front());
        fonts[static_cast<size_t>(i)] = list ? list->font() : fallback;
    }
    return fonts;
}

QFont ApplyListFonts(const MainWindowWidgets& w, const Settings& settings, const QFont& current)
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
        for (const ListRole role : screen.lists)
            if (QTreeView* list = w.List(role))
                list->setFont(font);
    }
    return global;
}
