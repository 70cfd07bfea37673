#include "ui/dialogs/EditDialogServices.h"

#include <QColor>

#include "ui/mainwindow/Mainwindow.h"

EditDialogServices MainWindowEditServices(TForm1& window)
{
    TForm1* w = &window;
    return {[w] { return w->Decoder(); }, [w] { return w->AppSettings().defaultText; },
            [w] { return w->AppSettings().defaultBackground; },
            [w](QColor& colour) { return w->ChooseColour(colour); }};
}
