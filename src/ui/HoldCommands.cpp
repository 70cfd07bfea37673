// Holding a talkgroup from Button13 and the list pop-ups.
#include "ui/Mainwindow.h"

void TForm1::OpenHoldDialog()
{
    ShowPlaceholder("The hold dialog");
}
