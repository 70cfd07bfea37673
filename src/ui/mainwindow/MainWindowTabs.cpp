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

#include <tuple>

#include "persist/Settings.h"
#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/mainwindow/ResizeWatcher.h"
#include "ui/views/ListHold.h"
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

// The list of `role`, named after it (ListView1 ...), kept in the window's widgets.
QTreeView* List(ListRole role, QWidget* parent, MainWindowWidgets& w)
{
    QTreeView* list = MakeListView(MainWindowLists()[static_cast<size_t>(role)], parent);
    w.lists[static_cast<size_t>(role)] = list;
    return list;
}

// A list in a frame with its caption.
QGroupBox* Framed(const QString& caption, ListRole role, QWidget* parent, MainWindowWidgets& w)
{
    auto* frame = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(List(role, frame, w));
    return frame;
}

// The names of the buttons and boxes below a log: Save, Clear, [Refresh], Auto Save, Auto Scroll.
struct LogNames {
    const char* save;
    const char* clear;
    const char* refresh;  // may be null
    const char* autoSave;
    const char* autoScroll;
};

QHBoxLayout* LogRow(const LogNames& n, QWidget* parent, LogControls& controls, QPushButton** refresh = nullptr)
{
    auto* row = new QHBoxLayout;
    controls.saveButton = Button(n.save, "Save", parent);
    controls.clearButton = Button(n.clear, "Clear", parent);
    row->addWidget(controls.saveButton);
    row->addWidget(controls.clearButton);
    if (n.refresh) {
        QPushButton* button = Button(n.refresh, "Refresh", parent);
        if (refresh)
            *refresh = button;
        row->addWidget(button);
    }
    controls.autoSaveBox = CheckBox(n.autoSave, "Auto Save", parent);
    // The "Auto Scroll" boxes start checked at every program start; their state is not stored.
    controls.autoScrollBox = CheckBox(n.autoScroll, "Auto Scroll", parent, true);
    row->addWidget(controls.autoSaveBox);
    row->addWidget(controls.autoScrollBox);
    row->addStretch(1);
    return row;
}

QWidget* Page(QTabWidget* pages, const char* name)
{
    auto* page = new QWidget(pages);
    page->setObjectName(name);
    return page;
}

// A tab holding one log with its row of controls (`extra` leads the row).
struct LogPageDef {
    const char* name;
    const char* frameCaption;
    ListRole list;
    LogNames controls;
    LogControls MainWindowWidgets::*kept;
    QPushButton* MainWindowWidgets::*refresh = nullptr;
};

QWidget* LogPage(QTabWidget* pages, const LogPageDef& def, MainWindowWidgets& w, QCheckBox* extra = nullptr)
{
    QWidget* page = Page(pages, def.name);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Framed(def.frameCaption, def.list, page, w), 1);
    QHBoxLayout* row = LogRow(def.controls, page, w.*def.kept, def.refresh ? &(w.*def.refresh) : nullptr);
    if (extra) {
        extra->setParent(page);
        row->insertWidget(0, extra);
    }
    layout->addLayout(row);
    return page;
}

QWidget* FilterPanel(QWidget* parent, MainWindowWidgets& w)
{
    auto* panel = new QGroupBox("Affiliation Log Filter Options", parent);
    panel->setObjectName(kFilterPanel);
    auto* layout = new QVBoxLayout(panel);
    w.filterEnableBox = CheckBox(kFilterEnable, "Enable Affiliation Log Filter", panel);
    layout->addWidget(w.filterEnableBox);
    QTreeView* ranges = List(ListRole::FilterRanges, panel, w);
    layout->addWidget(ranges, 1);
    auto* row = new QHBoxLayout;
    w.addRangeButton = Button(kAddRangeButton, "Add Range", panel);
    w.deleteRangeButton = Button(kDeleteRangeButton, "Delete Range", panel);
    row->addWidget(w.addRangeButton);
    row->addWidget(w.deleteRangeButton);
    layout->addLayout(row);

    // The range list's pop-up menu; its commands belong to the affiliation filter.
    auto* menu = new QMenu(ranges);
    menu->setObjectName(kRangeMenu);
    const std::tuple<const char*, const char*, QAction * MainWindowWidgets::*> items[] = {
        {kAddRangeAction, "Add Range", &MainWindowWidgets::addRangeAction},
        {kEnableRangeAction, "Enable Range(s)", &MainWindowWidgets::enableRangeAction},
        {kDisableRangesAction, "Disable Range(s)", &MainWindowWidgets::disableRangesAction},
        {kDeleteRangeAction, "Delete Range", &MainWindowWidgets::deleteRangeAction}};
    for (const auto& [name, caption, kept] : items) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        w.*kept = action;
    }
    ranges->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(ranges, &QWidget::customContextMenuRequested, menu, [menu, ranges](const QPoint& at) {
        menu->popup(ranges->viewport()->mapToGlobal(at));
        HoldWhileMenuOpen(*menu, *ranges);
    });
    panel->setMinimumWidth(200);
    return panel;
}

QWidget* AffiliationLogPage(QTabWidget* pages, MainWindowWidgets& w)
{
    QWidget* page = Page(pages, kTabAffLog);
    auto* outer = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    left->addWidget(Framed("Affiliation Log", ListRole::AffiliationLog, page, w), 1);
    left->addLayout(LogRow({kAffLogSave, kAffLogClear, kAffLogRefresh, kAffLogAutoSave, kAffLogAutoScroll}, page,
                           w.affiliationLog, &w.affiliationLogRefresh));
    outer->addLayout(left, 1);
    outer->addWidget(FilterPanel(page, w));
    return page;
}

QWidget* AffiliationListPage(QTabWidget* pages, MainWindowWidgets& w)
{
    QWidget* page = Page(pages, kTabAffList);
    w.affiliationListPage = page;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Framed("Site Affiliations", ListRole::AffiliationList, page, w), 1);
    auto* row = new QHBoxLayout;
    row->addWidget(Label("Affiliate Count:", page));
    w.affiliateCount = Label("0", page, kAffiliateCount);
    w.affiliationListRefresh = Button(kAffListRefresh, "Refresh", page);
    row->addWidget(w.affiliateCount);
    row->addWidget(w.affiliationListRefresh);
    row->addStretch(1);
    layout->addLayout(row);
    return page;
}

QWidget* SiteInformationPage(QTabWidget* pages, MainWindowWidgets& w)
{
    QWidget* page = Page(pages, kTabSiteInfo);
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    top->addWidget(Framed("Site Information", ListRole::SiteInfo, page, w), 1);
    top->addWidget(Framed("Frequency Identifier Tables", ListRole::Identifiers, page, w), 1);
    layout->addLayout(top, 1);
    layout->addWidget(Framed("Adjacent Site Information", ListRole::Neighbors, page, w), 1);
    return page;
}

QWidget* PatchesPage(QTabWidget* pages, MainWindowWidgets& w)
{
    QWidget* page = Page(pages, kTabPatches);
    w.patchesPage = page;
    auto* outer = new QHBoxLayout(page);
    outer->addWidget(Framed("Patch List", ListRole::PatchList, page, w), 1);
    auto* right = new QVBoxLayout;
    right->addWidget(Framed("Patch Log", ListRole::PatchLog, page, w), 1);
    right->addLayout(
        LogRow({kPatchLogSave, kPatchLogClear, nullptr, kPatchLogAutoSave, kPatchLogAutoScroll}, page, w.patchLog));
    outer->addLayout(right, 2);
    return page;
}

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

QWidget* HoldControls(QWidget* parent, QWidget** thresholdsOut, MainWindowWidgets& w)
{
    auto* controls = new QWidget(parent);
    auto* box = new QBoxLayout(QBoxLayout::TopToBottom, controls);
    box->setContentsMargins(0, 0, 0, 0);
    w.holdButton = Button(kHoldButton, "Hold TalkGroup", controls);
    w.holdLabel = Label("No Hold", controls, kHoldLabel);
    w.usageButton = Button(kUsageButton, "Usage Code Descriptions", controls);
    box->addWidget(w.holdButton);
    box->addWidget(w.holdLabel);
    box->addWidget(w.usageButton);

    // The caption above the two fields in the column, beside them in the row.
    auto* thresholds = new QWidget(controls);
    auto* outer = new QBoxLayout(QBoxLayout::TopToBottom, thresholds);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Label("Monitor Priority Threshold:", thresholds));
    auto* fields = new QHBoxLayout;
    w.thresholdHighSpin = Threshold(kThresholdHighUpDown, kThresholdHighEdit, 10, 99, thresholds);
    w.thresholdLowSpin = Threshold(kThresholdLowUpDown, kThresholdLowEdit, 1, 99, thresholds);
    fields->addWidget(Label("High:", thresholds));
    fields->addWidget(w.thresholdHighSpin);
    fields->addWidget(Label("Low:", thresholds));
    fields->addWidget(w.thresholdLowSpin);
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
    widgets_.pages = pages;

    // System Activity.
    QWidget* activity = Page(pages, kTabActivity);
    auto* activityLayout = new QVBoxLayout(activity);
    activityLayout->setContentsMargins(4, 4, 4, 4);
    auto* frame = new QGroupBox("Site Activity", activity);
    frame->setObjectName(kActivityFrame);
    activityLayout->addWidget(frame);
    layout_->activityFrame = frame;
    layout_->activityList = List(ListRole::Activity, frame, widgets_);
    layout_->patchFrame = Framed("Current Patch List", ListRole::CurrentPatches, frame, widgets_);
    layout_->patchFrame->setObjectName(kCurrentPatchFrame);
    layout_->grantsFrame = Framed("Recent Channel Grants:", ListRole::RecentGrants, frame, widgets_);
    layout_->grantsFrame->setObjectName(kRecentGrantsFrame);
    layout_->holdControls = HoldControls(frame, &layout_->thresholds, widgets_);
    new ResizeWatcher(frame, [this] { LayoutActivityFrame(*layout_, settings_); });
    // The pages in the order of the tab table, each with its caption from there.
    auto addTab = [this, pages](QWidget* page) {
        pages->addTab(page, MainWindowTabTable()[layout_->tabPages.size()].caption);
        layout_->tabPages.push_back(page);
    };
    addTab(activity);
    addTab(AffiliationLogPage(pages, widgets_));
    addTab(AffiliationListPage(pages, widgets_));
    addTab(SiteInformationPage(pages, widgets_));
    addTab(PatchesPage(pages, widgets_));
    widgets_.filterRegistrationsBox = CheckBox(kFilterRegistrations, "Filter Unit Registrations", nullptr);
    const LogPageDef logPages[] = {
        {kTabOtherEvents,
         "Other events",
         ListRole::OtherEvents,
         {kEventsSave, kEventsClear, nullptr, kEventsAutoSave, kEventsAutoScroll},
         &MainWindowWidgets::otherEvents},
        {kTabGrants,
         "Grant Trace",
         ListRole::GrantTrace,
         {kGrantsSave, kGrantsClear, kGrantsRefresh, kGrantsAutoSave, kGrantsAutoScroll},
         &MainWindowWidgets::grantTrace,
         &MainWindowWidgets::grantTraceRefresh},
        {kTabUnknown,
         "Unknown Packets",
         ListRole::UnknownPackets,
         {kUnknownSave, kUnknownClear, nullptr, kUnknownAutoSave, kUnknownAutoScroll},
         &MainWindowWidgets::unknownPackets},
        {kTabPacketDump,
         "Packet Dump:",
         ListRole::PacketDump,
         {kDumpSave, kDumpClear, nullptr, kDumpAutoSave, kDumpAutoScroll},
         &MainWindowWidgets::packetDump},
        {kTabRawData,
         "Raw Data Dump",
         ListRole::RawData,
         {kRawSave, kRawClear, nullptr, kRawAutoSave, kRawAutoScroll},
         &MainWindowWidgets::rawData},
    };
    for (const LogPageDef& def : logPages)
        addTab(LogPage(pages, def, widgets_,
                       def.list == ListRole::OtherEvents ? widgets_.filterRegistrationsBox : nullptr));
}
