#pragma once

// A stand-in for the main window with just what the view updaters look for (lists with their
// models and columns, value labels, check boxes, the page control's counted tabs), and a fixture
// with an identified decoder (system 0x123, RFSS 1, site 5) and every presentation switch on.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <ostream>

#include "WidgetLookup.h"
#include "decoder/P25Class.h"
#include "p25/BlockIntegrity.h"
#include "persist/Settings.h"
#include "persist/SystemStore.h"
#include "platform/Clock.h"
#include "ui/mainwindow/AppState.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/EmergencyCalls.h"
#include "ui/views/ListModel.h"
#include "ui/views/ScreenScratch.h"
#include "ui/views/ViewUpdaters.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}

namespace uitest {

struct ListSpec {
    const char* name;
    QStringList headers;
    int cap;  // 0: no cap (snapshots)
};

inline const std::vector<ListSpec>& ListSpecs()
{
    using namespace ui_names;
    static const std::vector<ListSpec> specs = {
        {kListActivity,
         {"Ch", "Frequency", "Usage", "Type", "Priority", "TlkGrp", "TalkGroup Desc", "Radio ID", "Radio Desc",
          "Active", "Hits"},
         0},
        {kListNeighbors, {"Site ID", "SysID", "Ch", "Frequency", "Site Name", "Status"}, 0},
        {kListIdentifiers, {"ID", "Base", "Spacing", "TX Offset", "A/C", "Bandwidth"}, 0},
        {kListAffList, {"TalkGrp", "TG ID", "RadID", "Description", "Last Affiliation"}, 0},
        {kListPatchList, {"From-->To"}, 0},
        {kListAffLog, {"Time", "Function", "TG ID", "TG Description", "Radio ID", "Radio Description"}, 5000},
        {kListUnknown, {"Time", "Op", "Packet Data", "Notes"}, 5000},
        {kListGrantTrace,
         {"Time Stamp", "Type", "Channel", "Frequency", "TG", "TalkGroup ID", "Radio ID", "Radio Description"},
         5000},
        {kListOtherEvents, {"Time Stamp", "Packet Data", "Event Description"}, 5000},
        {kListPatchLog, {"Time Stamp", "Description"}, 5000},
        {kListSiteInfo, {"Item", "Value"}, 0},
        {kListPacketDump, {"Time", "Packet Data", "Description"}, 10000},
        {kListCurrentPatches, {"Talkgroup", "Patched to"}, 0},
        {kListRecentGrants, {"Time", "Type", "Ch", "Freq", "TG", "TG Desc", "RID", "RID Description"}, 0},
        {kListRawData, {"Recieved Data"}, 10000},
        {kListFilterRanges, {"Low", "High", "Active"}, 0},
    };
    return specs;
}

inline std::unique_ptr<QWidget> MakeScreenRoot()
{
    using namespace ui_names;
    auto root = std::make_unique<QWidget>();
    root->setObjectName(kMainWindow);
    auto* layout = new QVBoxLayout(root.get());
    auto* tabs = new QTabWidget(root.get());
    tabs->setObjectName(kPageControl);
    layout->addWidget(tabs);
    for (auto [page, caption] :
         {std::pair{kTabAffList, "Affiliation List (0)"}, std::pair{kTabPatches, "Patches (0)"}}) {
        auto* w = new QWidget;
        w->setObjectName(page);
        tabs->addTab(w, caption);
    }
    for (const ListSpec& s : ListSpecs()) {
        auto* view = new QTreeView(root.get());
        view->setObjectName(s.name);
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        auto* model = new ListModel(s.headers, s.cap, view);
        model->SetShowsSavedMarks(s.cap > 0);
        view->setModel(model);
        layout->addWidget(view);
    }
    for (const char* name : {kSysIdValue, kSystemDescValue, kTGIDCount, kRIDCount, kSiteIdValue, kWacnValue,
                             kSiteStatusValue, kSiteDescValue, kStatusSystemValue, kStatusSiteValue, kStatusTGIDsValue,
                             kStatusRIDsValue, kStatusStatusValue, kHoldLabel, kAffiliateCount}) {
        auto* label = new QLabel(root.get());
        label->setObjectName(name);
        layout->addWidget(label);
    }
    for (const char* name : {kFilterEnable, kFilterRegistrations}) {
        auto* box = new QCheckBox(root.get());
        box->setObjectName(name);
    }
    // The "Auto Scroll" boxes start checked.
    for (const char* name : {kAffLogAutoScroll, kUnknownAutoScroll, kGrantsAutoScroll, kEventsAutoScroll,
                             kPatchLogAutoScroll, kDumpAutoScroll, kRawAutoScroll}) {
        auto* box = new QCheckBox(root.get());
        box->setObjectName(name);
        box->setChecked(true);
    }
    auto* refresh = new QPushButton(root.get());
    refresh->setObjectName(kAffListRefresh);
    return root;
}

// A block from up to ten leading bytes with its CRC-16.
inline Tsbk MakeBlock(std::initializer_list<uint8_t> bytes0to9)
{
    Tsbk block{};
    std::copy(bytes0to9.begin(), bytes0to9.end(), block.begin());
    const uint16_t crc = Crc16Ccitt(0, block.data(), 10);
    block[10] = static_cast<uint8_t>(crc >> 8);
    block[11] = static_cast<uint8_t>(crc & 0xFF);
    return block;
}

class ScreenFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kSystem = 0x123;
    static constexpr uint32_t kRfss = 1;
    static constexpr uint32_t kSite = 5;

    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        ASSERT_TRUE(folder.isValid());
        decoder = std::make_unique<P25Class>(clock, folder.path().toStdString() + "/");
        AttachSystemStore(*decoder);
        PresentationSwitches s;
        s.packetDump = s.recordUnknowns = s.eventLog = s.grantLog = true;
        decoder->SetSwitches(s);
        root = MakeScreenRoot();
        widgets = FindWindowWidgets(*root);
        ctx = std::make_unique<ScreenContext>(ScreenContext{widgets, *decoder, state, settings, scratch,
                                                            [this] { return scanner; }, [] { return nullptr; },
                                                            &emergencies});
    }

    void Identify() { decoder->SetSiteIdentity(kSystem, kRfss, 0x70, kSite); }
    int Decode(std::initializer_list<uint8_t> bytes) { return decoder->DecodeTsbk(MakeBlock(bytes)); }

    ListModel& Model(const char* view)
    {
        ListModel* m = FindListModel(root.get(), view);
        EXPECT_NE(m, nullptr) << view;
        return *m;
    }
    QString Cell(const char* view, int row, int column) { return Model(view).Cell(row, column); }
    int Rows(const char* view) { return Model(view).Count(); }
    QString Label(const char* name)
    {
        auto* label = root->findChild<QLabel*>(name);
        return label ? label->text() : QStringLiteral("<missing>");
    }
    QString TabCaption(const char* page)
    {
        auto* tabs = root->findChild<QTabWidget*>(ui_names::kPageControl);
        return tabs->tabText(tabs->indexOf(root->findChild<QWidget*>(page)));
    }
    void Check(const char* box, bool on) { root->findChild<QAbstractButton*>(box)->setChecked(on); }

    QTemporaryDir folder;
    ManualClock clock{1240322820};  // 21 Apr 2009 14:07:00 UTC
    std::unique_ptr<P25Class> decoder;
    AppState state;
    Settings settings;
    ScreenScratch scratch;
    EmergencyCalls emergencies;  // the activity updater follows them
    ScannerControl* scanner = nullptr;
    std::unique_ptr<QWidget> root;
    MainWindowWidgets widgets;  // the stand-in's widgets, as the window keeps its own
    std::unique_ptr<ScreenContext> ctx;
};

}  // namespace uitest
