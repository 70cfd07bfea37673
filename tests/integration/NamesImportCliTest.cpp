#include <gtest/gtest.h>

#include "VarnelRun.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/FolderLock.h"

// `varnel --import-names` run as a script would, on the fixture name lists.

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class NamesImportCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataDir = fs::temp_directory_path() / ("varnel-import-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dataDir);
    }
    void TearDown() override { fs::remove_all(dataDir); }

    std::string Fixture(const std::string& name) const { return std::string(VARNEL_TEST_DATA) + "/names/" + name; }
    std::string Import(const std::string& file, const std::string& more) const
    {
        return "--import-names " + file + " --system 1A3 --data-dir " + dataDir.string() + " " + more;
    }

    fs::path dataDir;
};

TEST_F(NamesImportCli, PreviewPrintsCountsAndRejectionsAndWritesNothing)
{
    const RunResult r = RunVarnel(Import(Fixture("talkgroups.csv"), ""));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("4 new, 0 changed, 0 unchanged, 7 rejected"), std::string::npos) << r.out;
    for (const char* line :
         {"line 5: talkgroup 70000 out of range 1-65535", "line 6: text \"abc\" in the number column",
          "line 7: duplicate of line 2 (100)", "line 8: not UTF-8 text", "line 12: priority 150 out of range 0-99",
          "line 13: unbalanced quotes"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    EXPECT_NE(r.out.find("add --yes"), std::string::npos);
    EXPECT_FALSE(fs::exists(dataDir / "System1A3"));
}

TEST_F(NamesImportCli, YesWritesTheSystemFileAndASecondRunFindsNothingToChange)
{
    RunResult r = RunVarnel(Import(Fixture("talkgroups.csv"), "--yes"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = ReadText(dataDir / "System1A3" / "TalkGroups.txt");
    EXPECT_EQ(file.rfind("FileVersion:5\r\n", 0), 0u);
    EXPECT_NE(file.find("200,10,\"Police, North\","), std::string::npos) << file;
    EXPECT_NE(file.find("100,50,\"Fire Dispatch\","), std::string::npos);

    r = RunVarnel(Import(Fixture("talkgroups.csv"), "--yes"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("0 new, 0 changed, 4 unchanged"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("nothing to change"), std::string::npos);

    r = RunVarnel(Import(Fixture("radios.csv"), "--radios --yes"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadText(dataDir / "System1A3" / "Radios.txt").find("1002,\"Dispatcher desk\","), std::string::npos);
}

TEST_F(NamesImportCli, NoUsableRowOrNoFileOrHeldFolderExitsTwo)
{
    const fs::path bad = dataDir / "bad.csv";
    std::ofstream(bad) << "Decimal,Alpha Tag\n70000,x\nabc,y\n";
    RunResult r = RunVarnel(Import(bad.string(), "--yes"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("line 2: talkgroup 70000 out of range"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dataDir / "System1A3"));

    r = RunVarnel(Import((dataDir / "missing.csv").string(), ""));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos);

    r = RunVarnel(Import(Fixture("talkgroups.csv"), "--system XYZ"));
    EXPECT_EQ(r.status, 2);

    FolderLock lock;
    ASSERT_EQ(lock.Take(dataDir.string()), FolderLock::Outcome::Taken);
    r = RunVarnel(Import(Fixture("talkgroups.csv"), "--yes"));
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(fs::exists(dataDir / "System1A3"));
}

TEST_F(NamesImportCli, UnreadableSystemFileIsKept)
{
    fs::create_directories(dataDir / "System1A3");
    const std::string foreign = "FileVersion:99\r\nsomething else\r\n";
    std::ofstream(dataDir / "System1A3" / "TalkGroups.txt", std::ios::binary) << foreign;
    const RunResult r = RunVarnel(Import(Fixture("talkgroups.csv"), "--yes"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("kept as it is"), std::string::npos) << r.err;
    EXPECT_EQ(ReadText(dataDir / "System1A3" / "TalkGroups.txt"), foreign);
}

}  // namespace
