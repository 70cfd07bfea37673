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
    connect(Colours(), &ColourPairPanel::Changed, this, [this] { coloursChosen_ = true; });
}

bool TForm4::AcceptsNumber(int number) const
{
    return number > 0;
}

void TForm4::Activate(std::optional<int> number)
{
    // Each opening starts from the radio's own colours (the defaults without a radio): colours
    // left from an earlier opening would be stamped onto this radio by "Ok".
    coloursChosen_ = false;
    NameField()->clear();
    Colours()->ShowDefaults();
    if (number)
        LoadNumber(*number);
}

void TForm4::LoadNumber(int number)
{
    P25Class* decoder = Decoder();
    if (!decoder)
        return;
    RadioTable& table = decoder->Radios();
    NameField()->setText(QString::fromStdString(table.GetRadioText(number)));
    // Colours the user chose in this opening stay, so they can be given to this radio too.
    if (coloursChosen_)
        return;
    uint32_t text = 0, back = 0;
    if (table.GetRadioColors(number, text, back))
        Colours()->ShowPair(text, back);
    else
        Colours()->ShowDefaults();
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
