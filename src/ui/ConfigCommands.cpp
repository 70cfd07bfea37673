// The configuration dialog opened from the "&Edit" menu.
#include "ui/Mainwindow.h"

void TForm1::OpenConfigDialog(int page)
{
    (void)page;
    ShowPlaceholder("The configuration dialog");
}
