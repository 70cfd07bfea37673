#pragma once

// Widgets found by their objectNames, as a test (or a user's accessibility tool) finds them: the
// list models of a window, and the stand-in window's widgets collected into the typed pointers
// the program's updaters use.

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeView>

#include <cstring>

#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListModel.h"
#include "ui/views/ListViewTable.h"
#include "ui/views/MainWindowWidgets.h"

// The model of the list view named `viewName` below `root`, or nullptr.
inline ListModel* FindListModel(const QObject* root, const char* viewName)
{
    if (!root)
        return nullptr;
    return ModelOf(root->findChild<QAbstractItemView*>(QString::fromLatin1(viewName)));
}

// The role of the list named `viewName` ("ListView8": ListRole::GrantTrace).
inline ListRole RoleOf(const char* viewName)
{
    const auto& lists = MainWindowLists();
    for (size_t i = 0; i < lists.size(); ++i)
        if (std::strcmp(lists[i].name, viewName) == 0)
            return static_cast<ListRole>(i);
    ADD_FAILURE() << "no list " << viewName;
    return ListRole::Count;
}

// Every widget below `root` that carries one of the main window's names.
inline MainWindowWidgets FindWindowWidgets(QWidget& root)
{
    using namespace ui_names;
    MainWindowWidgets w;
    auto find = [&root]<class T>(T*& kept, const char* name) { kept = root.findChild<T*>(QString::fromLatin1(name)); };
    const auto& lists = MainWindowLists();
    for (size_t i = 0; i < lists.size() && i < w.lists.size(); ++i)
        find(w.lists[i], lists[i].name);
    find(w.pages, kPageControl);
    find(w.affiliationListPage, kTabAffList);
    find(w.patchesPage, kTabPatches);
    const struct {
        LogControls& kept;
        const char *save, *clear, *autoSave, *autoScroll;
    } logs[] = {{w.affiliationLog, kAffLogSave, kAffLogClear, kAffLogAutoSave, kAffLogAutoScroll},
                {w.unknownPackets, kUnknownSave, kUnknownClear, kUnknownAutoSave, kUnknownAutoScroll},
                {w.grantTrace, kGrantsSave, kGrantsClear, kGrantsAutoSave, kGrantsAutoScroll},
                {w.otherEvents, kEventsSave, kEventsClear, kEventsAutoSave, kEventsAutoScroll},
                {w.patchLog, kPatchLogSave, kPatchLogClear, kPatchLogAutoSave, kPatchLogAutoScroll},
                {w.packetDump, kDumpSave, kDumpClear, kDumpAutoSave, kDumpAutoScroll},
                {w.rawData, kRawSave, kRawClear, kRawAutoSave, kRawAutoScroll}};
    for (const auto& log : logs) {
        find(log.kept.saveButton, log.save);
        find(log.kept.clearButton, log.clear);
        find(log.kept.autoSaveBox, log.autoSave);
        find(log.kept.autoScrollBox, log.autoScroll);
    }
    find(w.affiliationListRefresh, kAffListRefresh);
    find(w.affiliationLogRefresh, kAffLogRefresh);
    find(w.grantTraceRefresh, kGrantsRefresh);
    find(w.filterRegistrationsBox, kFilterRegistrations);
    find(w.affiliateCount, kAffiliateCount);
    find(w.filterEnableBox, kFilterEnable);
    find(w.addRangeButton, kAddRangeButton);
    find(w.deleteRangeButton, kDeleteRangeButton);
    find(w.addRangeAction, kAddRangeAction);
    find(w.enableRangeAction, kEnableRangeAction);
    find(w.disableRangesAction, kDisableRangesAction);
    find(w.deleteRangeAction, kDeleteRangeAction);
    find(w.holdButton, kHoldButton);
    find(w.holdLabel, kHoldLabel);
    find(w.usageButton, kUsageButton);
    find(w.thresholdHighSpin, kThresholdHighUpDown);
    find(w.thresholdLowSpin, kThresholdLowUpDown);
    find(w.sysIdValue, kSysIdValue);
    find(w.systemDescValue, kSystemDescValue);
    find(w.talkgroupCount, kTGIDCount);
    find(w.radioCount, kRIDCount);
    find(w.siteIdValue, kSiteIdValue);
    find(w.wacnValue, kWacnValue);
    find(w.siteStatusValue, kSiteStatusValue);
    find(w.siteDescValue, kSiteDescValue);
    find(w.statusSystemValue, kStatusSystemValue);
    find(w.statusSiteValue, kStatusSiteValue);
    find(w.statusTalkgroupsValue, kStatusTGIDsValue);
    find(w.statusRadiosValue, kStatusRIDsValue);
    find(w.statusStatusValue, kStatusStatusValue);
    find(w.importLabel, kImportLabel);
    return w;
}
