#pragma once

#include <QDialog>

class QLineEdit;

// "Hold TalkGroup": the talkgroup to hold. The hold button fills the field with the talkgroup
// last followed and holds what the field reads when the dialog closes with "Hold".
class TForm5 : public QDialog {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "Form5";

    explicit TForm5(QWidget* parent = nullptr);

    QLineEdit* Talkgroup() const { return talkgroupField_; }  // Edit1

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* talkgroupField_;
};
