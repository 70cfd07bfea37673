#include "ui/dialogs/Tgedit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "decoder/P25Class.h"
#include "ui/dialogs/ColourPairPanel.h"

namespace {

constexpr int kMaxTalkgroup = 65535;
constexpr int kMaxPriority = 99;

const EntryEditDialog::Texts kTexts = {
    "Form3",
    "Talkgroup Edit Screen",
    "To edit a talkgroup, enter the talkgroup number  you wish to edit and then type in the name you wish to "
    "associate with that talkgroup.",
    "TalkGroup:",
    TForm3::kNumberLength,
    "Talkgroup Name:",
    TForm3::kNameLength,
};

}  // namespace

TForm3::TForm3(EditDialogServices services, QWidget* parent) : EntryEditDialog(kTexts, std::move(services), parent)
{
    prioritySpin_ = new QSpinBox(this);
    prioritySpin_->setObjectName("UpDown1");
    prioritySpin_->setRange(0, kMaxPriority);
    prioritySpin_->setValue(kNewPriority);
    // The value follows the field when the field is left, not with every key.
    prioritySpin_->setKeyboardTracking(false);
    priorityField_ = prioritySpin_->findChild<QLineEdit*>();  // the spin box's own field
    priorityField_->setObjectName("Edit3");
    priorityField_->setMaxLength(2);
    prioritySpin_->installEventFilter(this);
    priorityField_->installEventFilter(this);
    connect(prioritySpin_, &QSpinBox::valueChanged, this, [this] {
        if (!loading_)
            EnableApply();
    });

    auto* row = new QHBoxLayout;
    row->addWidget(prioritySpin_);
    row->addWidget(new QLabel("(0 = Ignore)", this));
    row->addStretch(1);
    Fields()->addWidget(new QLabel("Talkgroup Priority:", this), 2, 0);
    Fields()->addLayout(row, 2, 1);
    FinishLayout({prioritySpin_});
}

bool TForm3::AcceptsNumber(int number) const
{
    return number >= 1 && number <= kMaxTalkgroup;
}

void TForm3::Activate(std::optional<int> number)
{
    if (number) {
        Load(*number);
        return;
    }
    NameField()->clear();
    ShowPriority(kNewPriority);
    Colours()->ShowDefaults();
}

void TForm3::LoadNumber(int number)
{
    Load(number);
}

void TForm3::Load(int number)
{
    P25Class* decoder = Decoder();
    if (!decoder)
        return;
    TalkgroupTable& table = decoder->Talkgroups();
    NameField()->setText(QString::fromStdString(table.GetTalkgroupText(number)));
    uint32_t text = 0, back = 0;
    table.GetTalkgroupColors(number, text, back);
    Colours()->ShowPair(text, back);
    ShowPriority(table.GetTalkgroupPriority(number));
}

void TForm3::ShowPriority(int priority)
{
    loading_ = true;
    prioritySpin_->setValue(priority);
    priorityField_->setText(QString::number(prioritySpin_->value()));
    loading_ = false;
}

void TForm3::LeavePriorityField()
{
    bool ok = false;
    const int value = priorityField_->text().trimmed().toInt(&ok, 10);
    if (ok && value >= 0 && value <= kMaxPriority)
        prioritySpin_->setValue(value);
    else
        priorityField_->setText(QString::number(prioritySpin_->value()));
}

void TForm3::CommitFields()
{
    LeavePriorityField();
}

void TForm3::Store(P25Class& decoder, int number)
{
    TalkgroupTable& table = decoder.Talkgroups();
    table.SetTalkgroup(number, NameField()->text().toStdString(), prioritySpin_->value(), 0);
    uint32_t text = 0, back = 0;
    Colours()->StoredPair(text, back);
    table.SetTalkgroupColors(number, text, back);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    // The spinner holds the focus for its field, so both may see the field being left.
    if ((watched == prioritySpin_ || watched == priorityField_) && IsLeave(event))
        LeavePriorityField();
    return EntryEditDialog::eventFilter(watched, event);
}
