// The main window's timers: the receive-rate display while idle, the minute timer's periodic save,
// the decoder's tick, and the backup schedule with its label and the wait at close.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "ui/mainwindow/BackupScheduler.h"
#include "ui/mainwindow/MainWindowNames.h"

using namespace uitest;
using namespace ui_names;

class TimersTest : public MainWindowFixture { };

TEST_F(TimersTest, IdleReceiveRateReadsZeroAndTheBufferFull)
{
    MakeWindow();
    window->Timer1Tick();
    EXPECT_EQ(Find<QLabel>(kRateValue)->text(), "  0% (0 out of 0)");
    EXPECT_EQ(Find<QLabel>(kStatusDecodeValue)->text(), "  0%");
    EXPECT_EQ(Find<QLabel>(kBufferValue)->text(), "100%");
    EXPECT_EQ(Find<QProgressBar>(kProgressBar)->value(), 0);
    EXPECT_TRUE(Find<QTimer>(kTimer1)->isActive());
}

TEST_F(TimersTest, Timer4AdvancesTheDecoderTick)
{
    MakeWindow();
    EXPECT_TRUE(Find<QTimer>(kTimer4)->isActive());
    EXPECT_EQ(Find<QTimer>(kTimer4)->interval(), 100);
    const int32_t before = window->Decoder()->Tick();
    window->Timer4Tick();
    window->Timer4Tick();
    EXPECT_EQ(window->Decoder()->Tick(), before + 2);
}

// With no session and nothing to expire the tick timer stops; the counter goes on by the monotonic
// clock, and a session starts the timer again from the value reached.
TEST_F(TimersTest, Timer4RestsWithoutASessionAndTheTickGoesOn)
{
    settings.port = dir.filePath("no-port").toStdString();
    MakeWindow();
    QTimer* timer = Find<QTimer>(kTimer4);
    ASSERT_TRUE(PumpUntil([&] { return !timer->isActive(); }));
    const int32_t resting = window->Decoder()->Tick();
    ASSERT_TRUE(PumpUntil([&] { return window->Decoder()->Tick() >= resting + 2; }));

    ModalAnswerer answerer;  // the missing port ends the session; the timer runs from its start
    window->ToggleSession();
    EXPECT_TRUE(timer->isActive());
    const int32_t started = window->Decoder()->Tick();
    EXPECT_GE(started, resting + 2);
    window->Timer4Tick();
    EXPECT_EQ(window->Decoder()->Tick(), started + 1);
    ASSERT_TRUE(PumpUntil([&] { return !window->State().DecodeRunning; }));
    ASSERT_TRUE(PumpUntil([&] { return !timer->isActive(); }));
}

TEST_F(TimersTest, PeriodicSaveWaitsForTheIntervalAndAKnownSystem)
{
    settings.autoSaveEnabled = true;
    settings.autoSaveInterval = 10;
    settings.port = dir.filePath("no-port").toStdString();
    MakeWindow();
    {
        ModalAnswerer answerer;  // the port failure stops this session; the timer is tested by hand
        window->ToggleSession();
        ASSERT_TRUE(PumpUntil([&] { return !window->State().DecodeRunning; }));
    }
    const QString systemIni = dir.filePath("System123/System.ini");
    const int64_t start = clock.Now();
    window->State().LastSystemSave = start;

    // No system yet: nothing is written, the timer goes on.
    clock.Advance(11 * 60);
    window->Timer2Tick();
    EXPECT_FALSE(QFile::exists(systemIni));
    EXPECT_TRUE(Find<QTimer>(kTimer2)->isActive());

    window->Decoder()->SetSiteIdentity(0x123, 1, 0x70, 5);
    clock.Set(start + 10 * 60);  // exactly the interval: not yet later
    window->Timer2Tick();
    EXPECT_FALSE(QFile::exists(systemIni));
    clock.Advance(1);
    window->Timer2Tick();
    EXPECT_TRUE(QFile::exists(systemIni));
    EXPECT_EQ(window->State().LastSystemSave.load(), clock.Now() - 5);

    // Auto-save switched off meanwhile: the timer stays stopped.
    window->AppSettings().autoSaveEnabled = false;
    window->Timer2Tick();
    EXPECT_FALSE(Find<QTimer>(kTimer2)->isActive());
}

TEST_F(TimersTest, DueBackupShowsItsLabelAndCloseWaitsForItBeforeSaving)
{
    settings.backupEnabled = true;
    settings.lastBackup = 0;
    ASSERT_TRUE(QDir(dir.path()).mkpath("System1A3"));
    QFile file(dir.filePath("System1A3/TalkGroups.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("100,\"Fire\"\r\n");
    file.close();
    MakeWindow();
    EXPECT_TRUE(Find<QTimer>(kBackupTimer)->isActive());
    EXPECT_EQ(Find<QTimer>(kBackupTimer)->interval(), BackupScheduler::kStartupIntervalMs);

    window->Backups().Check();
    EXPECT_TRUE(window->Backups().Busy());
    EXPECT_TRUE(Find<QLabel>(kBackupLabel)->isVisible());
    EXPECT_EQ(Reloaded().lastBackup, clock.Now());  // stored before the copy starts

    window->close();
    EXPECT_FALSE(window->Backups().Busy());
    EXPECT_TRUE(QFile::exists(dir.filePath("System1A3/backup/TalkGroups.txt")));
}

TEST_F(TimersTest, BackupNotDueChecksAgainAfterCheckTime)
{
    settings.backupEnabled = true;
    settings.backupDays = 7;
    settings.backupCheckTime = 90;
    settings.lastBackup = clock.Now() - 6 * 86400;
    MakeWindow();
    window->Backups().Check();
    EXPECT_FALSE(window->Backups().Busy());
    EXPECT_TRUE(Find<QTimer>(kBackupTimer)->isActive());
    EXPECT_EQ(Find<QTimer>(kBackupTimer)->interval(), 90 * 60 * 1000);
    EXPECT_FALSE(Find<QLabel>(kBackupLabel)->isVisible());
}
