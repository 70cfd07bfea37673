#include "persist/LogExport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "persist/LogFormat.h"
#include "persist/SystemStore.h"
#include "platform/Clock.h"
#include "site/SystemInfoArea.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

struct LogFileDef {
    const char* baseName;
    const char* extension;
    std::string_view header;  // with its line end; empty: none
};

const LogFileDef& Def(LogKind kind)
{
    static const LogFileDef defs[] = {
        {"Affiliations", "csv", "\"Timestamp\",\"Function\",\"TalkGroup\",\"RadioID\",\"Comments\"\r\n"},
        {"GrantLog", "csv",
         "\"Timestamp\",\"Type\",\"Channel\",\"Frequency\",\"TalkGroup\",\"TalkGroup Desc\",\"RadioID\","
         "\"Radio Desc\"\r\n"},
        {"EventLog", "csv", "\"Timestamp\",\"Packet Data\",\"Description\"\r\n"},
        {"PatchLog", "csv", "\"Timestamp\",\"Description\"\r\n"},
        {"UnknownPackets", "txt", {}},
        {"Dump", "txt", {}},
        {"PSRDump", "txt", {}},
    };
    return defs[static_cast<int>(kind)];
}

const std::string& Cell(const LogCells& cells, size_t column)
{
    static const std::string empty;
    return column < cells.size() ? cells[column] : empty;
}

// A cell read the way the C library's atol reads it: leading blanks, a sign, digits; 0 when none.
long CellNumber(const std::string& cell)
{
    return std::strtol(cell.c_str(), nullptr, 10);
}

void AppendQuoted(std::string& line, std::string_view text)
{
    line += '"';
    for (char c : text) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

// Every cell quoted, comma-separated, in column order.
std::string QuotedFields(const LogCells& cells, size_t count)
{
    std::string line;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            line += ',';
        AppendQuoted(line, Cell(cells, i));
    }
    return line;
}

std::string AffiliationLine(const LogCells& c)
{
    // Time, function, talkgroup number, its name, radio ID, its name: the talkgroup and radio
    // columns are bare numbers so that spreadsheets sort them as such.
    std::string line;
    AppendQuoted(line, Cell(c, 0));
    line += ',';
    AppendQuoted(line, Cell(c, 1));
    line += ',' + std::to_string(CellNumber(Cell(c, 2))) + ',';
    AppendQuoted(line, Cell(c, 3));
    line += ',' + std::to_string(CellNumber(Cell(c, 4))) + ',';
    AppendQuoted(line, Cell(c, 5));
    return line;
}

}  // namespace

std::string LogFilePath(const std::string& programFolder, const SystemInfo& info, LogKind kind, bool includeDate,
                        int64_t now)
{
    if (info.systemId == 0)
        return {};
    const LogFileDef& def = Def(kind);
    std::string path = SystemFolder(programFolder, info.systemId);
    if (includeDate) {
        const std::tm t = Clock::Local(now);
        char date[48];  // room for any year the clock could give
        std::snprintf(date, sizeof date, "%04d%02d%02d-", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
        path += date;
    }
    char site[32];
    std::snprintf(site, sizeof site, "-%u%02u.", info.rfssId, info.siteId);
    return path + def.baseName + site + def.extension;
}

std::string_view LogHeaderLine(LogKind kind)
{
    return Def(kind).header;
}

std::string LogRowLine(LogKind kind, const LogCells& cells)
{
    std::string line;
    switch (kind) {
    case LogKind::Affiliations: line = AffiliationLine(cells); break;
    case LogKind::Grants: line = QuotedFields(cells, 8); break;
    case LogKind::Events: line = QuotedFields(cells, 3); break;
    case LogKind::Patches: line = QuotedFields(cells, 2); break;
    case LogKind::UnknownPackets:
        // The packet data text ends with a blank, which separates it from the notes.
        line = "  " + Cell(cells, 2) + Cell(cells, 3) + " at " + Cell(cells, 0);
        break;
    case LogKind::Dump:
        // Exactly the line a headless run prints for the same entry.
        line = DumpRowText(Cell(cells, 1), Cell(cells, 0), Cell(cells, 2));
        break;
    case LogKind::RawData: line = Cell(cells, 0); break;
    }
    return line + kLineEnd;
}

bool AppendToLogFile(const std::string& path, std::string_view header, std::string_view lines)
{
    if (path.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return false;
    }
    std::string text;
    if (st.st_size == 0)
        text = header;
    text += lines;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    bool ok = done == text.size();
    if (!ok && done > 0) {
        // Half a row would be read as a row; the unsaved rows are written again by a later save.
        const bool cutBack = ::ftruncate(fd, st.st_size) == 0;
        (void)cutBack;
    }
    if (::close(fd) != 0)
        ok = false;
    return ok;
}
