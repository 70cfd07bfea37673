#pragma once

#include <QDialog>

class QPushButton;
class QRadioButton;

// "Radio Reference Import Options": which site and talkgroup names an import takes, and whether
// it asks the web service or the local CD-ROM server. exec() answers Rejected (Cancel),
// kImportFromWeb or kImportFromCdrom.
class TRROptionsForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kImportFromWeb = QDialog::Accepted;  // "Import from Web"
    static constexpr int kImportFromCdrom = 2;                // "Import from CD-ROM"

    enum class SiteOption { NewOnly, ReplaceAll, None };               // RadioButton1..3
    enum class TalkgroupOption { NewOnly, NewAndDefault, All, None };  // RadioButton4..7

    explicit TRROptionsForm(QWidget* parent = nullptr);

    // "Import from CD-ROM" is offered only while the CD-ROM server is enabled in the settings.
    void SetCdromEnabled(bool enabled);

    SiteOption Sites() const;
    TalkgroupOption Talkgroups() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateWebButton();

    QRadioButton* radio_[7] = {};   // RadioButton1..RadioButton7
    QPushButton* web_ = nullptr;    // Button1
    QPushButton* cdrom_ = nullptr;  // Button3
};
