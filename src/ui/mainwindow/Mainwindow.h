#pragma once

#include <QFont>
#include <QMainWindow>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "persist/NamesImport.h"
#include "persist/Settings.h"
#include "persist/StoreNotice.h"
#include "ui/mainwindow/AppState.h"
#include "ui/views/MainWindowWidgets.h"

class Clock;
class DecodeSession;
class EmergencyAlert;
class EventFeedFile;
class P25Class;
class ProcThread;
class QAction;
class RequestCancel;
class QColor;
class QColorDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class ScannerControl;
class ScannerSimulator;
class TAboutForm;
class TcfgForm;
class TBSKQueue;
class TForm2;
class TForm5;
class TForm3;
class TForm4;
class NamesEditor;
class TUsageForm;
class TAddRangeForm;
class TRROptionsForm;
class TMultSysForm;
class TScannerReadThread;
class BackupScheduler;
class RefreshKeeper;
class LogExporter;
struct MainWindowLayout;

// What the program hands the main window at start.
struct MainWindowOptions {
    std::string programFolder;     // ends with '/'
    std::string settingsPath;      // the settings file (varnel.INI in the program folder)
    QStringList arguments;         // the command line, for "-DECODE"
    bool demo = false;             // --demo: decode the built-in scanner simulator
    std::string demoCapture;       // the capture the demo plays
    const Clock* clock = nullptr;  // wall clock of the decoder and the periodic save; null: system
};

// The dialogs created at program start and opened from the main window (null until created).
struct MainWindowDialogs {
    TForm2* systemDialog = nullptr;       // "Edit &System Information"
    TForm3* talkgroupDialog = nullptr;    // "Edit &TalkGroup Information" and the list pop-ups
    TForm4* radioDialog = nullptr;        // "Edit &Radio ID Information" and the list pop-ups
    TcfgForm* config = nullptr;           // the five "&Edit" configuration commands
    TUsageForm* usage = nullptr;          // "Usage Code Descriptions"
    TAddRangeForm* addRange = nullptr;    // "Add Range" of the affiliation log filter
    TAboutForm* about = nullptr;          // "&About..."
    TForm5* hold = nullptr;               // "Hold TalkGroup" of Button13
    TRROptionsForm* rrOptions = nullptr;  // options of "&Import System Information from Radio Reference"
    TMultSysForm* multSys = nullptr;      // the import's choice among systems sharing the ID
    NamesEditor* namesEditor = nullptr;   // "Talkgroup and Radio &Lists...", made when first opened
};

// The main window: its tabs, side panels, status line and menu, and the owner of the decode
// session (block queue, decoder, reader and processing threads, second scanner), the refresh
// thread's keep-alive and the backup schedule. Everything here runs on the main thread.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr char kCaption[] = "P25 Control Channel Information Display";
    static constexpr char kIdleCaption[] = "Read Data From Radio";
    static constexpr char kRunningCaption[] = "Stop Data Decode";
    static constexpr int kClientWidth = 992;
    static constexpr int kClientHeight = 684;

    explicit TForm1(MainWindowOptions options, QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- program-wide state and owned objects ----
    AppState& State() { return state_; }
    Settings& AppSettings() { return settings_; }
    const std::string& ProgramFolder() const { return options_.programFolder; }
    const std::string& SettingsPath() const { return options_.settingsPath; }
    const Clock& WallClock() const;
    // Exist from the first showing of the window until it closes.
    P25Class* Decoder();
    TBSKQueue* Queue();
    DecodeSession* Session() { return session_.get(); }
    // Exist during a session only (the reader may have ended by itself after a port failure).
    TScannerReadThread* Reader();
    ProcThread* Processing();
    ScannerControl* SecondScanner() { return scannerControl_.get(); }
    ScannerSimulator* DemoScanner();
    MainWindowDialogs& Dialogs() { return dialogs_; }
    BackupScheduler& Backups() { return *backups_; }
    RefreshKeeper& Refresh() { return *refresh_; }
    QTabWidget* Pages() const;
    // The window's widgets by role, kept as the window built them.
    const MainWindowWidgets& Widgets() const { return widgets_; }
    const QFont& ListFont() const { return listFont_; }
    // The notice of emergency calls in the notice row (EmergencyAlert.h).
    EmergencyAlert* Emergencies() const { return emergency_; }

    // ---- decode session ----
    // Button1 and the "&Decode" menu: starts a session when none runs, else stops it.
    void ToggleSession();

    // ---- timers' work (public so the tests can run a tick without waiting) ----
    void Timer1Tick();  // receive rate and buffer
    void Timer2Tick();  // periodic save and log auto-saves
    void Timer3Tick();  // stop after a port failure
    void Timer4Tick();  // decoder tick counter
    // With no session and no call or patch left to expire the tick timer has nothing to do: it
    // stops, and the counter follows the monotonic clock until the next session starts it again.
    void PauseTickWhenIdle();
    void ResumeTick();

    // ---- commands ----
    void SaveSystemInformation();  // "&Save System Information"
    void EditSystemInformation();  // "Edit &System Information"
    void ShowAbout();              // "&About..."
    void ExitProgram();            // "E&xit": the close sequence, then the event loop ends
    bool SaveSettingsNow();
    // The per-system files of the decoded system, when one is known (a session stop, a start, the
    // window's close, "Ok" of the talkgroup and radio dialogs). True when they were written.
    bool SaveKnownSystem();
    // A short report of a command in the bottom row (where a log save went), for a few seconds.
    void ShowNote(const QString& text);
    // The log auto-saves of the minute timer (LogCommands.cpp).
    void RunLogAutoSaves();
    // The "must first connect to a tower" guard of the editing commands; true when a system is known.
    bool RequireKnownSystem();

    // ---- dialogs opened from the menu and the lists ----
    // Configuration dialog on one of its pages (0 decode, 1 scanner control, 2 screen settings,
    // 3 data options, 4 web service/proxy). ConfigCommands.cpp.
    void OpenConfigDialog(int page);
    // Talkgroup and radio ID dialogs, prefilled with a decimal number or empty; the add-range
    // and usage-code dialogs; the shared colour chooser (true when the user confirmed).
    // DialogCommands.cpp.
    void EditTalkgroup(const QString& number);
    void EditRadio(const QString& number);
    void AddFilterRange();
    void ShowUsageCodes();
    // The talkgroup and radio list editor: one window, made on first use, brought to the front.
    void OpenNamesEditor();
    bool ChooseColour(QColor& colour);
    // A CSV name list chosen by the user, previewed and, when accepted, imported into the decoded
    // system's talkgroups or radios, then saved like an edit. DialogCommands.cpp.
    void ImportNamesFromCsv(NamesImport::Kind kind);
    // The hold dialog of Button13 and the list pop-ups. HoldCommands.cpp.
    void OpenHoldDialog();
    // Web directory import and update check. src/web/WebCommands.cpp.
    void ImportFromWebDirectory();
    void CheckForUpdates();
    // A web job (import, update check) runs: the commands that would start another are
    // disabled, and closing the window cancels its request. WebRequestProgress calls these.
    void BeginWebJob(RequestCancel* cancel);
    void EndWebJob();
    bool WebJobRunning() const { return webCancel_ != nullptr; }

    // ---- layout (window size rules, extended/compact activity tab) ----
    void ApplyLayout();
    // Shows or hides the tabs by their settings.
    void ApplyTabVisibility();

    // ---- start-up steps, also run by the tests ----
    void RunStartupActivation();
    // Stops every thread in order, waits for a running backup, saves the settings and releases
    // the decoder and the queue. Runs once; later calls do nothing.
    void RunCloseSequence();
    bool Closed() const { return closed_; }

signals:
    void SessionStarted();
    void SessionStopped();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Widget tree (MainWindowTabs.cpp, MainWindowPanels.cpp) and menu (MainMenu.cpp).
    void BuildWidgets();
    void BuildTabs(QWidget* central);
    void BuildSidePanels(QWidget* central);
    void BuildStatusLine(QWidget* central);
    void BuildMenu();
    void BuildTimers();
    void SetDecodeActions(bool running);
    // Save and Clear of the log views (LogCommands.cpp).
    void WireLogButtons();
    // The usage-code and add-range buttons and the range pop-up's "Add Range" (DialogCommands.cpp).
    void ConnectDialogButtons();

    // Window shown / activation (Mainwindow.cpp).
    void RunWindowShown();
    void ApplyStartupSettings();
    void FitIntoWorkArea();
    void ColourProgressBar(int colour);

    // Session (MainWindowSession.cpp).
    void StartSession();
    void StopSession();
    void EmptyAllLists();
    void StartReader();
    void ReportPortFailure(const QString& text, const QString& title, int session);
    void NoteThreadEnd(int session);
    // The session's trouble in the bottom row and the site panel: the scanner lost (the reader
    // retries it), or no block for 10 s; nothing while blocks arrive or no session runs.
    void NoteScannerLost(bool lost, int session);
    void UpdateSessionTrouble();
    void ShowSessionTrouble(const QString& text);
    // Problems with the files the program keeps (StoreNotices.cpp): each kind shown once in the
    // status line and the event log; a system's unreadable files also in a message.
    void ShowStoreNotice(const StoreNotice& notice);
    void ShowFileNotice(const std::string& key, const QString& text);
    // How the window waits for the session's threads: the event loop keeps running.
    void WaitForSession(const std::function<bool()>& done, std::chrono::milliseconds step);

    MainWindowOptions options_;
    AppState state_;
    Settings settings_;
    QFont listFont_;
    std::unique_ptr<DecodeSession> session_;
    std::set<std::string> fileNoticesShown_;
    EmergencyAlert* emergency_ = nullptr;
    std::unique_ptr<ScannerControl> scannerControl_;
    std::unique_ptr<EventFeedFile> eventFeed_;  // the event feed file while a session runs (setting EventFeed)
    std::unique_ptr<BackupScheduler> backups_;
    std::unique_ptr<RefreshKeeper> refresh_;
    std::unique_ptr<MainWindowLayout> layout_;
    MainWindowWidgets widgets_;
    MainWindowDialogs dialogs_;
    int sessionNumber_ = 0;  // tells a thread's notice from an earlier session's
    bool shown_ = false;
    bool activated_ = false;
    bool closed_ = false;
    bool toggling_ = false;
    bool scannerLost_ = false;  // the reader's device is gone during the session
    // A close or "E&xit" that arrived while a toggle was running (a stop keeps the event loop
    // running while it waits); carried out when the toggle ends.
    enum class DeferredEnd { None, Close, Exit };
    DeferredEnd deferredEnd_ = DeferredEnd::None;

    QTimer* rateTimer_ = nullptr;
    QTimer* saveTimer_ = nullptr;
    QTimer* portFailureTimer_ = nullptr;
    QTimer* tickTimer_ = nullptr;
    QTimer* messageTimer_ = nullptr;  // hides the short report of a command
    QPushButton* startStopButton_ = nullptr;
    QAction* readAction_ = nullptr;
    QAction* stopAction_ = nullptr;
    QAction* importAction_ = nullptr;
    QAction* updateAction_ = nullptr;
    RequestCancel* webCancel_ = nullptr;    // the running web job's cancel, or null
    LogExporter* logExporter_ = nullptr;    // a child of the window
    QColorDialog* colourDialog_ = nullptr;  // the shared colour chooser, a child of the window
};
