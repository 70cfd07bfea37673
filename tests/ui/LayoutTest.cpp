// The main window's size rules: the page control, the right-hand column and Button1, the
// panels and status-line pairs that give way as the window shrinks, and the activity tab's
// extended and compact layouts.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include "MainWindowFixture.h"
#include "ui/mainwindow/MainWindowNames.h"

using namespace uitest;
using namespace ui_names;

class LayoutTest : public MainWindowFixture {
protected:
    void ResizeTo(int width, int height)
    {
        window->resize(width, height);
        QCoreApplication::processEvents();
        ASSERT_EQ(window->size(), QSize(width, height));
    }
    bool Shown(const char* name) { return Find<QWidget>(name)->isVisibleTo(window.get()); }
};

TEST_F(LayoutTest, PageControlAndButtonKeepTheirDistancesFromTheWindowEdges)
{
    MakeWindow();
    for (QSize size : {QSize(992, 708), QSize(700, 500)}) {
        ResizeTo(size.width(), size.height());
        EXPECT_EQ(window->Pages()->width(), size.width() - 152);
        EXPECT_EQ(window->Pages()->height(), size.height() - 99);
        auto* button = Find<QPushButton>(kStartStopButton);
        EXPECT_EQ(button->x(), size.width() - 146);
        EXPECT_EQ(button->y(), size.height() - 89);
        EXPECT_EQ(Find<QWidget>(kPanelSystemInfo)->x(), size.width() - 146);
    }
    window->AppSettings().hideSystemInfo = true;
    window->ApplyLayout();
    EXPECT_EQ(window->Pages()->width(), 700 - 16);
    EXPECT_EQ(Find<QWidget>(kStatusLine)->y(), 500 - 89);
}

TEST_F(LayoutTest, SidePanelsGiveWayAsTheWindowGetsLower)
{
    MakeWindow();
    struct Case {
        int height;
        bool system, site, decode;
    } cases[] = {{525, true, true, true},   {524, true, true, false},  {430, true, true, false},
                 {429, true, false, false}, {260, true, false, false}, {259, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        ResizeTo(900, c.height);
        EXPECT_EQ(Shown(kPanelSystemInfo), c.system);
        EXPECT_EQ(Shown(kPanelSiteInfo), c.site);
        EXPECT_EQ(Shown(kPanelDecodeInfo), c.decode);
        EXPECT_TRUE(Shown(kStartStopButton));
        EXPECT_FALSE(Shown(kStatusLine));
    }
}

TEST_F(LayoutTest, StatusLinePairsGiveWayFromTheRightAsTheWindowNarrows)
{
    settings.hideSystemInfo = true;
    MakeWindow();
    EXPECT_TRUE(Shown(kStatusLine));
    EXPECT_FALSE(Shown(kPanelSystemInfo));
    EXPECT_TRUE(Shown(kStartStopButton));  // at the right end of the status line
    const char* values[] = {kStatusSystemValue, kStatusSiteValue, kStatusDecodeValue,
                            kStatusTGIDsValue,  kStatusRIDsValue, kStatusStatusValue};
    const char* captions[] = {kStatusSystemCaption, kStatusSiteCaption, kStatusDecodeCaption,
                              kStatusTGIDsCaption,  kStatusRIDsCaption, kStatusStatusCaption};
    struct Case {
        int width;
        int pairsShown;
    } cases[] = {{860, 6}, {859, 5}, {750, 5}, {749, 4}, {650, 4}, {649, 3}, {530, 3}, {529, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        ResizeTo(c.width, 600);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(Shown(values[i]), i < c.pairsShown) << values[i];
            EXPECT_EQ(Shown(captions[i]), i < c.pairsShown) << captions[i];
        }
    }
    EXPECT_EQ(Find<QLabel>(kStatusStatusCaption)->text(), "Status:");
}

TEST_F(LayoutTest, ActivityTabIsExtendedWhenEitherSmallListIsOn)
{
    struct Case {
        bool grants, patches;
        int listMargin;
    } cases[] = {{false, false, 60}, {true, false, 235}, {false, true, 235}, {true, true, 235}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.grants << c.patches);
        settings.showGrantLog = c.grants;
        settings.showPatchList = c.patches;
        MakeWindow();
        window->Pages()->setCurrentIndex(0);
        ResizeTo(992, 708);
        auto* frame = Find<QGroupBox>(kActivityFrame);
        auto* list = Find<QTreeView>(kListActivity);
        EXPECT_EQ(list->height(), frame->height() - c.listMargin);
        EXPECT_EQ(Find<QWidget>(kRecentGrantsFrame)->isVisibleTo(frame), c.grants);
        EXPECT_EQ(Find<QWidget>(kCurrentPatchFrame)->isVisibleTo(frame), c.patches);
        if (c.grants) {
            EXPECT_EQ(Find<QWidget>(kRecentGrantsFrame)->y(), frame->height() - 219);
        }
        if (c.patches) {
            EXPECT_EQ(Find<QWidget>(kCurrentPatchFrame)->y(), frame->height() - 219);
        }
        // The hold controls sit below the list in both layouts.
        EXPECT_GT(Find<QPushButton>(kHoldButton)->mapTo(frame, QPoint()).y(), list->geometry().bottom());
        window->close();
        window.reset();
    }
}
