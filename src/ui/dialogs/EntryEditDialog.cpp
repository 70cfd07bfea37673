#include "ui/dialogs/EntryEditDialog.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

#include "ui/dialogs/ColourPairPanel.h"

namespace {

constexpr int kWidth = 400;

QPushButton* Button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

EntryEditDialog::EntryEditDialog(const Texts& texts, EditDialogServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services))
{
    setObjectName(texts.objectName);
    setWindowTitle(texts.caption);
    layout_ = new QVBoxLayout(this);
    auto* note = new QLabel(texts.note, this);
    note->setWordWrap(true);
    layout_->addWidget(note);

    numberField_ = new QLineEdit(this);
    numberField_->setObjectName("Edit1");
    numberField_->setMaxLength(texts.numberLength);
    nameField_ = new QLineEdit(this);
    nameField_->setObjectName("Edit2");
    nameField_->setMaxLength(texts.nameLength);
    grid_ = new QGridLayout;
    grid_->addWidget(new QLabel(texts.numberLabel, this), 0, 0);
    grid_->addWidget(numberField_, 0, 1);
    grid_->addWidget(new QLabel(texts.nameLabel, this), 1, 0);
    grid_->addWidget(nameField_, 1, 1);
    layout_->addLayout(grid_);

    colours_ = new ColourPairPanel(services_, nameField_, this);
    apply_ = Button("Button1", "Apply", this);
    ok_ = Button("Button3", "Ok", this);
    ok_->setDefault(true);
    cancel_ = Button("Button2", "Cancel", this);
    apply_->setEnabled(false);

    numberField_->installEventFilter(this);
    // Only what the user types counts as a change; loading an entry does not.
    connect(nameField_, &QLineEdit::textEdited, this, [this] {
        if (Number())
            EnableApply();
    });
    connect(colours_, &ColourPairPanel::Changed, this, &EntryEditDialog::EnableApply);
    connect(apply_, &QPushButton::clicked, this, [this] { ApplyChanges(); });
    connect(ok_, &QPushButton::clicked, this, &EntryEditDialog::OkPressed);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryEditDialog::FinishLayout(std::initializer_list<QWidget*> extraFields)
{
    // Fields made by a subclass come after the buttons in the order of creation; the Tab key
    // follows the fields as they stand instead.
    std::vector<QWidget*> chain{numberField_, nameField_};
    chain.insert(chain.end(), extraFields.begin(), extraFields.end());
    for (QPushButton* button : colours_->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        chain.push_back(button);
    chain.insert(chain.end(), {apply_, ok_, cancel_});
    for (size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);

    layout_->addWidget(colours_);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(apply_);
    row->addWidget(ok_);
    row->addWidget(cancel_);
    layout_->addLayout(row);
    setFixedSize(kWidth, sizeHint().height());
}

std::optional<int> EntryEditDialog::Number() const
{
    bool ok = false;
    const int number = numberField_->text().trimmed().toInt(&ok, 10);
    if (!ok || !AcceptsNumber(number))
        return std::nullopt;
    return number;
}

P25Class* EntryEditDialog::Decoder() const
{
    return services_.decoder ? services_.decoder() : nullptr;
}

void EntryEditDialog::SetApplyEnabled(bool on)
{
    apply_->setEnabled(on);
}

void EntryEditDialog::FocusLater(QWidget* field)
{
    // Setting the focus while it is still being moved elsewhere would be undone by that move.
    QPointer<QWidget> target(field);
    QTimer::singleShot(0, this, [target] {
        if (target)
            target->setFocus(Qt::OtherFocusReason);
    });
    field->setFocus(Qt::OtherFocusReason);
}

bool EntryEditDialog::IsLeave(QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Another window (the colour chooser, a message box) taking the activation is no leave.
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

bool EntryEditDialog::ApplyChanges()
{
    CommitFields();
    const std::optional<int> number = Number();
    if (!number) {
        FocusLater(numberField_);
        return false;
    }
    P25Class* decoder = Decoder();
    if (!decoder)
        return false;
    Store(*decoder, *number);
    shownNumber_ = number;
    SetApplyEnabled(false);
    return true;
}

void EntryEditDialog::OkPressed()
{
    if (apply_->isEnabled() && !ApplyChanges())
        return;
    accept();
}

void EntryEditDialog::LeaveNumberField()
{
    if (numberField_->text().isEmpty())
        return;
    const std::optional<int> number = Number();
    if (!number) {
        FocusLater(numberField_);
        return;
    }
    // Leaving the field again with the same number keeps what was typed since.
    if (number != shownNumber_) {
        LoadNumber(*number);
        shownNumber_ = number;
    }
    FocusLater(nameField_);
}

void EntryEditDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    shownNumber_ = numberField_->text().isEmpty() ? std::nullopt : Number();
    Activate(shownNumber_);
    FocusLater(shownNumber_ ? nameField_ : numberField_);
    SetApplyEnabled(false);
}

bool EntryEditDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == numberField_ && IsLeave(event))
        LeaveNumberField();
    return QDialog::eventFilter(watched, event);
}
