#include "persist/Settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

#include "decoder/P25Class.h"
#include "persist/SettingsTable.h"
#include "persist/StoreNotice.h"
#include "platform/IniFile.h"
#include "site/ColorText.h"

namespace {

constexpr const char* kYes = "Yes";
constexpr const char* kNo = "No";
constexpr const char* kWebSection = "RRWebService";
constexpr int kColumnScan = 64;  // Column0..Column63 are looked for in a width section
constexpr int kCustomColors = 16;

// Only "yes", in any letter case, is true: Y, 1 or true are not.
bool IsYes(const std::string& text)
{
    return text.size() == 3 && std::tolower(static_cast<unsigned char>(text[0])) == 'y' &&
           std::tolower(static_cast<unsigned char>(text[1])) == 'e' &&
           std::tolower(static_cast<unsigned char>(text[2])) == 's';
}

int64_t ApplyLimit(const SettingEntry& e, int64_t v)
{
    switch (e.rule) {
    case LimitRule::Clamp: return std::clamp(v, e.min, e.max);
    case LimitRule::ElseDefault: return v < e.min || v > e.max ? IniFile::ParseInteger(e.def, 0) : v;
    case LimitRule::ZeroOrElseDefault:
        return v == 0 || (v >= e.min && v <= e.max) ? v : IniFile::ParseInteger(e.def, 0);
    case LimitRule::None: break;
    }
    return v;
}

int ToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string ColumnKey(size_t i)
{
    return "Column" + std::to_string(i);
}

std::string CustomColorKey(int i)
{
    char key[8];
    std::snprintf(key, sizeof key, "Color%c", 'A' + i);
    return key;
}

// Only the widths present in the file are taken; a list longer than its file keeps the rest.
void LoadColumns(const IniFile& ini, const SettingEntry& e, std::vector<int>& widths)
{
    for (size_t i = 0; i < kColumnScan; ++i) {
        if (!ini.ValueExists(e.section, ColumnKey(i)))
            continue;
        if (widths.size() <= i)
            widths.resize(i + 1, kDefaultColumnWidth);
        widths[i] = ToInt(ini.ReadInteger(e.section, ColumnKey(i), kDefaultColumnWidth));
    }
}

void LoadCustomColors(const IniFile& ini, const SettingEntry& e, std::array<std::string, 16>& colors)
{
    for (int i = 0; i < kCustomColors; ++i)
        colors[i] = ini.ReadString(e.section, CustomColorKey(i), e.def);
}

double ApplyFloatLimit(const SettingEntry& e, double v)
{
    if (e.rule != LimitRule::ZeroOrElseDefault || v == 0.0)
        return v;
    const bool inside = v >= static_cast<double>(e.min) && v <= static_cast<double>(e.max);
    return inside ? v : IniFile::ParseFloat(e.def, 0);
}

// Sets the member of `e` from its text in the file (or its default text).
void Assign(const SettingEntry& e, const std::string& text, Settings& s)
{
    auto integer = [&] { return ApplyLimit(e, IniFile::ParseInteger(text, IniFile::ParseInteger(e.def, 0))); };
    std::visit(
        [&](auto get) {
            auto& member = get(s);
            using T = std::decay_t<decltype(member)>;
            if constexpr (std::is_same_v<T, bool>)
                member = IsYes(text);
            else if constexpr (std::is_same_v<T, int>)
                member = ToInt(integer());
            else if constexpr (std::is_same_v<T, int64_t>)
                member = integer();
            else if constexpr (std::is_same_v<T, double>)
                member = ApplyFloatLimit(e, IniFile::ParseFloat(text, IniFile::ParseFloat(e.def, 0)));
            else if constexpr (std::is_same_v<T, uint32_t>)
                member = ColorFromText(text);
            else if constexpr (std::is_same_v<T, std::string>)
                member = e.type == SettingType::Password ? DecodePassword(text) : text;
        },
        e.ref);
}

// Whether a key's condition lets it be read, given what has been read before it.
bool Readable(const IniFile& ini, const SettingEntry& e, const Settings& s)
{
    if ((e.flags & kIfSectionExists) && !ini.SectionExists(e.section))
        return false;
    if ((e.flags & kScreenSizes) && !s.saveScreenSizes)
        return false;
    if ((e.flags & kScreenFont) && s.useGlobalFont)
        return false;
    return true;
}

void LoadEntry(const IniFile& ini, const SettingEntry& e, Settings& s)
{
    if (!Readable(ini, e, s))
        return;
    if (e.type == SettingType::ColumnWidths) {
        LoadColumns(ini, e, std::get<std::vector<int>& (*)(Settings&)>(e.ref)(s));
        return;
    }
    if (e.type == SettingType::CustomColors) {
        LoadCustomColors(ini, e, std::get<std::array<std::string, 16>& (*)(Settings&)>(e.ref)(s));
        return;
    }
    const bool present = ini.ValueExists(e.section, e.key);
    if (!present && (e.flags & (kCurrentDefault | kOnlyIfPresent)))
        return;
    Assign(e, present ? ini.ReadString(e.section, e.key) : std::string(e.def), s);
}

void SaveEntry(IniFile& ini, const SettingEntry& e, Settings& s)
{
    if (e.flags & kNeverWritten)
        return;
    if ((e.flags & kScreenSizes) && !s.saveScreenSizes)
        return;
    if ((e.flags & kNotWhenMaximized) && s.maximized)
        return;
    std::visit(
        [&](auto get) {
            auto& member = get(s);
            using T = std::decay_t<decltype(member)>;
            if constexpr (std::is_same_v<T, bool>)
                ini.WriteString(e.section, e.key, member ? kYes : kNo);
            else if constexpr (std::is_same_v<T, int> || std::is_same_v<T, int64_t>)
                ini.WriteInteger(e.section, e.key, member);
            else if constexpr (std::is_same_v<T, double>)
                ini.WriteFloat(e.section, e.key, member);
            else if constexpr (std::is_same_v<T, uint32_t>)
                ini.WriteString(e.section, e.key, ColorToText(member));
            else if constexpr (std::is_same_v<T, std::string>)
                ini.WriteString(e.section, e.key, e.type == SettingType::Password ? EncodePassword(member) : member);
            else if constexpr (std::is_same_v<T, std::vector<int>>) {
                for (size_t i = 0; i < member.size(); ++i)
                    ini.WriteInteger(e.section, ColumnKey(i), member[i]);
            } else {
                // The picker's colours replace whatever the section held.
                ini.EraseSection(e.section);
                for (int i = 0; i < kCustomColors; ++i)
                    ini.WriteString(e.section, CustomColorKey(i), member[i]);
            }
        },
        e.ref);
}

// Passwords are kept out of plain sight (not secured): the characters are reordered, then shifted
// within the printable range 33..126.
constexpr int kPasswordShift = 17;
constexpr unsigned char kPrintableLow = 33;
constexpr unsigned char kPrintableHigh = 126;
constexpr int kPrintableSpan = kPrintableHigh - kPrintableLow + 1;  // 94
// The shift cannot carry a blank or a byte outside 33..126 through unchanged. A password holding
// one is stored as this mark and the hex digits of its reordered bytes instead; the shifted form
// never contains the mark, so both forms read back.
constexpr char kHexFormMark = '\x7F';

bool Printable(unsigned char c)
{
    return c >= kPrintableLow && c <= kPrintableHigh;
}

// Odd positions fill the front, even positions the back in reverse: "abcd" becomes "bdca".
std::string Reorder(const std::string& p)
{
    const size_t n = p.size();
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i)
        out[i % 2 ? i / 2 : n - 1 - i / 2] = p[i];
    return out;
}

std::string RestoreOrder(const std::string& stored)
{
    const size_t n = stored.size();
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i)
        out[i] = stored[i % 2 ? i / 2 : n - 1 - i / 2];
    return out;
}

bool FromHex(std::string_view hex, std::string& bytes)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    if (hex.size() % 2 != 0)
        return false;
    bytes.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

}  // namespace

std::string EncodePassword(const std::string& password)
{
    std::string out = Reorder(password);
    if (!std::all_of(out.begin(), out.end(), [](char c) { return Printable(static_cast<unsigned char>(c)); })) {
        std::string hex(1, kHexFormMark);
        char two[3];
        for (char c : out) {
            std::snprintf(two, sizeof two, "%02X", static_cast<unsigned char>(c));
            hex += two;
        }
        return hex;
    }
    for (char& c : out) {
        int b = static_cast<unsigned char>(c) + kPasswordShift;
        if (b > kPrintableHigh)
            b -= kPrintableSpan;
        c = static_cast<char>(b);
    }
    return out;
}

std::string DecodePassword(const std::string& stored)
{
    std::string bytes;
    if (!stored.empty() && stored.front() == kHexFormMark && FromHex(std::string_view(stored).substr(1), bytes))
        return RestoreOrder(bytes);
    bytes = stored;
    for (char& c : bytes) {
        int b = static_cast<unsigned char>(c) - kPasswordShift;
        if (b < kPrintableLow)
            b += kPrintableSpan;
        c = static_cast<char>(b);
    }
    return RestoreOrder(bytes);
}

Settings::Settings()
{
    for (const SettingEntry& e : SettingsTable()) {
        if (e.type == SettingType::CustomColors)
            std::get<std::array<std::string, 16>& (*)(Settings&)>(e.ref)(*this).fill(e.def);
        else if (e.type != SettingType::ColumnWidths)
            Assign(e, e.def, *this);
    }
}

bool LoadSettings(IniFile& ini, Settings& s)
{
    for (const SettingEntry& e : SettingsTable())
        LoadEntry(ini, e, s);
    if (s.webVersion == kWebServiceVersion)
        return true;
    // An older settings file points at a retired service address: replace it in the file at once.
    s.webWsdl = kDefaultWebWsdl;
    s.webVersion = kWebServiceVersion;
    ini.WriteString(kWebSection, "WebWSDL", s.webWsdl);
    ini.WriteInteger(kWebSection, "Version", s.webVersion);
    if (ini.Path().empty())
        return true;
    ini.SetCreateMode(kSettingsFileMode);
    return ini.Save();
}

bool LoadSettings(const std::string& path, Settings& s, StoreNotice* problem)
{
    IniFile ini;
    const bool read = ini.Load(path);
    if (!read) {
        ini.SetPath({});  // never overwrite a file that could not be read
        if (problem)
            *problem = {StoreNotice::Kind::Unreadable, path, ini.Error()};
    }
    const bool updated = LoadSettings(ini, s);
    if (read && !updated && problem)
        *problem = {StoreNotice::Kind::NotSaved, path, ini.Error()};
    return updated && read;
}

void SaveSettings(IniFile& ini, const Settings& s)
{
    Settings copy = s;  // the accessors hand out writable references; saving only reads them
    for (const SettingEntry& e : SettingsTable())
        SaveEntry(ini, e, copy);
}

bool SaveSettings(const std::string& path, const Settings& s)
{
    IniFile ini;
    if (!ini.Load(path))
        return false;  // keep a file we could not read rather than lose its keys
    SaveSettings(ini, s);
    ini.SetCreateMode(kSettingsFileMode);
    return ini.Save();
}

PresentationSwitches DecoderSwitches(const Settings& s)
{
    PresentationSwitches sw;
    sw.recordUnknowns = s.unknowns.visible;
    sw.grantLog = s.grants.visible;
    sw.eventLog = s.otherInfo.visible;
    sw.packetDump = s.pktDump.visible;
    sw.logProtection = s.logProtectionData;
    sw.saveHits = s.saveHits;
    return sw;
}

void ApplySettingsToDecoder(const Settings& s, P25Class& decoder)
{
    decoder.SetSwitches(DecoderSwitches(s));
    decoder.SetDefaultColors(s.defaultText, s.defaultBackground);
    decoder.SetTgTimeOut(s.tgTimeOut);
}
