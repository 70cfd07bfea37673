#pragma once

#include <QStringList>

#include <vector>

class QTreeView;
class QWidget;

// The report-style lists of the main window: name, column captions, and for the log views
// their row cap (oldest rows go first) and the saved mark shown as the first cell's check box.
struct ListViewDef {
    const char* name;  // objectName, "ListView8"
    QStringList columns;
    int cap;                  // 0: no cap
    bool log;                 // a log view: rows carry a saved mark
    std::vector<int> widths;  // designed column widths in pixels (the last column stretches)
};

// Every list of the main window, ListView1 to ListView16 in number order.
const std::vector<ListViewDef>& MainWindowLists();
const ListViewDef* FindListDef(const char* name);

// A QTreeView named after the list with a ListModel of its columns, cap and saved marks.
QTreeView* MakeListView(const ListViewDef& def, QWidget* parent);
QTreeView* MakeListView(const char* name, QWidget* parent);
