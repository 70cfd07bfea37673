#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "persist/NamesImport.h"

// The rows an import will apply (new and changed), for the preview's table: line, number, name,
// priority and what happens to the entry. It refers to the plan's rows, which the dialog keeps
// unchanged while the model shows them; unchanged rows are left out.
class NamesImportRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kLine, kNumber, kName, kPriority, kChange, kColumns };

    explicit NamesImportRowsModel(QObject* parent = nullptr);

    // Shows the applicable rows of `plan` (which must outlive the next call or ShowPlan).
    void ShowPlan(const NamesImport::Plan* plan);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const NamesImport::Plan* plan_ = nullptr;
    std::vector<int> shown_;  // indices into plan_->rows
};
