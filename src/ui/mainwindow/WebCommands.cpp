// The web directory import and the update check of the main menu. Both wait for their requests
// with the window usable; one web job runs at a time.
#include <QAction>

#include "ui/mainwindow/Mainwindow.h"
#include "ui/mainwindow/WebImport.h"
#include "ui/mainwindow/WebRequestProgress.h"
#include "web/RequestCancel.h"
#include "web/UpdateCheck.h"

void TForm1::ImportFromWebDirectory()
{
    if (WebJobRunning())
        return;
    WebImport(*this).Run();
}

void TForm1::CheckForUpdates()
{
    if (WebJobRunning())
        return;
    WebRequestProgress progress(*this, "Update Check", "Asking the web site for the current version...");
    UpdateCheck check(this, settings_);
    check.SetCancel(&progress.Cancel());
    // The verdict and the errors are shown once the request is over.
    check.SetRequestEnded([&progress] { progress.Finish(); });
    check.Run();
}

void TForm1::BeginWebJob(RequestCancel* cancel)
{
    webCancel_ = cancel;
    for (QAction* action : {importAction_, updateAction_})
        if (action)
            action->setEnabled(false);
}

void TForm1::EndWebJob()
{
    webCancel_ = nullptr;
    for (QAction* action : {importAction_, updateAction_})
        if (action)
            action->setEnabled(true);
}
