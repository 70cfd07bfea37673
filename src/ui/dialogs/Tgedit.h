#pragma once

#include "ui/dialogs/EntryEditDialog.h"

class QSpinBox;

// "Talkgroup Edit Screen": name, priority and colours of one talkgroup (1..65535).
class TForm3 : public EntryEditDialog {
    Q_OBJECT
public:
    static constexpr int kNumberLength = 5;
    static constexpr int kNameLength = 40;
    static constexpr int kNewPriority = 50;  // what an absent talkgroup shows

    TForm3(EditDialogServices services, QWidget* parent = nullptr);

    QLineEdit* PriorityField() const { return priorityField_; }  // Edit3
    QSpinBox* PrioritySpinner() const { return prioritySpin_; }  // UpDown1

protected:
    bool AcceptsNumber(int number) const override;
    void Activate(std::optional<int> number) override;
    void LoadNumber(int number) override;
    void Store(P25Class& decoder, int number) override;
    void CommitFields() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load(int number);
    void ShowPriority(int priority);
    void LeavePriorityField();

    QSpinBox* prioritySpin_;
    QLineEdit* priorityField_;
    bool loading_ = false;
};
