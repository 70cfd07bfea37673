// The main menu: its items, the decode items' enabling, the "connect to a tower first" guard,
// the system name dialog, "&Save System Information" and the About box.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "MainWindowFixture.h"
#include "Version.h"
#include "decoder/P25Class.h"
#include "ui/dialogs/About.h"
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
                           "&Import System Information from Radio Reference"}));
    EXPECT_EQ(Items(Find<QMenu>(kMenuDecode)), (QStringList{"&Read Data From Radio", "&Stop Reading Data From Radio"}));
    EXPECT_EQ(Items(Find<QMenu>(kMenuHelp)), (QStringList{"Check for &Updates", "&About..."}));
    // Idle: only starting is offered.
    EXPECT_TRUE(Action(kActReadData)->isEnabled());
    EXPECT_FALSE(Action(kActStopData)->isEnabled());
}

TEST_F(MainMenuTest, EditingCommandsNeedAKnownSystem)
{
    MakeWindow();
    for (const char* item : {kActEditSystem, kActEditTalkgroup, kActEditRadio}) {
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
