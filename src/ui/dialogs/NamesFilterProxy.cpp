#include "ui/dialogs/NamesFilterProxy.h"

#include "ui/dialogs/NamesListModel.h"

NamesFilterProxy::NamesFilterProxy(NamesListModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model)
{
    setSourceModel(&model);
}

void NamesFilterProxy::SetSearch(const QString& text)
{
    std::string needle = text.trimmed().toLower().toStdString();
    if (needle == needle_)
        return;
    needle_ = std::move(needle);
    invalidate();
}

bool NamesFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return model_.Matches(sourceRow, needle_);
}

void NamesFilterProxy::sort(int column, Qt::SortOrder order)
{
    model_.sort(column, order);
}
