// The main menu: its items, the decode items' enabling, the "connect to a tower first" guard,
// the system name dialog, "&Save System Information" and the About box.
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <fstream>
#include <iterator>
#include <string>

#include "MainWindowFixture.h"
#include "Version.h"
#include "decoder/P25Class.h"
#include "ui/dialogs/About.h"
#include "ui/dialogs/NamesImportDialog.h"
#include "ui/mainwindow/MainWindowNames.h"

using namespace uitest;
using namespace ui_names;

namespace {

constexpr char kNoTower[] = "You must first connect to a tower before you can set the system information.";

QStringList Items(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

}  // namespace

class MainMenuTest : public MainWindowFixture {
protected:
    void Identify()
    {
        // An RFSS status broadcast would do the same: system 0x123, RFSS 1, site 5.
        window->Decoder()->SetSiteIdentity(0x123, 1, 0x70, 5);
    }
};

TEST_F(MainMenuTest, MenusCarryEveryItemInOrder)
{
    MakeWindow();
    QStringList titles;
    for (QAction* a : window->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&System", "&Decode", "&Help"}));
    EXPECT_EQ(Items(Find<QMenu>(kMenuFile)), (QStringList{"&Save System Information", "E&xit"}));
    EXPECT_EQ(Items(Find<QMenu>(kMenuEdit)),
              (QStringList{"&Decode Configuration", "Scanner &Control", "&Screen Settings", "Data &Options",
                           "&RR Web Service/Proxy Settings", "Talkgroup and Radio &Lists..."}));
    EXPECT_EQ(Items(Find<QMenu>(kMenuSystem)),
              (QStringList{"Edit &System Information", "Edit &TalkGroup Information", "Edit &Radio ID Information",
                           "&Import System Information from Radio Reference", "Import TalkGroup &Names from CSV...",
                           "Import Radio &ID Names from CSV..."}));
    EXPECT_EQ(Items(Find<QMenu>(kMenuDecode)), (QStringList{"&Read Data From Radio", "&Stop Reading Data From Radio"}));
    EXPECT_EQ(Items(Find<QMenu>(kMenuHelp)), (QStringList{"Check for &Updates", "&About..."}));
    // Idle: only starting is offered.
    EXPECT_TRUE(Action(kActReadData)->isEnabled());
    EXPECT_FALSE(Action(kActStopData)->isEnabled());
}

TEST_F(MainMenuTest, EditingCommandsNeedAKnownSystem)
{
    MakeWindow();
    for (const char* item :
         {kActEditSystem, kActEditTalkgroup, kActEditRadio, kActImportTalkgroupNames, kActImportRadioNames}) {
        SCOPED_TRACE(item);
        ModalAnswerer answerer;
        Action(item)->trigger();
        ASSERT_EQ(answerer.seen.size(), 1u);
        EXPECT_EQ(answerer.seen[0].title, "Error");
        EXPECT_EQ(answerer.seen[0].text, kNoTower);
    }
}

TEST_F(MainMenuTest, SystemDialogShowsAndAppliesTheNames)
{
    MakeWindow();
    Identify();
    window->Decoder()->SetSystemName("County");
    window->Decoder()->SetSiteName("North");

    ModalAnswerer answerer;
    QString shownSystem, shownTower;
    answerer.fill = [&](QDialog& dialog) {
        auto* system = dialog.findChild<QLineEdit*>("Edit1");
        auto* tower = dialog.findChild<QLineEdit*>("Edit2");
        shownSystem = system->text();
        shownTower = tower->text();
        EXPECT_EQ(system->maxLength(), 80);
        system->setText("County Trunk");
        tower->setText("North Hill");
    };
    Action(kActEditSystem)->trigger();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "System Information");
    EXPECT_EQ(shownSystem, "County");
    EXPECT_EQ(shownTower, "North");
    SystemInfo info;
    window->Decoder()->CopySystemInfo(info);
    EXPECT_EQ(info.systemName, "County Trunk");
    EXPECT_EQ(info.siteName, "North Hill");

    // Cancel gives nothing back.
    answerer.dialogResult = QDialog::Rejected;
    answerer.fill = [](QDialog& dialog) { dialog.findChild<QLineEdit*>("Edit1")->setText("Other"); };
    Action(kActEditSystem)->trigger();
    window->Decoder()->CopySystemInfo(info);
    EXPECT_EQ(info.systemName, "County Trunk");
}

TEST_F(MainMenuTest, SaveSystemInformationWritesTheFilesAndMarksTheSave)
{
    MakeWindow();
    Identify();
    Action(kActSaveSystem)->trigger();
    EXPECT_TRUE(QDir(dir.filePath("System123")).exists("System.ini"));
    EXPECT_EQ(window->State().LastSystemSave.load(), clock.Now() - 1);
}

// A name list chosen, previewed and accepted goes into the decoded system and onto disk at once.
TEST_F(MainMenuTest, NamesFromACsvListGoIntoTheDecodedSystemAndItsFiles)
{
    MakeWindow();
    Identify();
    window->Decoder()->Talkgroups().SetTalkgroup(200, "Own Name", 50, 0);
    const QString list = dir.filePath("names.csv");
    std::ofstream(list.toStdString(), std::ios::binary)
        << "Decimal,Alpha Tag\r\n100,Fire Dispatch\r\n200,Police\r\nabc,Bad\r\n";

    ModalAnswerer answerer;
    QString counts;
    answerer.fill = [&](QDialog& dialog) {
        if (auto* chooser = qobject_cast<QFileDialog*>(&dialog))
            chooser->selectFile(list);
        else if (auto* preview = qobject_cast<NamesImportDialog*>(&dialog))
            counts = preview->CountsLabel()->text();
    };
    Action(kActImportTalkgroupNames)->trigger();
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_EQ(answerer.seen[0].title, "Choose a TalkGroup Name List");
    EXPECT_EQ(answerer.seen[1].title, "Import TalkGroup Names");
    EXPECT_EQ(counts, "1 new, 0 changed, 1 unchanged (1 keep their own names), 1 rejected");
    EXPECT_EQ(window->Decoder()->Talkgroups().GetTalkgroupText(100), "Fire Dispatch");
    EXPECT_EQ(window->Decoder()->Talkgroups().GetTalkgroupText(200), "Own Name");
    std::ifstream saved(dir.filePath("System123/TalkGroups.txt").toStdString(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(saved), {}};
    EXPECT_NE(text.find("\r\n100,50,\"Fire Dispatch\","), std::string::npos) << text;
}

TEST_F(MainMenuTest, AboutBoxShowsTheVersionAndTheDataFolder)
{
    MakeWindow();
    // "0.1.0.1" reads "Version: 0.1.0 Build 1".
    QString expected = "Version: " VARNEL_VERSION;
    expected.replace(expected.lastIndexOf('.'), 1, " Build ");
    QString shown, folder;
    ModalAnswerer answerer;
    answerer.fill = [&](QDialog& dialog) {
        shown = dialog.findChild<QLabel*>(kAboutVersion)->text();
        folder = dialog.findChild<QLabel*>(TAboutForm::kDataFolderLabel)->text();
    };
    Action(kActAbout)->trigger();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(folder, "Data folder: " + QString::fromStdString(window->ProgramFolder()));
}

// Each of these commands opens one modal window: its dialog, or the import's "No Decode in Progress".
TEST_F(MainMenuTest, DialogCommandsOpenOneModalWindowEach)
{
    MakeWindow();
    // Check for Updates is left out: it would ask the program's web site (test_web covers it).
    for (const char* item : {kActDecodeConfig, kActWebSettings, kActImport}) {
        ModalAnswerer answerer;
        Action(item)->trigger();
        EXPECT_EQ(answerer.seen.size(), 1u) << item;
    }
}
