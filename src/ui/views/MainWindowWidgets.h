#pragma once

#include <array>
#include <cstddef>

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTreeView;
class QWidget;

// The report-style lists of the main window by their role, in the order of their component
// names (ListView1 to ListView16) and of MainWindowLists().
enum class ListRole {
    Activity,         // ListView1
    Neighbors,        // ListView2
    Identifiers,      // ListView3
    AffiliationList,  // ListView4
    PatchList,        // ListView5
    AffiliationLog,   // ListView6
    UnknownPackets,   // ListView7
    GrantTrace,       // ListView8
    OtherEvents,      // ListView9
    PatchLog,         // ListView10
    SiteInfo,         // ListView11
    PacketDump,       // ListView12
    CurrentPatches,   // ListView13
    RecentGrants,     // ListView14
    RawData,          // ListView15
    FilterRanges,     // ListView16
    Count
};
inline constexpr int kListRoles = static_cast<int>(ListRole::Count);

// The buttons and boxes below one log view: Save, Clear, Auto Save, Auto Scroll.
struct LogControls {
    QPushButton* saveButton = nullptr;
    QPushButton* clearButton = nullptr;
    QCheckBox* autoSaveBox = nullptr;
    QCheckBox* autoScrollBox = nullptr;
};

// The main window's widgets by their role, kept by the code that creates them (the window while
// it builds its tabs and panels; the tests' stand-in window). Views, commands and dialogs reach
// the window's widgets only through these pointers: the component names (ListView8, Button13,
// CheckBox5 ...) stay the widgets' objectNames for the tests and accessibility, and several
// dialogs give the same names to controls of their own. A null pointer is a widget the window
// does not have (the stand-in has only what the updaters use); the code then leaves it out.
struct MainWindowWidgets {
    std::array<QTreeView*, kListRoles> lists{};
    QTreeView* List(ListRole role) const { return lists[static_cast<std::size_t>(role)]; }

    // The page control and the pages whose captions count rows.
    QTabWidget* pages = nullptr;
    QWidget* affiliationListPage = nullptr;  // "Affiliation List (0)"
    QWidget* patchesPage = nullptr;          // "Patches (0)"

    // Logs.
    LogControls affiliationLog;                     // Button4, Button5, CheckBox13, AutoScrollAffLog
    LogControls unknownPackets;                     // Button2, Button3, CheckBox9, AutoScrollUnknown
    LogControls grantTrace;                         // Button6, Button7, CheckBox10, AutoScrollGrants
    LogControls otherEvents;                        // Button10, Button9, CheckBox11, AutoScrollEvents
    LogControls patchLog;                           // Button11, Button12, CheckBox12, AutoScrollPatchLog
    LogControls packetDump;                         // Button14, Button15, CheckBox8, AutoScrollDump
    LogControls rawData;                            // Button18, Button19, AutoSavePSR, AutoScrollPSR
    QPushButton* affiliationListRefresh = nullptr;  // Button8
    QPushButton* affiliationLogRefresh = nullptr;   // Button20
    QPushButton* grantTraceRefresh = nullptr;       // Button17
    QCheckBox* filterRegistrationsBox = nullptr;    // CheckBox5, "Filter Unit Registrations"
    QLabel* affiliateCount = nullptr;               // "Affiliate Count:"

    // Affiliation log filter.
    QCheckBox* filterEnableBox = nullptr;      // CheckBox14
    QPushButton* addRangeButton = nullptr;     // Button21
    QPushButton* deleteRangeButton = nullptr;  // Button22
    QAction* addRangeAction = nullptr;         // AddRange1 of the range list's pop-up
    QAction* enableRangeAction = nullptr;      // EnableRange1
    QAction* disableRangesAction = nullptr;    // DisableRanges1
    QAction* deleteRangeAction = nullptr;      // DeleteRange1

    // Activity tab: hold and the monitor priority window.
    QPushButton* holdButton = nullptr;      // Button13
    QLabel* holdLabel = nullptr;            // "No Hold" / "Holding Talkgroup N"
    QPushButton* usageButton = nullptr;     // Button16
    QSpinBox* thresholdHighSpin = nullptr;  // UpDown1 with its field Edit2, "High:"
    QSpinBox* thresholdLowSpin = nullptr;   // UpDown2 with its field Edit3, "Low:"

    // Side panels.
    QLabel* sysIdValue = nullptr;       // "SysID:"
    QLabel* systemDescValue = nullptr;  // "Description:"
    QLabel* talkgroupCount = nullptr;   // TGIDCount, "Talkgroup ID Count:"
    QLabel* radioCount = nullptr;       // RIDCount, "Radio ID Count:"
    QLabel* siteIdValue = nullptr;      // "Site ID:"
    QLabel* wacnValue = nullptr;        // "WACN:"
    QLabel* siteStatusValue = nullptr;  // "Status:"
    QLabel* siteDescValue = nullptr;    // "Site Description:"

    // Status line values.
    QLabel* statusSystemValue = nullptr;      // "System:"
    QLabel* statusSiteValue = nullptr;        // "Site:"
    QLabel* statusTalkgroupsValue = nullptr;  // "TGIDs:"
    QLabel* statusRadiosValue = nullptr;      // "RIDs:"
    QLabel* statusStatusValue = nullptr;      // "Status:"

    QLabel* importLabel = nullptr;  // "*Import In Progress*"
};
