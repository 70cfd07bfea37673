#pragma once

#include <QSortFilterProxyModel>

#include <string>

class NamesListModel;

// The list editor's view of a NamesListModel: only the rows whose number (decimal or hex) or
// description holds the search text, sorted by the model's own comparison (numbers as numbers).
// Both look at the model's rows directly, not through data(), so a keystroke over 100,000 rows
// stays within a few milliseconds.
class NamesFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit NamesFilterProxy(NamesListModel& model, QObject* parent = nullptr);

    // Filters by `text` (compared without regard to case; empty shows every row).
    void SetSearch(const QString& text);
    const std::string& Search() const { return needle_; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    NamesListModel& model_;
    std::string needle_;
};
