// The refresh thread: it carries decoder changes, holds, full refreshes and the tick's expiry into
// the views, stays quiet when nothing changed, and stops without waiting for the main thread.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <chrono>
#include <thread>

#include <QLabel>

#include "MainWindowFixture.h"
#include "ScreenRootFixture.h"
#include "ui/mainwindow/RefreshKeeper.h"
#include "ui/views/Screenthread.h"

namespace {

using namespace ui_names;
using namespace std::chrono_literals;
using uitest::ScreenFixture;

class ScreenThreadTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        Identify();
    }
    void TearDown() override { thread.reset(); }

    void Start()
    {
        thread =
            std::make_unique<ScreenThread>(ScreenThread::Links{decoder.get(), root.get(), &widgets, &state, &settings,
                                                               [] { return nullptr; }, [this] { return scanner; }});
        thread->start();
    }
    // Runs the event loop until `done` holds; false when it did not within the limit.
    template <class Done>
    bool Until(Done done, std::chrono::milliseconds limit = 5s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    void GroupCall(uint16_t tg)
    {
        Decode({0x00, 0x00, 0x00, 0x00, 0x10, static_cast<uint8_t>(tg >> 8), static_cast<uint8_t>(tg), 0, 0, 1});
    }

    std::unique_ptr<ScreenThread> thread;
};

TEST_F(ScreenThreadTest, CarriesDecoderChangesIntoTheViews)
{
    Start();
    ASSERT_TRUE(Until([&] { return Rows(kListSiteInfo) == 8; }));
    GroupCall(200);
    ASSERT_TRUE(Until([&] { return Rows(kListActivity) == 1 && Rows(kListGrantTrace) == 1; }));
    EXPECT_EQ(Cell(kListActivity, 0, 5), "200");
    EXPECT_EQ(Cell(kListGrantTrace, 0, 4), "  200");
}

TEST_F(ScreenThreadTest, HoldFullRefreshAndExpiryEachRedraw)
{
    Start();
    GroupCall(200);
    ASSERT_TRUE(Until([&] { return Cell(kListActivity, 0, 3) == "Group"; }));

    state.HeldTalkgroup = 42;  // no decoder change
    EXPECT_TRUE(Until([&] { return Label(kHoldLabel) == "Holding Talkgroup 42"; }));

    Model(kListSiteInfo).Clear();
    state.FullRefreshRequested = true;
    EXPECT_TRUE(Until([&] { return Rows(kListSiteInfo) == 8; }));
    EXPECT_FALSE(state.FullRefreshRequested.load());

    decoder->SetTgTimeOut(5);
    for (int i = 0; i < 6; ++i)
        decoder->AdvanceTick();
    EXPECT_TRUE(Until([&] { return Cell(kListActivity, 0, 3).isEmpty(); }));
}

// With nothing changing the thread sleeps: no passes, no hand-overs, even while the main thread's
// loop turns and the tick advances with no call to expire. A change made on the main thread wakes
// it, and so does a raise of the decoder's notice by another thread.
TEST_F(ScreenThreadTest, SleepsUntilSomethingChanges)
{
    Start();
    ASSERT_TRUE(Until([&] { return Rows(kListSiteInfo) == 8; }));
    // The affiliation list's flag stays set until its "Refresh" takes it.
    RefreshAffiliationViews(widgets, *decoder, settings);
    ASSERT_TRUE(Until([&] { return !decoder->Affiliations().AffiliationsChanged(); }));
    Until([] { return false; }, 100ms);  // a pass in flight ends
    const int64_t passes = thread->Passes();
    const int64_t handOvers = thread->HandOvers();
    for (int i = 0; i < 30; ++i) {
        decoder->AdvanceTick();
        Until([] { return false; }, 10ms);
    }
    EXPECT_EQ(thread->Passes(), passes);
    EXPECT_EQ(thread->HandOvers(), handOvers);

    GroupCall(200);  // on the main thread: seen when its event loop turns
    ASSERT_TRUE(Until([&] { return Rows(kListActivity) == 1; }));
    // The pass is counted once the main thread has run its update, so it may trail the rows.
    EXPECT_TRUE(Until([&] { return thread->Passes() > passes; }));

    // From another thread, as the processing thread does after a batch.
    const int64_t before = thread->HandOvers();
    std::thread other([this] {
        decoder->Activity().RecordGroupGrant(0x0011, 300, "", 12);
        decoder->Context().changes.Raise();
    });
    other.join();
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (thread->HandOvers() == before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);  // no event loop: only the raise can wake it
    EXPECT_GT(thread->HandOvers(), before);
    ASSERT_TRUE(Until([&] { return Rows(kListActivity) == 2; }));
}

// A call that goes quiet is returned to idle once the tick passes its time-out, though nothing
// else changes; the thread wakes for the expiry on its own.
TEST_F(ScreenThreadTest, ExpiryWakesItOnlyWhenACallIsDue)
{
    decoder->SetTgTimeOut(5);
    Start();
    GroupCall(200);
    ASSERT_TRUE(Until([&] { return Cell(kListActivity, 0, 3) == "Group"; }));
    Until([] { return false; }, 50ms);
    const int64_t passes = thread->Passes();
    for (int i = 0; i < 4; ++i) {  // still within the time-out
        decoder->AdvanceTick();
        Until([] { return false; }, 10ms);
    }
    EXPECT_EQ(thread->Passes(), passes);
    for (int i = 0; i < 3; ++i)
        decoder->AdvanceTick();
    EXPECT_TRUE(Until([&] { return Cell(kListActivity, 0, 3).isEmpty(); }));
}

TEST_F(ScreenThreadTest, StopsWhileWaitingForTheMainThread)
{
    Start();
    // The main thread runs no event loop: the first hand-over stays pending.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (thread->HandOvers() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_GT(thread->HandOvers(), 0);
    thread->requestInterruption();
    EXPECT_TRUE(thread->wait(QDeadlineTimer(2000)));
    QCoreApplication::processEvents();  // the withdrawn hand-over arrives and does nothing
    EXPECT_EQ(Rows(kListSiteInfo), 0);
}

TEST_F(ScreenThreadTest, StopFromTheMainThreadWhileRunning)
{
    Start();
    GroupCall(200);
    ASSERT_TRUE(Until([&] { return Rows(kListActivity) == 1; }));
    GroupCall(300);  // keep it busy
    thread->Stop();
    EXPECT_TRUE(thread->isFinished());
    EXPECT_FALSE(thread->Failed());
}

// The real main window: its refresh thread finds every view and label by the names it expects.
class ScreenThreadInWindowTest : public uitest::MainWindowFixture { };

TEST_F(ScreenThreadInWindowTest, TheWindowsRefreshThreadFillsItsViews)
{
    MakeWindow();
    ASSERT_TRUE(uitest::PumpUntil([this] { return window->Refresh().Current() != nullptr; }));
    P25Class& d = *window->Decoder();
    d.SetSiteIdentity(0x123, 1, 0x70, 5);
    d.DecodeTsbk(uitest::MakeBlock({0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0xC8, 0, 0, 1}));
    ListModel* activity = FindListModel(window.get(), kListActivity);
    ListModel* site = FindListModel(window.get(), kListSiteInfo);
    ASSERT_TRUE(activity && site);
    ASSERT_TRUE(uitest::PumpUntil([&] { return activity->Count() == 1 && site->Count() == 8; }));
    EXPECT_EQ(activity->Cell(0, 5), "200");
    EXPECT_EQ(activity->Cell(0, 9), "<-----");
    EXPECT_EQ(Find<QLabel>(kSysIdValue)->text(), "123");
    EXPECT_EQ(Find<QLabel>(kHoldLabel)->text(), "No Hold");
}

}  // namespace
