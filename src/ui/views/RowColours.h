#pragma once

#include "ui/views/EmergencyCalls.h"
#include "ui/views/MainWindowWidgets.h"

class P25Class;
struct Settings;

// Gives the rows of a list view their colours: the activity, grant and affiliation views by the
// talkgroup and radio colours of the tables (as the settings choose), the others alternate the
// odd/even colours of the settings by row position. Rows from `firstRow` on are coloured (the
// activity view is always coloured whole); a row's colours travel with it when the list is sorted.
// This is the one place the colouring rules live.
//
// Emergencies stand out white on red whatever the colour mode and over the odd/even colours: an
// activity row while its channel's call carries the emergency status; a row of the grant trace or
// the recent grants while it records a grant flagged as emergency (ListModel::Row::emergency) and
// its talkgroup's emergency call lasts (`emergencies`; without it no grant row is red).
void ColourRows(const MainWindowWidgets& w, ListRole list, P25Class& decoder, const Settings& settings,
                int firstRow = 0, const EmergencyCalls* emergencies = nullptr);

// After emergencies began or ended: the grant lists' rows of those talkgroups take their colours
// anew. The rows of an emergency that ended lose their mark for good, so that a later emergency of
// the same talkgroup does not colour them again.
void FollowEmergencies(const MainWindowWidgets& w, P25Class& decoder, const Settings& settings,
                       const EmergencyCalls& emergencies, const EmergencyCalls::Change& change);
