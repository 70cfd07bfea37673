#pragma once

#include <QDialog>

class QLabel;

// The about box: the program's name, its version text and the folder that holds its data.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // "Version: " major "." minor "." release " Build " build of the program's file version.
    static QString VersionText();
    void SetVersionText(const QString& text);
    QString ShownVersionText() const;
    // "Data folder: " and the program folder.
    void SetDataFolder(const QString& folder);

    static constexpr char kDataFolderLabel[] = "DataFolderLabel";

private:
    QLabel* version_;
    QLabel* dataFolder_;
};
