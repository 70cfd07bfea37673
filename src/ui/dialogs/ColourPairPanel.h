#pragma once

#include <QGroupBox>

#include <cstdint>

#include "ui/dialogs/EditDialogServices.h"

class QLineEdit;

// The "Color Settings" panel of the talkgroup and radio ID dialogs: "Text Color" (Button4),
// "BG Color" (Button5) and "Default" (Button6). It keeps the colour pair (0x00BBGGRR) shown in
// the dialog's name field and carries the colour rule between the tables and the dialog: a pair
// whose two colours are equal (no colours of its own) shows as the default pair, and the default
// pair is stored as 0 and 0, so the entry follows later changes of the defaults.
class ColourPairPanel : public QGroupBox {
    Q_OBJECT
public:
    ColourPairPanel(EditDialogServices services, QLineEdit* nameField, QWidget* parent);

    // A pair as a table answers it.
    void ShowPair(uint32_t text, uint32_t back);
    void ShowDefaults();
    // The pair to store for what is shown.
    void StoredPair(uint32_t& text, uint32_t& back) const;
    uint32_t TextColour() const { return text_; }
    uint32_t BackColour() const { return back_; }

signals:
    // The user chose a colour or the default pair.
    void Changed();

private:
    void Choose(bool background);
    void Paint();

    EditDialogServices services_;
    QLineEdit* nameField_;
    uint32_t text_ = 0;
    uint32_t back_ = 0xFFFFFF;
};
