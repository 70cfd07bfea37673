#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "p25/Tsbk.h"
#include "site/BlockLog.h"

// Texts of the log rows as the screens show them and the log files store them.

// Local time as "%02d/%02d %02d:%02d:%02d" (month/day hours:minutes:seconds).
std::string TimeStampText(int64_t unixTime);

// The 12 bytes, each "%02X " (so the text ends with a blank).
std::string PacketDataText(const Tsbk& block);

// A packet dump row as the "Dump" log file holds it, without the line end:
// two blanks, packet data, a blank, time, a blank, description.
std::string DumpRowText(const BlockLogEntry& entry);
// The same row appended to `out`, with a line feed: for writers that reuse one buffer.
void AppendDumpRow(std::string& out, const BlockLogEntry& entry);
// The same row from the texts a packet dump view shows (the saved log file is built from these).
std::string DumpRowText(std::string_view packetData, std::string_view time, std::string_view description);
