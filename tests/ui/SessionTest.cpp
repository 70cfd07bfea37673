// The decode session of the main window against the scanner simulator on a pseudo-terminal:
// start and stop, draining the queue, the port failure, the stop question, "-DECODE", and the
// close sequence (also through "E&xit").
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <atomic>
#include <thread>

#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "link/TBSKQueue.h"
#include "session/ScannerSimulator.h"
#include "support/BlockBuilder.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/RefreshKeeper.h"
#include "ui/views/ListModel.h"

using namespace uitest;
using namespace ui_names;
using testsupport::MakeTsbk;

namespace {

// An RFSS status broadcast: system 0x123, RFSS 1, site 5.
Tsbk IdentityBlock()
{
    return MakeTsbk({0x3A, 0x00, 0x00, 0x11, 0x23, 0x01, 0x05, 0x00, 0x64, 0x70});
}

// A group voice grant to talkgroup `talkgroup` from radio 0x123456.
Tsbk GrantBlock(int talkgroup)
{
    return MakeTsbk({0x00, 0x00, 0x00, 0x10, 0x05, static_cast<uint8_t>(talkgroup >> 8),
                     static_cast<uint8_t>(talkgroup), 0x12, 0x34, 0x56});
}

}  // namespace

class SessionTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SimulatorOptions options;
        options.scannerType = 1;
        options.blocksPerSecond = 200;
        options.loop = true;
        options.startDelay = std::chrono::milliseconds(150);
        scanner = std::make_unique<ScannerSimulator>(options);
        ASSERT_TRUE(scanner->Open()) << scanner->ErrorText();
        scanner->SetCapture({SimItem::Block(IdentityBlock()), SimItem::Block(GrantBlock(100))});
        ASSERT_TRUE(scanner->Start());
        settings.port = scanner->SlavePath();
        settings.scannerType = 1;
    }

    void TearDown() override
    {
        MainWindowFixture::TearDown();
        scanner->Close();
    }

    QPushButton* Button1() { return Find<QPushButton>(kStartStopButton); }
    bool Running() { return window->State().DecodeRunning.load(); }

    std::unique_ptr<ScannerSimulator> scanner;
};

TEST_F(SessionTest, ButtonStartsAndStopsTheSessionAndEmptiesTheListsAtStart)
{
    MakeWindow();
    FindListModel(window.get(), kListGrantTrace)->AppendRow({"unsaved row"});
    FindListModel(window.get(), kListFilterRanges)->AppendRow({"100", "199", "Yes"});

    Button1()->click();
    EXPECT_TRUE(Running());
    EXPECT_EQ(Button1()->text(), "Stop Data Decode");
    EXPECT_TRUE(Button1()->isEnabled());
    EXPECT_FALSE(Action(kActReadData)->isEnabled());
    EXPECT_TRUE(Action(kActStopData)->isEnabled());
    EXPECT_NE(window->Reader(), nullptr);
    EXPECT_NE(window->Processing(), nullptr);
    EXPECT_EQ(FindListModel(window.get(), kListGrantTrace)->Count(), 0);
    EXPECT_EQ(FindListModel(window.get(), kListFilterRanges)->Count(), 1);

    // The simulator's blocks reach the decoder and the screens.
    ASSERT_TRUE(PumpUntil([&] { return window->Decoder()->GetSystemId() == 0x123u; }));
    ASSERT_TRUE(PumpUntil([&] { return Find<QLabel>(kSysIdValue)->text() == "123"; }));

    // "&Read Data From Radio" does nothing while a session runs.
    Action(kActReadData)->trigger();
    EXPECT_TRUE(Running());

    Action(kActStopData)->trigger();
    EXPECT_FALSE(Running());
    EXPECT_EQ(Button1()->text(), "Read Data From Radio");
    EXPECT_TRUE(Action(kActReadData)->isEnabled());
    EXPECT_FALSE(Action(kActStopData)->isEnabled());
    EXPECT_EQ(window->Reader(), nullptr);
    EXPECT_EQ(window->Processing(), nullptr);
    // What was decoded stays until the next start.
    EXPECT_EQ(window->Decoder()->GetSystemId(), 0x123u);
}

TEST_F(SessionTest, StoppingDecodesEveryQueuedBlockBeforeTheProcessingThreadEnds)
{
    constexpr int kQueued = 150;
    MakeWindow();
    Button1()->click();
    // The simulator's own talkgroup is known before it falls silent.
    ASSERT_TRUE(PumpUntil([&] { return window->Decoder()->Talkgroups().TalkgroupCount() >= 1; }));
    scanner->Stop();
    const int before = window->Decoder()->Talkgroups().TalkgroupCount();

    // Another thread holds the talkgroup table a while, so the processing thread stalls on the
    // first grant while the rest wait in the queue when the stop begins.
    std::atomic<bool> held{false};
    std::thread holder([&] {
        LockGuard g(window->Decoder()->Talkgroups().Lock());
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    while (!held)
        std::this_thread::yield();
    for (int i = 0; i < kQueued; ++i)
        ASSERT_TRUE(window->Queue()->Push(GrantBlock(1000 + i)));
    Button1()->click();
    holder.join();

    EXPECT_FALSE(Running());
    EXPECT_FALSE(window->Queue()->HasData());
    EXPECT_EQ(window->Decoder()->Talkgroups().TalkgroupCount(), before + kQueued);
}

TEST_F(SessionTest, PortThatCannotBeOpenedIsReportedAndTheSessionStops250msLater)
{
    for (bool confirmations : {false, true}) {
        SCOPED_TRACE(confirmations);
        settings.port = dir.filePath("no-such-port").toStdString();
        settings.confirmations = confirmations;
        MakeWindow();
        ModalAnswerer answerer(QMessageBox::Yes);
        qint64 stoppedAt = -1;
        QObject::connect(window.get(), &TForm1::SessionStopped, [&] { stoppedAt = answerer.ElapsedMs(); });
        Button1()->click();
        ASSERT_TRUE(PumpUntil([&] { return !Running(); }));
        ASSERT_EQ(answerer.seen.size(), confirmations ? 2u : 1u);
        EXPECT_EQ(answerer.seen[0].title, "Serial Port Open Error");
        // The reader's text, then the device and where to choose another.
        EXPECT_EQ(answerer.seen[0].text, "Port does not exist!\n\nPort: " + QString::fromStdString(settings.port) +
                                             "\nThe port is chosen under Edit → Decode Configuration.");
        if (confirmations) {
            EXPECT_EQ(answerer.seen[1].title, "Stop Decode");
        }
        EXPECT_GE(stoppedAt - answerer.seen[0].closedAtMs, 240);
        EXPECT_EQ(Button1()->text(), "Read Data From Radio");
        EXPECT_EQ(window->Reader(), nullptr);
        window->close();
        window.reset();
    }
}

TEST_F(SessionTest, StopQuestionKeepsTheSessionOnNo)
{
    settings.confirmations = true;
    MakeWindow();
    Button1()->click();
    ASSERT_TRUE(Running());

    ModalAnswerer answerer(QMessageBox::No);
    bool buttonEnabledWhileAsked = true;
    answerer.inspect = [&] { buttonEnabledWhileAsked = Button1()->isEnabled(); };
    Button1()->click();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "Stop Decode");
    EXPECT_EQ(answerer.seen[0].text, "Are you sure you want to stop the data decode session?");
    EXPECT_FALSE(buttonEnabledWhileAsked);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(Button1()->isEnabled());
    EXPECT_NE(window->Reader(), nullptr);

    answerer.SetAnswer(QMessageBox::Yes);
    Button1()->click();
    EXPECT_FALSE(Running());
}

TEST_F(SessionTest, DecodeArgumentInAnyCaseStartsTheSessionOnce)
{
    for (const char* argument : {"-DECODE", "-decode", "-DeCoDe"}) {
        SCOPED_TRACE(argument);
        MakeWindow({"varnel", argument});
        ASSERT_TRUE(PumpUntil([&] { return Running(); }));
        // A dialog opened and closed afterwards neither stops the session nor starts a second
        // refresh thread.
        {
            ModalAnswerer answerer;
            Action(kActAbout)->trigger();
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(Running());
        EXPECT_EQ(window->Refresh().Started(), 1);
        EXPECT_NE(window->Refresh().Current(), nullptr);
        window->close();
        window.reset();
    }
    MakeWindow({"varnel", "DECODE"});
    EXPECT_FALSE(Running());
}

TEST_F(SessionTest, ClosingOrExitEndsEveryThreadAndSavesTheSettings)
{
    for (bool viaExit : {false, true}) {
        SCOPED_TRACE(viaExit);
        MakeWindow();
        Button1()->click();
        ASSERT_TRUE(PumpUntil([&] { return window->Decoder()->GetSystemId() == 0x123u; }));
        ASSERT_NE(window->Refresh().Current(), nullptr);
        window->AppSettings().grantLogMax = viaExit ? 44 : 33;
        if (viaExit)
            Action(kActExit)->trigger();
        else
            window->close();
        EXPECT_TRUE(window->Closed());
        EXPECT_FALSE(Running());
        EXPECT_TRUE(window->State().ShuttingDown.load());
        EXPECT_EQ(window->Reader(), nullptr);
        EXPECT_EQ(window->Processing(), nullptr);
        EXPECT_EQ(window->Refresh().Current(), nullptr);
        EXPECT_EQ(window->Decoder(), nullptr);
        EXPECT_EQ(window->Queue(), nullptr);
        EXPECT_EQ(Reloaded().grantLogMax, viaExit ? 44 : 33);
        window.reset();
    }
}

TEST_F(SessionTest, CloseWhileAStopWaitsForTheQueueHappensAfterTheStop)
{
    MakeWindow();
    Button1()->click();
    ASSERT_TRUE(PumpUntil([&] { return window->Decoder()->Talkgroups().TalkgroupCount() >= 1; }));
    scanner->Stop();
    std::atomic<bool> held{false};
    std::thread holder([&] {
        LockGuard g(window->Decoder()->Talkgroups().Lock());
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    while (!held)
        std::this_thread::yield();
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(window->Queue()->Push(GrantBlock(2000 + i)));
    // The close arrives while the stop still drains the queue.
    QTimer::singleShot(50, window.get(), [this] { window->close(); });
    Button1()->click();
    holder.join();
    EXPECT_FALSE(Running());
    EXPECT_FALSE(window->Closed());
    ASSERT_TRUE(PumpUntil([&] { return window->Closed(); }));
    EXPECT_EQ(window->Decoder(), nullptr);
}

TEST_F(SessionTest, PortFailureOfASessionStoppedMeanwhileStartsNothing)
{
    settings.port = dir.filePath("no-such-port").toStdString();
    MakeWindow();
    ModalAnswerer answerer;
    // The user stops the session while the failure is still on the screen.
    answerer.inspect = [this] { window->ToggleSession(); };
    Button1()->click();
    ASSERT_TRUE(PumpUntil([&] { return !answerer.seen.empty(); }));
    QElapsedTimer waited;
    waited.start();
    PumpUntil([&] { return waited.elapsed() > 600; });
    EXPECT_FALSE(Running());
    EXPECT_EQ(answerer.seen.size(), 1u);
    EXPECT_FALSE(Find<QTimer>(kTimer3)->isActive());
}
