#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SystemInfo;

// The log files that the seven log views are saved into: one file per log and site in the
// system's folder, appended to across sessions and runs. Lines end with CR LF; the three
// comma-separated logs get a header line when their file is new or empty.

enum class LogKind {
    Affiliations,    // affiliation log view: Time, Function, TG ID, TG Description, Radio ID, Radio Description
    Grants,          // grant trace: Time Stamp, Type, Channel, Frequency, TG, TalkGroup ID, Radio ID, Radio Description
    Events,          // other events: Time Stamp, Packet Data, Event Description
    Patches,         // patch log: Time Stamp, Description
    UnknownPackets,  // unknown packets: Time, Op, Packet Data, Notes
    Dump,            // packet dump: Time, Packet Data, Description
    RawData,         // raw scanner data: the received line
};

// The cells of one view row, in the view's column order.
using LogCells = std::vector<std::string>;

// "<program folder>System1A3/[20090421-]GrantLog-105.csv"; empty while the system ID is 0.
// `now` (Unix seconds) gives the local date of the prefix when `includeDate` is on.
std::string LogFilePath(const std::string& programFolder, const SystemInfo& info, LogKind kind, bool includeDate,
                        int64_t now);

// The header line (with its line end) of a comma-separated log; empty for the text logs.
std::string_view LogHeaderLine(LogKind kind);

// One row in the log's file format, with its line end. Quoted fields double a double quote in
// the cell, so a cell cannot end its field early; rows without quotes are unaffected.
std::string LogRowLine(LogKind kind, const LogCells& cells);

// Appends `lines` to the file, with `header` first when the file is new or empty; the system folder
// is created when missing. All or nothing: when the text cannot be written whole, the file is cut
// back to its old length and false is returned, so the rows can be saved again later.
bool AppendToLogFile(const std::string& path, std::string_view header, std::string_view lines);
