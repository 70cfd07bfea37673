#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>

#include "persist/LogExport.h"
#include "persist/LogFormat.h"
#include "site/SystemInfoArea.h"
#include "support/ScratchFolder.h"

namespace {

struct RowCase {
    const char* name;
    LogKind kind;
    LogCells cells;
    std::string line;
};

class LogRowFormat : public ::testing::TestWithParam<RowCase> { };

TEST_P(LogRowFormat, IsWrittenByteForByte)
{
    EXPECT_EQ(LogRowLine(GetParam().kind, GetParam().cells), GetParam().line);
}

const char kPacket[] = "3A 00 00 11 23 01 05 10 01 70 AB 0C ";

INSTANTIATE_TEST_SUITE_P(
    EveryLog, LogRowFormat,
    ::testing::Values(
        RowCase{"Affiliation",
                LogKind::Affiliations,
                {"04/21 14:07:00", "Affiliate", "  100", "Fire Dispatch", "1001", "Engine 1"},
                "\"04/21 14:07:00\",\"Affiliate\",100,\"Fire Dispatch\",1001,\"Engine 1\"\r\n"},
        RowCase{"AffiliationWithoutTalkgroup",
                LogKind::Affiliations,
                {"04/21 14:07:00", "Registration", "", "", "1001", ""},
                "\"04/21 14:07:00\",\"Registration\",0,\"\",1001,\"\"\r\n"},
        RowCase{"GrantKeepsPadding",
                LogKind::Grants,
                {"04/21 14:07:00", "Group (Enc)", "01-0123", "851.01250", "  100", "Fire", "1001", "Engine 1"},
                "\"04/21 14:07:00\",\"Group (Enc)\",\"01-0123\",\"851.01250\",\"  100\",\"Fire\",\"1001\","
                "\"Engine 1\"\r\n"},
        RowCase{"Event",
                LogKind::Events,
                {"04/21 14:07:00", kPacket, "Unit Registration Response"},
                std::string("\"04/21 14:07:00\",\"") + kPacket + "\",\"Unit Registration Response\"\r\n"},
        RowCase{"Patch",
                LogKind::Patches,
                {"04/21 14:07:00", "Added Patch:   100 (Fire) --> 200 (Police)"},
                "\"04/21 14:07:00\",\"Added Patch:   100 (Fire) --> 200 (Police)\"\r\n"},
        RowCase{"UnknownPacket",
                LogKind::UnknownPackets,
                {"04/21 14:07:00", "3A", kPacket, "Opcode 3A"},
                std::string("  ") + kPacket + "Opcode 3A at 04/21 14:07:00\r\n"},
        RowCase{"Dump",
                LogKind::Dump,
                {"04/21 14:07:00", kPacket, "RFSS Status Broadcast"},
                std::string("  ") + kPacket + " 04/21 14:07:00 RFSS Status Broadcast\r\n"},
        RowCase{"RawData", LogKind::RawData, {"P25 3A00001123010510017 0AB0C"}, "P25 3A00001123010510017 0AB0C\r\n"},
        // A double quote inside a quoted field is doubled so the field cannot end early.
        RowCase{"QuoteInAffiliation",
                LogKind::Affiliations,
                {"04/21 14:07:00", "Affiliate", "100", "The \"A\" Team", "1001", "Unit \"7\""},
                "\"04/21 14:07:00\",\"Affiliate\",100,\"The \"\"A\"\" Team\",1001,\"Unit \"\"7\"\"\"\r\n"},
        RowCase{"QuoteInPatch",
                LogKind::Patches,
                {"04/21 14:07:00", "Added Patch:   1 (\"X\") --> 2 ()"},
                "\"04/21 14:07:00\",\"Added Patch:   1 (\"\"X\"\") --> 2 ()\"\r\n"},
        // Text logs are not quoted and stay as they are.
        RowCase{"QuoteInRawData", LogKind::RawData, {"say \"hi\""}, "say \"hi\"\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogRowFormatDump, MatchesTheHeadlessDumpLine)
{
    setenv("TZ", "UTC", 1);
    tzset();
    BlockLogEntry e;
    e.time = 1240322820;
    e.block = Tsbk{0x3A, 0x00, 0x00, 0x11, 0x23, 0x01, 0x05, 0x10, 0x01, 0x70, 0xAB, 0x0C};
    e.text = "RFSS Status Broadcast";
    const LogCells cells{TimeStampText(e.time), PacketDataText(e.block), e.text};
    EXPECT_EQ(LogRowLine(LogKind::Dump, cells), DumpRowText(e) + "\r\n");
}

TEST(LogHeader, OnlyTheCommaSeparatedLogsHaveOne)
{
    EXPECT_EQ(LogHeaderLine(LogKind::Affiliations),
              "\"Timestamp\",\"Function\",\"TalkGroup\",\"RadioID\",\"Comments\"\r\n");
    EXPECT_EQ(LogHeaderLine(LogKind::Grants), "\"Timestamp\",\"Type\",\"Channel\",\"Frequency\",\"TalkGroup\","
                                              "\"TalkGroup Desc\",\"RadioID\",\"Radio Desc\"\r\n");
    EXPECT_EQ(LogHeaderLine(LogKind::Events), "\"Timestamp\",\"Packet Data\",\"Description\"\r\n");
    EXPECT_EQ(LogHeaderLine(LogKind::Patches), "\"Timestamp\",\"Description\"\r\n");
    for (LogKind kind : {LogKind::UnknownPackets, LogKind::Dump, LogKind::RawData})
        EXPECT_TRUE(LogHeaderLine(kind).empty());
}

SystemInfo Site(uint32_t system, uint32_t rfss, uint32_t site)
{
    SystemInfo info;
    info.systemId = system;
    info.rfssId = rfss;
    info.siteId = site;
    return info;
}

TEST(LogFilePath, NamesTheSystemFolderLogAndSite)
{
    setenv("TZ", "UTC", 1);
    tzset();
    const int64_t now = 1240322820;  // 21 Apr 2009 14:07:00 UTC
    const struct {
        SystemInfo info;
        LogKind kind;
        bool date;
        const char* path;
    } cases[] = {
        {Site(0x1A3, 1, 5), LogKind::Grants, false, "/p/System1A3/GrantLog-105.csv"},
        {Site(0x1A3, 12, 34), LogKind::Affiliations, false, "/p/System1A3/Affiliations-1234.csv"},
        {Site(0x00F, 1, 5), LogKind::Events, false, "/p/System00F/EventLog-105.csv"},
        {Site(0x1A3, 1, 5), LogKind::Patches, false, "/p/System1A3/PatchLog-105.csv"},
        {Site(0x1A3, 1, 5), LogKind::UnknownPackets, false, "/p/System1A3/UnknownPackets-105.txt"},
        {Site(0x1A3, 1, 5), LogKind::Dump, false, "/p/System1A3/Dump-105.txt"},
        {Site(0x1A3, 1, 5), LogKind::RawData, true, "/p/System1A3/20090421-PSRDump-105.txt"},
        {Site(0, 1, 5), LogKind::Grants, false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogFilePath("/p/", c.info, c.kind, c.date, now), c.path);
    // Just after midnight the date, and so the file, is a new one.
    EXPECT_EQ(LogFilePath("/p/", Site(0x1A3, 1, 5), LogKind::Grants, true, 1240358400 + 30),
              "/p/System1A3/20090422-GrantLog-105.csv");
}

class LogFileAppend : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string Path(const char* name = "GrantLog-105.csv") const { return folder.Folder() + "System1A3/" + name; }
};

TEST_F(LogFileAppend, WritesTheHeaderOnlyIntoANewOrEmptyFile)
{
    const std::string header = "\"H\"\r\n";
    ASSERT_TRUE(AppendToLogFile(Path(), header, "a\r\n"));  // the system folder is created
    ASSERT_TRUE(AppendToLogFile(Path(), header, "b\r\nc\r\n"));
    EXPECT_EQ(ScratchFolder::Read(Path()), "\"H\"\r\na\r\nb\r\nc\r\n");

    ScratchFolder::Write(Path("Empty.csv"), "");
    ASSERT_TRUE(AppendToLogFile(Path("Empty.csv"), header, "a\r\n"));
    EXPECT_EQ(ScratchFolder::Read(Path("Empty.csv")), "\"H\"\r\na\r\n");

    ASSERT_TRUE(AppendToLogFile(Path("Dump-105.txt"), "", "x\r\n"));
    EXPECT_EQ(ScratchFolder::Read(Path("Dump-105.txt")), "x\r\n");
}

TEST_F(LogFileAppend, FailsWithoutTouchingTheFileWhenItCannotBeWritten)
{
    EXPECT_FALSE(AppendToLogFile("", "h\r\n", "a\r\n"));
    // A file where the system folder should be: nothing can be opened.
    ScratchFolder::Write(folder.Path() / "SystemBAD", "not a folder");
    EXPECT_FALSE(AppendToLogFile(folder.Folder() + "SystemBAD/GrantLog-105.csv", "h\r\n", "a\r\n"));

    // A write cut short (file size limit standing in for a full disk) leaves no half row behind.
    ASSERT_TRUE(AppendToLogFile(Path(), "h\r\n", "a\r\n"));
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = AppendToLogFile(Path(), "h\r\n", "bbbbbbbbbbbb\r\n");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(ScratchFolder::Read(Path()), "h\r\na\r\n");
}

}  // namespace
