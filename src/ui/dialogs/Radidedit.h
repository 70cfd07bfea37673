#pragma once

#include "ui/dialogs/EntryEditDialog.h"

// "Edit Radio ID": description and colours of one radio ID (above 0, at most eight digits).
class TForm4 : public EntryEditDialog {
    Q_OBJECT
public:
    static constexpr int kNumberLength = 8;
    static constexpr int kNameLength = 50;

    TForm4(EditDialogServices services, QWidget* parent = nullptr);

protected:
    bool AcceptsNumber(int number) const override;
    void Activate(std::optional<int> number) override;
    void LoadNumber(int number) override;
    void Store(P25Class& decoder, int number) override;

private:
    // The colours were chosen in this opening: they go to the radio typed next, not its own.
    bool coloursChosen_ = false;
};
