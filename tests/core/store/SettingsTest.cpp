#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <tuple>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "persist/SettingsTable.h"
#include "persist/StoreNotice.h"
#include "platform/IniFile.h"
#include "site/ColorText.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    Settings LoadText(const std::string& text)
    {
        ScratchFolder::Write(path, text);
        Settings s;
        EXPECT_TRUE(LoadSettings(path, s));
        return s;
    }
    fs::perms Mode() const { return fs::status(path).permissions() & fs::perms::all; }

    ScratchFolder dir;
    std::string path = dir.File("varnel.INI");
};

TEST_F(SettingsFile, MissingFileGivesEveryDefault)
{
    Settings s;
    ASSERT_TRUE(LoadSettings(path, s));
    Settings expected;
    expected.webVersion = kWebServiceVersion;
    EXPECT_TRUE(s == expected);
    // A sample of the built-in values, each as the settings file documents it.
    EXPECT_EQ(std::tie(s.width, s.height, s.tgTimeOut, s.unidenSpeed, s.highPort, s.monitorThresholdHigh,
                       s.autoSaveInterval, s.backupDays, s.backupCheckTime, s.grantLogMax, s.activityColorMode,
                       s.grantsFilterLevel, s.psrDump.size, s.webTimeOut, s.cdromTimeOut, s.proxyPort),
              std::make_tuple(1024, 748, 17, 115200, 64, 99, 10, 7, 60, 20, 1, 99, 8, 45, 360, 80));
    EXPECT_EQ(std::tie(s.font, s.port, s.scanControlPort, s.profile, s.grants.font, s.webWsdl, s.cdromWsdl,
                       s.customColors[15]),
              std::make_tuple("Tahoma", "COM1", "COM2", "BC250D.Scanner", "MS Sans Serif", kDefaultWebWsdl,
                              "http://127.0.0.1:9000/soap/index.php?wsdl", "FFFFFFFF"));
    EXPECT_TRUE(s.useGlobalFont && s.affiliations.visible && s.towerInfo.visible && s.patches.visible);
    EXPECT_FALSE(s.saveScreenSizes || s.grants.visible || s.otherInfo.visible || s.unknowns.visible ||
                 s.pktDump.visible);
    EXPECT_EQ(s.oddBackground, ColorFromText("#CCFFCC"));
    EXPECT_EQ(s.controlText, 0x00FF00u);
    EXPECT_DOUBLE_EQ(s.quietFrequency, 866.0);
    // The version upgrade wrote the file at once, readable by its owner only.
    EXPECT_EQ(ScratchFolder::Read(path),
              std::string("[RRWebService]\r\nWebWSDL=") + kDefaultWebWsdl + "\r\nVersion=2\r\n");
    EXPECT_EQ(Mode(), fs::perms(0600));
}

// Keys missing from the file take their defaults; the "current" ones and those whose condition
// is off keep what the settings held.
TEST_F(SettingsFile, MissingKeysResetFixedDefaultsAndKeepCurrentOnes)
{
    Settings s;
    s.port = "COM9";
    s.highPort = 100;
    s.grants.visible = true;
    s.backupEnabled = true;        // current
    s.useGlobalFont = false;       // current
    s.font = "Arial";              // current
    s.filterRegistrations = true;  // current
    s.tgTimeOut = 30;              // read only when present
    s.left = 5;                    // read only with SaveScreenSizes
    s.logProtectionData = true;    // read only when [Protection] exists
    ScratchFolder::Write(path, "[RRWebService]\r\nVersion=2\r\n");
    ASSERT_TRUE(LoadSettings(path, s));
    EXPECT_EQ(s.port, "COM1");
    EXPECT_EQ(s.highPort, 64);
    EXPECT_FALSE(s.grants.visible);
    EXPECT_TRUE(s.backupEnabled);
    EXPECT_FALSE(s.useGlobalFont);
    EXPECT_EQ(s.font, "Arial");
    EXPECT_TRUE(s.filterRegistrations);
    EXPECT_EQ(s.tgTimeOut, 30);
    EXPECT_EQ(s.left, 5);
    EXPECT_TRUE(s.logProtectionData);
}

struct OddValue {
    const char* section;
    const char* key;
    const char* value;
    std::function<int64_t(const Settings&)> get;
    int64_t expected;
};

class SettingsOddValues : public SettingsFile, public ::testing::WithParamInterface<OddValue> { };

TEST_P(SettingsOddValues, ReadAsDocumented)
{
    const OddValue& c = GetParam();
    const Settings s = LoadText(std::string("[") + c.section + "]\n" + c.key + "=" + c.value + "\n");
    EXPECT_EQ(c.get(s), c.expected) << c.section << "/" << c.key << "=" << c.value;
}

#define FIELD(member) [](const Settings& s) -> int64_t { return s.member; }

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsOddValues,
    ::testing::Values(OddValue{"AutoSave", "Enabled", "YES", FIELD(autoSaveEnabled), 1},
                      OddValue{"autosave", "ENABLED", "yEs", FIELD(autoSaveEnabled), 1},
                      OddValue{"AutoSave", "Enabled", "y", FIELD(autoSaveEnabled), 0},
                      OddValue{"AutoSave", "Enabled", "1", FIELD(autoSaveEnabled), 0},
                      OddValue{"AutoSave", "Enabled", "true", FIELD(autoSaveEnabled), 0},
                      OddValue{"Affiliations", "Visible", "No", FIELD(affiliations.visible), 0},
                      OddValue{"Affiliations", "Visible", "maybe", FIELD(affiliations.visible), 0},
                      OddValue{"Communications", "HighPort", "300", FIELD(highPort), 64},
                      OddValue{"Communications", "HighPort", "15", FIELD(highPort), 64},
                      OddValue{"Communications", "HighPort", "16", FIELD(highPort), 16},
                      OddValue{"Communications", "HighPort", "255", FIELD(highPort), 255},
                      OddValue{"Communications", "HighPort", "abc", FIELD(highPort), 64},
                      OddValue{"Communications", "Latency", "12ms", FIELD(latency), 12},
                      OddValue{"Communications", "Latency", "fast", FIELD(latency), 10},
                      OddValue{"Backup", "Days", "0", FIELD(backupDays), 1},
                      OddValue{"Backup", "Days", "400", FIELD(backupDays), 365},
                      OddValue{"Backup", "CheckTime", "10", FIELD(backupCheckTime), 60},
                      OddValue{"Backup", "CheckTime", "5000", FIELD(backupCheckTime), 1440},
                      OddValue{"Backup", "LastBackup", "1240322820", FIELD(lastBackup), 1240322820},
                      OddValue{"Activity", "GrantLogMax", "500", FIELD(grantLogMax), 200},
                      OddValue{"Activity", "GrantLogMax", "-3", FIELD(grantLogMax), 0},
                      OddValue{"Global", "TGTimeOut", "2", FIELD(tgTimeOut), 5},
                      OddValue{"Global", "TGTimeOut", "30", FIELD(tgTimeOut), 30},
                      OddValue{"Global", "DecodeBarColor", "7", FIELD(decodeBarColor), 0},
                      OddValue{"Global", "DecodeBarColor", "-1", FIELD(decodeBarColor), 0},
                      OddValue{"Global", "DecodeBarColor", "6", FIELD(decodeBarColor), 6},
                      OddValue{"Global", "Size", "99999999999", FIELD(fontSize), 2147483647},
                      OddValue{"Activity", "DefaultBackground", "#102030", FIELD(defaultBackground), 0x302010},
                      OddValue{"Grants", "FilterLevel", "150", FIELD(grantsFilterLevel), 150},
                      // A quiet frequency is 0 ("scan") or 25..1300 MHz; anything else is refused.
                      OddValue{"ScanControl", "QuietFrequency", "0", FIELD(quietFrequency), 0},
                      OddValue{"ScanControl", "QuietFrequency", "25", FIELD(quietFrequency), 25},
                      OddValue{"ScanControl", "QuietFrequency", "1300", FIELD(quietFrequency), 1300},
                      OddValue{"ScanControl", "QuietFrequency", "1e300", FIELD(quietFrequency), 866},
                      OddValue{"ScanControl", "QuietFrequency", "-866", FIELD(quietFrequency), 866},
                      OddValue{"ScanControl", "QuietFrequency", "24.9", FIELD(quietFrequency), 866},
                      OddValue{"ScanControl", "QuietFrequency", "1300.5", FIELD(quietFrequency), 866}));

// A settings file that exists but cannot be read is reported, and no load or save replaces it.
TEST_F(SettingsFile, UnreadableFileIsReportedAndKept)
{
    fs::create_directory(path);
    Settings s;
    StoreNotice problem;
    EXPECT_FALSE(LoadSettings(path, s, &problem));
    EXPECT_EQ(problem.kind, StoreNotice::Kind::Unreadable);
    EXPECT_EQ(problem.path, path);
    EXPECT_EQ(problem.reason, "a folder, not a file");
    EXPECT_FALSE(SaveSettings(path, s));
    EXPECT_TRUE(fs::is_directory(path));

    fs::remove(path);
    ScratchFolder::Write(path, "\xEF\xBB\xBF[Communications]\rPort=/dev/ttyUSB3\r[AutoSave]\rInterval=7\r");
    EXPECT_TRUE(LoadSettings(path, s));  // a mark and lone CRs are read as any other line ends
    EXPECT_EQ(s.port, "/dev/ttyUSB3");
    EXPECT_EQ(s.autoSaveInterval, 7);
}

TEST_F(SettingsFile, ScreenSizesIgnoredAndNotWrittenWhenOff)
{
    const std::string geometry = "[Global]\r\nLeft=40\r\nTop=50\r\nWidth=800\r\nHeight=600\r\nMaximized=Yes\r\n"
                                 "[ActivityScreen]\r\nColumn0=70\r\nColumn2=90\r\n";
    Settings off = LoadText("[Global]\r\nSaveScreenSizes=No\r\n" + geometry.substr(10));
    EXPECT_EQ(off.left, 1);
    EXPECT_EQ(off.width, 1024);
    EXPECT_FALSE(off.maximized);
    EXPECT_TRUE(off.columnWidths[0].empty());

    Settings on;
    on.columnWidths[0] = {10, 11, 12, 13};
    ScratchFolder::Write(path, "[Global]\r\nSaveScreenSizes=Yes\r\n" + geometry.substr(10));
    ASSERT_TRUE(LoadSettings(path, on));
    EXPECT_EQ(on.left, 40);
    EXPECT_EQ(on.height, 600);
    EXPECT_TRUE(on.maximized);
    EXPECT_EQ(on.columnWidths[0], (std::vector<int>{70, 11, 90, 13}));
    on.columnWidths[1] = {};  // a section with a missing middle column grows with the default
    IniFile ini;
    ini.Parse("[Global]\r\nSaveScreenSizes=yes\r\n[NeighborScreen]\r\nColumn1=33\r\n");
    ASSERT_TRUE(LoadSettings(ini, on));
    EXPECT_EQ(on.columnWidths[1], (std::vector<int>{kDefaultColumnWidth, 33}));

    IniFile written;
    off.left = 99;
    off.columnWidths[3] = {20, 21};
    SaveSettings(written, off);
    EXPECT_FALSE(written.ValueExists("Global", "Left"));
    EXPECT_FALSE(written.ValueExists("Global", "Maximized"));
    EXPECT_FALSE(written.SectionExists("TowerAffiliationScreen"));
}

TEST_F(SettingsFile, MaximizedWritesNoPositionOtherwisePositionFollows)
{
    Settings s;
    s.saveScreenSizes = true;
    s.maximized = true;
    s.columnWidths[12] = {30, 31};
    IniFile ini;
    SaveSettings(ini, s);
    EXPECT_EQ(ini.ReadString("Global", "Maximized"), "Yes");
    EXPECT_FALSE(ini.ValueExists("Global", "Left"));
    EXPECT_EQ(ini.ReadSection("ActivityGrantScreen"), (std::vector<std::string>{"Column0", "Column1"}));

    s.maximized = false;
    IniFile normal;
    SaveSettings(normal, s);
    const auto keys = normal.ReadSection("Global");
    ASSERT_GE(keys.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(keys.begin() + 2, keys.begin() + 7),
              (std::vector<std::string>{"Maximized", "Left", "Top", "Width", "Height"}));
    EXPECT_EQ(normal.ReadString("Global", "Maximized"), "No");
}

TEST_F(SettingsFile, ScreenFontsReadOnlyWithoutGlobalFont)
{
    const std::string screens = "[Grants]\r\nFont=Courier\r\nSize=11\r\nBold=Yes\r\n[Activity]\r\nFont=Arial\r\n";
    const Settings global = LoadText("[Global]\r\nUseGlobalFont=Yes\r\nFont=Verdana\r\n" + screens);
    EXPECT_EQ(global.font, "Verdana");
    EXPECT_EQ(global.grants.font, "MS Sans Serif");
    EXPECT_EQ(global.activity.font, "MS Sans Serif");
    const Settings own = LoadText("[Global]\r\nUseGlobalFont=no\r\n" + screens);
    EXPECT_EQ(own.grants.font, "Courier");
    EXPECT_EQ(own.grants.size, 11);
    EXPECT_TRUE(own.grants.bold);
    EXPECT_EQ(own.activity.font, "Arial");
}

TEST_F(SettingsFile, KeysNeverWrittenStayOutOfTheFile)
{
    const Settings s = LoadText("[Protection]\r\nLogProtectionData=Yes\r\n[RRWebService]\r\nUseDevelKey=Yes\r\n");
    EXPECT_TRUE(s.logProtectionData);
    EXPECT_TRUE(s.useDevelKey);
    IniFile fresh;
    SaveSettings(fresh, s);
    EXPECT_FALSE(fresh.SectionExists("Protection"));
    EXPECT_FALSE(fresh.ValueExists("Global", "TGTimeOut"));
    EXPECT_FALSE(fresh.ValueExists("RRWebService", "UseDevelKey"));
    // Saving over the file leaves what the user put there by hand.
    ASSERT_TRUE(SaveSettings(path, s));
    IniFile back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.ReadString("Protection", "LogProtectionData"), "Yes");
    EXPECT_EQ(back.ReadString("RRWebService", "UseDevelKey"), "Yes");
}

TEST_F(SettingsFile, CustomColorsReadWhenPresentAndRewrittenWhole)
{
    Settings s = LoadText("[CustomColors]\r\nColorB=00FF00FF\r\nColorZ=stale\r\n");
    EXPECT_EQ(s.customColors[0], "FFFFFFFF");
    EXPECT_EQ(s.customColors[1], "00FF00FF");
    ASSERT_TRUE(SaveSettings(path, s));
    IniFile back;
    ASSERT_TRUE(back.Load(path));
    const auto keys = back.ReadSection("CustomColors");
    ASSERT_EQ(keys.size(), 16u);
    EXPECT_EQ(keys.front(), "ColorA");
    EXPECT_EQ(keys.back(), "ColorP");
    EXPECT_EQ(back.ReadString("CustomColors", "ColorB"), "00FF00FF");
}

// Sets every written key to a value other than its default, inside its limits.
Settings Unusual()
{
    Settings s;
    int n = 0;
    for (const SettingEntry& e : SettingsTable()) {
        ++n;
        std::visit(
            [&](auto get) {
                auto& m = get(s);
                using T = std::decay_t<decltype(m)>;
                if constexpr (std::is_same_v<T, bool>)
                    m = !m;
                else if constexpr (std::is_same_v<T, int>)
                    m = e.rule == LimitRule::None ? 1000 + n : int(e.min) + 1;
                else if constexpr (std::is_same_v<T, int64_t>)
                    m = 1240322820 + n;
                else if constexpr (std::is_same_v<T, double>)
                    m = 851.0125 + n;
                else if constexpr (std::is_same_v<T, uint32_t>)
                    m = 0x102030u + n;
                else if constexpr (std::is_same_v<T, std::string>)
                    m = std::string("Value of ") + e.key;
                else if constexpr (std::is_same_v<T, std::vector<int>>)
                    m = {40 + n, 41, 42};
                else
                    for (auto& c : m)
                        c = "00112233";
            },
            e.ref);
    }
    s.saveScreenSizes = true;  // so that geometry and widths are written
    s.maximized = false;
    s.useGlobalFont = false;  // so that the screen fonts are read back
    s.webVersion = kWebServiceVersion;
    s.webPassword = "p@ss w0rd~";
    s.proxyPassword = "Zz!9";
    s.logProtectionData = Settings().logProtectionData;  // never written
    s.tgTimeOut = Settings().tgTimeOut;
    s.useDevelKey = Settings().useDevelKey;
    return s;
}

TEST_F(SettingsFile, SaveThenLoadGivesTheSameValues)
{
    const Settings saved = Unusual();
    ASSERT_TRUE(SaveSettings(path, saved));
    Settings loaded;
    ASSERT_TRUE(LoadSettings(path, loaded));
    EXPECT_TRUE(loaded == saved);
    EXPECT_EQ(Mode(), fs::perms(0600));
    const std::string text = ScratchFolder::Read(path);
    EXPECT_NE(text.find("[AutoSave]\r\nEnabled=Yes\r\n"), std::string::npos);
    EXPECT_EQ(text.find("p@ss"), std::string::npos);  // passwords are not stored in the clear
}

TEST_F(SettingsFile, SaveTightensAnExistingFileToOwnerOnly)
{
    ScratchFolder::Write(path, "[Global]\r\nConfirmations=Yes\r\n");
    fs::permissions(path, fs::perms(0644));
    ASSERT_TRUE(SaveSettings(path, Settings()));
    EXPECT_EQ(Mode(), fs::perms(0600));
}

// The temporary file of a name already at the file system's limit cannot be created: the save
// fails and the old file is untouched.
TEST_F(SettingsFile, FailedSaveLeavesOldFileIntact)
{
    const std::string longPath = dir.File(std::string(251, 'x') + ".INI");
    const std::string old = "[Backup]\r\nLastBackup=1\r\n";
    ScratchFolder::Write(longPath, old);
    ASSERT_EQ(ScratchFolder::Read(longPath), old);
    Settings s;
    s.lastBackup = 2;
    EXPECT_FALSE(SaveSettings(longPath, s));
    EXPECT_EQ(ScratchFolder::Read(longPath), old);
    EXPECT_FALSE(SaveSettings(dir.File("missing/varnel.INI"), s));
}

TEST_F(SettingsFile, WebServiceUpgradeWrittenDuringLoading)
{
    struct Case {
        const char* section;
        const char* wsdlAfter;
        bool rewritten;
    };
    const Case cases[] = {
        {"[RRWebService]\r\nWebWSDL=http://old.example/soap/?wsdl\r\nUserName=me\r\n", kDefaultWebWsdl, true},
        {"[RRWebService]\r\nWebWSDL=http://old.example/soap/?wsdl\r\nVersion=1\r\n", kDefaultWebWsdl, true},
        {"[RRWebService]\r\nWebWSDL=http://mine.example/?wsdl\r\nVersion=2\r\n", "http://mine.example/?wsdl", false},
    };
    for (const Case& c : cases) {
        const Settings s = LoadText(c.section);
        EXPECT_EQ(s.webWsdl, c.wsdlAfter) << c.section;
        EXPECT_EQ(s.webVersion, 2);
        IniFile back;
        ASSERT_TRUE(back.Load(path));
        EXPECT_EQ(back.ReadString("RRWebService", "WebWSDL"), c.wsdlAfter);
        EXPECT_EQ(back.ReadInteger("RRWebService", "Version", 0), 2);
        EXPECT_EQ(ScratchFolder::Read(path) == c.section, !c.rewritten) << c.section;
    }
    EXPECT_EQ(Settings().webVersion, 0);
}

struct PasswordCase {
    const char* plain;
    const char* stored;
};

TEST(SettingsPassword, EncodesAsDocumented)
{
    // "abcd" is reordered to "bdca" (2nd, 4th, 3rd, 1st), then shifted by 17; '~' wraps to '1'.
    const PasswordCase cases[] = {{"", ""},       {"a", "r"},   {"abcd", "sutr"},
                                  {"abc", "str"}, {"~!", "21"}, {"Secret1", "v%'Bvtd"}};
    for (const PasswordCase& c : cases) {
        EXPECT_EQ(EncodePassword(c.plain), c.stored) << c.plain;
        EXPECT_EQ(DecodePassword(c.stored), c.plain) << c.stored;
    }
}

TEST(SettingsPassword, EveryPasswordComesBack)
{
    std::string printable;
    for (int c = 33; c <= 126; ++c)
        printable += static_cast<char>(c);
    const std::string passwords[] = {printable, "with blank", " edge ", "caf\xC3\xA9", std::string(300, 'q')};
    for (const std::string& p : passwords) {
        const std::string stored = EncodePassword(p);
        EXPECT_EQ(DecodePassword(stored), p) << p;
        IniFile ini;  // the stored form also survives the file's trimming of blanks
        ini.WriteString("S", "Password", stored);
        EXPECT_EQ(DecodePassword(ini.ReadString("S", "Password")), p) << p;
    }
    EXPECT_EQ(EncodePassword(printable).size(), printable.size());
}

TEST(SettingsDecoder, SwitchesColoursAndTimeOut)
{
    Settings s;
    s.unknowns.visible = true;
    s.pktDump.visible = true;
    s.logProtectionData = true;
    s.defaultText = 0x0000FF;
    s.defaultBackground = 0x00FFFF;
    s.tgTimeOut = 42;
    ManualClock clock;
    auto decoder = std::make_unique<P25Class>(clock);
    ApplySettingsToDecoder(s, *decoder);
    const PresentationSwitches sw = decoder->Switches();
    EXPECT_TRUE(sw.recordUnknowns && sw.packetDump && sw.logProtection);
    EXPECT_FALSE(sw.grantLog || sw.eventLog || sw.saveHits);
    EXPECT_EQ(decoder->Context().defaultTextColor.load(), 0x0000FFu);
    EXPECT_EQ(decoder->Context().defaultBackColor.load(), 0x00FFFFu);
    EXPECT_EQ(decoder->Context().tgTimeOut.load(), 42);
}

}  // namespace
