// The web directory import and the update check of the main menu.
#include "ui/mainwindow/Mainwindow.h"
#include "ui/mainwindow/WebImport.h"
#include "web/UpdateCheck.h"

void TForm1::ImportFromWebDirectory()
{
    // The import pumps events between its requests: a second one must not start meanwhile.
    static bool running = false;
    if (running)
        return;
    running = true;
    struct Release {
        ~Release() { running = false; }
    } release;
    WebImport(*this).Run();
}

void TForm1::CheckForUpdates()
{
    UpdateCheck(this, settings_).Run();
}
