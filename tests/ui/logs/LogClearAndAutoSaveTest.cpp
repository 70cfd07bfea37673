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

TEST_F(LogClearTest, ClearsWithoutAskingWhenConfirmationsAreOffAndAlwaysForRawData)
{
    settings.confirmations = true;
    Open();
    Identify();
    ModalAnswerer answer(QMessageBox::No);
    AddRows(kListRawData, {{"line"}});
    Click(kRawClear);
    EXPECT_EQ(Model(kListRawData).Count(), 0);

    window->AppSettings().confirmations = false;
    AddRows(kListPatchLog, {{kTime, "patch"}});
    AddRows(kListAffLog, {{kTime, "Affiliate"}});
    Click(kPatchLogClear);
    EXPECT_EQ(Model(kListPatchLog).Count(), 0);
    EXPECT_EQ(Model(kListAffLog).Count(), 1);  // only the log of the button
    EXPECT_TRUE(answer.seen.empty());
}

TEST_F(LogClearTest, UnknownPacketsClearThroughTheDecoderOnceASystemIsKnown)
{
    Open();
    AddRows(kListUnknown, {{kTime, "3A", kPacket, "Opcode 3A"}});
    Click(kUnknownClear);
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
