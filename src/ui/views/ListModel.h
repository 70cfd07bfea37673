#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class QAbstractItemView;
class QObject;

// The rows of one report-style list of the main window (activity, logs, snapshots): texts per
// cell, colours per row with per-cell overrides, and for the log views a saved mark per row
// (shown as the check box of the first cell). Logs keep at most `cap` rows and lose their oldest
// first. Views are QTreeViews named after the list ("ListView12") with one of these as model.
//
// Every row carries an order key that grows from the first row to the last, so a row's position
// is found by binary search. A log trimmed by the age of its rows (OldestRow) also keeps an index
// of its time texts, kept up to date by every change, so finding its oldest row takes a look-up
// in that index instead of a pass over the whole log.
class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QStringList cells;
        bool saved = false;
        QColor text;  // invalid: the view's default
        QColor back;
        std::vector<std::pair<QColor, QColor>> cellColors;  // per column (text, back); invalid: the row's
        // Its own colours win over the odd/even alternation (a row that must stand out: an
        // emergency call).
        bool standOut = false;
        // A log row that records a call flagged as emergency (RowColours paints it red while the
        // call lasts).
        bool emergency = false;
        int64_t order = 0;  // set by the model: grows along the rows
        uint64_t id = 0;    // set by the model: names the row for its life, whatever moves it
    };

    explicit ListModel(QStringList headers, int cap = 0, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QStringList& Headers() const { return headers_; }
    int Cap() const { return cap_; }
    void SetCap(int cap);
    // Log views show the saved mark as a check box in the first column.
    void SetShowsSavedMarks(bool on) { savedMarks_ = on; }
    bool ShowsSavedMarks() const { return savedMarks_; }

    // Appends rows (saved mark false) and trims the oldest beyond the cap; returns the index of
    // the first new row after trimming.
    int AppendRow(const QStringList& cells);
    int AppendRows(const std::vector<QStringList>& rows);
    // Replaces every row (snapshot views).
    void SetRows(std::vector<Row> rows);
    void Clear();
    void RemoveRows(int first, int count);
    void InsertRow(int at, Row row);

    int Count() const { return static_cast<int>(rows_.size()); }
    const Row& RowAt(int row) const { return rows_[static_cast<size_t>(row)]; }
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    void SetRowColors(int row, const QColor& text, const QColor& back);
    void SetCellColors(int row, int column, const QColor& text, const QColor& back);
    bool Saved(int row) const { return RowAt(row).saved; }
    void SetSaved(int row, bool saved);
    void SetStandOut(int row, bool on);
    void SetEmergency(int row, bool on);
    // The row that carries `id`, or -1.
    int RowOfId(uint64_t id) const;

    // Reorders the rows with a strict weak ordering (stable, so equal rows keep their order).
    void SortRows(const std::function<bool(const Row&, const Row&)>& less);
    // Moves the last row to its place in rows already in `less` order, after the rows it equals
    // (the outcome of a stable sort, without sorting the whole list again); returns its index.
    int PlaceLastRow(const std::function<bool(const Row&, const Row&)>& less);

    // The row to remove first from a log by age: the earliest text in `timeColumn`, except that
    // texts later than `nowText` are last year's and so come before every other (the turn of the
    // year does not remove the newest rows); of rows with the same text, the one shown first.
    // -1 when empty. The first call for a column builds the index that later calls use.
    int OldestRow(int timeColumn, const QString& nowText);

    // Odd/even colouring: rows at even positions (the first is 0) take the even pair, the others
    // the odd pair, whatever colours the rows carry; by position, so it holds after sorting and
    // trimming. Switched off, the rows' own colours apply again.
    void SetOddEvenColours(const QColor& evenText, const QColor& evenBack, const QColor& oddText,
                           const QColor& oddBack);
    void ClearOddEvenColours();
    bool OddEven() const { return oddEven_; }

    // Holding: the view keeps showing the rows as they are now while the rows themselves go on
    // changing (Count, Cell, RowAt and every change work on the current rows as usual); Release
    // shows them all at once. Holds nest. What the view shows is told by ShownRows/ShownId.
    void Hold();
    // Ends one hold; true when the last hold ended and the view was given rows that changed.
    bool Release();
    bool Held() const { return shown_ != nullptr; }
    int ShownRows() const;
    // The id of the row the view shows at `row`, or 0.
    uint64_t ShownId(int row) const;

private:
    using AgeKey = std::pair<QString, int64_t>;  // time text, order key

    // Gives every row a new order key, evenly spaced, and rebuilds the age index.
    void Renumber();
    // An order key for the row just inserted at `at`, between its neighbours; false when there was
    // no room and every row was renumbered instead (the age index then already holds the row).
    bool PlaceOrder(int at);
    int RowOfOrder(int64_t order) const;
    AgeKey AgeKeyOf(const Row& row) const;
    void AgeInsert(const Row& row);
    void AgeErase(const Row& row);
    // The rows the view sees: the held copy while held.
    const std::deque<Row>& Shown() const { return shown_ ? *shown_ : rows_; }
    // Whether the view is told about changes now (not while held); a change while held is noted
    // for the release.
    bool Tell();

    QStringList headers_;
    int cap_;
    bool savedMarks_ = false;
    bool oddEven_ = false;
    QColor evenText_, evenBack_, oddText_, oddBack_;
    std::deque<Row> rows_;
    int ageColumn_ = -1;  // -1: no age index
    std::set<AgeKey> age_;
    uint64_t nextId_ = 1;
    // While held: the rows as the view saw them at the hold, the depth of nested holds, and
    // whether the rows changed since.
    std::unique_ptr<const std::deque<Row>> shown_;
    int holds_ = 0;
    bool changedWhileHeld_ = false;
};

// The model of a list view, or nullptr (no view, or a view without a ListModel).
ListModel* ModelOf(const QAbstractItemView* view);
