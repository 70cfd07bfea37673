#include "ui/ScreenshotTour.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include "ui/About.h"
#include "ui/Mainwindow.h"
#include "ui/Sysedit.h"

namespace {

constexpr int kDefaultDelaySeconds = 6;
constexpr int kSettleRounds = 5;

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
    QTimer::singleShot(delay * 1000, &window, [&window, folder] {
        SaveTabGrabs(window, folder);
        window.ExitProgram();
    });
}
