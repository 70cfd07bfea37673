#pragma once

#include <QSortFilterProxyModel>

#include <string>

class NamesListModel;

// The list editor's view of a NamesListModel: only the rows whose number (decimal or hex) or
// description holds the search text, in the model's order. A header click sorts the model itself
// (numbers as numbers), so a keystroke filters 100,000 rows without sorting them again; the
// filter looks at the model's rows directly, not through data().
class NamesFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit NamesFilterProxy(NamesListModel& model, QObject* parent = nullptr);

    // Filters by `text` (compared without regard to case; empty shows every row).
    void SetSearch(const QString& text);
    const std::string& Search() const { return needle_; }
    // The header's sort goes to the model.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    NamesListModel& model_;
    std::string needle_;
};
