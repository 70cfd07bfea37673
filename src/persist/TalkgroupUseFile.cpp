#include "persist/TalkgroupUseFile.h"

#include <limits>
#include <vector>

#include "persist/DataFileReader.h"
#include "persist/DataFileText.h"
#include "persist/SplitCsvLine.h"
#include "site/TalkgroupTable.h"

namespace {

constexpr const char* kHeader = "FileVersion:1\r\n"
                                "# Talkgroup use seen since this system was first stored\r\n"
                                "# Format:  Talkgroup,Calls,Airtime(seconds)\r\n";

constexpr int kFields = 3;
constexpr int64_t kMaxTalkgroup = 65535;

struct UseLine {
    int32_t id = 0;
    uint32_t calls = 0;
    int64_t airtime = 0;
};

bool ParseLine(const std::vector<std::string>& f, UseLine& out)
{
    int64_t id = 0;
    int64_t calls = 0;
    int64_t airtime = 0;
    if (static_cast<int>(f.size()) < kFields || !ParseDecimal(f[0], id) || id < 1 || id > kMaxTalkgroup ||
        !ParseDecimal(f[1], calls) || calls < 0 || calls > std::numeric_limits<uint32_t>::max() ||
        !ParseDecimal(f[2], airtime) || airtime < 0)
        return false;
    out = {static_cast<int32_t>(id), static_cast<uint32_t>(calls), airtime};
    return true;
}

// The lines of the file, parsed before the table's lock is taken; `newer` when a version line
// announces a format this program does not know.
std::vector<UseLine> ParseLines(DataFileReader& reader, bool& newer)
{
    std::vector<UseLine> lines;
    std::vector<std::string> fields;
    std::string_view line;
    while (reader.Next(line)) {
        if (reader.Version() > TalkgroupUseFile::kVersion)
            newer = true;
        SplitCsvLine(line, fields);
        UseLine u;
        if (ParseLine(fields, u))
            lines.push_back(u);
    }
    if (reader.Version() > TalkgroupUseFile::kVersion)
        newer = true;  // a version line with no lines after it
    return lines;
}

void AddOnce(const std::vector<UseLine>& lines, TalkgroupTable& table)
{
    LockGuard g(table.Lock());
    if (table.StoredUseAdded())
        return;
    for (const UseLine& u : lines)
        table.AddTalkgroupUse(u.id, u.calls, u.airtime);
    table.SetStoredUseAdded();
}

}  // namespace

namespace TalkgroupUseFile {

std::string Format(TalkgroupTable& table, int* lines)
{
    std::string out(kHeader);
    int written = 0;
    LockGuard g(table.Lock());
    const int count = table.TalkgroupCount();
    for (int i = 0; i < count; ++i) {
        const TGTAG& t = table.At(i);
        if (t.calls == 0 && t.airtimeSeconds == 0)
            continue;
        AppendInt(out, t.id);
        out += ',';
        AppendInt(out, t.calls);
        out += ',';
        AppendInt(out, t.airtimeSeconds);
        out += kLineEnd;
        ++written;
    }
    if (lines)
        *lines = written;
    return out;
}

int Read(DataFileReader& reader, TalkgroupTable& table)
{
    bool newer = false;
    const std::vector<UseLine> lines = ParseLines(reader, newer);
    AddOnce(lines, table);
    return static_cast<int>(lines.size());
}

RegularFileRead Load(const std::string& path, TalkgroupTable& table)
{
    DataFileReader reader(kVersion);
    const RegularFileRead opened = reader.Open(path);
    if (opened.Failed())
        return opened;
    bool newer = false;
    const std::vector<UseLine> lines = ParseLines(reader, newer);
    if (newer)
        return {RegularFileRead::Status::Failed, "it was written by a newer version of the program"};
    const RegularFileRead verdict = reader.Verdict(static_cast<int>(lines.size()));
    if (!verdict.Failed())
        AddOnce(lines, table);  // a missing file adds nothing, and marks the stored use as taken
    return opened.Read() ? verdict : opened;
}

}  // namespace TalkgroupUseFile
