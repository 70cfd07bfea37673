// What holding a full log under an open pop-up costs the main thread: a grant trace of 5,000 rows
// (its cap) in a shown view; the pop-up opens (the rows are held), 50 grants arrive behind it,
// the pop-up closes (the view takes the rows again and finds its selection and place). Prints
// the median and the longest time of the opening and of the closing over the runs.
//
//   bench_list_hold [runs]          (Qt offscreen or a display)
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ui/views/ListHold.h"
#include "ui/views/ListModel.h"
#include "ui/views/ListViewTable.h"

namespace {

constexpr int kRows = 5000;
constexpr int kArriving = 50;

QStringList GrantRow(int i)
{
    return {QStringLiteral("04/21 14:07:%1").arg(i % 60, 2, 10, QLatin1Char('0')),
            QStringLiteral("Group"),
            QStringLiteral("01-0590"),
            QStringLiteral("854.69375"),
            QString::number(1000 + i % 50),
            QStringLiteral("T: 105 DT: 4/21/09@14:07"),
            QString::number(1400000 + i),
            QStringLiteral("TG: 1003 DT: 4/21/09@14:07")};
}

void Report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s median %.3f ms, longest %.3f ms\n", what, ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // The grant trace as the window makes it (its model caps it at 5,000 rows).
    std::unique_ptr<QTreeView> list(MakeListView("ListView8", nullptr));
    QTreeView& view = *list;
    ListModel& model = *ModelOf(&view);
    view.resize(1000, 600);
    view.show();
    QMenu menu;
    menu.addAction(QStringLiteral("Edit TalkGroup"));
    int next = 0;
    for (; next < kRows; ++next)
        model.AppendRow(GrantRow(next));
    QApplication::processEvents();

    std::vector<double> open, close;
    for (int run = 0; run < runs; ++run) {
        view.selectionModel()->select(model.index(kRows / 2, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QElapsedTimer t;
        t.start();
        menu.popup(QPoint(10, 10));
        HoldWhileMenuOpen(menu, view);
        open.push_back(t.nsecsElapsed() / 1e6);
        for (int i = 0; i < kArriving; ++i, ++next)
            model.AppendRow(GrantRow(next));  // trims the oldest: the log stays at its cap
        t.restart();
        menu.hide();
        close.push_back(t.nsecsElapsed() / 1e6);
        QApplication::processEvents();
        if (model.ShownRows() != kRows || view.selectionModel()->selectedRows().size() != 1) {
            std::fprintf(stderr, "the view lost rows or its selection\n");
            return 1;
        }
    }
    std::printf("%d rows, %d arriving while held, %d runs\n", kRows, kArriving, runs);
    Report("pop-up opens (the rows are held)", open);
    Report("pop-up closes (the view takes them)", close);
    return 0;
}
