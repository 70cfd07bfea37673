#pragma once

#include <QDialog>

class QLabel;

// The about box: the program's name and its version text.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // "Version: " major "." minor "." release " Build " build of the program's file version.
    static QString VersionText();
    void SetVersionText(const QString& text);
    QString ShownVersionText() const;

private:
    QLabel* version_;
};
