#include "persist/SettingsTable.h"

#include <limits>

const char* const kDefaultWebWsdl = "https://api.radioreference.com/soap2/index.php?wsdl";
const char* const kDefaultCdromWsdl = "http://127.0.0.1:9000/soap/index.php?wsdl";

namespace {

constexpr int64_t kNoMax = std::numeric_limits<int32_t>::max();

// The accessor of a member (a captureless lambda turned into a plain function pointer).
#define M(member)                                                                                                      \
    +[](Settings & s) -> auto&                                                                                         \
    {                                                                                                                  \
        return s.member;                                                                                               \
    }

#define YN(sec, key, def, flags, member)                                                                               \
    {                                                                                                                  \
        sec, key, SettingType::YesNo, def, LimitRule::None, 0, 0, flags, M(member)                                     \
    }
#define INT(sec, key, def, flags, member)                                                                              \
    {                                                                                                                  \
        sec, key, SettingType::Integer, def, LimitRule::None, 0, 0, flags, M(member)                                   \
    }
#define LIM(sec, key, def, rule, lo, hi, flags, member)                                                                \
    {                                                                                                                  \
        sec, key, SettingType::Integer, def, LimitRule::rule, lo, hi, flags, M(member)                                 \
    }
#define FLT(sec, key, def, member)                                                                                     \
    {                                                                                                                  \
        sec, key, SettingType::Float, def, LimitRule::None, 0, 0, 0, M(member)                                         \
    }
// A float that is 0 or within [lo, hi]; anything else reads as the default.
#define FLIM(sec, key, def, lo, hi, member)                                                                            \
    {                                                                                                                  \
        sec, key, SettingType::Float, def, LimitRule::ZeroOrElseDefault, lo, hi, 0, M(member)                          \
    }
#define COL(sec, key, def, member)                                                                                     \
    {                                                                                                                  \
        sec, key, SettingType::Colour, def, LimitRule::None, 0, 0, 0, M(member)                                        \
    }
#define TXT(sec, key, def, flags, member)                                                                              \
    {                                                                                                                  \
        sec, key, SettingType::Text, def, LimitRule::None, 0, 0, flags, M(member)                                      \
    }
#define PWD(sec, key, member)                                                                                          \
    {                                                                                                                  \
        sec, key, SettingType::Password, "", LimitRule::None, 0, 0, 0, M(member)                                       \
    }
#define WIDTHS(sec, screen)                                                                                            \
    {                                                                                                                  \
        sec, "", SettingType::ColumnWidths, "50", LimitRule::None, 0, 0, kScreenSizes,                                 \
            M(columnWidths[static_cast<int>(ColumnScreen::screen)])                                                    \
    }
// Font, Size and Bold of a list screen, read only while the global font is not in use.
#define SCREEN_FONT(sec, member, fontName, flags)                                                                      \
    TXT(sec, "Font", fontName, kScreenFont | (flags), member.font),                                                    \
        INT(sec, "Size", "8", kScreenFont | (flags), member.size),                                                     \
        YN(sec, "Bold", "No", kScreenFont | (flags), member.bold)
#define SCREEN(sec, member, visibleDef)                                                                                \
    SCREEN_FONT(sec, member, "MS Sans Serif", 0), YN(sec, "Visible", visibleDef, 0, member.visible)

}  // namespace

std::span<const SettingEntry> SettingsTable()
{
    // Built on first use, so a Settings made during static initialisation finds it ready.
    static const SettingEntry kTable[] = {
        YN("Protection", "LogProtectionData", "No", kIfSectionExists | kNeverWritten, logProtectionData),

        YN("Global", "SaveScreenSizes", "No", 0, saveScreenSizes),
        YN("Global", "Confirmations", "No", 0, confirmations),
        // Maximized first: when it is on, the position and size that follow are not written.
        YN("Global", "Maximized", "No", kScreenSizes, maximized),
        INT("Global", "Left", "1", kScreenSizes | kNotWhenMaximized, left),
        INT("Global", "Top", "1", kScreenSizes | kNotWhenMaximized, top),
        INT("Global", "Width", "1024", kScreenSizes | kNotWhenMaximized, width),
        INT("Global", "Height", "748", kScreenSizes | kNotWhenMaximized, height),

        WIDTHS("ActivityScreen", Activity),
        WIDTHS("NeighborScreen", Neighbor),
        WIDTHS("IdentifierScreen", Identifier),
        WIDTHS("TowerAffiliationScreen", TowerAffiliation),
        WIDTHS("PatchListScreen", PatchList),
        WIDTHS("TowerAffiliationLog", TowerAffiliationLog),
        WIDTHS("UnknownPacketsScreen", UnknownPackets),
        WIDTHS("GrantScreen", Grant),
        WIDTHS("OtherEventsScreen", OtherEvents),
        WIDTHS("PatchLogScreen", PatchLog),
        WIDTHS("TowerInformationScreen", TowerInformation),
        WIDTHS("PacketDumpScreen", PacketDump),
        WIDTHS("ActivityGrantScreen", ActivityGrant),

        TXT("Communications", "Port", "COM1", 0, port),
        INT("Communications", "Latency", "10", 0, latency),
        INT("Communications", "ScannerType", "0", 0, scannerType),
        INT("Communications", "UnidenSpeed", "115200", 0, unidenSpeed),
        YN("Communications", "ShowAllPorts", "No", 0, showAllPorts),
        LIM("Communications", "HighPort", "64", ElseDefault, 16, 255, 0, highPort),

        YN("ScanControl", "Enabled", "No", 0, scanControlEnabled),
        TXT("ScanControl", "Port", "COM2", 0, scanControlPort),
        YN("ScanControl", "TuneData", "No", 0, tuneData),
        TXT("ScanControl", "Profile", "BC250D.Scanner", 0, profile),
        INT("ScanControl", "PrivatePriority", "0", 0, privatePriority),
        FLIM("ScanControl", "QuietFrequency", "866.0", 25, 1300, quietFrequency),
        INT("ScanControl", "PortSpeed", "9600", 0, portSpeed),
        INT("ScanControl", "MonitorThresholdHigh", "99", 0, monitorThresholdHigh),
        INT("ScanControl", "MonitorThresholdLow", "1", 0, monitorThresholdLow),
        YN("EventFeed", "Enabled", "No", 0, eventFeedEnabled),
        TXT("EventFeed", "File", "events.jsonl", 0, eventFeedFile),

        YN("AutoSave", "Enabled", "No", 0, autoSaveEnabled),
        INT("AutoSave", "Interval", "10", 0, autoSaveInterval),

        YN("Backup", "Enabled", "No", kCurrentDefault, backupEnabled),
        LIM("Backup", "Days", "7", Clamp, 1, 365, 0, backupDays),
        LIM("Backup", "CheckTime", "60", Clamp, 60, 1440, 0, backupCheckTime),
        INT("Backup", "LastBackup", "0", 0, lastBackup),
        TXT("Backup", "BackupPath", "", 0, backupPath),
        YN("Backup", "AddDate", "No", kCurrentDefault, backupAddDate),

        YN("Global", "UseGlobalFont", "Yes", kCurrentDefault, useGlobalFont),
        TXT("Global", "Font", "Tahoma", kCurrentDefault, font),
        INT("Global", "Size", "8", 0, fontSize),
        YN("Global", "Bold", "No", 0, fontBold),
        COL("Global", "EvenText", "#000000", evenText),
        COL("Global", "EvenBackground", "#FFFFFF", evenBackground),
        COL("Global", "OddText", "#000000", oddText),
        COL("Global", "OddBackground", "#CCFFCC", oddBackground),
        YN("Global", "IncludeDate", "No", kCurrentDefault, includeDate),
        LIM("Global", "DecodeBarColor", "0", ElseDefault, 0, 6, 0, decodeBarColor),
        LIM("Global", "TGTimeOut", "17", Clamp, 5, kNoMax, kOnlyIfPresent | kNeverWritten, tgTimeOut),

        SCREEN_FONT("Activity", activity, "MS Sans Serif", kCurrentDefault),
        YN("Activity", "ShowGrantLog", "No", 0, showGrantLog),
        LIM("Activity", "GrantLogMax", "20", Clamp, 0, 200, 0, grantLogMax),
        YN("Activity", "ShowPatchList", "No", 0, showPatchList),
        YN("Activity", "HideSystemInfo", "No", 0, hideSystemInfo),
        INT("Activity", "ColorMode", "1", 0, activityColorMode),
        COL("Activity", "DefaultText", "#000000", defaultText),
        COL("Activity", "DefaultBackground", "#FFFFFF", defaultBackground),
        COL("Activity", "ControlText", "#00FF00", controlText),
        COL("Activity", "ControlBackground", "#FFFFFF", controlBackground),
        YN("Activity", "SaveHits", "No", kCurrentDefault, saveHits),
        YN("Activity", "EmergencySound", "No", 0, emergencySound),
        YN("Activity", "EmergencyNotice", "No", 0, emergencyNotice),

        SCREEN("Affiliations", affiliations, "Yes"),
        YN("Affiliations", "AutoSave", "No", 0, affiliations.autoSave),
        YN("Affiliations", "LogDenied", "No", 0, logDenied),
        YN("Affiliations", "UseTGColors", "No", 0, affiliationsUseTGColors),
        YN("Affiliations", "FilterRegistrations", "No", kCurrentDefault, filterRegistrations),
        SCREEN("TowerInfo", towerInfo, "Yes"),
        SCREEN("Patches", patches, "Yes"),
        YN("Patches", "AutoSave", "No", 0, patches.autoSave),
        SCREEN("OtherInfo", otherInfo, "No"),
        YN("OtherInfo", "AutoSave", "No", 0, otherInfo.autoSave),
        SCREEN("Grants", grants, "No"),
        YN("Grants", "AutoSave", "No", 0, grants.autoSave),
        YN("Grants", "UseTGColors", "No", 0, grantsUseTGColors),
        YN("Grants", "UseFilter", "No", 0, grantsUseFilter),
        INT("Grants", "FilterLevel", "99", 0, grantsFilterLevel),
        YN("Grants", "FilterOther", "No", 0, grantsFilterOther),
        INT("Grants", "ColorMode", "1", 0, grantsColorMode),
        SCREEN("Unknowns", unknowns, "No"),
        YN("Unknowns", "AutoSave", "No", 0, unknowns.autoSave),
        SCREEN("PktDump", pktDump, "No"),
        YN("PktDump", "AutoSave", "No", 0, pktDump.autoSave),
        SCREEN("PSRDUMP", psrDump, "No"),
        YN("PSRDUMP", "AutoSave", "No", 0, psrDump.autoSave),

        YN("RRWebService", "Enabled", "No", kCurrentDefault, webEnabled),
        TXT("RRWebService", "UserName", "", 0, webUserName),
        PWD("RRWebService", "Password", webPassword),
        TXT("RRWebService", "WebWSDL", kDefaultWebWsdl, 0, webWsdl),
        INT("RRWebService", "WebTimeOut", "45", 0, webTimeOut),
        YN("RRWebService", "CDROMEnabled", "No", kCurrentDefault, cdromEnabled),
        TXT("RRWebService", "CDROMWSDL", kDefaultCdromWsdl, 0, cdromWsdl),
        INT("RRWebService", "CDROMTimeOut", "360", 0, cdromTimeOut),
        YN("RRWebService", "UseDevelKey", "No", kNeverWritten, useDevelKey),
        INT("RRWebService", "Version", "0", 0, webVersion),

        INT("Proxy", "Type", "0", 0, proxyType),
        TXT("Proxy", "Address", "", 0, proxyAddress),
        INT("Proxy", "Port", "80", 0, proxyPort),
        YN("Proxy", "LoginRequired", "No", kCurrentDefault, proxyLoginRequired),
        TXT("Proxy", "UserName", "", 0, proxyUserName),
        PWD("Proxy", "Password", proxyPassword),

        {"CustomColors", "", SettingType::CustomColors, "FFFFFFFF", LimitRule::None, 0, 0, kIfSectionExists,
         M(customColors)},
    };
    return kTable;
}
