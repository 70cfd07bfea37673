#include "ui/dialogs/Multsysselect.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "persist/Settings.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ColourValue.h"

namespace {

constexpr int kColumns = 3;
constexpr int kListWidth = 460;
constexpr int kListHeight = 160;

}  // namespace

TMultSysForm::TMultSysForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(ui_names::kMultSysDialog);
    setWindowTitle("Multiple Systems Match System ID");
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(
        "Some systems will reuse the same System ID from a system in another area of the country.  The system you "
        "are monitoring is one of those systems.  Please select the correct system to import from the list below "
        "and then click on the Import Button.",
        this);
    note->setWordWrap(true);
    layout->addWidget(note);

    list_ = new QTreeWidget(this);
    list_->setObjectName("ListView1");
    list_->setColumnCount(kColumns);
    list_->setHeaderLabels({"RRID", "System Name", "City"});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setMinimumSize(kListWidth, kListHeight);
    layout->addWidget(list_);

    import_ = new QPushButton("Import", this);
    import_->setObjectName("Button1");
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(import_);
    row->addWidget(cancel);
    layout->addLayout(row);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { import_->setEnabled(SelectedRow() >= 0); });
    connect(import_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TMultSysForm::Fill(const QList<rr::TrsListDef>& systems, const Settings& settings)
{
    list_->clear();
    for (int i = 0; i < systems.size(); ++i) {
        const rr::TrsListDef& s = systems[i];
        auto* item = new QTreeWidgetItem(list_, {QString::number(s.sid), s.sName, s.sCity});
        const bool even = i % 2 == 0;
        const QColor text = ToQColor(even ? settings.evenText : settings.oddText);
        const QColor back = ToQColor(even ? settings.evenBackground : settings.oddBackground);
        for (int c = 0; c < kColumns; ++c) {
            item->setForeground(c, text);
            item->setBackground(c, back);
        }
    }
    list_->clearSelection();
    list_->setCurrentItem(nullptr);
    import_->setEnabled(false);
}

int TMultSysForm::SelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

void TMultSysForm::showEvent(QShowEvent* event)
{
    import_->setEnabled(SelectedRow() >= 0);
    QDialog::showEvent(event);
}
