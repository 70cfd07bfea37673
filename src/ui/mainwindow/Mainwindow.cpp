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
#include "persist/SystemStore.h"
#include "platform/Clock.h"
#include "scancontrol/ScannerControl.h"
#include "service/EventFeedFile.h"
#include "session/DecodeSession.h"
#include "session/ScannerSimulator.h"
#include "ui/dialogs/NamesEditor.h"
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
    connect(widgets_.filterRegistrationsBox, &QCheckBox::toggled, this,
            [this](bool on) { settings_.filterRegistrations = on; });
    // List clicks, pop-ups, sorting, holding, the monitor window and the range list.
    new ListInteraction(*this);
    // "Refresh" re-reads the affiliation list and the names shown in old rows.
    for (QPushButton* button : {widgets_.affiliationListRefresh, widgets_.affiliationLogRefresh})
        connect(button, &QPushButton::clicked, this, [this, button] {
            if (!Decoder())
                return;
            button->setEnabled(false);
            RefreshAffiliationViews(widgets_, *Decoder(), settings_, &state_);
            button->setEnabled(true);
        });
    connect(widgets_.grantTraceRefresh, &QPushButton::clicked, this, [this] {
        if (Decoder())
            RefreshGrantViews(widgets_, *Decoder(), &state_);
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
    connect(tickTimer_, &QTimer::timeout, this, [this] {
        Timer4Tick();
        PauseTickWhenIdle();
    });
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
    // The list editor asks about its unsaved changes first; a cancel there keeps the program open.
    if (dialogs_.namesEditor && dialogs_.namesEditor->isVisible() && !dialogs_.namesEditor->close()) {
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
    // The scanner moved to another site or system: what was learnt of the old one is written first.
    session_->Decoder().SetSaveBeforeNewIdentity(true);
    tickTimer_->start();
    // Problems of the per-system files come from the thread that loads or saves them.
    SetStoreNotices(session_->Decoder(), [this](const StoreNotice& notice) {
        QMetaObject::invokeMethod(
            this, [this, notice] { ShowStoreNotice(notice); }, Qt::QueuedConnection);
    });
    if (StoreNotice problem; !LoadSettings(SettingsPath(), settings_, &problem))
        ShowStoreNotice(problem);
    ApplyStartupSettings();
}

void TForm1::ApplyStartupSettings()
{
    ApplyScreenSizes(*this, settings_, listFont_);
    if (!settings_.useGlobalFont)
        ApplyListFonts(widgets_, settings_, listFont_);  // each screen's own font
    ApplySettingsToDecoder(settings_, session_->Decoder());
    layout_->pages->setCurrentIndex(0);
    ApplyTabVisibility();

    const std::pair<const LogControls&, bool> autoSaves[] = {
        {widgets_.packetDump, settings_.pktDump.autoSave}, {widgets_.unknownPackets, settings_.unknowns.autoSave},
        {widgets_.grantTrace, settings_.grants.autoSave},  {widgets_.otherEvents, settings_.otherInfo.autoSave},
        {widgets_.patchLog, settings_.patches.autoSave},   {widgets_.affiliationLog, settings_.affiliations.autoSave},
        {widgets_.rawData, settings_.psrDump.autoSave}};
    for (const auto& [log, on] : autoSaves)
        log.autoSaveBox->setChecked(on);
    widgets_.filterRegistrationsBox->setChecked(settings_.filterRegistrations);

    const int high = settings_.monitorThresholdHigh;
    const int low = settings_.monitorThresholdLow;
    widgets_.thresholdHighSpin->setValue(high);
    widgets_.thresholdLowSpin->setValue(low);
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
    for (size_t i = 0; i < table.size() && i < layout_->tabPages.size(); ++i) {
        const int index = pages->indexOf(layout_->tabPages[i]);
        if (index >= 0)
            pages->setTabVisible(index, table[i].shown(settings_));
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
