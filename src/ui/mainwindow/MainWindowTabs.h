#pragma once

#include <vector>

struct Settings;

// The tabs of the main window's page control, in their order at the bottom edge.
struct TabDef {
    const char* name;     // objectName of the page
    const char* caption;  // initial caption
    bool (*shown)(const Settings&);
};
const std::vector<TabDef>& MainWindowTabTable();
