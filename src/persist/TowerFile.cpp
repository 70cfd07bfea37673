#include "persist/TowerFile.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "decoder/P25Class.h"
#include "p25/NameTables.h"
#include "persist/DataFileReader.h"
#include "persist/DataFileText.h"
#include "persist/SplitCsvLine.h"
#include "site/ChannelActivity.h"

namespace {

constexpr int kIdentifierShift = 12;
constexpr int32_t kChannelMask = 0xFFF;

// Usage letters in the order they are written.
struct UsageLetter {
    char letter;
    uint32_t flag;
};
constexpr UsageLetter kUsageLetters[] = {
    {'c', kFlagControl}, {'a', kFlagAlternate}, {'v', kFlagVoice}, {'d', kFlagData},
    {'i', kFlagCwid},    {'p', kFlagPrivate},   {'t', kFlagPhone},
};

__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string UsageLetters(uint32_t flags)
{
    std::string out;
    for (const UsageLetter& u : kUsageLetters)
        if (flags & u.flag)
            out.push_back(u.letter);
    return out;
}

std::string ChannelField(int32_t channel)
{
    return Printf("%02d-%04d", channel >> kIdentifierShift, channel & kChannelMask);
}

void AppendInfo(std::string& out, P25Class& d, const SystemInfo& info, int64_t now)
{
    const std::string tower = d.Towers().GetTowerName(info.rfssId, info.siteId);
    out += "-TowerInfo\r\n";
    out += "#This section is here for information only.  With the exception\r\n";
    out += "#of the Call Sign(s), This data is not Read back into the program at all.\r\n";
    const int rfss = static_cast<int>(info.rfssId);
    const int site = static_cast<int>(info.siteId);
    out += Printf("System ID             : %03X\r\n", static_cast<unsigned>(info.systemId));
    out += "System Name           : " + OneLineText(info.systemName) + "\r\n";
    out += Printf("WACN                  : %05lX\r\n", static_cast<unsigned long>(info.wacn));
    out += Printf("Tower Number (Decimal): %d%02d\r\n", rfss, site);
    out += Printf("Tower Number (Hex)    : T%02X%02X\r\n", static_cast<unsigned>(rfss), static_cast<unsigned>(site));
    out += "Tower Description     : " + OneLineText(tower) + "\r\n";
    out += "Control Capabilities  : " + ServiceClassText(info.serviceClass) + "\r\n";
    out +=
        "Call Sign(s)          : " + (info.callSigns.empty() ? std::string("Unknown") : OneLineText(info.callSigns)) +
        "\r\n";
    out += "Timestamp             : ";
    AppendTimeText(out, now);
    out += "\r\n";
}

void AppendTables(std::string& out, IdentifierTable& ids)
{
    out += "\r\n-Tables\r\n";
    out += "#Format: Table ID,Base Freq,Spacing,Input Offset,Assumed/Confirmed,BandWidth\r\n";
    LockGuard g(ids.Lock());
    for (int i = 0; i < IdentifierTable::kCount; ++i) {
        const IdentifierEntry& e = ids.Entry(i);
        if (e.base == 0.0)
            continue;
        out += Printf("%02d,", i);
        AppendFrequency(out, e.base);
        out += ',';
        AppendFrequency(out, e.spacing);
        out += ',';
        AppendFrequency(out, e.txOffset);
        out += e.assumed ? ",\"Assumed\"," : ",\"Confirmed\",";
        AppendFrequency(out, e.bandwidth);
        out += kLineEnd;
    }
    out += kLineEnd;
}

void AppendChannels(std::string& out, ChannelTable& channels)
{
    LockGuard g(channels.Lock());
    if (channels.Count() == 0)
        return;
    out += "-Frequencies\r\n";
    out += "#Format: Channel,Usage,Frequency,Input Frequency,Hit Count\r\n";
    for (int i = 0; i < channels.Count(); ++i) {
        const FreqInfo& f = channels.Record(i);
        out += '"' + ChannelField(f.channel) + "\",\"" + UsageLetters(f.usageFlags) + "\",";
        AppendFrequency(out, f.rxFrequency);
        out += ',';
        AppendFrequency(out, f.txFrequency);
        out += ',';
        AppendInt(out, f.hits);
        out += kLineEnd;
    }
    out += kLineEnd;
}

void AppendNeighbors(std::string& out, NeighborTable& neighbors)
{
    LockGuard g(neighbors.Lock());
    if (neighbors.Count() == 0)
        return;
    out += "-Neighbors\r\n";
    out += "#Format: TowerID,TowerIDHex,System ID,Channel,Frequency,Tower Name\r\n";
    for (int i = 0; i < neighbors.Count(); ++i) {
        const NeighborSite& n = neighbors.Record(i);
        out += Printf("%d%02d,\"T%02X%02X\",%03x,\"", n.rfssId, n.siteId, static_cast<unsigned>(n.rfssId),
                      static_cast<unsigned>(n.siteId), static_cast<unsigned>(n.systemId));
        out += ChannelField(n.controlChannel) + "\",";
        AppendFrequency(out, n.controlFrequency);
        out += ",\"" + QuotedFieldText(n.name) + '"';
        out += kLineEnd;
    }
    out += kLineEnd;
}

// --- reading ---

enum class Section { None, TowerInfo, Tables, Frequencies, Other };

constexpr int kHexIdentifierVersion = 3;  // versions before it wrote identifiers in hex
constexpr int kHitsVersion = 5;
constexpr int kTableFields = 6;
constexpr int kFrequencyFields = 3;
constexpr int kHitsFields = 5;
constexpr int64_t kMaxIdentifier = IdentifierTable::kCount - 1;
constexpr std::string_view kCallSignTag = "call sign(s)";
constexpr std::string_view kNoCallSign = "Unknown";

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

Section SectionNamed(std::string_view name)
{
    const std::string n = Lower(TrimBlanks(name));
    if (n == "towerinfo")
        return Section::TowerInfo;
    if (n == "tables")
        return Section::Tables;
    if (n == "frequencies")
        return Section::Frequencies;
    return Section::Other;
}

// "Call Sign(s)          : K1ABC WXY123" hands each call sign to AddCallSign. Handing the whole
// list over as one would glue it into a single word cut at 19 characters.
void ReadCallSigns(std::string_view line, P25Class& d)
{
    if (Lower(line.substr(0, kCallSignTag.size())) != kCallSignTag)
        return;
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return;
    const std::string_view rest = TrimBlanks(line.substr(colon + 1));
    if (rest == kNoCallSign)
        return;
    size_t pos = 0;
    while (pos < rest.size()) {
        const size_t end = std::min(rest.find(' ', pos), rest.size());
        if (end > pos)
            d.AddCallSign(rest.substr(pos, end - pos));
        pos = end + 1;
    }
}

void ReadTable(const std::vector<std::string>& f, int version, IdentifierTable& ids)
{
    int64_t identifier = 0;
    IdentifierEntry e;
    if (static_cast<int>(f.size()) < kTableFields)
        return;
    const bool idOk = version < kHexIdentifierVersion ? ParseHex(f[0], identifier) : ParseDecimal(f[0], identifier);
    if (!idOk || identifier < 0 || identifier > kMaxIdentifier || !ParseDouble(f[1], e.base) ||
        !ParseDouble(f[2], e.spacing) || !ParseDouble(f[3], e.txOffset) || !ParseDouble(f[5], e.bandwidth))
        return;
    e.assumed = true;  // StoreIdentifier marks every entry it stores as confirmed
    ids.StoreIdentifier(static_cast<int>(identifier), e);
}

// "1-0F3" (versions before 3: hex identifier and channel) or "01-0050" (decimal).
bool ParseChannelField(std::string_view field, int version, int32_t& channel)
{
    const bool hex = version < kHexIdentifierVersion;
    const size_t dash = hex ? 1 : 2;
    if (field.size() <= 4 || field[dash] != '-')
        return false;
    const std::string_view idText = field.substr(0, dash);
    const std::string_view chText = field.substr(dash + 1, hex ? 3 : 4);
    int64_t identifier = 0;
    int64_t number = 0;
    const bool ok = hex ? ParseHex(idText, identifier) && ParseHex(chText, number)
                        : ParseDecimal(idText, identifier) && ParseDecimal(chText, number);
    if (!ok || identifier < 0 || identifier > kMaxIdentifier || number < 0 || number > kChannelMask)
        return false;
    channel = static_cast<int32_t>((identifier << kIdentifierShift) + number);
    return true;
}

uint32_t ParseUsageLetters(std::string_view letters, int version)
{
    uint32_t flags = 0;
    for (const UsageLetter& u : kUsageLetters) {
        // The alternate control letter is read back only from files before version 3.
        if (u.flag == kFlagAlternate && version >= kHexIdentifierVersion)
            continue;
        if (letters.find(u.letter) != std::string_view::npos)
            flags |= u.flag;
    }
    return flags;
}

void ReadChannel(const std::vector<std::string>& f, int version, ChannelTable& channels)
{
    int32_t channel = 0;
    if (static_cast<int>(f.size()) < kFrequencyFields || !ParseChannelField(f[0], version, channel))
        return;
    const bool withHits = version >= kHitsVersion && channels.SaveHits() && static_cast<int>(f.size()) >= kHitsFields;
    int64_t hits = 0;
    if (withHits && (!ParseDecimal(f[4], hits) || hits < INT32_MIN || hits > INT32_MAX))
        return;
    channels.AddUsageFlags(channel, ParseUsageLetters(f[1], version));
    if (withHits)
        channels.SetHits(channel, static_cast<int32_t>(hits));
}

}  // namespace

namespace TowerFile {

std::string FileName(uint32_t rfss, uint32_t site)
{
    return Printf("Tower%02d%02d.txt", static_cast<int>(rfss), static_cast<int>(site));
}

std::string Format(P25Class& decoder, const SystemInfo& info, int64_t now)
{
    std::string out = "FileVersion:5\r\n";
    AppendInfo(out, decoder, info, now);
    AppendTables(out, decoder.Identifiers());
    AppendChannels(out, decoder.Channels());
    AppendNeighbors(out, decoder.Neighbors());
    return out;
}

int Read(DataFileReader& reader, P25Class& decoder)
{
    int sections = 0;
    Section section = Section::None;
    std::vector<std::string> fields;
    std::string_view line;
    while (reader.Next(line)) {
        if (line.front() == '-') {
            section = SectionNamed(line.substr(1));
            sections += section != Section::Other;
            continue;
        }
        switch (section) {
        case Section::TowerInfo: ReadCallSigns(line, decoder); break;
        case Section::Tables:
            SplitCsvLine(line, fields);
            ReadTable(fields, reader.Version(), decoder.Identifiers());
            break;
        case Section::Frequencies:
            SplitCsvLine(line, fields);
            ReadChannel(fields, reader.Version(), decoder.Channels());
            break;
        default: break;  // neighbours and anything unknown are for the reader of the file only
        }
    }
    return sections;
}

RegularFileRead Load(const std::string& path, P25Class& decoder)
{
    DataFileReader reader(0);
    const RegularFileRead opened = reader.Open(path);
    if (!opened.Read())
        return opened;
    return reader.Verdict(Read(reader, decoder));
}

}  // namespace TowerFile
