#include "ui/dialogs/Holdscreen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm5::TForm5(QWidget* parent) : QDialog(parent)
{
    setObjectName(kObjectName);
    setWindowTitle("Hold TalkGroup");
    auto* layout = new QVBoxLayout(this);
    auto* field = new QHBoxLayout;
    talkgroupField_ = new QLineEdit(this);
    talkgroupField_->setObjectName("Edit1");
    field->addWidget(new QLabel("Talkgroup:", this));
    field->addWidget(talkgroupField_, 1);
    layout->addLayout(field);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* hold = new QPushButton("Hold", this);
    hold->setObjectName("Button1");
    hold->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    row->addWidget(hold);
    row->addWidget(cancel);
    layout->addLayout(row);
    connect(hold, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(240, sizeHint().height());
}

void TForm5::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on its owner, the number ready to be replaced.
    if (QWidget* owner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    }
    talkgroupField_->setFocus();
    talkgroupField_->selectAll();
}
