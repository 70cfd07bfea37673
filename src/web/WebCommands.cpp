// The web directory import and the update check of the main menu.
#include "ui/Mainwindow.h"

void TForm1::ImportFromWebDirectory()
{
    ShowPlaceholder("The import from the web directory");
}

void TForm1::CheckForUpdates()
{
    ShowPlaceholder("The update check");
}
