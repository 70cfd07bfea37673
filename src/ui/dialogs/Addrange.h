#pragma once

#include <QDialog>

class QLineEdit;

// "AddRangeForm": the low and high radio ID of a range for the affiliation log filter. The caller
// empties both fields, shows the dialog and on "Add Range" reads them.
class TAddRangeForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIdLength = 8;  // radio IDs are 24-bit: eight decimal digits

    explicit TAddRangeForm(QWidget* parent = nullptr);

    QLineEdit* LowField() const { return lowField_; }    // Edit1
    QLineEdit* HighField() const { return highField_; }  // Edit2

protected:
    // Every opening puts the focus into "Low Radio ID:".
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* lowField_;
    QLineEdit* highField_;
};
