// "Clear" of the log views with and without the confirmation question, the unknown packets'
// clear through the decoder, and the minute timer's auto-saves.
#include <QThread>

#include "LogWindowFixture.h"

namespace {

using namespace ui_names;
using uitest::LogWindowFixture;
using uitest::ModalAnswerer;
using uitest::PumpUntil;

class LogClearTest : public LogWindowFixture { };

TEST_F(LogClearTest, AsksFirstWhenConfirmationsAreOn)
{
    settings.confirmations = true;
    Open();
    Identify();
    AddRows(kListGrantTrace, {{kTime, "Control"}, {kTime, "Control"}});
    Click(kGrantsSave);
    {
        ModalAnswerer answer(QMessageBox::No);
        Click(kGrantsClear);
        ASSERT_EQ(answer.seen.size(), 1u);
        EXPECT_EQ(answer.seen[0].title, "Clear Screen");
        EXPECT_EQ(answer.seen[0].text, "Clear this screen?");
    }
    EXPECT_EQ(Model(kListGrantTrace).Count(), 2);
    EXPECT_TRUE(Find<QPushButton>(kGrantsClear)->isEnabled());
    {
        ModalAnswerer answer(QMessageBox::Yes);
        Click(kGrantsClear);
        EXPECT_EQ(answer.seen.size(), 1u);
    }
    EXPECT_EQ(Model(kListGrantTrace).Count(), 0);
}

TEST_F(LogClearTest, SavedRowsClearWithoutAskingWhenConfirmationsAreOffAndAlwaysForRawData)
{
    settings.confirmations = true;
    Open();
    Identify();
    ModalAnswerer answer(QMessageBox::No);
    AddRows(kListRawData, {{"line"}});
    Click(kRawSave);
    Click(kRawClear);
    EXPECT_EQ(Model(kListRawData).Count(), 0);

    window->AppSettings().confirmations = false;
    AddRows(kListPatchLog, {{kTime, "patch"}});
    AddRows(kListAffLog, {{kTime, "Affiliate"}});
    Click(kPatchLogSave);
    Click(kPatchLogClear);
    EXPECT_EQ(Model(kListPatchLog).Count(), 0);
    EXPECT_EQ(Model(kListAffLog).Count(), 1);  // only the log of the button
    EXPECT_TRUE(answer.seen.empty());
}

// Rows that never reached a file are the log's only copy: clearing them is always asked, with
// their number, confirmations on or off, the raw data included; "No" keeps every row.
TEST_F(LogClearTest, UnsavedRowsAreNeverClearedWithoutAsking)
{
    struct Case {
        const char* list;
        const char* save;
        const char* clear;
        bool confirmations;
    };
    const Case cases[] = {
        {kListPatchLog, kPatchLogSave, kPatchLogClear, false},
        {kListRawData, kRawSave, kRawClear, false},
        {kListGrantTrace, kGrantsSave, kGrantsClear, true},
    };
    Open();
    Identify();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        window->AppSettings().confirmations = c.confirmations;
        AddRows(c.list, {{kTime, "saved"}});
        Click(c.save);
        AddRows(c.list, {{kTime, "new"}, {kTime, "newer"}});
        {
            ModalAnswerer answer(QMessageBox::No);
            Click(c.clear);
            ASSERT_EQ(answer.seen.size(), 1u);
            EXPECT_EQ(answer.seen[0].title, "Clear Screen");
            EXPECT_EQ(answer.seen[0].text, "This screen holds 2 rows not saved to a file yet. Clear this screen?");
        }
        EXPECT_EQ(Model(c.list).Count(), 3);
        {
            ModalAnswerer answer(QMessageBox::Yes);
            Click(c.clear);
            EXPECT_EQ(answer.seen.size(), 1u);
        }
        EXPECT_EQ(Model(c.list).Count(), 0);
    }
}

TEST_F(LogClearTest, UnknownPacketsClearThroughTheDecoderOnceASystemIsKnown)
{
    Open();
    AddRows(kListUnknown, {{kTime, "3A", kPacket, "Opcode 3A"}});
    {
        ModalAnswerer answer(QMessageBox::Yes);  // the row was never saved
        Click(kUnknownClear);
        EXPECT_EQ(answer.seen.size(), 1u);
    }
    // The updater takes the decoder's clear marker only while a system is known.
    PumpUntil([] { return false; }, 150);
    EXPECT_EQ(Model(kListUnknown).Count(), 1);

    Identify();
    EXPECT_TRUE(PumpUntil([this] { return Model(kListUnknown).Count() == 0; }));
}

class LogAutoSaveTest : public LogWindowFixture {
protected:
    void SetUp() override
    {
        LogWindowFixture::SetUp();
        settings.autoSaveEnabled = true;
        for (ScreenSettings* s : {&settings.affiliations, &settings.patches, &settings.otherInfo, &settings.grants,
                                  &settings.unknowns, &settings.pktDump, &settings.psrDump})
            s->autoSave = true;  // every "Auto Save" box starts checked
    }
    void FillEveryLog()
    {
        AddRows(kListAffLog, {{kTime, "Affiliate"}});
        AddRows(kListGrantTrace, {{kTime, "Control"}});
        AddRows(kListOtherEvents, {{kTime, kPacket, "event"}});
        AddRows(kListPatchLog, {{kTime, "patch"}});
        AddRows(kListUnknown, {{kTime, "3A", kPacket, "unknown"}});
        AddRows(kListPacketDump, {{kTime, kPacket, "dump"}});
        AddRows(kListRawData, {{"line"}});
    }
    std::vector<std::string> Files(std::initializer_list<const char*> names)
    {
        std::vector<std::string> files;
        for (const char* name : names)
            files.push_back(LogFile(name));
        return files;
    }
};

TEST_F(LogAutoSaveTest, TheMinuteTimerSavesTheCheckedLogsInOrder)
{
    Open();
    Identify();
    FillEveryLog();
    window->Timer2Tick();
    EXPECT_EQ(saved, Files({"Dump-105.txt", "UnknownPackets-105.txt", "GrantLog-105.csv", "EventLog-105.csv",
                            "PatchLog-105.csv", "Affiliations-105.csv", "PSRDump-105.txt"}));

    // The next minute appends only what came since.
    saved.clear();
    AddRows(kListPatchLog, {{kTime, "later"}});
    window->Timer2Tick();
    EXPECT_EQ(saved, Files({"PatchLog-105.csv"}));
}

TEST_F(LogAutoSaveTest, UncheckedBoxesAndHiddenScreensAreSkipped)
{
    settings.grants.visible = false;   // box checked, screen off: not saved
    settings.patches.visible = false;  // the patch log has no such condition
    settings.psrDump.visible = false;
    Open();
    Identify();
    Find<QCheckBox>(kAffLogAutoSave)->setChecked(false);
    FillEveryLog();
    window->Timer2Tick();
    EXPECT_EQ(saved, Files({"Dump-105.txt", "UnknownPackets-105.txt", "EventLog-105.csv", "PatchLog-105.csv"}));
    EXPECT_EQ(UnsavedRows(kListAffLog), 1);
}

TEST_F(LogAutoSaveTest, NothingIsSavedWhileAutoSaveIsOff)
{
    settings.autoSaveEnabled = false;
    Open();
    Identify();
    FillEveryLog();
    EXPECT_TRUE(Find<QCheckBox>(kGrantsAutoSave)->isChecked());
    window->Timer2Tick();
    EXPECT_TRUE(saved.empty());
    EXPECT_FALSE(Exists(SystemFolder()));
}

}  // namespace
