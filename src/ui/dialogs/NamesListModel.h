#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <vector>

#include "ui/dialogs/NamesRows.h"

// The rows of the list editor's talkgroup or radio table, a copy of the table, so data() is a
// vector look-up. The model keeps its rows in the order the user sorted them (id order until a
// header is clicked): the search's filter then keeps that order without sorting again. Talkgroups: number, hex,
// description, priority, text colour, back colour, first seen, last seen, calls, airtime; radios: number, hex,
// description, text colour, back colour, last seen. Description and priority are edited in place; what the user typed
// goes to `commit`, which writes the table and answers whether it took the row.
class NamesListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Column {
        Number,
        Hex,
        Description,
        Priority,
        TextColour,
        BackColour,
        FirstSeen,
        LastSeen,
        Calls,
        Airtime
    };

    explicit NamesListModel(names_rows::Kind kind, QObject* parent = nullptr);

    names_rows::Kind Kind() const { return kind_; }
    Column ColumnAt(int column) const { return columns_[static_cast<size_t>(column)]; }
    int ColumnOf(Column column) const;

    void SetRows(std::vector<NamesRow> rows);
    const std::vector<NamesRow>& Rows() const { return rows_; }
    const NamesRow& Row(int row) const { return rows_[static_cast<size_t>(row)]; }
    int RowOf(int32_t id) const;  // -1 when absent
    // Replaces the row with the same id (it stays where it is until the next sort), or inserts it
    // at its place in the current order.
    void PutRow(NamesRow row);
    void RemoveId(int32_t id);

    // The colours a row shows when its pair is not its own (text == back).
    void SetDefaultColours(uint32_t text, uint32_t back);
    // The pair a row shows: its own, or the defaults.
    void ShownColours(const NamesRow& row, uint32_t& text, uint32_t& back) const;

    // Whether the row's number (decimal or hex) or description holds `needle` (lower case).
    bool Matches(int row, const std::string& needle) const;
    // Sorts the rows by a column: numbers as numbers, texts without regard to case, the id deciding
    // between equals; column -1 is id order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    std::function<bool(const NamesRow& edited)> commit;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    QVariant Display(const NamesRow& row, Column column) const;
    bool Compare(Column column, const NamesRow& a, const NamesRow& b) const;
    // Whether a comes before b in the current order.
    bool Before(const NamesRow& a, const NamesRow& b) const;

    names_rows::Kind kind_;
    std::vector<Column> columns_;
    std::vector<NamesRow> rows_;
    uint32_t defaultText_ = 0;
    uint32_t defaultBack_ = 0xFFFFFF;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
