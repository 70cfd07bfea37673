#include "ui/dialogs/Radidedit.h"

#include <QLineEdit>

#include "decoder/P25Class.h"
#include "ui/dialogs/ColourPairPanel.h"

namespace {

const EntryEditDialog::Texts kTexts = {
    "Form4",
    "Edit Radio ID",
    "Change the description of the radio ID below. If you wish to change another radio ID, enter that ID and "
    "then change the description of that radio.",
    "Radio ID:",
    TForm4::kNumberLength,
    "Radio Description:",
    TForm4::kNameLength,
};

}  // namespace

TForm4::TForm4(EditDialogServices services, QWidget* parent) : EntryEditDialog(kTexts, std::move(services), parent)
{
    FinishLayout();
}

bool TForm4::AcceptsNumber(int number) const
{
    return number > 0;
}

void TForm4::Activate(std::optional<int> number)
{
    P25Class* decoder = Decoder();
    if (!number || !decoder) {
        // The colours stay as they are: they can be given to another radio.
        NameField()->clear();
        return;
    }
    RadioTable& table = decoder->Radios();
    NameField()->setText(QString::fromStdString(table.GetRadioText(*number)));
    uint32_t text = 0, back = 0;
    if (table.GetRadioColors(*number, text, back))
        Colours()->ShowPair(text, back);
    else
        Colours()->ShowDefaults();
}

void TForm4::LoadNumber(int number)
{
    // Only the description: the colours shown stay, so they can be given to this radio too.
    if (P25Class* decoder = Decoder())
        NameField()->setText(QString::fromStdString(decoder->Radios().GetRadioText(number)));
}

void TForm4::Store(P25Class& decoder, int number)
{
    RadioTable& table = decoder.Radios();
    if (!table.SetRadio(number, NameField()->text().toStdString(), 0))
        return;
    uint32_t text = 0, back = 0;
    Colours()->StoredPair(text, back);
    table.SetRadioColors(number, text, back);
}
