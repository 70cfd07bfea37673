#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

class IniFile;
struct StoreNotice;
class P25Class;
struct PresentationSwitches;

// One list screen's font and switches (the per-screen sections, e.g. [Grants]).
struct ScreenSettings {
    std::string font;       // Font       text     "MS Sans Serif"; read only when useGlobalFont is off
    int size = 0;           // Size       integer  8; same condition
    bool bold = false;      // Bold       Yes/No   No; same condition
    bool visible = false;   // Visible    Yes/No   Yes for Affiliations, TowerInfo, Patches; else No
    bool autoSave = false;  // AutoSave   Yes/No   No (TowerInfo has none)

    bool operator==(const ScreenSettings&) const = default;
};

// The list screens whose column widths are kept, in the order of their sections.
enum class ColumnScreen {
    Activity,
    Neighbor,
    Identifier,
    TowerAffiliation,
    PatchList,
    TowerAffiliationLog,
    UnknownPackets,
    Grant,
    OtherEvents,
    PatchLog,
    TowerInformation,
    PacketDump,
    ActivityGrant,
    Count
};
constexpr int kColumnScreens = static_cast<int>(ColumnScreen::Count);

// The program-wide settings, one member per key of the settings file. The comments give the key,
// its type and its default; "current" means a missing key leaves the member as it is (its
// built-in initial value at start-up). Yes/No reads as true only for "yes" in any case.
// A default-constructed Settings holds every built-in initial value (from the key table).
struct Settings {
    Settings();
    bool operator==(const Settings&) const = default;

    // [Protection], read only when the section exists, never written.
    bool logProtectionData{};  // LogProtectionData Yes/No No

    // [Global]
    bool saveScreenSizes{};  // SaveScreenSizes Yes/No No
    bool confirmations{};    // Confirmations Yes/No No
    // Window geometry: read and written only while saveScreenSizes is on; Left, Top, Width and
    // Height are not written while the window is maximized.
    int left{}, top{};                      // Left, Top 1, 1
    int width{}, height{};                  // Width, Height 1024, 748
    bool maximized{};                       // Maximized Yes/No No
    bool useGlobalFont{};                   // UseGlobalFont Yes/No current (Yes)
    std::string font;                       // Font text current ("Tahoma")
    int fontSize{};                         // Size 8
    bool fontBold{};                        // Bold Yes/No No
    uint32_t evenText{}, evenBackground{};  // EvenText, EvenBackground colour #000000, #FFFFFF
    uint32_t oddText{}, oddBackground{};    // OddText, OddBackground colour #000000, #CCFFCC
    bool includeDate{};                     // IncludeDate Yes/No current (No)
    int decodeBarColor{};                   // DecodeBarColor 0; 0..6, else 0
    int tgTimeOut{};                        // TGTimeOut 17 ticks; at least 5; read only when present, never written

    // [Communications]
    std::string port;     // Port "COM1"
    int latency{};        // Latency 10 ms
    int scannerType{};    // ScannerType 0
    int unidenSpeed{};    // UnidenSpeed 115200
    bool showAllPorts{};  // ShowAllPorts Yes/No No
    int highPort{};       // HighPort 64; 16..255, else 64

    // [ScanControl]
    bool scanControlEnabled{};    // Enabled Yes/No No
    std::string scanControlPort;  // Port "COM2"
    bool tuneData{};              // TuneData Yes/No No
    std::string profile;          // Profile "BC250D.Scanner"
    int privatePriority{};        // PrivatePriority 0
    double quietFrequency{};      // QuietFrequency float 866.0 MHz
    int portSpeed{};              // PortSpeed 9600
    int monitorThresholdHigh{};   // MonitorThresholdHigh 99
    int monitorThresholdLow{};    // MonitorThresholdLow 1

    // [EventFeed]
    bool eventFeedEnabled{};    // Enabled Yes/No No: the desktop program writes the event feed
    std::string eventFeedFile;  // File "events.jsonl" (JSON Lines; relative to the program folder)

    // [AutoSave]
    bool autoSaveEnabled{};  // Enabled Yes/No No
    int autoSaveInterval{};  // Interval 10 minutes

    // [Backup]
    bool backupEnabled{};    // Enabled Yes/No current (No)
    int backupDays{};        // Days 7; 1..365 (clamped)
    int backupCheckTime{};   // CheckTime 60 minutes; 60..1440 (clamped)
    int64_t lastBackup{};    // LastBackup 0 (Unix seconds)
    std::string backupPath;  // BackupPath text empty
    bool backupAddDate{};    // AddDate Yes/No current (No)

    // [Activity]
    ScreenSettings activity;  // Font, Size, Bold current ("MS Sans Serif", 8, No); no Visible/AutoSave
    bool showGrantLog{};      // ShowGrantLog Yes/No No
    int grantLogMax{};        // GrantLogMax 20; at most 200 (and not below 0)
    bool showPatchList{};     // ShowPatchList Yes/No No
    bool hideSystemInfo{};    // HideSystemInfo Yes/No No
    int activityColorMode{};  // ColorMode 1 (0 radio, 1 talkgroup, 2 split)
    uint32_t defaultText{}, defaultBackground{};  // DefaultText, DefaultBackground #000000, #FFFFFF
    uint32_t controlText{}, controlBackground{};  // ControlText, ControlBackground #00FF00, #FFFFFF
    bool saveHits{};                              // SaveHits Yes/No current (No)
    bool emergencySound{};                        // EmergencySound Yes/No No: a beep on a new emergency
    bool emergencyNotice{};                       // EmergencyNotice Yes/No No: a desktop notification too

    // Per-screen sections.
    ScreenSettings affiliations;     // [Affiliations] Visible Yes
    bool logDenied{};                //   LogDenied No
    bool affiliationsUseTGColors{};  //   UseTGColors No
    bool filterRegistrations{};      //   FilterRegistrations current (No)
    ScreenSettings towerInfo;        // [TowerInfo] Visible Yes
    ScreenSettings patches;          // [Patches] Visible Yes
    ScreenSettings otherInfo;        // [OtherInfo]
    ScreenSettings grants;           // [Grants]
    bool grantsUseTGColors{};        //   UseTGColors No
    bool grantsUseFilter{};          //   UseFilter No
    int grantsFilterLevel{};         //   FilterLevel 99
    bool grantsFilterOther{};        //   FilterOther No
    int grantsColorMode{};           //   ColorMode 1
    ScreenSettings unknowns;         // [Unknowns]
    ScreenSettings pktDump;          // [PktDump]
    ScreenSettings psrDump;          // [PSRDUMP]

    // [RRWebService]
    bool webEnabled{};        // Enabled Yes/No current (No)
    std::string webUserName;  // UserName text empty
    std::string webPassword;  // Password encoded password empty
    std::string webWsdl;      // WebWSDL kDefaultWebWsdl; reset when Version is not 2
    int webTimeOut{};         // WebTimeOut 45 s
    bool cdromEnabled{};      // CDROMEnabled Yes/No current (No)
    std::string cdromWsdl;    // CDROMWSDL kDefaultCdromWsdl
    int cdromTimeOut{};       // CDROMTimeOut 360 s
    bool useDevelKey{};       // UseDevelKey Yes/No No; never written
    int webVersion{};         // Version 0 before loading, kWebServiceVersion after

    // [Proxy]
    int proxyType{};            // Type 0 (0 automatic, 1 manual, 2 none)
    std::string proxyAddress;   // Address text empty
    int proxyPort{};            // Port 80
    bool proxyLoginRequired{};  // LoginRequired Yes/No current (No)
    std::string proxyUserName;  // UserName text empty
    std::string proxyPassword;  // Password encoded password empty

    // [CustomColors] ColorA..ColorP text "FFFFFFFF"; read only when the section exists.
    std::array<std::string, 16> customColors;

    // [ActivityScreen] ... [ActivityGrantScreen] Column0, Column1, ...: widths in pixels, read and
    // written only while saveScreenSizes is on. The lists size these to their column counts; a
    // width missing from the file keeps its value (50 when the list grows to reach it).
    std::array<std::vector<int>, kColumnScreens> columnWidths;
};

// Built-in addresses of the web directory's service descriptions.
extern const char* const kDefaultWebWsdl;
extern const char* const kDefaultCdromWsdl;
constexpr int kWebServiceVersion = 2;
constexpr int kDefaultColumnWidth = 50;
// The settings file holds two passwords: it is readable by its owner only.
constexpr mode_t kSettingsFileMode = 0600;

// Reads every key of the file into `s`, applying limits as they are read. Keys that are missing
// take their default, except the "current" ones and those whose condition is off, which keep
// the value in `s`. When the web service version in the file is not current, the built-in
// service address and the version are written to the file at once (saved when `ini` has a
// path). Returns false only when that upgrade could not be saved.
bool LoadSettings(IniFile& ini, Settings& s);
// Reads the settings file at `path` (a missing file gives every default). Returns false when an
// existing file cannot be read (it is then never written by this load) or the upgrade cannot be
// saved; `s` then holds what was read and `problem`, when given, says what happened.
bool LoadSettings(const std::string& path, Settings& s, StoreNotice* problem = nullptr);

// Writes every key except those never written into `ini` (fresh sections are added at the end).
void SaveSettings(IniFile& ini, const Settings& s);
// Rewrites the settings file at `path` atomically, keeping keys it does not know, with
// permissions kSettingsFileMode. On failure the old file stays as it was and false is returned.
bool SaveSettings(const std::string& path, const Settings& s);

// The password encoding of the settings file (both Password keys).
std::string EncodePassword(const std::string& password);
std::string DecodePassword(const std::string& stored);

// The decoder's switches, default colours and channel time-out from the settings.
PresentationSwitches DecoderSwitches(const Settings& s);
void ApplySettingsToDecoder(const Settings& s, P25Class& decoder);
