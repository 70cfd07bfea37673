#include "ui/dialogs/Addrange.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TAddRangeForm::TAddRangeForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("AddRangeForm");
    setWindowTitle("AddRangeForm");
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel("Enter the range of radio IDs you wish to see in the affiliation log. ", this);
    note->setWordWrap(true);
    layout->addWidget(note);

    lowField_ = new QLineEdit(this);
    lowField_->setObjectName("Edit1");
    lowField_->setMaxLength(kIdLength);
    highField_ = new QLineEdit(this);
    highField_->setObjectName("Edit2");
    highField_->setMaxLength(kIdLength);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Low Radio ID:", this), 0, 0);
    grid->addWidget(lowField_, 0, 1);
    grid->addWidget(new QLabel("High Radio ID:", this), 1, 0);
    grid->addWidget(highField_, 1, 1);
    layout->addLayout(grid);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* add = new QPushButton("Add Range", this);
    add->setObjectName("Button1");
    add->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    cancel->setAutoDefault(false);
    row->addWidget(add);
    row->addWidget(cancel);
    layout->addLayout(row);
    connect(add, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(300, sizeHint().height());
}

void TAddRangeForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    lowField_->setFocus(Qt::OtherFocusReason);
    // Set once more after the activation, which would otherwise give the focus back to the
    // button that had it when the dialog last closed.
    QPointer<QLineEdit> low(lowField_);
    QTimer::singleShot(0, this, [low] {
        if (low)
            low->setFocus(Qt::OtherFocusReason);
    });
}
