#pragma once

#include <QDialog>

class QTableWidget;

// "Frequency Usage Codes": what each letter of the activity view's usage field means.
class TUsageForm : public QDialog {
    Q_OBJECT
public:
    explicit TUsageForm(QWidget* parent = nullptr);

    // One row per letter: the letter, then its meaning.
    QTableWidget* Codes() const { return codes_; }

private:
    QTableWidget* codes_;
};
