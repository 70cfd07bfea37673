#include "ui/mainwindow/MainWindowLayout.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include <algorithm>

#include "persist/Settings.h"

namespace layout_rules {

SidePanels SidePanelsFor(int windowHeight)
{
    return {windowHeight >= kSystemInfoMinHeight, windowHeight >= kSiteInfoMinHeight,
            windowHeight >= kDecodeInfoMinHeight};
}

std::array<bool, kStatusPairs> StatusPairsFor(int windowWidth)
{
    return {true,
            true,
            windowWidth >= kDecodeMinWidth,
            windowWidth >= kTgidsMinWidth,
            windowWidth >= kRidsMinWidth,
            windowWidth >= kStatusMinWidth};
}

bool ExtendedActivity(const Settings& s)
{
    return s.showGrantLog || s.showPatchList;
}

}  // namespace layout_rules

using namespace layout_rules;

namespace {

constexpr int kMargin = 4;
constexpr int kColumnRightMargin = 8;
// Top and height of each right-hand panel; each ends above Button1 at the height where it is
// still shown (Button1 stands 89 pixels above the window's bottom edge).
constexpr int kPanelTop[3] = {0, 155, 325};
constexpr int kPanelHeight[3] = {150, 165, 105};
constexpr int kButtonHeight = 26;
constexpr int kRowHeight = 22;

void PlaceNotices(MainWindowLayout& w, int left, int top, int right)
{
    if (w.noticeRow)
        w.noticeRow->setGeometry(left, top, std::max(0, right - left), kRowHeight);
}

}  // namespace

void LayoutMainWindow(MainWindowLayout& w, const Settings& s, QSize window, int centralHeight)
{
    const int width = window.width();
    const int height = window.height();
    const bool panelsShown = !s.hideSystemInfo;
    const int raise = std::max(0, (height - kBottomRowFromBottom + kButtonHeight) - centralHeight);
    const int rowTop = height - kBottomRowFromBottom - raise;
    const int pageWidth = width - (panelsShown ? kPageWidthMarginPanels : kPageWidthMarginFull);
    if (w.pages)
        w.pages->setGeometry(kMargin, 0, std::max(0, pageWidth), std::max(0, height - kPageHeightMargin - raise));

    const int columnLeft = width - kPanelsFromRight;
    const int columnWidth = kPanelsFromRight - kColumnRightMargin;
    const SidePanels shown = SidePanelsFor(height);
    const bool panelShown[3] = {shown.system, shown.site, shown.decode};
    for (int i = 0; i < 3; ++i) {
        if (!w.panels[i])
            continue;
        w.panels[i]->setGeometry(columnLeft, kPanelTop[i], columnWidth, kPanelHeight[i]);
        w.panels[i]->setVisible(panelsShown && panelShown[i]);
    }
    // The start/stop button stays in its place at the right of the bottom row in both layouts:
    // with the panels hidden it ends the status line.
    if (w.button1) {
        w.button1->setGeometry(columnLeft, rowTop, columnWidth, kButtonHeight);
        w.button1->setVisible(true);
    }

    if (w.statusLine) {
        w.statusLine->setGeometry(kMargin, rowTop, std::max(0, columnLeft - 2 * kMargin), kRowHeight);
        w.statusLine->setVisible(!panelsShown);
        const auto pairs = StatusPairsFor(width);
        for (int i = 0; i < kStatusPairs; ++i) {
            if (w.statusCaptions[i])
                w.statusCaptions[i]->setVisible(pairs[i]);
            if (w.statusValues[i])
                w.statusValues[i]->setVisible(pairs[i]);
        }
    }
    // The notices stand at the left of the bottom row, or below the status line when it is shown.
    PlaceNotices(w, kMargin + 4, panelsShown ? rowTop : rowTop + kRowHeight + 2, columnLeft - kMargin);
}

void LayoutActivityFrame(MainWindowLayout& w, const Settings& s)
{
    if (!w.activityFrame || !w.activityList)
        return;
    constexpr int kInner = 8;
    constexpr int kListTop = 16;
    constexpr int kControlsWidth = 200;
    const int fw = w.activityFrame->width();
    const int fh = w.activityFrame->height();
    const bool extended = ExtendedActivity(s);
    const int listHeight = fh - (extended ? kExtendedListMargin : kCompactListMargin);
    w.activityList->setGeometry(kInner, kListTop, std::max(0, fw - 2 * kInner), std::max(0, listHeight));

    auto* controls = w.holdControls;
    auto* box = controls ? qobject_cast<QBoxLayout*>(controls->layout()) : nullptr;
    auto* thresholdBox = w.thresholds ? qobject_cast<QBoxLayout*>(w.thresholds->layout()) : nullptr;
    // A column at the right in the extended layout, one row along the bottom in the compact one.
    if (box)
        box->setDirection(extended ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    if (thresholdBox)
        thresholdBox->setDirection(extended ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    if (extended) {
        const int top = fh - kSmallListsFromFrameBottom;
        const int smallHeight = kSmallListsFromFrameBottom - kInner;
        const int controlsLeft = fw - kInner - kControlsWidth;
        int left = kInner;
        if (w.patchFrame) {
            w.patchFrame->setVisible(s.showPatchList);
            if (s.showPatchList) {
                const int patchWidth = s.showGrantLog ? 180 : controlsLeft - kInner - left;
                w.patchFrame->setGeometry(left, top, patchWidth, smallHeight);
                left += patchWidth + kInner;
            }
        }
        if (w.grantsFrame) {
            w.grantsFrame->setVisible(s.showGrantLog);
            if (s.showGrantLog)
                w.grantsFrame->setGeometry(left, top, std::max(0, controlsLeft - kInner - left), smallHeight);
        }
        if (controls)
            controls->setGeometry(controlsLeft, top, kControlsWidth, smallHeight);
    } else {
        if (w.patchFrame)
            w.patchFrame->hide();
        if (w.grantsFrame)
            w.grantsFrame->hide();
        const int top = kListTop + std::max(0, listHeight) + 4;
        if (controls)
            controls->setGeometry(kInner, top, std::max(0, fw - 2 * kInner), std::max(0, fh - top - 4));
    }
}
