#include "ui/dialogs/Sysedit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/mainwindow/MainWindowNames.h"

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(ui_names::kSystemDialog);
    setWindowTitle("System Information");
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(
        "Please enter the name of this system in the space below.  Once set, you must choose the save option to "
        "make the change perminant.",
        this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* grid = new QGridLayout;
    systemNameField_ = new QLineEdit(this);
    systemNameField_->setObjectName("Edit1");
    systemNameField_->setMaxLength(kMaxNameLength);
    towerNameField_ = new QLineEdit(this);
    towerNameField_->setObjectName("Edit2");
    towerNameField_->setMaxLength(kMaxNameLength);
    grid->addWidget(new QLabel("System Name:", this), 0, 0);
    grid->addWidget(systemNameField_, 0, 1);
    grid->addWidget(new QLabel("Tower Name:", this), 1, 0);
    grid->addWidget(towerNameField_, 1, 1);
    layout->addLayout(grid);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* apply = new QPushButton("Apply", this);
    apply->setObjectName("Button1");
    apply->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    row->addWidget(apply);
    row->addWidget(cancel);
    layout->addLayout(row);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(420, sizeHint().height());
}
