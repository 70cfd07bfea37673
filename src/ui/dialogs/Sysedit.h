#pragma once

#include <QDialog>

class QLineEdit;

// "System Information": the names of the monitored system and of the current site. The caller
// fills both fields and, when the dialog closes with "Apply", gives them back to the decoder.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxNameLength = 80;

    explicit TForm2(QWidget* parent = nullptr);

    QLineEdit* SystemName() const { return systemNameField_; }  // Edit1
    QLineEdit* TowerName() const { return towerNameField_; }    // Edit2

private:
    QLineEdit* systemNameField_;
    QLineEdit* towerNameField_;
};
