// The right-hand column (three panels and the start/stop button) and the one-line status line
// that replaces it when the side panels are hidden.
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

#include <initializer_list>

#include "ui/mainwindow/EmergencyAlert.h"
#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/Mainwindow.h"

using namespace ui_names;

namespace {

constexpr int kPanelPointSize = 8;

struct Pair {
    const char* caption;
    const char* valueName;
    const char* initial;
    bool stacked;             // the value on its own line below the caption (long texts)
    QLabel** kept = nullptr;  // where the window keeps the value label
};

QGroupBox* Panel(const char* name, const QString& title, const std::vector<Pair>& pairs, QWidget* parent)
{
    auto* panel = new QGroupBox(title, parent);
    panel->setObjectName(name);
    QFont font = panel->font();
    font.setPointSize(kPanelPointSize);
    panel->setFont(font);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 4, 2, 4);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(1);
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (const Pair& p : pairs) {
        grid->addWidget(new QLabel(p.caption, panel), row, 0, 1, p.stacked ? 2 : 1);
        auto* value = new QLabel(p.initial, panel);
        value->setObjectName(p.valueName);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (p.kept)
            *p.kept = value;
        if (p.stacked)
            grid->addWidget(value, ++row, 0, 1, 2);
        else
            grid->addWidget(value, row, 1);
        ++row;
    }
    grid->setRowStretch(row, 1);
    return panel;
}

QLabel* Notice(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->hide();
    return label;
}

}  // namespace

void TForm1::BuildSidePanels(QWidget* central)
{
    layout_->panels[0] = Panel(kPanelSystemInfo, "System Information",
                               {{"SysID:", kSysIdValue, "Unknown", false, &widgets_.sysIdValue},
                                {"Description:", kSystemDescValue, "", true, &widgets_.systemDescValue},
                                {"Talkgroup ID Count:", kTGIDCount, "0", true, &widgets_.talkgroupCount},
                                {"Radio ID Count:", kRIDCount, "0", false, &widgets_.radioCount}},
                               central);
    layout_->panels[1] = Panel(kPanelSiteInfo, "Site Information:",
                               {{"Site ID:", kSiteIdValue, " 000 (T0000)", false, &widgets_.siteIdValue},
                                {"WACN:", kWacnValue, "00000", false, &widgets_.wacnValue},
                                {"Status:", kSiteStatusValue, "None", false, &widgets_.siteStatusValue},
                                {"Site Description:", kSiteDescValue, "", true, &widgets_.siteDescValue}},
                               central);

    auto* decode = new QGroupBox("Decode Information:", central);
    decode->setObjectName(kPanelDecodeInfo);
    QFont font = decode->font();
    font.setPointSize(kPanelPointSize);
    decode->setFont(font);
    auto* grid = new QGridLayout(decode);
    grid->setContentsMargins(4, 4, 2, 4);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(1);
    grid->setColumnStretch(1, 1);
    grid->addWidget(new QLabel("Receive Rate (%):", decode), 0, 0, 1, 2);
    auto* rate = new QLabel("  0% (0 out of 0)", decode);
    rate->setObjectName(kRateValue);
    grid->addWidget(rate, 1, 0, 1, 2);
    auto* bar = new QProgressBar(decode);
    bar->setObjectName(kProgressBar);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setMaximumHeight(14);
    grid->addWidget(bar, 2, 0, 1, 2);
    grid->addWidget(new QLabel("Buffer Available:", decode), 3, 0);
    auto* buffer = new QLabel("100%", decode);
    buffer->setObjectName(kBufferValue);
    grid->addWidget(buffer, 3, 1);
    grid->setRowStretch(4, 1);
    layout_->panels[2] = decode;
    layout_->rateValue = rate;
    layout_->bufferValue = buffer;
    layout_->progressBar = bar;

    startStopButton_ = new QPushButton(kIdleCaption, central);
    startStopButton_->setObjectName(kStartStopButton);
    layout_->button1 = startStopButton_;
    connect(startStopButton_, &QPushButton::clicked, this, &TForm1::ToggleSession);

    // The notices share one row; a hidden one takes no room.
    auto* notices = new QWidget(central);
    notices->setObjectName(kNoticeRow);
    auto* row = new QHBoxLayout(notices);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    layout_->noticeRow = notices;
    layout_->backupLabel = Notice(kBackupLabel, "*Backup In Progress*", notices);
    layout_->importLabel = Notice(kImportLabel, "*Import In Progress*", notices);
    widgets_.importLabel = layout_->importLabel;
    layout_->sessionNotice = Notice(kSessionNotice, QString(), notices);
    layout_->sessionNotice->setStyleSheet("color: #b00000;");
    layout_->messageNotice = Notice(kMessageNotice, QString(), notices);
    layout_->messageNotice->setFont(notices->font());
    layout_->messageNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* emergency = new QPushButton(notices);
    emergency->setObjectName(kEmergencyNotice);
    row->addWidget(emergency);
    emergency_ = new EmergencyAlert(
        emergency, [this] { return Decoder(); }, [this]() -> const Settings& { return settings_; }, this);
    for (QLabel* notice : {layout_->backupLabel, layout_->importLabel, layout_->sessionNotice, layout_->messageNotice})
        row->addWidget(notice);
    row->addStretch(1);

    // The same trouble in the site panel, below its values.
    auto* siteGrid = static_cast<QGridLayout*>(layout_->panels[1]->layout());
    auto* siteNotice = new QLabel(layout_->panels[1]);
    siteNotice->setObjectName(kSiteNotice);
    siteNotice->setWordWrap(true);
    siteNotice->setStyleSheet("color: #b00000;");
    siteNotice->hide();
    siteGrid->addWidget(siteNotice, siteGrid->rowCount(), 0, 1, 2);
    layout_->siteNotice = siteNotice;
}

void TForm1::BuildStatusLine(QWidget* central)
{
    auto* line = new QWidget(central);
    line->setObjectName(kStatusLine);
    auto* row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    const Pair pairs[layout_rules::kStatusPairs] = {
        {"System:", kStatusSystemValue, "000/00000", false, &widgets_.statusSystemValue},
        {"Site:", kStatusSiteValue, "000 (T0000)", false, &widgets_.statusSiteValue},
        {"Decode:", kStatusDecodeValue, "  0%", false},  // written by Timer1 through the layout
        {"TGIDs:", kStatusTGIDsValue, "0", false, &widgets_.statusTalkgroupsValue},
        {"RIDs:", kStatusRIDsValue, "0", false, &widgets_.statusRadiosValue},
        {"Status:", kStatusStatusValue, "Unknown", false, &widgets_.statusStatusValue}};
    const char* captionNames[layout_rules::kStatusPairs] = {kStatusSystemCaption, kStatusSiteCaption,
                                                            kStatusDecodeCaption, kStatusTGIDsCaption,
                                                            kStatusRIDsCaption,   kStatusStatusCaption};
    for (int i = 0; i < layout_rules::kStatusPairs; ++i) {
        auto* caption = new QLabel(pairs[i].caption, line);
        caption->setObjectName(captionNames[i]);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        auto* value = new QLabel(pairs[i].initial, line);
        value->setObjectName(pairs[i].valueName);
        value->setMinimumWidth(40);
        if (pairs[i].kept)
            *pairs[i].kept = value;
        row->addWidget(caption);
        row->addWidget(value);
        row->addSpacing(12);
        layout_->statusCaptions[i] = caption;
        layout_->statusValues[i] = value;
    }
    row->addStretch(1);
    // A file the program could not read or save; empty (hidden) until there is one.
    auto* notice = new QLabel(line);
    notice->setObjectName(kStatusFileNotice);
    notice->hide();
    row->addWidget(notice);
    layout_->fileNotice = notice;
    layout_->statusLine = line;

    // What goes grey while the site information is stale.
    for (QWidget* value : std::initializer_list<QWidget*>{
             widgets_.siteIdValue, widgets_.wacnValue, widgets_.siteStatusValue, widgets_.siteDescValue,
             widgets_.statusSiteValue, widgets_.statusStatusValue, widgets_.List(ListRole::SiteInfo)})
        if (value)
            layout_->siteValues.push_back(value);
}
