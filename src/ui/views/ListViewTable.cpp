#include "ui/views/ListViewTable.h"

#include <QHeaderView>
#include <QTreeView>

#include <cstring>
#include <vector>

#include "ui/views/ListModel.h"

namespace {

constexpr int kLogCap = 5000;
constexpr int kLargeLogCap = 10000;  // packet dump and raw data

std::vector<ListViewDef> BuildTable()
{
    return {
        {"ListView1",
         {"Ch", "Frequency", "Usage", "Type", "Priority", "TlkGrp", "TalkGroup Desc", "Radio ID", "Radio Desc",
          "Active", "Hits"},
         0,
         false,
         {60, 75, 45, 95, 50, 50, 140, 65, 140, 50, 45}},
        {"ListView2",
         {"Site ID", "SysID", "Ch", "Frequency", "Site Name", "Status"},
         0,
         false,
         {90, 50, 60, 75, 160, 120}},
        {"ListView3", {"ID", "Base", "Spacing", "TX Offset", "A/C", "Bandwidth"}, 0, false, {35, 75, 60, 70, 35, 70}},
        {"ListView4",
         {"TalkGrp", "TG ID", "RadID", "Description", "Last Affiliation"},
         0,
         false,
         {60, 160, 70, 160, 110}},
        {"ListView5", {"From-->To"}, 0, false, {300}},
        {"ListView6",
         {"Time", "Function", "TG ID", "TG Description", "Radio ID", "Radio Description"},
         kLogCap,
         true,
         {130, 140, 55, 150, 70, 150}},
        {"ListView7", {"Time", "Op", "Packet Data", "Notes"}, kLogCap, true, {130, 35, 260, 200}},
        {"ListView8",
         {"Time Stamp", "Type", "Channel", "Frequency", "TG", "TalkGroup ID", "Radio ID", "Radio Description"},
         kLogCap,
         true,
         {130, 90, 60, 75, 50, 140, 65, 140}},
        {"ListView9", {"Time Stamp", "Packet Data", "Event Description"}, kLogCap, true, {130, 260, 300}},
        {"ListView10", {"Time Stamp", "Description"}, kLogCap, true, {130, 400}},
        {"ListView11", {"Item", "Value"}, 0, false, {120, 200}},
        {"ListView12", {"Time", "Packet Data", "Description"}, kLargeLogCap, true, {130, 260, 300}},
        {"ListView13", {"Talkgroup", "Patched to"}, 0, false, {70, 70}},
        {"ListView14",
         {"Time", "Type", "Ch", "Freq", "TG", "TG Desc", "RID", "RID Description"},
         0,
         false,
         {60, 60, 60, 70, 45, 110, 60, 110}},
        {"ListView15", {"Recieved Data"}, kLargeLogCap, true, {400}},
        {"ListView16", {"Low", "High", "Active"}, 0, false, {60, 60, 45}},
    };
}

}  // namespace

const std::vector<ListViewDef>& MainWindowLists()
{
    static const std::vector<ListViewDef> table = BuildTable();
    return table;
}

const ListViewDef* FindListDef(const char* name)
{
    for (const ListViewDef& def : MainWindowLists())
        if (std::strcmp(def.name, name) == 0)
            return &def;
    return nullptr;
}

QTreeView* MakeListView(const ListViewDef& def, QWidget* parent)
{
    auto* view = new QTreeView(parent);
    view->setObjectName(def.name);
    auto* model = new ListModel(def.columns, def.cap, view);
    model->SetShowsSavedMarks(def.log);
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSortingEnabled(false);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->header()->setStretchLastSection(true);
    for (size_t c = 0; c < def.widths.size(); ++c)
        view->header()->resizeSection(static_cast<int>(c), def.widths[c]);
    view->header()->setSectionsMovable(false);
    return view;
}

QTreeView* MakeListView(const char* name, QWidget* parent)
{
    const ListViewDef* def = FindListDef(name);
    Q_ASSERT(def);
    return MakeListView(*def, parent);
}
