// "Save" of the log views: the rows not yet saved go to the log's file in the system folder and
// are marked; nothing is written before a system is known or when the file cannot be written.
#include "LogWindowFixture.h"

namespace {

using namespace ui_names;
using uitest::LogWindowFixture;

struct SavedLog {
    const char* view;
    const char* save;
    QStringList row;
    const char* file;
    std::string text;
};

class LogSaveTest : public LogWindowFixture { };

TEST_F(LogSaveTest, EverySaveButtonWritesItsViewToItsFile)
{
    const std::string packet = kPacket;
    const std::vector<SavedLog> logs = {
        {kListAffLog,
         kAffLogSave,
         {kTime, "Affiliate", "  100", "Fire", "1001", "Engine 1"},
         "Affiliations-105.csv",
         "\"Timestamp\",\"Function\",\"TalkGroup\",\"RadioID\",\"Comments\"\r\n"
         "\"04/21 14:07:00\",\"Affiliate\",100,\"Fire\",1001,\"Engine 1\"\r\n"},
        {kListGrantTrace,
         kGrantsSave,
         {kTime, "Group (Enc)", "01-0123", "851.01250", "  100", "Fire", "1001", ""},
         "GrantLog-105.csv",
         "\"Timestamp\",\"Type\",\"Channel\",\"Frequency\",\"TalkGroup\",\"TalkGroup Desc\",\"RadioID\",\"Radio "
         "Desc\"\r\n"
         "\"04/21 14:07:00\",\"Group (Enc)\",\"01-0123\",\"851.01250\",\"  100\",\"Fire\",\"1001\",\"\"\r\n"},
        {kListOtherEvents,
         kEventsSave,
         {kTime, kPacket, "Unit Registration Response"},
         "EventLog-105.csv",
         "\"Timestamp\",\"Packet Data\",\"Description\"\r\n\"04/21 14:07:00\",\"" + packet +
             "\",\"Unit Registration Response\"\r\n"},
        {kListPatchLog,
         kPatchLogSave,
         {kTime, "Removed Patch: 1 (A) --> 2 (B)"},
         "PatchLog-105.csv",
         "\"Timestamp\",\"Description\"\r\n\"04/21 14:07:00\",\"Removed Patch: 1 (A) --> 2 (B)\"\r\n"},
        {kListUnknown,
         kUnknownSave,
         {kTime, "3A", kPacket, "Opcode 3A"},
         "UnknownPackets-105.txt",
         "  " + packet + "Opcode 3A at 04/21 14:07:00\r\n"},
        {kListPacketDump,
         kDumpSave,
         {kTime, kPacket, "RFSS Status Broadcast"},
         "Dump-105.txt",
         "  " + packet + " 04/21 14:07:00 RFSS Status Broadcast\r\n"},
        {kListRawData,
         kRawSave,
         {"P25 3A0000112301051001 70AB0C"},
         "PSRDump-105.txt",
         "P25 3A0000112301051001 70AB0C\r\n"},
    };
    Open();
    Identify();
    for (const SavedLog& log : logs)
        AddRows(log.view, {log.row});
    for (const SavedLog& log : logs) {
        SCOPED_TRACE(log.file);
        Click(log.save);
        EXPECT_EQ(Read(LogFile(log.file)), log.text);
        EXPECT_EQ(UnsavedRows(log.view), 0);
        EXPECT_TRUE(Find<QPushButton>(log.save)->isEnabled());
    }
}

TEST_F(LogSaveTest, ASecondSaveAppendsOnlyNewRowsWithoutASecondHeader)
{
    Open();
    Identify();
    AddRows(kListPatchLog, {{kTime, "first"}, {kTime, "second"}});
    Click(kPatchLogSave);
    // The button says where the rows went.
    EXPECT_EQ(Note(), QString::fromStdString("2 rows saved to " + LogFile("PatchLog-105.csv")));
    const std::string once = Read(LogFile("PatchLog-105.csv"));
    Click(kPatchLogSave);  // nothing new: no file is opened
    EXPECT_EQ(Read(LogFile("PatchLog-105.csv")), once);
    EXPECT_EQ(saved.size(), 1u);
    EXPECT_EQ(Note(), "Nothing to save: every row is in the file already");

    AddRows(kListPatchLog, {{kTime, "third"}});
    Click(kPatchLogSave);
    EXPECT_EQ(Read(LogFile("PatchLog-105.csv")),
              "\"Timestamp\",\"Description\"\r\n\"04/21 14:07:00\",\"first\"\r\n\"04/21 14:07:00\",\"second\"\r\n"
              "\"04/21 14:07:00\",\"third\"\r\n");
}

TEST_F(LogSaveTest, RowsWaitUnsavedUntilASystemIsKnown)
{
    Open();
    AddRows(kListGrantTrace, {{kTime, "Control"}});
    Click(kGrantsSave);
    EXPECT_FALSE(Exists(SystemFolder()));
    EXPECT_EQ(UnsavedRows(kListGrantTrace), 1);
    EXPECT_EQ(Note(), "Not saved yet: no system decoded, the rows stay unsaved");
    EXPECT_TRUE(Find<QPushButton>(kGrantsSave)->isEnabled());

    // Raw lines do not depend on the decoder's reset, so they outlive the identification.
    AddRows(kListRawData, {{"line"}});
    Identify();
    Click(kRawSave);
    EXPECT_EQ(Read(LogFile("PSRDump-105.txt")), "line\r\n");
    EXPECT_EQ(Note(), QString::fromStdString("1 row saved to " + LogFile("PSRDump-105.txt")));
}

TEST_F(LogSaveTest, RowsStayUnsavedWhenTheFileCannotBeWritten)
{
    Open();
    Identify();
    // A file where the system folder belongs: the log file cannot be opened.
    ScratchFolder::Write(Folder() + "System1A3", "");
    AddRows(kListPatchLog, {{kTime, "kept"}});
    Click(kPatchLogSave);
    EXPECT_EQ(UnsavedRows(kListPatchLog), 1);
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(Note(), QString::fromStdString("Not saved: " + LogFile("PatchLog-105.csv") + " could not be written"));

    std::filesystem::remove(Folder() + "System1A3");
    Click(kPatchLogSave);
    EXPECT_EQ(Read(LogFile("PatchLog-105.csv")), "\"Timestamp\",\"Description\"\r\n\"04/21 14:07:00\",\"kept\"\r\n");
}

TEST_F(LogSaveTest, IncludeDatePutsTheDayIntoTheFileName)
{
    settings.includeDate = true;
    Open();
    Identify();
    AddRows(kListPacketDump, {{kTime, kPacket, "one"}});
    Click(kDumpSave);
    clock.Advance(86400);
    AddRows(kListPacketDump, {{kTime, kPacket, "two"}});
    Click(kDumpSave);
    EXPECT_EQ(saved, (std::vector<std::string>{LogFile("20090421-Dump-105.txt"), LogFile("20090422-Dump-105.txt")}));
}

TEST_F(LogSaveTest, RawDataIsNotSavedWhileItsScreenIsOff)
{
    settings.psrDump.visible = false;
    Open();
    Identify();
    AddRows(kListRawData, {{"line"}});
    Click(kRawSave);
    EXPECT_EQ(UnsavedRows(kListRawData), 1);
    EXPECT_FALSE(Exists(LogFile("PSRDump-105.txt")));
}

TEST_F(LogSaveTest, QuotesInACellDoNotBreakTheCsvLine)
{
    Open();
    Identify();
    AddRows(kListAffLog, {{kTime, "Affiliate", "", "", "1001", "Unit \"7\", north"}});
    Click(kAffLogSave);
    EXPECT_EQ(Read(LogFile("Affiliations-105.csv")),
              "\"Timestamp\",\"Function\",\"TalkGroup\",\"RadioID\",\"Comments\"\r\n"
              "\"04/21 14:07:00\",\"Affiliate\",0,\"\",1001,\"Unit \"\"7\"\", north\"\r\n");
}

}  // namespace
