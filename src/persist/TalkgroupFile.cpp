#include "persist/TalkgroupFile.h"

#include <vector>

#include "persist/DataFileReader.h"
#include "persist/DataFileText.h"
#include "persist/SplitCsvLine.h"
#include "site/ColorText.h"
#include "site/TalkgroupTable.h"

namespace {

constexpr const char* kHeader =
    "FileVersion:5\r\n"
    "# Talkgroup List for this system\r\n"
    "# Format:  Talkgroup,Priority,Description,Lastseen(Unix),LastSeen(Human m/dd/yyyy),FirstSeen(Unix),"
    "FirstSeen(Human),FG Color,BG Color\r\n"
    "# Priority Values:  0=Ignore, 1=Highest priority, 99= Lowest Priority\r\n";

constexpr int kMinFields = 4;
constexpr int kFieldsWithColors = 9;
constexpr int64_t kMaxTalkgroup = 65535;
constexpr int kDefaultPriority = 50;
constexpr int kMaxPriority = 99;         // 1 highest .. 99 lowest, 0 ignore
constexpr int kKeepPriority = 255;       // tells SetTalkgroup to keep the priority
constexpr int kFirstSixStepVersion = 5;  // versions before it used priorities 1..6
constexpr int kPriorityFieldVersion = 2;
constexpr int kFirstSeenVersion = 4;

struct TalkgroupLine {
    int32_t id = 0;
    std::string description;
    int priority = kDefaultPriority;
    int64_t lastSeen = 0;
    int64_t firstSeen = 0;
    uint32_t textColor = 0;
    uint32_t backColor = 0;
};

// Old files knew six steps, 1 the lowest; they map onto today's 99 (lowest) .. 1 (highest).
int ConvertSixStepPriority(int priority)
{
    static constexpr int kMap[] = {99, 75, 50, 25, 10, 1};
    return priority >= 1 && priority <= 6 ? kMap[priority - 1] : priority;
}

bool ParseLine(const std::vector<std::string>& f, int version, TalkgroupLine& out)
{
    int64_t id = 0;
    if (static_cast<int>(f.size()) < kMinFields || !ParseDecimal(f[0], id) || id < 1 || id > kMaxTalkgroup)
        return false;
    out.id = static_cast<int32_t>(id);
    if (version < kPriorityFieldVersion) {
        out.description = f[1];
        out.priority = kDefaultPriority;
        if (!ParseDecimal(f[2], out.lastSeen))
            return false;
    } else {
        int64_t priority = 0;
        if (!ParseDecimal(f[1], priority) || priority < 0 || (priority > kMaxPriority && priority != kKeepPriority) ||
            !ParseDecimal(f[3], out.lastSeen))
            return false;
        out.priority = static_cast<int>(priority);
        out.description = f[2];
    }
    if (version < kFirstSixStepVersion)
        out.priority = ConvertSixStepPriority(out.priority);
    out.firstSeen = 0;
    out.textColor = out.backColor = 0;
    if (version >= kFirstSeenVersion && static_cast<int>(f.size()) >= kFieldsWithColors) {
        if (!ParseDecimal(f[5], out.firstSeen) || out.firstSeen < 0)
            return false;
        out.textColor = ColorFromText(f[7]);
        out.backColor = ColorFromText(f[8]);
    }
    return out.lastSeen >= 0;
}

void AppendLine(std::string& out, const TGTAG& t)
{
    AppendInt(out, t.id);
    out += ',';
    AppendInt(out, t.priority);
    out += ",\"";
    out += QuotedFieldText(t.description);
    out += "\",";
    AppendInt(out, t.lastSeen);
    out += ",\"";
    AppendDateStamp(out, t.lastSeen);
    if (t.firstSeen != 0) {
        out += "\",";
        AppendInt(out, t.firstSeen);
        out += ",\"";
        AppendDateStamp(out, t.firstSeen);
        out += "\",\"";
    } else {
        out += "\",0,\"Unknown\",\"";
    }
    out += ColorToText(t.textColor);
    out += "\",\"";
    out += ColorToText(t.backColor);
    out += '"';
    out += kLineEnd;
}

}  // namespace

namespace TalkgroupFile {

std::string Format(TalkgroupTable& table)
{
    constexpr size_t kTypicalLine = 112;
    std::string out(kHeader);
    LockGuard g(table.Lock());
    const int count = table.TalkgroupCount();
    out.reserve(out.size() + static_cast<size_t>(count) * kTypicalLine);
    for (int i = 0; i < count; ++i)
        AppendLine(out, table.At(i));
    return out;
}

int Read(DataFileReader& reader, TalkgroupTable& table)
{
    // Parsed first, then stored in one run under the table's lock: the screens never see half
    // a file, and the lock is not held while the text is being split.
    std::vector<TalkgroupLine> lines;
    std::vector<std::string> fields;
    std::string_view line;
    while (reader.Next(line)) {
        SplitCsvLine(line, fields);
        TalkgroupLine t;
        if (ParseLine(fields, reader.Version(), t))
            lines.push_back(std::move(t));
    }
    LockGuard g(table.Lock());
    for (const TalkgroupLine& t : lines) {
        table.SetTalkgroup(t.id, t.description, t.priority, t.lastSeen);
        table.SetTalkgroupFirstSeen(t.id, t.firstSeen);
        table.SetTalkgroupColors(t.id, t.textColor, t.backColor);
    }
    return static_cast<int>(lines.size());
}

RegularFileRead Load(const std::string& path, TalkgroupTable& table)
{
    DataFileReader reader(1);
    const RegularFileRead opened = reader.Open(path);
    if (!opened.Read())
        return opened;
    return reader.Verdict(Read(reader, table));
}

}  // namespace TalkgroupFile
