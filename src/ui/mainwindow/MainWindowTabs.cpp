// The page control of the main window and its ten tab pages.
#include "ui/mainwindow/MainWindowTabs.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "persist/Settings.h"
#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/mainwindow/ResizeWatcher.h"
#include "ui/views/ListViewTable.h"

using namespace ui_names;

const std::vector<TabDef>& MainWindowTabTable()
{
    static const std::vector<TabDef> table = {
        {kTabActivity, "System Activity", [](const Settings&) { return true; }},
        {kTabAffLog, "Affilation Log", [](const Settings& s) { return s.affiliations.visible; }},
        {kTabAffList, "Affiliation List (0)", [](const Settings& s) { return s.affiliations.visible; }},
        {kTabSiteInfo, "Site Information", [](const Settings& s) { return s.towerInfo.visible; }},
        {kTabPatches, "Patches (0)", [](const Settings& s) { return s.patches.visible; }},
        {kTabOtherEvents, "Other Events", [](const Settings& s) { return s.otherInfo.visible; }},
        {kTabGrants, "Channel Grant Trace", [](const Settings& s) { return s.grants.visible; }},
        {kTabUnknown, "Unknown Packets", [](const Settings& s) { return s.unknowns.visible; }},
        {kTabPacketDump, "Packet Dump", [](const Settings& s) { return s.pktDump.visible; }},
        {kTabRawData, "RAW Data Dump", [](const Settings& s) { return s.psrDump.visible; }},
    };
    return table;
}

namespace {

QPushButton* Button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QCheckBox* CheckBox(const char* name, const QString& caption, QWidget* parent, bool checked = false)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setChecked(checked);
    return c;
}

QLabel* Label(const QString& text, QWidget* parent, const char* name = nullptr)
{
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(name);
    return l;
}

// A list in a frame with its caption (no frame when the caption is empty).
QWidget* Framed(const QString& caption, const char* listName, QWidget* parent, QTreeView** view = nullptr)
{
    auto* frame = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 4, 4, 4);
    QTreeView* list = MakeListView(listName, frame);
    layout->addWidget(list);
    if (view)
        *view = list;
    return frame;
}

// The buttons and boxes below a log: Save, Clear, [Refresh], Auto Save, Auto Scroll.
struct LogControls {
    const char* save;
    const char* clear;
    const char* refresh;  // may be null
    const char* autoSave;
    const char* autoScroll;
};

QHBoxLayout* LogRow(const LogControls& c, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->addWidget(Button(c.save, "Save", parent));
    row->addWidget(Button(c.clear, "Clear", parent));
    if (c.refresh)
        row->addWidget(Button(c.refresh, "Refresh", parent));
    row->addWidget(CheckBox(c.autoSave, "Auto Save", parent));
    // The "Auto Scroll" boxes start checked at every program start; their state is not stored.
    row->addWidget(CheckBox(c.autoScroll, "Auto Scroll", parent, true));
    row->addStretch(1);
    return row;
}

QWidget* Page(QTabWidget* pages, const char* name)
{
    auto* page = new QWidget(pages);
    page->setObjectName(name);
    return page;
}

QWidget* LogPage(QTabWidget* pages, const char* name, const QString& frameCaption, const char* list,
                 const LogControls& controls, QCheckBox* extra = nullptr)
{
    QWidget* page = Page(pages, name);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Framed(frameCaption, list, page), 1);
    QHBoxLayout* row = LogRow(controls, page);
    if (extra) {
        extra->setParent(page);
        row->insertWidget(0, extra);
    }
    layout->addLayout(row);
    return page;
}

QWidget* FilterPanel(QWidget* parent)
{
    auto* panel = new QGroupBox("Affiliation Log Filter Options", parent);
    panel->setObjectName(kFilterPanel);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(CheckBox(kFilterEnable, "Enable Affiliation Log Filter", panel));
    QTreeView* ranges = MakeListView(kListFilterRanges, panel);
    layout->addWidget(ranges, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(Button(kAddRangeButton, "Add Range", panel));
    row->addWidget(Button(kDeleteRangeButton, "Delete Range", panel));
    layout->addLayout(row);

    // The range list's pop-up menu; its commands belong to the affiliation filter.
    auto* menu = new QMenu(ranges);
    menu->setObjectName(kRangeMenu);
    const std::pair<const char*, const char*> items[] = {{kAddRangeAction, "Add Range"},
                                                         {kEnableRangeAction, "Enable Range(s)"},
                                                         {kDisableRangesAction, "Disable Range(s)"},
                                                         {kDeleteRangeAction, "Delete Range"}};
    for (const auto& [name, caption] : items)
        menu->addAction(caption)->setObjectName(name);
    ranges->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(ranges, &QWidget::customContextMenuRequested, menu,
                     [menu, ranges](const QPoint& at) { menu->popup(ranges->viewport()->mapToGlobal(at)); });
    panel->setMinimumWidth(200);
    return panel;
}

QWidget* AffiliationLogPage(QTabWidget* pages)
{
    QWidget* page = Page(pages, kTabAffLog);
    auto* outer = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    left->addWidget(Framed("Affiliation Log", kListAffLog, page), 1);
    left->addLayout(LogRow({kAffLogSave, kAffLogClear, kAffLogRefresh, kAffLogAutoSave, kAffLogAutoScroll}, page));
    outer->addLayout(left, 1);
    outer->addWidget(FilterPanel(page));
    return page;
}

QWidget* AffiliationListPage(QTabWidget* pages)
{
    QWidget* page = Page(pages, kTabAffList);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Framed("Site Affiliations", kListAffList, page), 1);
    auto* row = new QHBoxLayout;
    row->addWidget(Label("Affiliate Count:", page));
    row->addWidget(Label("0", page, kAffiliateCount));
    row->addWidget(Button(kAffListRefresh, "Refresh", page));
    row->addStretch(1);
    layout->addLayout(row);
    return page;
}

QWidget* SiteInformationPage(QTabWidget* pages)
{
    QWidget* page = Page(pages, kTabSiteInfo);
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    top->addWidget(Framed("Site Information", kListSiteInfo, page), 1);
    top->addWidget(Framed("Frequency Identifier Tables", kListIdentifiers, page), 1);
    layout->addLayout(top, 1);
    layout->addWidget(Framed("Adjacent Site Information", kListNeighbors, page), 1);
    return page;
}

QWidget* PatchesPage(QTabWidget* pages)
{
    QWidget* page = Page(pages, kTabPatches);
    auto* outer = new QHBoxLayout(page);
    outer->addWidget(Framed("Patch List", kListPatchList, page), 1);
    auto* right = new QVBoxLayout;
    right->addWidget(Framed("Patch Log", kListPatchLog, page), 1);
    right->addLayout(LogRow({kPatchLogSave, kPatchLogClear, nullptr, kPatchLogAutoSave, kPatchLogAutoScroll}, page));
    outer->addLayout(right, 2);
    return page;
}

}  // namespace

namespace {

// "High:" / "Low:": an up-down control whose edit field carries the field's own name.
QSpinBox* Threshold(const char* upDownName, const char* editName, int low, int high, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(upDownName);
    spin->setRange(low, high);
    spin->setMinimumWidth(48);  // two digits and the arrows
    if (auto* edit = spin->findChild<QLineEdit*>())
        edit->setObjectName(editName);
    return spin;
}

QWidget* HoldControls(QWidget* parent, QWidget** thresholdsOut)
{
    auto* controls = new QWidget(parent);
    auto* box = new QBoxLayout(QBoxLayout::TopToBottom, controls);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(Button(kHoldButton, "Hold TalkGroup", controls));
    box->addWidget(Label("No Hold", controls, kHoldLabel));
    box->addWidget(Button(kUsageButton, "Usage Code Descriptions", controls));

    // The caption above the two fields in the column, beside them in the row.
    auto* thresholds = new QWidget(controls);
    auto* outer = new QBoxLayout(QBoxLayout::TopToBottom, thresholds);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Label("Monitor Priority Threshold:", thresholds));
    auto* fields = new QHBoxLayout;
    fields->addWidget(Label("High:", thresholds));
    fields->addWidget(Threshold(kThresholdHighUpDown, kThresholdHighEdit, 10, 99, thresholds));
    fields->addWidget(Label("Low:", thresholds));
    fields->addWidget(Threshold(kThresholdLowUpDown, kThresholdLowEdit, 1, 99, thresholds));
    fields->addStretch(1);
    outer->addLayout(fields);
    box->addWidget(thresholds);
    box->addStretch(1);
    *thresholdsOut = thresholds;
    return controls;
}

}  // namespace

void TForm1::BuildTabs(QWidget* central)
{
    auto* pages = new QTabWidget(central);
    pages->setObjectName(kPageControl);
    pages->setTabPosition(QTabWidget::South);
    layout_->pages = pages;

    // System Activity.
    QWidget* activity = Page(pages, kTabActivity);
    auto* activityLayout = new QVBoxLayout(activity);
    activityLayout->setContentsMargins(4, 4, 4, 4);
    auto* frame = new QGroupBox("Site Activity", activity);
    frame->setObjectName(kActivityFrame);
    activityLayout->addWidget(frame);
    layout_->activityFrame = frame;
    layout_->activityList = MakeListView(kListActivity, frame);
    layout_->patchFrame = Framed("Current Patch List", kListCurrentPatches, frame);
    layout_->patchFrame->setObjectName(kCurrentPatchFrame);
    layout_->grantsFrame = Framed("Recent Channel Grants:", kListRecentGrants, frame);
    layout_->grantsFrame->setObjectName(kRecentGrantsFrame);
    layout_->holdControls = HoldControls(frame, &layout_->thresholds);
    new ResizeWatcher(frame, [this] { LayoutActivityFrame(*layout_, settings_); });
    pages->addTab(activity, MainWindowTabTable()[0].caption);

    pages->addTab(AffiliationLogPage(pages), MainWindowTabTable()[1].caption);
    pages->addTab(AffiliationListPage(pages), MainWindowTabTable()[2].caption);
    pages->addTab(SiteInformationPage(pages), MainWindowTabTable()[3].caption);
    pages->addTab(PatchesPage(pages), MainWindowTabTable()[4].caption);
    pages->addTab(LogPage(pages, kTabOtherEvents, "Other events", kListOtherEvents,
                          {kEventsSave, kEventsClear, nullptr, kEventsAutoSave, kEventsAutoScroll},
                          CheckBox(kFilterRegistrations, "Filter Unit Registrations", nullptr)),
                  MainWindowTabTable()[5].caption);
    pages->addTab(LogPage(pages, kTabGrants, "Grant Trace", kListGrantTrace,
                          {kGrantsSave, kGrantsClear, kGrantsRefresh, kGrantsAutoSave, kGrantsAutoScroll}),
                  MainWindowTabTable()[6].caption);
    pages->addTab(LogPage(pages, kTabUnknown, "Unknown Packets", kListUnknown,
                          {kUnknownSave, kUnknownClear, nullptr, kUnknownAutoSave, kUnknownAutoScroll}),
                  MainWindowTabTable()[7].caption);
    pages->addTab(LogPage(pages, kTabPacketDump, "Packet Dump:", kListPacketDump,
                          {kDumpSave, kDumpClear, nullptr, kDumpAutoSave, kDumpAutoScroll}),
                  MainWindowTabTable()[8].caption);
    pages->addTab(LogPage(pages, kTabRawData, "Raw Data Dump", kListRawData,
                          {kRawSave, kRawClear, nullptr, kRawAutoSave, kRawAutoScroll}),
                  MainWindowTabTable()[9].caption);
}
