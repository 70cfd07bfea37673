#include "ui/views/ListModel.h"

#include <QAbstractItemView>
#include <QObject>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {
// Room between the order keys of neighbouring rows: 40 rows can be placed into the same gap before
// the keys are spaced out again.
constexpr int64_t kOrderGap = int64_t{1} << 40;
constexpr int64_t kOrderMax = std::numeric_limits<int64_t>::max() / 2;
}  // namespace

ListModel::ListModel(QStringList headers, int cap, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), cap_(cap)
{ }

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ShownRows();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    const std::deque<Row>& shown = Shown();
    if (!index.isValid() || index.row() >= static_cast<int>(shown.size()))
        return {};
    const Row& row = shown[static_cast<size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: return column < row.cells.size() ? row.cells[column] : QString();
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        const bool text = role == Qt::ForegroundRole;
        if (oddEven_ && !row.standOut) {
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
    const bool tell = Tell();
    if (tell)
        beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    bool renumber = false;
    for (const QStringList& cells : rows) {
        Row row;
        row.cells = cells;
        row.id = nextId_++;
        row.order = rows_.empty() ? 0 : rows_.back().order + kOrderGap;
        renumber = renumber || row.order > kOrderMax;
        rows_.push_back(std::move(row));
        AgeInsert(rows_.back());
    }
    if (renumber)
        Renumber();
    if (tell)
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
    const bool tell = Tell();
    if (tell)
        beginResetModel();
    rows_.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    for (Row& row : rows_)
        row.id = nextId_++;
    Renumber();
    if (tell)
        endResetModel();
}

void ListModel::Clear()
{
    if (rows_.empty())
        return;
    const bool tell = Tell();
    if (tell)
        beginResetModel();
    rows_.clear();
    age_.clear();
    if (tell)
        endResetModel();
}

void ListModel::RemoveRows(int first, int count)
{
    if (count <= 0 || first < 0 || first + count > Count())
        return;
    const bool tell = Tell();
    if (tell)
        beginRemoveRows(QModelIndex(), first, first + count - 1);
    for (int row = first; row < first + count; ++row)
        AgeErase(rows_[static_cast<size_t>(row)]);
    rows_.erase(rows_.begin() + first, rows_.begin() + first + count);
    if (tell)
        endRemoveRows();
}

void ListModel::InsertRow(int at, Row row)
{
    at = std::clamp(at, 0, Count());
    const bool tell = Tell();
    if (tell)
        beginInsertRows(QModelIndex(), at, at);
    row.id = nextId_++;
    rows_.insert(rows_.begin() + at, std::move(row));
    if (PlaceOrder(at))
        AgeInsert(rows_[static_cast<size_t>(at)]);
    if (tell)
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
    const bool indexed = column == ageColumn_;
    if (indexed)
        AgeErase(rows_[static_cast<size_t>(row)]);
    cells[column] = text;
    if (indexed)
        AgeInsert(rows_[static_cast<size_t>(row)]);
    if (Tell())
        emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

void ListModel::SetRowColors(int row, const QColor& text, const QColor& back)
{
    if (row < 0 || row >= Count())
        return;
    Row& r = rows_[static_cast<size_t>(row)];
    if (r.text == text && r.back == back)
        return;
    r.text = text;
    r.back = back;
    if (Tell())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::ForegroundRole, Qt::BackgroundRole});
}

void ListModel::SetCellColors(int row, int column, const QColor& text, const QColor& back)
{
    if (row < 0 || row >= Count() || column < 0 || column >= columnCount())
        return;
    Row& r = rows_[static_cast<size_t>(row)];
    if (r.cellColors.size() <= static_cast<size_t>(column))
        r.cellColors.resize(static_cast<size_t>(column) + 1);
    if (r.cellColors[static_cast<size_t>(column)] == std::make_pair(text, back))
        return;
    r.cellColors[static_cast<size_t>(column)] = {text, back};
    if (Tell())
        emit dataChanged(index(row, column), index(row, column), {Qt::ForegroundRole, Qt::BackgroundRole});
}

void ListModel::SetSaved(int row, bool saved)
{
    if (row < 0 || row >= Count() || rows_[static_cast<size_t>(row)].saved == saved)
        return;
    rows_[static_cast<size_t>(row)].saved = saved;
    if (Tell())
        emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

void ListModel::SetStandOut(int row, bool on)
{
    if (row < 0 || row >= Count() || rows_[static_cast<size_t>(row)].standOut == on)
        return;
    rows_[static_cast<size_t>(row)].standOut = on;
    if (oddEven_ && Tell())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::ForegroundRole, Qt::BackgroundRole});
}

void ListModel::SetEmergency(int row, bool on)
{
    if (row >= 0 && row < Count())
        rows_[static_cast<size_t>(row)].emergency = on;
}

int ListModel::RowOfId(uint64_t id) const
{
    for (size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].id == id)
            return static_cast<int>(row);
    return -1;
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

    const bool tell = Tell();
    if (tell)
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::deque<Row> sorted;
    for (int from : order)
        sorted.push_back(std::move(rows_[static_cast<size_t>(from)]));
    rows_.swap(sorted);
    Renumber();
    if (!tell)
        return;  // the view still shows the held rows
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
    const bool tell = Tell();
    if (tell)
        beginMoveRows(QModelIndex(), last, last, QModelIndex(), to);
    Row moved = std::move(rows_.back());
    AgeErase(moved);
    rows_.pop_back();
    rows_.insert(rows_.begin() + to, std::move(moved));
    if (PlaceOrder(to))
        AgeInsert(rows_[static_cast<size_t>(to)]);
    if (tell)
        endMoveRows();
    return to;
}

int ListModel::OldestRow(int timeColumn, const QString& nowText)
{
    if (timeColumn != ageColumn_) {
        ageColumn_ = timeColumn;
        age_.clear();
        for (const Row& row : rows_)
            AgeInsert(row);
    }
    if (age_.empty())
        return -1;
    // Texts later than now (last year's) first; among the others the earliest.
    auto oldest = age_.upper_bound({nowText, std::numeric_limits<int64_t>::max()});
    if (oldest == age_.end())
        oldest = age_.begin();
    return RowOfOrder(oldest->second);
}

void ListModel::Renumber()
{
    const int64_t gap = std::min(kOrderGap, kOrderMax / static_cast<int64_t>(rows_.size() + 1));
    int64_t order = 0;
    for (Row& row : rows_) {
        row.order = order;
        order += gap;
    }
    if (ageColumn_ >= 0) {
        age_.clear();
        for (const Row& row : rows_)
            AgeInsert(row);
    }
}

bool ListModel::PlaceOrder(int at)
{
    const auto i = static_cast<size_t>(at);
    const bool first = at == 0;
    const bool last = at == Count() - 1;
    Row& row = rows_[i];
    if (first && last) {
        row.order = 0;
        return true;
    }
    if (last && rows_[i - 1].order <= kOrderMax - kOrderGap) {
        row.order = rows_[i - 1].order + kOrderGap;
        return true;
    }
    if (first && rows_[1].order >= -kOrderMax + kOrderGap) {
        row.order = rows_[1].order - kOrderGap;
        return true;
    }
    if (!first && !last && rows_[i + 1].order - rows_[i - 1].order > 1) {
        row.order = rows_[i - 1].order + (rows_[i + 1].order - rows_[i - 1].order) / 2;
        return true;
    }
    Renumber();
    return false;
}

int ListModel::RowOfOrder(int64_t order) const
{
    const auto at = std::lower_bound(rows_.begin(), rows_.end(), order,
                                     [](const Row& row, int64_t key) { return row.order < key; });
    return static_cast<int>(at - rows_.begin());
}

ListModel::AgeKey ListModel::AgeKeyOf(const Row& row) const
{
    return {ageColumn_ < row.cells.size() ? row.cells[ageColumn_] : QString(), row.order};
}

void ListModel::AgeInsert(const Row& row)
{
    if (ageColumn_ >= 0)
        age_.insert(AgeKeyOf(row));
}

void ListModel::AgeErase(const Row& row)
{
    if (ageColumn_ >= 0)
        age_.erase(AgeKeyOf(row));
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
    if (Tell() && Count() > 0)
        emit dataChanged(index(0, 0), index(Count() - 1, columnCount() - 1), {Qt::ForegroundRole, Qt::BackgroundRole});
}

void ListModel::ClearOddEvenColours()
{
    if (!oddEven_)
        return;
    oddEven_ = false;
    if (Tell() && Count() > 0)
        emit dataChanged(index(0, 0), index(Count() - 1, columnCount() - 1), {Qt::ForegroundRole, Qt::BackgroundRole});
}

ListModel* ModelOf(const QAbstractItemView* view)
{
    return view ? qobject_cast<ListModel*>(view->model()) : nullptr;
}

bool ListModel::Tell()
{
    if (!shown_)
        return true;
    changedWhileHeld_ = true;
    return false;
}

void ListModel::Hold()
{
    if (holds_++ > 0)
        return;
    shown_ = std::make_unique<const std::deque<Row>>(rows_);
    changedWhileHeld_ = false;
}

bool ListModel::Release()
{
    if (holds_ == 0 || --holds_ > 0)
        return false;
    // Everything that happened meanwhile is in the rows already: the view takes them in one go.
    const bool changed = changedWhileHeld_;
    if (changed)
        beginResetModel();
    shown_.reset();
    changedWhileHeld_ = false;
    if (changed)
        endResetModel();
    return changed;
}

int ListModel::ShownRows() const
{
    return static_cast<int>(Shown().size());
}

uint64_t ListModel::ShownId(int row) const
{
    const std::deque<Row>& shown = Shown();
    return row >= 0 && row < static_cast<int>(shown.size()) ? shown[static_cast<size_t>(row)].id : 0;
}
