#include "ui/dialogs/NamesListModel.h"

#include <QDateTime>

#include <algorithm>

#include "ui/views/ColourValue.h"

namespace {

using Column = NamesListModel::Column;

QString Caption(Column column)
{
    switch (column) {
    case Column::Number: return QStringLiteral("Number");
    case Column::Hex: return QStringLiteral("Hex");
    case Column::Description: return QStringLiteral("Description");
    case Column::Priority: return QStringLiteral("Priority");
    case Column::TextColour: return QStringLiteral("Text Color");
    case Column::BackColour: return QStringLiteral("BG Color");
    case Column::FirstSeen: return QStringLiteral("First Seen");
    case Column::LastSeen: return QStringLiteral("Last Seen");
    case Column::Calls: return QStringLiteral("Calls");
    case Column::Airtime: return QStringLiteral("Airtime");
    }
    return {};
}

QString TimeText(int64_t t)
{
    if (t <= 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(t).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString ColourText(uint32_t value)
{
    return ToQColor(value).name().toUpper();
}

QString AirtimeText(int64_t seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The value a column sorts by, for the numeric columns.
int64_t Number(const NamesRow& row, Column column)
{
    switch (column) {
    case Column::Priority: return row.priority;
    case Column::TextColour: return row.textColor == row.backColor ? -1 : int64_t(row.textColor);
    case Column::BackColour: return row.textColor == row.backColor ? -1 : int64_t(row.backColor);
    case Column::FirstSeen: return row.firstSeen;
    case Column::LastSeen: return row.lastSeen;
    case Column::Calls: return row.calls;
    case Column::Airtime: return row.airtimeSeconds;
    default: return row.id;
    }
}

}  // namespace

NamesListModel::NamesListModel(names_rows::Kind kind, QObject* parent) : QAbstractTableModel(parent), kind_(kind)
{
    if (kind == names_rows::Kind::Talkgroups)
        columns_ = {Column::Number,     Column::Hex,       Column::Description, Column::Priority, Column::TextColour,
                    Column::BackColour, Column::FirstSeen, Column::LastSeen,    Column::Calls,    Column::Airtime};
    else
        columns_ = {Column::Number,     Column::Hex,        Column::Description,
                    Column::TextColour, Column::BackColour, Column::LastSeen};
}

int NamesListModel::ColumnOf(Column column) const
{
    const auto it = std::find(columns_.begin(), columns_.end(), column);
    return it == columns_.end() ? -1 : static_cast<int>(it - columns_.begin());
}

void NamesListModel::SetRows(std::vector<NamesRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    if (sortColumn_ >= 0)
        std::sort(rows_.begin(), rows_.end(), [this](const NamesRow& a, const NamesRow& b) { return Before(a, b); });
    endResetModel();
}

int NamesListModel::RowOf(int32_t id) const
{
    if (sortColumn_ < 0) {
        const auto it =
            std::lower_bound(rows_.begin(), rows_.end(), id, [](const NamesRow& r, int32_t key) { return r.id < key; });
        return it != rows_.end() && it->id == id ? static_cast<int>(it - rows_.begin()) : -1;
    }
    const auto it = std::find_if(rows_.begin(), rows_.end(), [id](const NamesRow& r) { return r.id == id; });
    return it != rows_.end() ? static_cast<int>(it - rows_.begin()) : -1;
}

void NamesListModel::PutRow(NamesRow row)
{
    if (const int pos = RowOf(row.id); pos >= 0) {
        rows_[static_cast<size_t>(pos)] = std::move(row);
        emit dataChanged(index(pos, 0), index(pos, columnCount() - 1));
        return;
    }
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), row,
                                     [this](const NamesRow& a, const NamesRow& b) { return Before(a, b); });
    const int pos = static_cast<int>(it - rows_.begin());
    beginInsertRows(QModelIndex(), pos, pos);
    rows_.insert(it, std::move(row));
    endInsertRows();
}

void NamesListModel::RemoveId(int32_t id)
{
    const int pos = RowOf(id);
    if (pos < 0)
        return;
    beginRemoveRows(QModelIndex(), pos, pos);
    rows_.erase(rows_.begin() + pos);
    endRemoveRows();
}

void NamesListModel::SetDefaultColours(uint32_t text, uint32_t back)
{
    defaultText_ = text;
    defaultBack_ = back;
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void NamesListModel::ShownColours(const NamesRow& row, uint32_t& text, uint32_t& back) const
{
    const bool own = row.textColor != row.backColor;
    text = own ? row.textColor : defaultText_;
    back = own ? row.backColor : defaultBack_;
}

bool NamesListModel::Matches(int row, const std::string& needle) const
{
    return needle.empty() || rows_[static_cast<size_t>(row)].searchKey.find(needle) != std::string::npos;
}

void NamesListModel::sort(int column, Qt::SortOrder order)
{
    if (column >= columnCount())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Persistent indexes (the selection, the current cell) follow their rows by id.
    const QModelIndexList before = persistentIndexList();
    std::vector<int32_t> ids;
    ids.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before)
        ids.push_back(index.row() < rowCount() ? Row(index.row()).id : 0);
    sortColumn_ = column;
    sortOrder_ = order;
    std::sort(rows_.begin(), rows_.end(), [this](const NamesRow& a, const NamesRow& b) { return Before(a, b); });
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int row = RowOf(ids[static_cast<size_t>(i)]);
        after.push_back(row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool NamesListModel::Before(const NamesRow& a, const NamesRow& b) const
{
    if (sortColumn_ < 0)
        return a.id < b.id;
    const Column c = ColumnAt(sortColumn_);
    return sortOrder_ == Qt::AscendingOrder ? Compare(c, a, b) : Compare(c, b, a);
}

bool NamesListModel::Compare(Column c, const NamesRow& a, const NamesRow& b) const
{
    if (c == Column::Description) {
        const int order = a.description.compare(b.description, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.id < b.id;
    }
    const int64_t x = Number(a, c), y = Number(b, c);
    return x != y ? x < y : a.id < b.id;
}

int NamesListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int NamesListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant NamesListModel::Display(const NamesRow& row, Column column) const
{
    const bool own = row.textColor != row.backColor;
    switch (column) {
    case Column::Number: return QString::number(row.id);
    case Column::Hex: return QString::number(row.id, 16).toUpper();
    case Column::Description: return row.description;
    case Column::Priority: return QString::number(row.priority);
    case Column::TextColour: return own ? ColourText(row.textColor) : QStringLiteral("Default");
    case Column::BackColour: return own ? ColourText(row.backColor) : QStringLiteral("Default");
    case Column::FirstSeen: return TimeText(row.firstSeen);
    case Column::LastSeen: return TimeText(row.lastSeen);
    case Column::Calls: return QString::number(row.calls);
    case Column::Airtime: return AirtimeText(row.airtimeSeconds);
    }
    return {};
}

QVariant NamesListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const NamesRow& row = Row(index.row());
    const Column column = ColumnAt(index.column());
    switch (role) {
    case Qt::DisplayRole: return Display(row, column);
    case Qt::EditRole:
        if (column == Column::Priority)
            return row.priority;
        return Display(row, column);
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        // The description shows in the entry's colours, as the edit dialogs' name field does.
        if (column != Column::Description)
            return {};
        uint32_t text = 0, back = 0;
        ShownColours(row, text, back);
        return ToQColor(role == Qt::ForegroundRole ? text : back);
    }
    case Qt::DecorationRole: {
        // A colour cell shows a swatch of the colour in use (the default one when it has none).
        if (column != Column::TextColour && column != Column::BackColour)
            return {};
        uint32_t text = 0, back = 0;
        ShownColours(row, text, back);
        return ToQColor(column == Column::TextColour ? text : back);
    }
    case Qt::TextAlignmentRole:
        if (column == Column::Description || column == Column::TextColour || column == Column::BackColour)
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant NamesListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return Caption(ColumnAt(section));
}

Qt::ItemFlags NamesListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return f;
    const Column column = ColumnAt(index.column());
    if (column == Column::Description || column == Column::Priority)
        f |= Qt::ItemIsEditable;
    return f;
}

bool NamesListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount() || !commit)
        return false;
    NamesRow row = Row(index.row());
    const Column column = ColumnAt(index.column());
    if (column == Column::Description) {
        // The same limit as the edit dialogs' name field; a longer text (pasted) is cut.
        row.description = value.toString().left(static_cast<qsizetype>(names_rows::NameLength(kind_)));
    } else if (column == Column::Priority) {
        bool ok = false;
        const int priority = value.toString().trimmed().toInt(&ok, 10);
        if (!ok || priority < 0 || priority > 99)
            return false;
        row.priority = priority;
    } else {
        return false;
    }
    if (row.SameEntry(Row(index.row())))
        return true;
    names_rows::MakeSearchKey(row);
    return commit(row);
}
