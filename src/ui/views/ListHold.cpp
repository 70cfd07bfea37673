#include "ui/views/ListHold.h"

#include <QItemSelection>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTreeView>

#include <vector>

#include "ui/views/ListModel.h"

namespace {

// Where the user was in the held rows, by the rows' ids (positions change meanwhile).
struct Place {
    std::vector<uint64_t> selected;
    uint64_t current = 0;
    uint64_t top = 0;
    bool atEnd = false;
};

Place PlaceOf(const QTreeView& view, const ListModel& m)
{
    Place p;
    if (const QItemSelectionModel* selection = view.selectionModel()) {
        for (const QModelIndex& i : selection->selectedRows())
            p.selected.push_back(m.ShownId(i.row()));
    }
    if (view.currentIndex().isValid())
        p.current = m.ShownId(view.currentIndex().row());
    if (const QModelIndex top = view.indexAt(QPoint(0, 0)); top.isValid())
        p.top = m.ShownId(top.row());
    const QScrollBar* bar = view.verticalScrollBar();
    p.atEnd = bar && bar->maximum() > 0 && bar->value() >= bar->maximum();
    return p;
}

void Restore(QTreeView& view, const ListModel& m, const Place& p)
{
    const int lastColumn = m.columnCount() - 1;
    if (QItemSelectionModel* selection = view.selectionModel()) {
        QItemSelection rows;
        for (uint64_t id : p.selected) {
            if (const int row = m.RowOfId(id); row >= 0)
                rows.select(m.index(row, 0), m.index(row, lastColumn));
        }
        selection->select(rows, QItemSelectionModel::ClearAndSelect);
        if (const int row = m.RowOfId(p.current); p.current != 0 && row >= 0)
            selection->setCurrentIndex(m.index(row, 0), QItemSelectionModel::NoUpdate);
    }
    if (p.atEnd)
        view.scrollToBottom();
    else if (const int row = m.RowOfId(p.top); p.top != 0 && row >= 0)
        view.scrollTo(m.index(row, 0), QAbstractItemView::PositionAtTop);
}

void ReleaseHeld(QTreeView& view)
{
    ListModel* m = ModelOf(&view);
    if (!m || !m->Held())
        return;
    const Place place = PlaceOf(view, *m);
    if (m->Release())
        Restore(view, *m, place);
}

}  // namespace

void HoldWhileMenuOpen(QMenu& menu, QTreeView& view)
{
    ListModel* m = ModelOf(&view);
    if (!m || !menu.isVisible())
        return;  // a menu that is not shown never hides: nothing would release the list
    m->Hold();
    QPointer<QTreeView> held(&view);
    QObject::connect(
        &menu, &QMenu::aboutToHide, &view,
        [held] {
            if (held)
                ReleaseHeld(*held);
        },
        Qt::SingleShotConnection);
}
