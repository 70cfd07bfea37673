#include "ui/dialogs/NamesItemDelegate.h"

#include <QLineEdit>
#include <QSpinBox>

#include "ui/dialogs/NamesListModel.h"

NamesItemDelegate::NamesItemDelegate(const NamesListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model)
{ }

QWidget* NamesItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    // The view shows a proxy, which keeps the model's columns.
    const NamesListModel::Column column = model_.ColumnAt(index.column());
    if (column == NamesListModel::Column::Description) {
        auto* edit = new QLineEdit(parent);
        edit->setMaxLength(static_cast<int>(names_rows::NameLength(model_.Kind())));
        edit->setFrame(false);
        return edit;
    }
    if (column == NamesListModel::Column::Priority) {
        auto* spin = new QSpinBox(parent);
        spin->setRange(0, 99);
        spin->setFrame(false);
        return spin;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}
