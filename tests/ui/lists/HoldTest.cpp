// Holding a talkgroup: a double click on an activity row, the hold button with its dialog, the
// release; the refresh thread redraws the activity list and re-decides what is followed within
// one pass.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/RefreshKeeper.h"
#include "ui/views/ListModel.h"
#include "ui/views/Screenthread.h"

namespace {

using namespace ui_names;
using uitest::MainWindowFixture;
using uitest::ModalAnswerer;
using uitest::PumpUntil;

enum Column { kCh = 0, kTalkgroup = 5, kActive = 9 };

class HoldTest : public MainWindowFixture {
protected:
    QTreeView* Activity() { return Find<QTreeView>(kListActivity); }
    ListModel& Model() { return *qobject_cast<ListModel*>(Activity()->model()); }
    int32_t Held() { return window->State().HeldTalkgroup.load(); }
    QString Button() { return Find<QPushButton>(kHoldButton)->text(); }
    QString HoldLabel() { return Find<QLabel>(kHoldLabel)->text(); }

    void DoubleClick(int row)
    {
        Activity()->selectionModel()->select(Model().index(row, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        emit Activity()->doubleClicked(Model().index(row, 0));
    }

    // Presses the hold button; a dialog that opens shows `seen` its field and gets `typed`.
    void PressHold(QString* seen, const QString& typed, bool accept = true)
    {
        ModalAnswerer answerer;
        answerer.dialogResult = accept ? QDialog::Accepted : QDialog::Rejected;
        answerer.fill = [&](QDialog& d) {
            auto* edit = d.findChild<QLineEdit*>("Edit1");
            if (seen)
                *seen = d.windowTitle() + "|" + edit->text();
            edit->setText(typed);
        };
        Find<QPushButton>(kHoldButton)->click();
        dialogsOpened = static_cast<int>(answerer.seen.size());
    }
    int dialogsOpened = 0;
};

TEST_F(HoldTest, DoubleClickHoldsTheRowsTalkgroup)
{
    MakeWindow();
    for (const QStringList& r :
         {QStringList{"00-0016", "851.0", "v", "Group", "5", "1001"}, QStringList{"00-0017", "851.0", "v", "", "", ""},
          QStringList{"00-0018", "851.0", "v", "Group", "5", " 2002"},
          QStringList{"00-0019", "851.0", "v", "Group", "5", "12x"}})
        Model().AppendRow(r);
    EXPECT_EQ(Button(), "Hold TalkGroup");
    DoubleClick(0);
    EXPECT_EQ(Held(), 1001);
    EXPECT_EQ(Button(), "Release Hold");
    DoubleClick(1);  // an idle channel holds nothing new
    EXPECT_EQ(Held(), 1001);
    DoubleClick(3);  // no number
    EXPECT_EQ(Held(), 1001);
    DoubleClick(2);  // replaces the hold; leading blanks are allowed
    EXPECT_EQ(Held(), 2002);
    Activity()->clearSelection();
    emit Activity()->doubleClicked(Model().index(0, 0));
    EXPECT_EQ(Held(), 2002);
}

TEST_F(HoldTest, HoldButtonOffersTheLastFollowedTargetAndReleases)
{
    MakeWindow();
    QString seen;
    PressHold(&seen, "1001");
    EXPECT_EQ(seen, "Hold TalkGroup|0");  // nothing followed yet
    EXPECT_EQ(Held(), 1001);
    EXPECT_EQ(Button(), "Release Hold");
    EXPECT_TRUE(Find<QPushButton>(kHoldButton)->isEnabled());

    PressHold(&seen, "5");  // a hold is active: the button releases it without a dialog
    EXPECT_EQ(dialogsOpened, 0);
    EXPECT_EQ(Held(), -1);
    EXPECT_EQ(Button(), "Hold TalkGroup");

    window->State().LastFollowedTarget = 300;
    PressHold(&seen, "300", false);  // "Cancel"
    EXPECT_EQ(seen, "Hold TalkGroup|300");
    EXPECT_EQ(Held(), -1);
    for (const char* notANumber : {"", "abc", "-1", "-5"}) {
        PressHold(nullptr, notANumber);
        EXPECT_EQ(Held(), -1) << notANumber;
        EXPECT_EQ(Button(), "Hold TalkGroup") << notANumber;
    }
    window->State().LastFollowedTarget = -1;  // a private call with an unknown called radio
    PressHold(&seen, "  42");
    EXPECT_EQ(seen, "Hold TalkGroup|");
    EXPECT_EQ(Held(), 42);
}

// With two calls active, holding the lower priority one moves the follow mark to it in the next
// pass of the refresh thread, and releasing moves it back; the hold label follows.
TEST_F(HoldTest, ActivityListAndFollowDecisionReactWithinOnePass)
{
    MakeWindow();
    P25Class& d = *window->Decoder();
    d.SetTgTimeOut(100000);  // the calls stay active for the whole test
    d.SetSiteIdentity(0x123, 1, 0x70, 5);
    d.Talkgroups().SetTalkgroup(200, "Police", 5, 0);
    d.Talkgroups().SetTalkgroup(300, "Fire", 3, 0);
    d.Activity().RecordGroupGrant(0x0010, 200, "", 11);
    d.Activity().RecordGroupGrant(0x0011, 300, "", 12);
    auto marked = [this](const char* tg) {
        for (int row = 0; row < Model().Count(); ++row)
            if (Model().Cell(row, kTalkgroup) == tg)
                return Model().Cell(row, kActive) == "<-----";
        return false;
    };
    ASSERT_TRUE(PumpUntil([&] { return marked("300"); }));
    ASSERT_TRUE(PumpUntil([this] { return window->Refresh().Current() != nullptr; }));
    auto* thread = qobject_cast<ScreenThread*>(window->Refresh().Current());
    ASSERT_NE(thread, nullptr);

    // The pass count when the view shows the hold: the refresh thread waits while the main thread
    // redraws, so it is read at the moment of the change.
    int64_t passesAtChange = -1;
    QObject::connect(&Model(), &QAbstractItemModel::dataChanged, &Model(), [&] {
        if (passesAtChange < 0 && marked(Held() == -1 ? "300" : "200"))
            passesAtChange = thread->Passes();
    });

    int row200 = -1;
    for (int row = 0; row < Model().Count(); ++row)
        if (Model().Cell(row, kTalkgroup) == "200")
            row200 = row;
    const int64_t before = thread->Passes();
    DoubleClick(row200);
    ASSERT_TRUE(PumpUntil([&] { return passesAtChange >= 0; }));
    EXPECT_LE(passesAtChange, before + 1);
    EXPECT_EQ(HoldLabel(), "Holding Talkgroup 200");
    EXPECT_FALSE(marked("300"));
    EXPECT_EQ(window->State().LastFollowedTarget.load(), 200);

    passesAtChange = -1;
    const int64_t beforeRelease = thread->Passes();
    PressHold(nullptr, "");
    ASSERT_TRUE(PumpUntil([&] { return passesAtChange >= 0; }));
    EXPECT_LE(passesAtChange, beforeRelease + 1);
    EXPECT_EQ(HoldLabel(), "No Hold");
    EXPECT_EQ(window->State().LastFollowedTarget.load(), 300);
}

}  // namespace
