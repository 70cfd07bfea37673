#include <gtest/gtest.h>

#include "VarnelRun.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Runs the real varnel binary the way a user or a script would.

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A dump row without its time column ("  <packet data> <time> <description>").
std::string WithoutTime(const std::string& row)
{
    constexpr size_t kTimeStart = 2 + 36 + 1;
    constexpr size_t kTimeLength = 14;
    if (row.size() < kTimeStart + kTimeLength + 1)
        return row;
    return row.substr(0, kTimeStart) + row.substr(kTimeStart + kTimeLength + 1);
}

class HeadlessRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataDir = fs::temp_directory_path() / ("varnel-headless-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dataDir);
    }
    void TearDown() override { fs::remove_all(dataDir); }

    std::string Fixture(const std::string& name) const { return std::string(VARNEL_TEST_DATA) + "/" + name; }

    fs::path dataDir;
};

TEST_F(HeadlessRun, ReplayWithDumpPrintsEveryDecodedBlockInOrder)
{
    const RunResult r = RunVarnel("--headless --data-dir " + dataDir.string() + " --replay " +
                                  Fixture("captures/small-site-type1.txt") + " --scanner-type 1 --dump");
    ASSERT_EQ(r.status, 0) << r.err;
    // Standard error holds only the replay's count.
    EXPECT_EQ(r.err, "varnel: replay of " + Fixture("captures/small-site-type1.txt") +
                         " as scanner type 1: 7 lines read, 5 blocks decoded\n");
    std::vector<std::string> rows;
    for (const std::string& line : Lines(r.out))
        rows.push_back(WithoutTime(line));
    const std::vector<std::string> expected = {
        "  3A 00 00 11 A3 01 05 10 01 70 7E A6  RFSS Status Broadcast - SysID: 1A3 Status: Connected Zone: 1 "
        "Site: 5 Control: 1-0001(764.00625) Cap: Data,Voice,Registration",
        "  00 00 40 10 05 00 64 12 34 56 30 17  Group Voice Grant - Group: 100 Channel: 1-0005(764.03125) "
        "Radio ID: 1193046 Notes: Enc",
        "  13 00 01 02 00 00 00 00 00 00 FD 96  Unknown Op=13 Mfg 00(Standard)",
        "  28 00 00 00 00 00 64 12 34 57 D1 DA  Group Affiliation Response - Group: 100 RadioID : 1193047 "
        "Result: Accept",
    };
    EXPECT_EQ(rows, expected);
}

// The demo capture is bare hex blocks: recognised without a scanner type, and decoded.
TEST_F(HeadlessRun, ReplayOfTheDemoCaptureIsRecognisedAndDecoded)
{
    const std::string demo = std::string(VARNEL_SOURCE_DIR) + "/data/demo/demo-capture.txt";
    const RunResult r = RunVarnel("--headless --data-dir " + dataDir.string() + " --replay " + demo + " --save");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "varnel: replay of " + demo + " as scanner type hex: 14471 lines read, 14395 blocks decoded\n");
    EXPECT_TRUE(fs::exists(dataDir / "System1A3" / "TalkGroups.txt"));
}

// A replay that finds no block says which forms the scanner types expect, and fails.
TEST_F(HeadlessRun, ReplayWithoutABlockNamesTheExpectedFormsAndExitsTwo)
{
    const fs::path capture = dataDir / "wrong.txt";
    std::ofstream(capture) << "P25,0,00112233445566778899AABB\nhello\n";
    const RunResult r =
        RunVarnel("--headless --data-dir " + dataDir.string() + " --replay " + capture.string() + " --scanner-type 2");
    EXPECT_EQ(r.status, 2);
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 2u) << r.err;
    EXPECT_NE(lines[0].find("2 lines read, 0 blocks decoded"), std::string::npos) << r.err;
    for (const char* form : {"type 1 expects", "type 2", "type 3", "type hex"})
        EXPECT_NE(lines[1].find(form), std::string::npos) << form << ": " << r.err;
}

TEST_F(HeadlessRun, SaveWritesThePerSystemFiles)
{
    const RunResult r = RunVarnel("--headless --data-dir " + dataDir.string() + " --replay " +
                                  Fixture("captures/small-site-type1.txt") + " --save");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");  // nothing printed without --dump
    for (const char* file : {"System.ini", "TalkGroups.txt", "Radios.txt", "Tower0105.txt"})
        EXPECT_TRUE(fs::exists(dataDir / "System1A3" / file)) << file;
    std::ifstream talkgroups(dataDir / "System1A3" / "TalkGroups.txt");
    std::string text((std::istreambuf_iterator<char>(talkgroups)), {});
    EXPECT_NE(text.find("\r\n100,50,\"T: 105 DT: "), std::string::npos) << text;
}

TEST_F(HeadlessRun, WithoutSaveWritesNoSystemFolder)
{
    const RunResult r = RunVarnel("--headless --data-dir " + dataDir.string() + " --replay " +
                                  Fixture("captures/small-site-type1.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(dataDir / "System1A3"));
}

struct BadCase {
    const char* arguments;
    const char* message;
};

TEST_F(HeadlessRun, BadArgumentsAndUnreadableFilesExitWithTwoAndOneLine)
{
    const std::vector<BadCase> cases = {
        {"--headless --bogus", "unknown argument --bogus"},
        {"--headless --replay", "--replay needs a file"},
        {"--headless --scanner-type 7", "--scanner-type needs 0, 1, 2 or 3"},
        {"--headless --replay /nonexistent/capture.txt", "cannot read /nonexistent/capture.txt"},
        {"--headless --port /dev/varnel-no-such-port", "Port does not exist!"},
        {"--headless --replay x --port y", "--port and --replay exclude each other"},
        {"--headless --realtime", "--realtime paces a --replay"},
    };
    for (const BadCase& c : cases) {
        const RunResult r = RunVarnel("--data-dir " + dataDir.string() + " " + c.arguments);
        EXPECT_EQ(r.status, 2) << c.arguments;
        EXPECT_EQ(Lines(r.err).size(), 1u) << c.arguments << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << ": " << r.err;
    }
}

TEST(HeadlessVersion, PrintsTheVersion)
{
    const RunResult r = RunVarnel("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Varnel ", 0), 0u) << r.out;
}

}  // namespace
