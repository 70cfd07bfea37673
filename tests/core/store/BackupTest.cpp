#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <set>

#include "persist/Settings.h"
#include "persist/Tbackupthread.h"
#include "platform/Clock.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kApril21st2009 = 1240322820;  // 21 Apr 2009 14:07:00 UTC
constexpr int64_t kDay = 86400;

std::tm April21st()
{
    std::tm t{};
    t.tm_year = 109;
    t.tm_mon = 3;
    t.tm_mday = 21;
    return t;
}

struct TargetCase {
    const char* backupPath;
    bool addDate;
    const char* target;
};

TEST(BackupTarget, FourCombinationsOfPathAndDate)
{
    const TargetCase cases[] = {
        {"", false, "/prog/System1A3/backup"},
        {"", true, "/prog/System1A3/backup-20090421"},
        {"/bak", false, "/bak/System1A3"},
        {"  /bak  ", true, "/bak/20090421/System1A3"},
        {"/bak/", false, "/bak/System1A3"},
        {"   ", false, "/prog/System1A3/backup"},
        {"rel/dir", false, "/prog/rel/dir/System1A3"},
    };
    for (const TargetCase& c : cases) {
        const std::string root = TBackup::BackupRoot(c.backupPath, "/prog/");
        EXPECT_EQ(TBackup::TargetFolder("/prog/", "System1A3", root, c.addDate, April21st()), c.target)
            << '"' << c.backupPath << '"' << (c.addDate ? " with date" : "");
    }
}

// A program folder holding two system folders, one with a subfolder, a file named like a
// system folder and an unrelated folder.
class BackupRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScratchFolder::Write(dir.Path() / "System1A3" / "TalkGroups.txt", "tg v1");
        ScratchFolder::Write(dir.Path() / "System1A3" / "Radios.txt", "radios v1");
        ScratchFolder::Write(dir.Path() / "System1A3" / "Logs" / "inner.txt", "not copied");
        ScratchFolder::Write(dir.Path() / "System2B4" / "System.ini", "sys v1");
        ScratchFolder::Write(dir.Path() / "System.ini", "a file, not a system folder");
        ScratchFolder::Write(dir.Path() / "Other" / "x.txt", "not a system folder");
    }

    BackupResult Run(const std::string& backupPath, bool addDate)
    {
        Settings s;
        s.backupPath = backupPath;
        s.backupAddDate = addDate;
        TBackup backup(dir.Folder(), s, clock);
        int ends = 0;
        BackupResult reported;
        backup.SetEndCallback([&](const BackupResult& r) {
            ++ends;
            reported = r;
        });
        EXPECT_TRUE(backup.Start());
        EXPECT_FALSE(backup.Start());
        backup.WaitFor();
        EXPECT_EQ(ends, 1);
        EXPECT_FALSE(backup.Running());
        EXPECT_EQ(reported.filesCopied, backup.Result().filesCopied);
        return backup.Result();
    }

    static std::set<std::string> Names(const fs::path& folder)
    {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(folder))
            names.insert(e.path().filename().string());
        return names;
    }

    ScratchFolder dir;
    ManualClock clock{kApril21st2009};
};

TEST_F(BackupRun, CopiesFilesIntoEachSystemFolderAndSkipsTheRest)
{
    const BackupResult r = Run("", false);
    EXPECT_EQ(r.systemFolders, 2);
    EXPECT_EQ(r.filesCopied, 3);
    EXPECT_EQ(r.failures, 0);
    EXPECT_EQ(Names(dir.Path() / "System1A3" / "backup"), (std::set<std::string>{"Radios.txt", "TalkGroups.txt"}));
    EXPECT_EQ(ScratchFolder::Read(dir.Path() / "System1A3" / "backup" / "TalkGroups.txt"), "tg v1");
    EXPECT_EQ(Names(dir.Path() / "System2B4" / "backup"), (std::set<std::string>{"System.ini"}));
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"System1A3", "System2B4", "System.ini", "Other"}));
    EXPECT_EQ(Names(dir.Path() / "Other"), (std::set<std::string>{"x.txt"}));
}

TEST_F(BackupRun, SecondBackupOverwritesTheFirst)
{
    Run("", false);
    const fs::path copy = dir.Path() / "System1A3" / "backup" / "TalkGroups.txt";
    fs::permissions(copy, fs::perms(0444));  // an earlier copy made read-only is still replaced
    ScratchFolder::Write(dir.Path() / "System1A3" / "TalkGroups.txt", "tg v2, longer than before");
    const BackupResult r = Run("", false);
    EXPECT_EQ(r.filesCopied, 3);
    EXPECT_EQ(ScratchFolder::Read(copy), "tg v2, longer than before");
    // Its own backup folder is a subfolder: never copied into itself, no temporary files left.
    EXPECT_EQ(Names(dir.Path() / "System1A3" / "backup"), (std::set<std::string>{"Radios.txt", "TalkGroups.txt"}));
    EXPECT_EQ(Names(dir.Path() / "System1A3"),
              (std::set<std::string>{"Logs", "Radios.txt", "TalkGroups.txt", "backup"}));
}

TEST_F(BackupRun, RootWithDateMakesDatedFolderPerSystem)
{
    const fs::path root = dir.Path() / "bak";
    const BackupResult r = Run("  " + root.string() + "  ", true);
    EXPECT_EQ(r.filesCopied, 3);
    EXPECT_EQ(Names(root), (std::set<std::string>{"20090421"}));
    EXPECT_EQ(Names(root / "20090421"), (std::set<std::string>{"System1A3", "System2B4"}));
    EXPECT_EQ(ScratchFolder::Read(root / "20090421" / "System2B4" / "System.ini"), "sys v1");
    EXPECT_FALSE(fs::exists(dir.Path() / "System1A3" / "backup"));
}

TEST_F(BackupRun, InnerFolderWithDate)
{
    Run("", true);
    EXPECT_EQ(Names(dir.Path() / "System1A3" / "backup-20090421"),
              (std::set<std::string>{"Radios.txt", "TalkGroups.txt"}));
}

TEST_F(BackupRun, TargetThatCannotBeMadeIsSkipped)
{
    ScratchFolder::Write(dir.Path() / "blocked", "a file where the backup root should be");
    const BackupResult r = Run((dir.Path() / "blocked").string(), false);
    EXPECT_EQ(r.systemFolders, 2);
    EXPECT_EQ(r.filesCopied, 0);
    EXPECT_EQ(r.failures, 2);
}

TEST(BackupEmpty, NoSystemFolderEndsAtOnce)
{
    ScratchFolder dir;
    ManualClock clock;
    TBackup backup(dir.Folder(), Settings(), clock);
    bool ended = false;
    backup.SetEndCallback([&](const BackupResult&) { ended = true; });
    backup.Start();
    backup.WaitFor();
    EXPECT_TRUE(ended);
    EXPECT_EQ(backup.Result().systemFolders, 0);
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

struct ScheduleCase {
    const char* what;
    bool enabled;
    bool busy;
    int64_t lastBackup;
    int days;
    bool due;
    BackupAction action;
};

TEST(BackupSchedule, DueAndNotDue)
{
    const int64_t now = kApril21st2009;
    const ScheduleCase cases[] = {
        {"never backed up", true, false, 0, 7, true, BackupAction::StartBackup},
        {"six days ago", true, false, now - 6 * kDay, 7, false, BackupAction::CheckLater},
        {"exactly seven days ago", true, false, now - 7 * kDay, 7, false, BackupAction::CheckLater},
        {"seven days and a second ago", true, false, now - 7 * kDay - 1, 7, true, BackupAction::StartBackup},
        {"one day, two days ago", true, false, now - 2 * kDay, 1, true, BackupAction::StartBackup},
        {"backups off", false, false, 0, 7, true, BackupAction::StopTimer},
        {"a backup running", true, true, 0, 7, true, BackupAction::StopTimer},
        {"damaged time far ahead", true, false, std::numeric_limits<int64_t>::max(), 7, false,
         BackupAction::CheckLater},
    };
    for (const ScheduleCase& c : cases) {
        Settings s;
        s.backupEnabled = c.enabled;
        s.lastBackup = c.lastBackup;
        s.backupDays = c.days;
        s.backupCheckTime = 90;
        const BackupCheck check = CheckBackupSchedule(s, c.busy, now);
        EXPECT_EQ(check.action, c.action) << c.what;
        EXPECT_EQ(check.nextCheckSeconds, 90 * 60) << c.what;
        EXPECT_EQ(BackupDue(s, now), c.due) << c.what;
    }
}

}  // namespace
