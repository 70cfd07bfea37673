#include "ui/views/ListModel.h"

#include <QAbstractItemView>
#include <QObject>

#include <algorithm>
#include <numeric>

ListModel::ListModel(QStringList headers, int cap, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), cap_(cap)
{ }

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    const Row& row = RowAt(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: return column < row.cells.size() ? row.cells[column] : QString();
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        const bool text = role == Qt::ForegroundRole;
        if (oddEven_) {
            const bool odd = index.row() % 2 != 0;
            return text ? (odd ? oddText_ : evenText_) : (odd ? oddBack_ : evenBack_);
        }
        if (static_cast<size_t>(column) < row.cellColors.size()) {
            const QColor& c = text ? row.cellColors[static_cast<size_t>(column)].first
                                   : row.cellColors[static_cast<size_t>(column)].second;
            if (c.isValid())
                return c;
        }
        const QColor& c = text ? row.text : row.back;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::CheckStateRole:
        if (savedMarks_ && column == 0)
            return row.saved ? Qt::Checked : Qt::Unchecked;
        return {};
    default: return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < headers_.size())
        return headers_[section];
    return {};
}

void ListModel::SetCap(int cap)
{
    cap_ = cap;
    if (cap_ > 0 && Count() > cap_)
        RemoveRows(0, Count() - cap_);
}

int ListModel::AppendRow(const QStringList& cells)
{
    return AppendRows({cells});
}

int ListModel::AppendRows(const std::vector<QStringList>& rows)
{
    if (rows.empty())
        return Count();
    const int first = Count();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    for (const QStringList& cells : rows)
        rows_.push_back(Row{cells, false, {}, {}, {}});
    endInsertRows();
    int trimmed = 0;
    if (cap_ > 0 && Count() > cap_) {
        trimmed = Count() - cap_;
        RemoveRows(0, trimmed);
    }
    return std::max(0, first - trimmed);
}

void ListModel::SetRows(std::vector<Row> rows)
{
    beginResetModel();
    rows_.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endResetModel();
}

void ListModel::Clear()
{
    if (rows_.empty())
        return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void ListModel::RemoveRows(int first, int count)
{
    if (count <= 0 || first < 0 || first + count > Count())
        return;
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    rows_.erase(rows_.begin() + first, rows_.begin() + first + count);
    endRemoveRows();
}

void ListModel::InsertRow(int at, Row row)
{
    at = std::clamp(at, 0, Count());
    beginInsertRows(QModelIndex(), at, at);
    rows_.insert(rows_.begin() + at, std::move(row));
    endInsertRows();
}

QString ListModel::Cell(int row, int column) const
{
    if (row < 0 || row >= Count())
        return {};
    const QStringList& cells = RowAt(row).cells;
    return column >= 0 && column < cells.size() ? cells[column] : QString();
}

void ListModel::SetCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= Count() || column < 0 || column >= columnCount())
        return;
    QStringList& cells = rows_[static_cast<size_t>(row)].cells;
    while (cells.size() <= column)
        cells.append(QString());
    if (cells[column] == text)
        return;
    cells[column] = text;
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

void ListModel::SetRowColors(int row, const QColor& text, const QColor& back)
{
    if (row < 0 || row >= Count())
        return;
    Row& r = rows_[static_cast<size_t>(row)];
    r.text = text;
    r.back = back;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::ForegroundRole, Qt::BackgroundRole});
}

void ListModel::SetCellColors(int row, int column, const QColor& text, const QColor& back)
{
    if (row < 0 || row >= Count() || column < 0 || column >= columnCount())
        return;
    Row& r = rows_[static_cast<size_t>(row)];
    if (r.cellColors.size() <= static_cast<size_t>(column))
        r.cellColors.resize(static_cast<size_t>(column) + 1);
    r.cellColors[static_cast<size_t>(column)] = {text, back};
    emit dataChanged(index(row, column), index(row, column), {Qt::ForegroundRole, Qt::BackgroundRole});
}

void ListModel::SetSaved(int row, bool saved)
{
    if (row < 0 || row >= Count() || rows_[static_cast<size_t>(row)].saved == saved)
        return;
    rows_[static_cast<size_t>(row)].saved = saved;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

void ListModel::SortRows(const std::function<bool(const Row&, const Row&)>& less)
{
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return less(rows_[static_cast<size_t>(a)], rows_[static_cast<size_t>(b)]); });
    if (std::is_sorted(order.begin(), order.end()))
        return;  // already in order: nothing to redraw
    std::vector<int> newRow(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        newRow[static_cast<size_t>(order[i])] = static_cast<int>(i);

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::deque<Row> sorted;
    for (int from : order)
        sorted.push_back(std::move(rows_[static_cast<size_t>(from)]));
    rows_.swap(sorted);
    // Selections and the current row stay on the rows they were on.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.append(index(newRow[static_cast<size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListModel::PlaceLastRow(const std::function<bool(const Row&, const Row&)>& less)
{
    const int last = Count() - 1;
    if (last <= 0)
        return last;
    const auto at = std::upper_bound(rows_.begin(), rows_.end() - 1, rows_.back(), less);
    const int to = static_cast<int>(at - rows_.begin());
    if (to == last)
        return last;
    beginMoveRows(QModelIndex(), last, last, QModelIndex(), to);
    std::rotate(at, rows_.end() - 1, rows_.end());
    endMoveRows();
    return to;
}

void ListModel::SetOddEvenColours(const QColor& evenText, const QColor& evenBack, const QColor& oddText,
                                  const QColor& oddBack)
{
    if (oddEven_ && evenText_ == evenText && evenBack_ == evenBack && oddText_ == oddText && oddBack_ == oddBack)
        return;
    oddEven_ = true;
    evenText_ = evenText;
    evenBack_ = evenBack;
    oddText_ = oddText;
    oddBack_ = oddBack;
    if (Count() > 0)
        emit dataChanged(index(0, 0), index(Count() - 1, columnCount() - 1), {Qt::ForegroundRole, Qt::BackgroundRole});
}

void ListModel::ClearOddEvenColours()
{
    if (!oddEven_)
        return;
    oddEven_ = false;
    if (Count() > 0)
        emit dataChanged(index(0, 0), index(Count() - 1, columnCount() - 1), {Qt::ForegroundRole, Qt::BackgroundRole});
}

ListModel* ModelOf(const QAbstractItemView* view)
{
    return view ? qobject_cast<ListModel*>(view->model()) : nullptr;
}
