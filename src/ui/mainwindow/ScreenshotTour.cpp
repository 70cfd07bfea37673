#include "ui/mainwindow/ScreenshotTour.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <functional>

#include "ui/dialogs/About.h"
#include "ui/dialogs/Rroptions.h"
#include "ui/dialogs/Sysedit.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/mainwindow/WebRequestProgress.h"

namespace {

constexpr int kDefaultDelaySeconds = 6;
constexpr int kSettleRounds = 5;

// Opens a dialog the way its command does and grabs it once it is up, then cancels it.
void GrabOpenedDialog(const QString& file, const std::function<void()>& open)
{
    QTimer::singleShot(400, [file] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        modal->grab().save(file);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    open();
}

void SaveDialogGrabs(TForm1& window, const QDir& folder)
{
    const char* pages[] = {"decode", "scanner", "screen", "data", "web"};
    for (int page = 0; page < 5; ++page)
        GrabOpenedDialog(folder.filePath(QString("dialog-config-%1-%2.png").arg(page).arg(pages[page])),
                         [&window, page] { window.OpenConfigDialog(page); });
    GrabOpenedDialog(folder.filePath("dialog-talkgroup.png"), [&window] { window.EditTalkgroup("100"); });
    GrabOpenedDialog(folder.filePath("dialog-radio.png"), [&window] { window.EditRadio(""); });
    GrabOpenedDialog(folder.filePath("dialog-hold.png"), [&window] { window.OpenHoldDialog(); });
    GrabOpenedDialog(folder.filePath("dialog-range.png"), [&window] { window.AddFilterRange(); });
    GrabOpenedDialog(folder.filePath("dialog-usage.png"), [&window] { window.ShowUsageCodes(); });
    if (TRROptionsForm* options = window.Dialogs().rrOptions)
        options->grab().save(folder.filePath("dialog-import-options.png"));
}

void SaveTabGrabs(TForm1& window, const QString& folder)
{
    QDir().mkpath(folder);
    QTabWidget* pages = window.Pages();
    for (int i = 0; i < pages->count(); ++i) {
        if (!pages->isTabVisible(i))
            continue;
        pages->setCurrentIndex(i);
        // Let the refresh thread's view updates and the repaint go through first.
        for (int round = 0; round < kSettleRounds; ++round)
            QCoreApplication::processEvents();
        const QString name =
            QString("tab-%1-%2.png").arg(i, 2, 10, QLatin1Char('0')).arg(pages->widget(i)->objectName());
        window.grab().save(QDir(folder).filePath(name));
    }
    // The dialogs, drawn without being opened.
    if (TAboutForm* about = window.Dialogs().about) {
        about->SetVersionText(TAboutForm::VersionText());
        about->adjustSize();
        about->grab().save(QDir(folder).filePath("dialog-about.png"));
    }
    if (TForm2* system = window.Dialogs().systemDialog)
        system->grab().save(QDir(folder).filePath("dialog-system.png"));
    SaveDialogGrabs(window, QDir(folder));
}

// The whole screen, so windows of their own (a progress window) are on it too.
void SaveScreen(const QString& file)
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(file);
}

// "Check for Updates" waiting for its answer: the screen is grabbed while the request runs, then
// the request is cancelled.
void SaveUpdateCheckGrab(TForm1& window, const QString& folder)
{
    QDir().mkpath(folder);
    constexpr int kWhileWaitingMs = 1500;
    QTimer::singleShot(kWhileWaitingMs, &window, [&window, folder] {
        SaveScreen(QDir(folder).filePath("update-check-waiting.png"));
        if (auto* progress = window.findChild<QProgressDialog*>(WebRequestProgress::kObjectName))
            if (auto* cancel = progress->findChild<QPushButton*>())
                cancel->click();
    });
    window.CheckForUpdates();
}

}  // namespace

void StartScreenshotTourIfAsked(TForm1& window)
{
    const QString folder = qEnvironmentVariable("VARNEL_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    bool ok = false;
    int delay = qEnvironmentVariableIntValue("VARNEL_SCREENSHOT_DELAY", &ok);
    if (!ok || delay < 0)
        delay = kDefaultDelaySeconds;
    // VARNEL_SCREENSHOT_SCENE: "window" grabs the screen once, "update-check" an update check
    // that waits for its answer; otherwise every tab and dialog.
    const QString scene = qEnvironmentVariable("VARNEL_SCREENSHOT_SCENE");
    QTimer::singleShot(delay * 1000, &window, [&window, folder, scene] {
        if (scene == QLatin1String("window")) {
            QDir().mkpath(folder);
            SaveScreen(QDir(folder).filePath("window.png"));
        } else if (scene == QLatin1String("update-check")) {
            SaveUpdateCheckGrab(window, folder);
        } else {
            SaveTabGrabs(window, folder);
        }
        window.ExitProgram();
    });
}
