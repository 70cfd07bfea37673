#pragma once

class QFont;
class TForm1;
struct Settings;

// The list font and the stored window bounds and column widths (Global/SaveScreenSizes and the
// column-width sections of the settings file).

// At start: the list font (the global font when Global/UseGlobalFont is on) on every list and,
// when SaveScreenSizes is on, the window's bounds and the stored column widths.
void ApplyScreenSizes(TForm1& window, const Settings& settings, QFont& listFont);
// Before the settings are saved: the window's bounds, its maximized state and every column
// width, when SaveScreenSizes is on.
void CollectScreenSizes(TForm1& window, Settings& settings);
