#include "ui/dialogs/Rroptions.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/mainwindow/MainWindowNames.h"

namespace {

constexpr const char* kRadioTexts[7] = {
    "Import only those site names that do not already exist in the Varnel database.  ",
    "Remove all current site names from the Varnel database and and import the complete list from the "
    "RadioReference web service.",
    "Do not import any site name information.",
    "Import only talkgroups that do not already exist in the Varnel database. (Any talkgroups that exist, even "
    "those that have not had an alpha tag entered will be ignored.",
    "Import new talkgroups, and overwrite talkgroups that have the default alpha tag (Tower and date).",
    "Overwrite alpha tag for all talkgroups found on the RadioReference web service.",
    "Do not import talkgroup information.",
};
constexpr int kSiteButtons = 3;  // RadioButton1..3 belong to the site group, 4..7 to the talkgroups

QGroupBox* Group(const QString& title, QRadioButton* const* buttons, int count, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    auto* exclusive = new QButtonGroup(box);
    for (int i = 0; i < count; ++i) {
        layout->addWidget(buttons[i]);
        exclusive->addButton(buttons[i]);
    }
    return box;
}

}  // namespace

TRROptionsForm::TRROptionsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(ui_names::kRROptionsDialog);
    setWindowTitle("Radio Reference Import Options");
    for (int i = 0; i < 7; ++i) {
        radio_[i] = new QRadioButton(kRadioTexts[i], this);
        radio_[i]->setObjectName(QString("RadioButton%1").arg(i + 1));
        connect(radio_[i], &QRadioButton::clicked, this, &TRROptionsForm::UpdateWebButton);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Group("Site Name Information", radio_, kSiteButtons, this));
    layout->addWidget(Group("Talkgroup Import Options", radio_ + kSiteButtons, 7 - kSiteButtons, this));

    web_ = new QPushButton("Import from Web", this);
    web_->setObjectName("Button1");
    web_->setDefault(true);
    cdrom_ = new QPushButton("Import from CD-ROM", this);
    cdrom_->setObjectName("Button3");
    cdrom_->setEnabled(false);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(web_);
    row->addWidget(cdrom_);
    row->addWidget(cancel);
    layout->addLayout(row);
    connect(web_, &QPushButton::clicked, this, [this] { done(kImportFromWeb); });
    connect(cdrom_, &QPushButton::clicked, this, [this] { done(kImportFromCdrom); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TRROptionsForm::SetCdromEnabled(bool enabled)
{
    cdrom_->setEnabled(enabled);
}

void TRROptionsForm::showEvent(QShowEvent* event)
{
    radio_[0]->setChecked(true);
    radio_[3]->setChecked(true);
    web_->setEnabled(true);
    QDialog::showEvent(event);
}

void TRROptionsForm::UpdateWebButton()
{
    // With nothing to import but the system name, only the CD-ROM import stays possible.
    web_->setEnabled(!(radio_[2]->isChecked() && radio_[6]->isChecked()));
}

TRROptionsForm::SiteOption TRROptionsForm::Sites() const
{
    if (radio_[1]->isChecked())
        return SiteOption::ReplaceAll;
    if (radio_[2]->isChecked())
        return SiteOption::None;
    return SiteOption::NewOnly;
}

TRROptionsForm::TalkgroupOption TRROptionsForm::Talkgroups() const
{
    if (radio_[4]->isChecked())
        return TalkgroupOption::NewAndDefault;
    if (radio_[5]->isChecked())
        return TalkgroupOption::All;
    if (radio_[6]->isChecked())
        return TalkgroupOption::None;
    return TalkgroupOption::NewOnly;
}
