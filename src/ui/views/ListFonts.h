#pragma once

#include <QFont>

#include <array>
#include <string>
#include <vector>

#include "ui/views/MainWindowWidgets.h"

struct MainWindowWidgets;
struct ScreenSettings;
struct Settings;

// The list screens that may have a font of their own (the per-screen sections of the settings
// file), in the order of the sub-pages of the configuration dialog's "Screen Settings".
enum class FontScreen {
    Activity,
    Affiliations,
    TowerInfo,
    Patches,
    OtherInfo,
    Grants,
    Unknowns,
    PktDump,
    PsrDump,
    Count
};
inline constexpr int kFontScreens = static_cast<int>(FontScreen::Count);

struct FontScreenDef {
    const char* tab;              // sub-page caption in the configuration dialog
    const char* key;              // suffix of the dialog's font control names
    std::vector<ListRole> lists;  // the screen's lists, its main list first
    ScreenSettings& (*settings)(Settings&);
};
const std::array<FontScreenDef, kFontScreens>& FontScreens();

// A font from its settings: family, point size (a size below 1 keeps `fallbackSize`) and bold.
QFont FontFromSettings(const std::string& family, int size, bool bold, int fallbackSize = 8);

// The fonts the lists of the window now use: the main list's font of every screen.
std::array<QFont, kFontScreens> CurrentScreenFonts(const MainWindowWidgets& w, const QFont& fallback);

// Gives every list of the window its font: the global font when Global/UseGlobalFont is on,
// otherwise each screen's own font (to all lists of that screen). Returns the global font.
QFont ApplyListFonts(const MainWindowWidgets& w, const Settings& settings, const QFont& current);
