#include "ui/mainwindow/Mainwindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>

#include "decoder/P25Class.h"
#include "link/Procthread.h"
#include "link/TBSKQueue.h"
#include "link/TScannerReadThread.h"
#include "platform/Clock.h"
#include "scancontrol/ScannerControl.h"
#include "service/EventFeedFile.h"
#include "session/DecodeSession.h"
#include "session/ScannerSimulator.h"
#include "ui/mainwindow/BackupScheduler.h"
#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/MainWindowTabs.h"
#include "ui/mainwindow/RefreshKeeper.h"
#include "ui/mainwindow/ScreenSizes.h"
#include "ui/views/ListFonts.h"
#include "ui/views/ListInteraction.h"
#include "ui/views/ViewUpdaters.h"

using namespace ui_names;

namespace {

constexpr int kTimer1Ms = 1000;
constexpr int kTimer2Ms = 60000;
constexpr int kTimer3Ms = 250;
constexpr int kTimer4Ms = 100;
constexpr char kListFontFamily[] = "Tahoma";
constexpr int kListFontPoints = 8;
constexpr int kDemoScannerType = 1;  // the demo capture holds bare blocks, read as type 1 lines

QTimer* NamedTimer(QObject* parent, const char* name, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    return timer;
}

// Global/DecodeBarColor: 0 the toolkit's default, then black, red, green, yellow, blue, white.
const QColor kBarColours[] = {QColor(), Qt::black, Qt::red, Qt::green, Qt::yellow, Qt::blue, Qt::white};

}  // namespace

TForm1::TForm1(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), layout_(std::make_unique<MainWindowLayout>())
{
    setObjectName(kMainWindow);
    setWindowTitle(kCaption);
    BuildWidgets();
    BuildMenu();
    ConnectDialogButtons();
    WireLogButtons();
    BuildTimers();
    backups_ = std::make_unique<BackupScheduler>(this, settings_, WallClock(), ProgramFolder(),
                                                 [this] { return SaveSettingsNow(); });
    backups_->SetLabel(layout_->backupLabel);
    refresh_ = std::make_unique<RefreshKeeper>(*this);

    // A client area of 992 x 684 below the menu, centred on the desktop.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    ApplyLayout();
}

TForm1::~TForm1()
{
    RunCloseSequence();
}

P25Class* TForm1::Decoder()
{
    return session_ ? &session_->Decoder() : nullptr;
}

TBSKQueue* TForm1::Queue()
{
    return session_ ? &session_->Queue() : nullptr;
}

TScannerReadThread* TForm1::Reader()
{
    return session_ ? session_->Reader() : nullptr;
}

ProcThread* TForm1::Processing()
{
    return session_ ? session_->Processing() : nullptr;
}

ScannerSimulator* TForm1::DemoScanner()
{
    return session_ ? session_->DemoScanner() : nullptr;
}

const Clock& TForm1::WallClock() const
{
    return options_.clock ? *options_.clock : Clock::System();
}

QTabWidget* TForm1::Pages() const
{
    return layout_->pages;
}

void TForm1::BuildWidgets()
{
    auto* central = new QWidget(this);
    central->setObjectName("CentralWidget");
    setCentralWidget(central);
    BuildTabs(central);
    BuildSidePanels(central);
    BuildStatusLine(central);
    // Keeps the stored setting in step with the box (Affiliations/FilterRegistrations).
    if (auto* box = findChild<QCheckBox*>(kFilterRegistrations))
        connect(box, &QCheckBox::toggled, this, [this](bool on) { settings_.filterRegistrations = on; });
    // List clicks, pop-ups, sorting, holding, the monitor window and the range list.
    new ListInteraction(*this);
    // "Refresh" re-reads the affiliation list and the names shown in old rows.
    for (const char* name : {kAffListRefresh, kAffLogRefresh})
        if (auto* button = findChild<QPushButton*>(name))
            connect(button, &QPushButton::clicked, this, [this, button] {
                if (!Decoder())
                    return;
                button->setEnabled(false);
                RefreshAffiliationViews(*this, *Decoder(), settings_, &state_);
                button->setEnabled(true);
            });
    if (auto* button = findChild<QPushButton*>(kGrantsRefresh))
        connect(button, &QPushButton::clicked, this, [this] {
            if (Decoder())
                RefreshGrantViews(*this, *Decoder(), &state_);
        });
}

void TForm1::BuildTimers()
{
    rateTimer_ = NamedTimer(this, kTimer1, kTimer1Ms);
    saveTimer_ = NamedTimer(this, kTimer2, kTimer2Ms);
    portFailureTimer_ = NamedTimer(this, kTimer3, kTimer3Ms);
    portFailureTimer_->setSingleShot(true);
    portFailureTimer_->setTimerType(Qt::PreciseTimer);  // the stop follows the port failure by 250 ms
    tickTimer_ = NamedTimer(this, kTimer4, kTimer4Ms);
    connect(rateTimer_, &QTimer::timeout, this, &TForm1::Timer1Tick);
    connect(saveTimer_, &QTimer::timeout, this, &TForm1::Timer2Tick);
    connect(portFailureTimer_, &QTimer::timeout, this, &TForm1::Timer3Tick);
    connect(tickTimer_, &QTimer::timeout, this, &TForm1::Timer4Tick);
    // The receive rate is shown from window creation to window close, also outside sessions.
    rateTimer_->start();
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_ || closed_)
        return;
    shown_ = true;
    RunWindowShown();
    // Start-up activation follows the first activation; a window that is never activated (no
    // window manager) gets it on the next turn of the event loop.
    QTimer::singleShot(0, this, &TForm1::RunStartupActivation);
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && shown_)
        RunStartupActivation();
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    ApplyLayout();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (toggling_) {
        // The stop in progress still uses the threads and the queue; close once it is done.
        if (deferredEnd_ == DeferredEnd::None)
            deferredEnd_ = DeferredEnd::Close;
        event->ignore();
        return;
    }
    RunCloseSequence();
    event->accept();
}

void TForm1::RunWindowShown()
{
    listFont_ = QFont(kListFontFamily, kListFontPoints);
    // A new decoder starts its tick counter at 0; Timer4 advances it from now on.
    session_ = std::make_unique<DecodeSession>(WallClock(), ProgramFolder());
    if (options_.demo)
        session_->UseDemo(options_.demoCapture, kDemoScannerType);
    tickTimer_->start();
    LoadSettings(SettingsPath(), settings_);
    ApplyStartupSettings();
}

void TForm1::ApplyStartupSettings()
{
    ApplyScreenSizes(*this, settings_, listFont_);
    if (!settings_.useGlobalFont)
        ApplyListFonts(*this, settings_, listFont_);  // each screen's own font
    ApplySettingsToDecoder(settings_, session_->Decoder());
    layout_->pages->setCurrentIndex(0);
    ApplyTabVisibility();

    const std::pair<const char*, bool> autoSaves[] = {
        {kDumpAutoSave, settings_.pktDump.autoSave},     {kUnknownAutoSave, settings_.unknowns.autoSave},
        {kGrantsAutoSave, settings_.grants.autoSave},    {kEventsAutoSave, settings_.otherInfo.autoSave},
        {kPatchLogAutoSave, settings_.patches.autoSave}, {kAffLogAutoSave, settings_.affiliations.autoSave},
        {kRawAutoSave, settings_.psrDump.autoSave}};
    for (const auto& [name, on] : autoSaves)
        if (auto* box = findChild<QCheckBox*>(name))
            box->setChecked(on);
    if (auto* box = findChild<QCheckBox*>(kFilterRegistrations))
        box->setChecked(settings_.filterRegistrations);

    const int high = settings_.monitorThresholdHigh;
    const int low = settings_.monitorThresholdLow;
    if (auto* spin = findChild<QSpinBox*>(kThresholdHighUpDown))
        spin->setValue(high);
    if (auto* spin = findChild<QSpinBox*>(kThresholdLowUpDown))
        spin->setValue(low);
    ColourProgressBar(settings_.decodeBarColor);
}

void TForm1::ColourProgressBar(int colour)
{
    if (colour < 0 || colour >= static_cast<int>(std::size(kBarColours)) || !layout_->progressBar)
        return;
    QPalette palette = layout_->progressBar->style()->standardPalette();
    if (kBarColours[colour].isValid())
        palette.setColor(QPalette::Highlight, kBarColours[colour]);
    layout_->progressBar->setPalette(palette);
}

void TForm1::ApplyTabVisibility()
{
    QTabWidget* pages = layout_->pages;
    const auto& table = MainWindowTabTable();
    for (const TabDef& tab : table) {
        QWidget* page = pages->findChild<QWidget*>(tab.name);
        const int index = page ? pages->indexOf(page) : -1;
        if (index >= 0)
            pages->setTabVisible(index, tab.shown(settings_));
    }
}

void TForm1::RunStartupActivation()
{
    if (activated_ || closed_ || !shown_)
        return;
    activated_ = true;
    FitIntoWorkArea();
    if (settings_.maximized)
        showMaximized();
    refresh_->Start();
    bool decodeAtStart = options_.demo;
    for (const QString& arg : options_.arguments)
        if (arg.compare("-DECODE", Qt::CaseInsensitive) == 0)
            decodeAtStart = true;
    if (decodeAtStart && !state_.DecodeRunning)
        ToggleSession();
    ApplyLayout();
    backups_->StartTimer(BackupScheduler::kStartupIntervalMs);
}

void TForm1::FitIntoWorkArea()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    const QSize margins = frame.size() - size();
    QRect inner = geometry();
    if (frame.width() > area.width()) {
        inner.setWidth(area.width() - margins.width());
        frame.moveLeft(area.left());
    }
    if (frame.left() < area.left() || frame.right() > area.right())
        frame.moveLeft(area.left());
    if (frame.height() > area.height()) {
        inner.setHeight(area.height() - margins.height());
        frame.moveTop(area.top());
    }
    if (frame.top() < area.top() || frame.bottom() > area.bottom())
        frame.moveTop(area.top());
    resize(inner.size());
    move(frame.topLeft());
    update();
}

void TForm1::ApplyLayout()
{
    // Distances and thresholds count from the window's own edges (menu bar included, the frame
    // a window manager draws around it not).
    LayoutMainWindow(*layout_, settings_, size(), centralWidget()->height());
    LayoutActivityFrame(*layout_, settings_);
}

bool TForm1::SaveSettingsNow()
{
    if (options_.settingsPath.empty())
        return false;
    CollectScreenSizes(*this, settings_);
    return SaveSettings(options_.settingsPath, settings_);
}
