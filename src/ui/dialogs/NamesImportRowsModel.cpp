#include "ui/dialogs/NamesImportRowsModel.h"

#include <QColor>

NamesImportRowsModel::NamesImportRowsModel(QObject* parent) : QAbstractTableModel(parent)
{ }

void NamesImportRowsModel::ShowPlan(const NamesImport::Plan* plan)
{
    beginResetModel();
    plan_ = plan;
    shown_.clear();
    if (plan_) {
        shown_.reserve(static_cast<size_t>(plan_->Applicable()));
        for (size_t i = 0; i < plan_->rows.size(); ++i)
            if (plan_->rows[i].change != NamesImport::Row::Change::Unchanged)
                shown_.push_back(static_cast<int>(i));
    }
    endResetModel();
}

int NamesImportRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int NamesImportRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant NamesImportRowsModel::data(const QModelIndex& index, int role) const
{
    if (!plan_ || !index.isValid() || index.row() >= static_cast<int>(shown_.size()))
        return {};
    const NamesImport::Row& row = plan_->rows[static_cast<size_t>(shown_[static_cast<size_t>(index.row())])];
    if (role == Qt::TextAlignmentRole && index.column() != kName && index.column() != kChange)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && index.column() == kPriority && row.priority == NamesImport::kNoPriority)
        return QColor(Qt::gray);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kLine: return row.line;
    case kNumber: return row.id;
    case kName: return QString::fromStdString(row.name);
    case kPriority:
        // No priority in the file, or an entry whose own name is kept: the entry keeps its own.
        return row.priority == NamesImport::kNoPriority ? QVariant(QStringLiteral("kept")) : QVariant(row.priority);
    case kChange:
        return row.change == NamesImport::Row::Change::New ? QStringLiteral("new") : QStringLiteral("changed");
    default: return {};
    }
}

QVariant NamesImportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case kLine: return QStringLiteral("Line");
    case kNumber: return QStringLiteral("Number");
    case kName: return QStringLiteral("Name");
    case kPriority: return QStringLiteral("Priority");
    case kChange: return QStringLiteral("Change");
    default: return {};
    }
}
