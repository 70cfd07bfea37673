#pragma once

#include <functional>

class EmergencyCalls;
class P25Class;
class ScannerControl;
class TScannerReadThread;
struct AppState;
struct MainWindowWidgets;
struct ScreenScratch;
struct Settings;
struct SystemInfo;

// What a view updater works with. The updaters run on the main thread (handed over by the refresh
// thread, or called directly); they write the window's lists and labels through `widgets`.
// The getters are called on the main thread only: the session creates and destroys the reader
// thread and the scanner control there, so the pointers are valid for the updater's run.
struct ScreenContext {
    const MainWindowWidgets& widgets;
    P25Class& decoder;
    AppState& state;
    const Settings& settings;
    ScreenScratch& scratch;
    std::function<ScannerControl*()> scanner;     // the session's second scanner, or null
    std::function<TScannerReadThread*()> reader;  // the session's reader thread, or null
    // The emergency calls the activity updater follows and the grant lists colour by; may be null
    // (then no grant row is red).
    EmergencyCalls* emergencies;
};

// Copies the system information and shows it on the site information list and panels when it
// changed since the last copy or the panel still shows no WACN. False while the system ID is 0:
// the updater then leaves its view as it is.
bool CommonStart(ScreenContext& c, SystemInfo& info);

// Views of the current state.
void UpdateSiteInformation(ScreenContext& c);
void ShowSiteInformation(ScreenContext& c, const SystemInfo& info);
void UpdateActivity(ScreenContext& c);
void UpdateNeighbors(ScreenContext& c);
void UpdateIdentifiers(ScreenContext& c);
void UpdateFilterRanges(ScreenContext& c);

// Log views.
void UpdateAffiliations(ScreenContext& c);
void UpdateUnknownPackets(ScreenContext& c);
void UpdateGrants(ScreenContext& c);
void UpdateEvents(ScreenContext& c);
// Acts on whichever of the patch list and the patch log has changed; `rebuildList` redraws the
// patch lists also without a change (a full refresh, so names read anew appear).
void UpdatePatches(ScreenContext& c, bool rebuildList = false);
void UpdatePacketDump(ScreenContext& c);
// Moves at most 10 waiting raw lines of the session's reader into the raw data list.
void UpdateRawData(ScreenContext& c);

// "Refresh" buttons (main thread): the affiliation tabs (Button8, Button20) rebuild the
// affiliation list and re-read the names in the affiliation log; the grant trace tab (Button17)
// re-reads the names in the grant trace and the recent grants list. With `state` the sortable
// lists are sorted again by their sort columns.
void RefreshAffiliationViews(const MainWindowWidgets& w, P25Class& decoder, const Settings& settings,
                             const AppState* state = nullptr);
void RefreshGrantViews(const MainWindowWidgets& w, P25Class& decoder, const AppState* state = nullptr);
