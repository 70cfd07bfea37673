#include "platform/FolderLock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "support/ScratchFolder.h"

namespace {

TEST(FolderLock, OneHolderAtATimeAndTheOtherIsNamed)
{
    ScratchFolder dir;
    FolderLock first;
    ASSERT_EQ(first.Take(dir.Folder()), FolderLock::Outcome::Taken);
    EXPECT_TRUE(first.Owned());

    // A second open of the lock file conflicts even within one process, as another program would.
    FolderLock second;
    EXPECT_EQ(second.Take(dir.Folder()), FolderLock::Outcome::Held);
    EXPECT_FALSE(second.Owned());
    EXPECT_EQ(second.HolderPid(), ::getpid());
    const std::string text = FolderLock::InUseText(dir.Folder(), second.HolderPid());
    EXPECT_NE(text.find(dir.Folder()), std::string::npos);
    EXPECT_NE(text.find("process " + std::to_string(::getpid())), std::string::npos);
    EXPECT_NE(text.find("--data-dir"), std::string::npos);

    first.Release();
    EXPECT_EQ(second.Take(dir.Folder()), FolderLock::Outcome::Taken);
}

TEST(FolderLock, TheKernelReleasesTheLockOfAKilledHolder)
{
    ScratchFolder dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        FolderLock lock;
        const char taken = lock.Take(dir.Folder()) == FolderLock::Outcome::Taken ? 'y' : 'n';
        if (::write(ready[1], &taken, 1) != 1)
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char taken = 0;
    ASSERT_EQ(::read(ready[0], &taken, 1), 1);
    ASSERT_EQ(taken, 'y');
    FolderLock lock;
    EXPECT_EQ(lock.Take(dir.Folder()), FolderLock::Outcome::Held);
    EXPECT_EQ(lock.HolderPid(), child);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(lock.Take(dir.Folder()), FolderLock::Outcome::Taken);  // the stale file locks nobody out
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(FolderLock, ALockFileThatIsNoFileLocksNothing)
{
    ScratchFolder dir;
    std::filesystem::create_directory(dir.File(FolderLock::kFileName));
    FolderLock lock;
    EXPECT_EQ(lock.Take(dir.Folder()), FolderLock::Outcome::Unavailable);
    EXPECT_FALSE(lock.Reason().empty());
}

}  // namespace
