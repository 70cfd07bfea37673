// The main menu of the main window and the commands it carries.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>

#include "decoder/P25Class.h"
#include "persist/SystemStore.h"
#include "session/DecodeSession.h"
#include "ui/dialogs/About.h"
#include "ui/dialogs/Sysedit.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/Mainwindow.h"

using namespace ui_names;

namespace {

constexpr char kNoTowerText[] = "You must first connect to a tower before you can set the system information.";
constexpr char kNoTowerTitle[] = "Error";
// "&Save System Information" marks the save a second early so the minute timer's next check
// does not find it due at once.
constexpr int64_t kRequestedSaveBackdate = 1;

QMenu* Menu(QMenuBar* bar, const char* name, const QString& title)
{
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(name);
    return menu;
}

QAction* Item(QMenu* menu, const char* name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

}  // namespace

void TForm1::BuildMenu()
{
    QMenuBar* bar = menuBar();
    QMenu* file = Menu(bar, kMenuFile, "&File");
    connect(Item(file, kActSaveSystem, "&Save System Information"), &QAction::triggered, this,
            &TForm1::SaveSystemInformation);
    file->addSeparator();
    connect(Item(file, kActExit, "E&xit"), &QAction::triggered, this, &TForm1::ExitProgram);

    // The configuration dialog opens on the page of the item chosen.
    QMenu* edit = Menu(bar, kMenuEdit, "&Edit");
    const std::pair<const char*, const char*> pages[] = {{kActDecodeConfig, "&Decode Configuration"},
                                                         {kActScannerControl, "Scanner &Control"},
                                                         {kActScreenSettings, "&Screen Settings"},
                                                         {kActDataOptions, "Data &Options"},
                                                         {kActWebSettings, "&RR Web Service/Proxy Settings"}};
    int page = 0;
    for (const auto& [name, text] : pages) {
        connect(Item(edit, name, text), &QAction::triggered, this, [this, page] { OpenConfigDialog(page); });
        ++page;
    }
    edit->addSeparator();
    connect(Item(edit, kActNamesEditor, "Talkgroup and Radio &Lists..."), &QAction::triggered, this,
            &TForm1::OpenNamesEditor);

    QMenu* system = Menu(bar, kMenuSystem, "&System");
    connect(Item(system, kActEditSystem, "Edit &System Information"), &QAction::triggered, this,
            &TForm1::EditSystemInformation);
    connect(Item(system, kActEditTalkgroup, "Edit &TalkGroup Information"), &QAction::triggered, this, [this] {
        if (RequireKnownSystem())
            EditTalkgroup(QString());
    });
    connect(Item(system, kActEditRadio, "Edit &Radio ID Information"), &QAction::triggered, this, [this] {
        if (RequireKnownSystem())
            EditRadio(QString());
    });
    system->addSeparator();
    importAction_ = Item(system, kActImport, "&Import System Information from Radio Reference");
    connect(importAction_, &QAction::triggered, this, &TForm1::ImportFromWebDirectory);
    connect(Item(system, kActImportTalkgroupNames, "Import TalkGroup &Names from CSV..."), &QAction::triggered, this,
            [this] {
                if (RequireKnownSystem())
                    ImportNamesFromCsv(NamesImport::Kind::Talkgroups);
            });
    connect(Item(system, kActImportRadioNames, "Import Radio &ID Names from CSV..."), &QAction::triggered, this,
            [this] {
                if (RequireKnownSystem())
                    ImportNamesFromCsv(NamesImport::Kind::Radios);
            });

    QMenu* decode = Menu(bar, kMenuDecode, "&Decode");
    readAction_ = Item(decode, kActReadData, "&Read Data From Radio");
    stopAction_ = Item(decode, kActStopData, "&Stop Reading Data From Radio");
    connect(readAction_, &QAction::triggered, this, [this] {
        if (!state_.DecodeRunning)
            ToggleSession();
    });
    connect(stopAction_, &QAction::triggered, this, [this] {
        if (state_.DecodeRunning)
            ToggleSession();
    });
    SetDecodeActions(false);

    QMenu* help = Menu(bar, kMenuHelp, "&Help");
    updateAction_ = Item(help, kActCheckUpdates, "Check for &Updates");
    connect(updateAction_, &QAction::triggered, this, &TForm1::CheckForUpdates);
    connect(Item(help, kActAbout, "&About..."), &QAction::triggered, this, &TForm1::ShowAbout);
}

void TForm1::SetDecodeActions(bool running)
{
    readAction_->setEnabled(!running);
    stopAction_->setEnabled(running);
}

bool TForm1::RequireKnownSystem()
{
    if (Decoder() && Decoder()->GetSystemId() != 0)
        return true;
    QMessageBox::critical(this, kNoTowerTitle, kNoTowerText);
    return false;
}

void TForm1::SaveSystemInformation()
{
    if (!Decoder())
        return;
    session_->SaveSystem();
    state_.LastSystemSave = WallClock().Now() - kRequestedSaveBackdate;
}

void TForm1::EditSystemInformation()
{
    if (!RequireKnownSystem() || !dialogs_.systemDialog)
        return;
    SystemInfo info;
    Decoder()->CopySystemInfo(info);
    TForm2& dialog = *dialogs_.systemDialog;
    dialog.SystemName()->setText(QString::fromStdString(info.systemName));
    dialog.TowerName()->setText(QString::fromStdString(info.siteName));
    if (dialog.exec() != QDialog::Accepted || !Decoder())
        return;
    // The names reach the per-system files at their next save.
    Decoder()->SetSystemName(dialog.SystemName()->text().toStdString());
    Decoder()->SetSiteName(dialog.TowerName()->text().toStdString());
}

void TForm1::ShowAbout()
{
    if (!dialogs_.about)
        return;
    dialogs_.about->SetVersionText(TAboutForm::VersionText());
    dialogs_.about->SetDataFolder(QString::fromStdString(ProgramFolder()));
    dialogs_.about->exec();
}

void TForm1::ExitProgram()
{
    if (toggling_) {
        deferredEnd_ = DeferredEnd::Exit;
        return;
    }
    // The close sequence runs before the event loop ends, so threads end in order and the
    // settings are saved.
    state_.ShuttingDown = true;
    close();
    RunCloseSequence();
    QApplication::quit();
}
