// The editing dialogs opened from the menu and the lists.
#include <QColor>

#include "ui/Mainwindow.h"

void TForm1::EditTalkgroup(const QString& number)
{
    (void)number;
    ShowPlaceholder("The talkgroup dialog");
}

void TForm1::EditRadio(const QString& number)
{
    (void)number;
    ShowPlaceholder("The radio ID dialog");
}

void TForm1::AddFilterRange()
{
    ShowPlaceholder("The range dialog");
}

void TForm1::ShowUsageCodes()
{
    ShowPlaceholder("The usage codes");
}

bool TForm1::ChooseColour(QColor& colour)
{
    (void)colour;
    return false;
}
