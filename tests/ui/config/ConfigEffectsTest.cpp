// What "Ok" in the configuration dialog changes in the running window without a restart: list
// fonts, tabs, the decoder's switches, the decode bar and layout, and the backup schedule.
#include <QDir>
#include <QProgressBar>
#include <QTreeView>

#include <filesystem>
#include <fstream>

#include "ConfigFixture.h"
#include "decoder/P25Class.h"
#include "p25/BlockIntegrity.h"
#include "ui/mainwindow/BackupScheduler.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListModel.h"

namespace {

using namespace ui_names;
using uitest::ConfigFixture;
using uitest::PumpUntil;

class ConfigEffectsTest : public ConfigFixture {
protected:
    QFont ListFontOf(const char* list) { return Find<QTreeView>(list)->font(); }
    bool TabShown(const char* page)
    {
        QTabWidget* pages = window->Pages();
        return pages->isTabVisible(pages->indexOf(pages->findChild<QWidget*>(page)));
    }
    int Rows(const char* list) { return FindListModel(window.get(), list)->Count(); }
    // A block with its CRC-16 decoded on the main thread (no session needed).
    void Decode(std::initializer_list<uint8_t> bytes0to9)
    {
        Tsbk block{};
        std::copy(bytes0to9.begin(), bytes0to9.end(), block.begin());
        const uint16_t crc = Crc16Ccitt(0, block.data(), 10);
        block[10] = static_cast<uint8_t>(crc >> 8);
        block[11] = static_cast<uint8_t>(crc & 0xFF);
        window->Decoder()->DecodeTsbk(block);
    }
};

TEST_F(ConfigEffectsTest, ScreenFontsAndTheGlobalFontReachTheLists)
{
    settings.useGlobalFont = false;
    settings.grants.font = "Courier";
    settings.grants.size = 11;
    settings.grants.bold = true;
    Start();
    // Each screen's own font is in use from the start, and the dialog shows it.
    EXPECT_EQ(ListFontOf(kListGrantTrace).family(), "Courier");
    ASSERT_TRUE(Open(TcfgForm::kScreenPage, [&](TcfgForm&) {
        EXPECT_EQ(Control<QComboBox>("FontNameGrantLog")->currentText(), "Courier");
        EXPECT_EQ(Control<QSpinBox>("FontSizeGrantLog")->value(), 11);
        EXPECT_TRUE(Control<QCheckBox>("FontBoldGrantLog")->isChecked());
        Control<QSpinBox>("FontSizePatches")->setValue(12);
        Control<QCheckBox>("FontBoldPatches")->setChecked(true);
    }));
    for (const char* list : {kListPatchList, kListPatchLog}) {  // both lists of the screen
        EXPECT_EQ(ListFontOf(list).pointSize(), 12) << list;
        EXPECT_TRUE(ListFontOf(list).bold()) << list;
    }
    EXPECT_EQ(ListFontOf(kListGrantTrace).pointSize(), 11);
    EXPECT_EQ(Reloaded().patches.size, 12);

    ASSERT_TRUE(Open(TcfgForm::kScreenPage, [&](TcfgForm&) {
        Control<QCheckBox>("CheckBox21")->setChecked(true);
        Control<QSpinBox>("UpDown9")->setValue(7);
    }));
    for (const char* list : {kListActivity, kListGrantTrace, kListPatchLog, kListRawData, kListNeighbors}) {
        EXPECT_EQ(ListFontOf(list).pointSize(), 7) << list;
        EXPECT_FALSE(ListFontOf(list).bold()) << list;
    }
    EXPECT_TRUE(Reloaded().useGlobalFont);
}

TEST_F(ConfigEffectsTest, VisibleSettingsShowAndHideTheTabs)
{
    settings.grants.visible = false;
    settings.affiliations.visible = true;
    Start();
    ASSERT_FALSE(TabShown(kTabGrants));
    ASSERT_TRUE(Open(TcfgForm::kScreenPage, [&](TcfgForm&) {
        Control<QCheckBox>("CheckBox1")->setChecked(true);
        Control<QCheckBox>("CheckBox27")->setChecked(false);
    }));
    EXPECT_TRUE(TabShown(kTabGrants));
    EXPECT_FALSE(TabShown(kTabAffLog));
    EXPECT_FALSE(TabShown(kTabAffList));
    EXPECT_TRUE(window->Decoder()->Switches().grantLog);
}

TEST_F(ConfigEffectsTest, PacketDumpSwitchedOffStopsNewDumpRows)
{
    settings.pktDump.visible = true;
    Start();
    window->Decoder()->SetSiteIdentity(0x123, 1, 0x70, 5);
    const auto grant = [this](uint8_t tg) { Decode({0x00, 0x00, 0x00, 0x00, 0x10, 0x00, tg, 0x00, 0x00, 0x01}); };
    grant(1);
    ASSERT_TRUE(PumpUntil([&] { return Rows(kListPacketDump) > 0; }));

    ASSERT_TRUE(Open(TcfgForm::kScreenPage, [&](TcfgForm&) { Control<QCheckBox>("CheckBox23")->setChecked(false); }));
    EXPECT_FALSE(window->Decoder()->Switches().packetDump);
    EXPECT_FALSE(TabShown(kTabPacketDump));
    const int rows = Rows(kListPacketDump);
    grant(2);
    grant(3);
    PumpUntil([] { return false; }, 300);  // several refresh passes
    EXPECT_EQ(Rows(kListPacketDump), rows);
}

TEST_F(ConfigEffectsTest, HitCountsDecodeBarAndLayoutFollowAtOnce)
{
    Start();
    ASSERT_FALSE(Find<QWidget>(kRecentGrantsFrame)->isVisibleTo(window.get()));
    ASSERT_TRUE(Open(TcfgForm::kDecodePage, [&](TcfgForm&) {
        Control<QComboBox>("ComboBox20")->setCurrentText("Red");
        // The example bar takes the colour at once.
        EXPECT_EQ(Control<QProgressBar>("ProgressBar1")->palette().color(QPalette::Highlight), QColor(Qt::red));
        Control<QCheckBox>("CheckBox45")->setChecked(true);
        Control<QCheckBox>("CheckBox34")->setChecked(true);
        Control<QCheckBox>("CheckBox36")->setChecked(true);
    }));
    EXPECT_EQ(Find<QProgressBar>(kProgressBar)->palette().color(QPalette::Highlight), QColor(Qt::red));
    EXPECT_TRUE(window->Decoder()->Switches().saveHits);
    EXPECT_TRUE(Find<QWidget>(kRecentGrantsFrame)->isVisibleTo(window.get()));
    EXPECT_TRUE(Find<QWidget>(kStatusLine)->isVisibleTo(window.get()));
    EXPECT_FALSE(Find<QWidget>(kPanelSystemInfo)->isVisibleTo(window.get()));
}

TEST_F(ConfigEffectsTest, DefaultBackgroundGoesToTheActivityList)
{
    Start();
    Form()->SetColourChooser([](QColor& c) {
        c = QColor(0x20, 0x40, 0x60);
        return true;
    });
    ASSERT_TRUE(Open(TcfgForm::kScreenPage, [&](TcfgForm&) { Control<QPushButton>("Button4")->click(); }));
    EXPECT_EQ(Find<QTreeView>(kListActivity)->palette().color(QPalette::Base), QColor(0x20, 0x40, 0x60));
    EXPECT_EQ(window->Decoder()->Context().defaultBackColor.load(), 0x604020u);
}

TEST_F(ConfigEffectsTest, EnabledBackupsRunOnTheirScheduleAndDisabledOnesStop)
{
    namespace fs = std::filesystem;
    const fs::path system = fs::path(Folder()) / "System123";
    fs::create_directory(system);
    std::ofstream(system / "TalkGroups.txt") << "1,Fire\r\n";
    const fs::path target = fs::path(Folder()) / "bak";
    settings.backupEnabled = false;
    Start();
    QTimer* timer = Find<QTimer>(kBackupTimer);
    window->Backups().Check();  // the first check after start: backups are off
    ASSERT_FALSE(timer->isActive());

    ASSERT_TRUE(Open(TcfgForm::kDataPage, [&](TcfgForm&) {
        Control<QCheckBox>("CheckBox42")->setChecked(true);
        Control<QLineEdit>("Edit26")->setText("1");
        Control<QLineEdit>("Edit27")->setText(QString::fromStdString(target.string()));
    }));
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), BackupScheduler::kDialogIntervalMs);
    ASSERT_TRUE(PumpUntil([&] { return fs::exists(target / "System123" / "TalkGroups.txt"); }));
    ASSERT_TRUE(PumpUntil([&] { return !window->Backups().Busy(); }));
    EXPECT_EQ(Reloaded().lastBackup, clock.Now());
    // The next check comes CheckTime minutes later.
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 60 * 60 * 1000);

    ASSERT_TRUE(Open(TcfgForm::kDataPage, [&](TcfgForm&) { Control<QCheckBox>("CheckBox42")->setChecked(false); }));
    EXPECT_FALSE(timer->isActive());
}

}  // namespace
