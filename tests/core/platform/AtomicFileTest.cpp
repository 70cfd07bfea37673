#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <signal.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> Names(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

// A process number no process has: the highest free one below the system's limit.
pid_t DeadPid()
{
    pid_t pid = 4194304;  // the largest limit Linux allows
    if (std::ifstream in("/proc/sys/kernel/pid_max"); in)
        in >> pid;
    while (--pid > 1 && !(kill(pid, 0) != 0 && errno == ESRCH)) { }
    return pid;
}

// A writer killed part way leaves its temporary file behind; the next write of the same file
// removes it, so crashes never pile up copies. Temporary files of live writers, other files'
// temporaries and files of the user's own stay.
TEST(AtomicFile, NextWriteRemovesTemporaryFilesOfDeadWriters)
{
    ScratchFolder dir;
    const std::string dead = "Radios.txt.varnel-tmp-" + std::to_string(DeadPid()) + "-a1B2c3";
    const std::string live = "Radios.txt.varnel-tmp-" + std::to_string(getpid()) + "-d4E5f6";
    const std::string other = "TalkGroups.txt.varnel-tmp-" + std::to_string(DeadPid()) + "-a1B2c3";
    for (const std::string& name : {dead, live, other, std::string("Radios.txt.1234.backup")})
        ScratchFolder::Write(dir.Path() / name, "half a file");

    ASSERT_TRUE(WriteFileAtomically(dir.File("Radios.txt"), "whole\r\n"));

    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"Radios.txt", live, other, "Radios.txt.1234.backup"}));
    EXPECT_EQ(ScratchFolder::Read(dir.File("Radios.txt")), "whole\r\n");
}

}  // namespace
