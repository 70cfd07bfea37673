#pragma once

#include <QSize>

#include <array>
#include <vector>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeView;
class QWidget;
struct Settings;

// Distances and size thresholds of the main window's layout. The window's width and height are
// those of the window itself (menu bar included); positions are those of the central widget,
// whose top is the page control's top edge.
namespace layout_rules {
inline constexpr int kPanelsFromRight = 146;     // left edge of the right-hand column and Button1
inline constexpr int kBottomRowFromBottom = 89;  // top of Button1 and of the status-line items
inline constexpr int kPageHeightMargin = 99;     // page control height = window height - 99
inline constexpr int kPageWidthMarginFull = 16;  // side panels hidden
inline constexpr int kPageWidthMarginPanels = 152;
// Side panels: shown only at these window heights or more.
inline constexpr int kDecodeInfoMinHeight = 525;  // "Decode Information:" hidden at 524 or less
inline constexpr int kSiteInfoMinHeight = 430;
inline constexpr int kSystemInfoMinHeight = 260;
// Status-line pairs: shown only at these window widths or more ("System:" and "Site:" always).
inline constexpr int kStatusMinWidth = 860;
inline constexpr int kRidsMinWidth = 750;
inline constexpr int kTgidsMinWidth = 650;
inline constexpr int kDecodeMinWidth = 530;
// Activity tab: the list is this much shorter than its frame.
inline constexpr int kExtendedListMargin = 235;
inline constexpr int kCompactListMargin = 60;
inline constexpr int kSmallListsFromFrameBottom = 219;  // top of the patch and recent grants lists

struct SidePanels {
    bool system, site, decode;
};
SidePanels SidePanelsFor(int windowHeight);

// The six status-line pairs in order: System, Site, Decode, TGIDs, RIDs, Status.
inline constexpr int kStatusPairs = 6;
std::array<bool, kStatusPairs> StatusPairsFor(int windowWidth);

// Extended activity layout: either small list of the activity tab is on.
bool ExtendedActivity(const Settings& s);
}  // namespace layout_rules

// The widgets the layout moves, collected while the window is built.
struct MainWindowLayout {
    QTabWidget* pages = nullptr;
    std::vector<QWidget*> tabPages;  // in the order of MainWindowTabTable()
    QWidget* panels[3] = {};         // System Information, Site Information:, Decode Information:
    QPushButton* button1 = nullptr;
    QWidget* statusLine = nullptr;  // holds the pairs and the notices
    QLabel* fileNotice = nullptr;   // the last problem with a file kept; hidden until there is one
    std::array<QLabel*, layout_rules::kStatusPairs> statusCaptions{};
    std::array<QLabel*, layout_rules::kStatusPairs> statusValues{};
    QLabel* backupLabel = nullptr;
    QLabel* importLabel = nullptr;
    // The notices side by side in one row of the bottom: backup, import, session trouble, message.
    QWidget* noticeRow = nullptr;
    QLabel* sessionNotice = nullptr;
    QLabel* messageNotice = nullptr;
    QLabel* siteNotice = nullptr;  // the session trouble inside "Site Information:"
    // The values that go grey while the scanner is lost (the site information is stale).
    std::vector<QWidget*> siteValues;
    // Written once a second by Timer1.
    QLabel* rateValue = nullptr;
    QLabel* bufferValue = nullptr;
    QProgressBar* progressBar = nullptr;

    // Activity tab.
    QGroupBox* activityFrame = nullptr;
    QTreeView* activityList = nullptr;
    QWidget* patchFrame = nullptr;    // "Current Patch List" with ListView13
    QWidget* grantsFrame = nullptr;   // "Recent Channel Grants:" with ListView14
    QWidget* holdControls = nullptr;  // hold button and label, usage button, thresholds
    QWidget* thresholds = nullptr;    // "Monitor Priority Threshold:" with "High:" and "Low:"
};

// Places the page control, the right-hand column, Button1, the status line and the notices in
// the central widget (`centralHeight` high) for a window of `window` size. Should a tall title
// bar and menu leave less room below than the distances assume, the bottom row is raised just
// enough to stay inside the window (and the page control with it).
void LayoutMainWindow(MainWindowLayout& w, const Settings& s, QSize window, int centralHeight);
// Places the activity list, the two small lists and the hold controls inside the activity frame.
void LayoutActivityFrame(MainWindowLayout& w, const Settings& s);
