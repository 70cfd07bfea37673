#include "persist/RadioFile.h"

#include <vector>

#include "persist/DataFileReader.h"
#include "persist/DataFileText.h"
#include "persist/SplitCsvLine.h"
#include "site/ColorText.h"
#include "site/RadioTable.h"

namespace {

constexpr const char* kHeader =
    "FileVersion:4\r\n"
    "# Radio List for this system\r\n"
    "# Format:  RadioID(Decimal),Description,Lastseen(Unix),LastSeen(Human m/dd/yyyy),Text Color,BG Color\r\n";

constexpr int kMinFields = 4;
constexpr int kFieldsWithColors = 6;
constexpr int kDecimalIdVersion = 2;
constexpr int kColorVersion = 4;
constexpr int64_t kMaxId = 0xFFFFFF;  // radio ids have 24 bits (six hexadecimal digits in version 1)

struct RadioLine {
    int32_t id = 0;
    std::string description;
    int64_t lastSeen = 0;
    uint32_t textColor = 0;
    uint32_t backColor = 0;
};

bool ParseId(const std::string& field, int version, int32_t& id)
{
    int64_t value = 0;
    const bool ok = version < kDecimalIdVersion ? ParseHex(field, value) : ParseDecimal(field, value);
    if (!ok || value < 1 || value > kMaxId)
        return false;
    id = static_cast<int32_t>(value);
    return true;
}

bool ParseLine(const std::vector<std::string>& f, int version, RadioLine& out)
{
    if (static_cast<int>(f.size()) < kMinFields || !ParseId(f[0], version, out.id) ||
        !ParseDecimal(f[2], out.lastSeen) || out.lastSeen < 0)
        return false;
    out.description = f[1];
    out.textColor = out.backColor = 0;
    if (version >= kColorVersion && static_cast<int>(f.size()) >= kFieldsWithColors) {
        out.textColor = ColorFromText(f[4]);
        out.backColor = ColorFromText(f[5]);
    }
    return true;
}

void AppendLine(std::string& out, const RADTAG& r)
{
    AppendInt(out, r.id);
    out += ",\"";
    out += QuotedFieldText(r.description);
    out += "\",";
    AppendInt(out, r.lastSeen);
    out += ",\"";
    AppendDateStamp(out, r.lastSeen);
    out += "\",\"";
    out += ColorToText(r.textColor);
    out += "\",\"";
    out += ColorToText(r.backColor);
    out += '"';
    out += kLineEnd;
}

}  // namespace

namespace RadioFile {

std::string Format(RadioTable& table)
{
    constexpr size_t kTypicalLine = 80;
    std::string out(kHeader);
    LockGuard g(table.Lock());
    const int count = table.RadioCount();
    out.reserve(out.size() + static_cast<size_t>(count) * kTypicalLine);
    for (int i = 0; i < count; ++i)
        AppendLine(out, table.At(i));
    return out;
}

int Read(DataFileReader& reader, RadioTable& table)
{
    // Parsed first, then stored in one run under the table's lock (see TalkgroupFile::Read).
    std::vector<RadioLine> lines;
    std::vector<std::string> fields;
    std::string_view line;
    while (reader.Next(line)) {
        SplitCsvLine(line, fields);
        RadioLine r;
        if (ParseLine(fields, reader.Version(), r))
            lines.push_back(std::move(r));
    }
    LockGuard g(table.Lock());
    for (const RadioLine& r : lines) {
        if (table.SetRadio(r.id, r.description, r.lastSeen))
            table.SetRadioColors(r.id, r.textColor, r.backColor);
    }
    return static_cast<int>(lines.size());
}

RegularFileRead Load(const std::string& path, RadioTable& table)
{
    DataFileReader reader(1);
    const RegularFileRead opened = reader.Open(path);
    if (!opened.Read())
        return opened;
    return reader.Verdict(Read(reader, table));
}

}  // namespace RadioFile
