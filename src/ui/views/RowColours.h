#pragma once

#include "ui/views/MainWindowWidgets.h"

class P25Class;
struct Settings;

// Gives the rows of a list view their colours: the activity, grant and affiliation views by the
// talkgroup and radio colours of the tables (as the settings choose), the others alternate the
// odd/even colours of the settings by row position. Rows from `firstRow` on are coloured (the
// activity view is always coloured whole); a row's colours travel with it when the list is sorted.
// This is the one place the colouring rules live.
void ColourRows(const MainWindowWidgets& w, ListRole list, P25Class& decoder, const Settings& settings,
                int firstRow = 0);

class ListModel;

// Paints a row in the emergency colours (white on red), whatever the colour mode: for a list
// whose rows do not show the emergency status themselves (the recent grants).
void PaintEmergencyRow(ListModel& model, int row);
