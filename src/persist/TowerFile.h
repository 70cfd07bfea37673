#pragma once

#include <cstdint>
#include <string>

#include "platform/RegularFile.h"

class DataFileReader;
class P25Class;
struct SystemInfo;

// The tower file of one site, "Tower%02d%02d.txt" (RFSS, site) in the system folder: information
// about the tower, its frequency identifier tables, the channels seen with their usage and hits,
// and its neighbours. Written in version 5; of what it holds, the call signs, the identifier
// tables and the channels are read back.
namespace TowerFile {

constexpr int kVersion = 5;

// "Tower0105.txt" for RFSS 1, site 5.
std::string FileName(uint32_t rfss, uint32_t site);

// The whole file text for the current site of `info`, stamped with `now` (Unix seconds, shown in
// local time). Takes the identifier, channel and neighbour locks one at a time.
std::string Format(P25Class& decoder, const SystemInfo& info, int64_t now);

// Reads the sections "-TowerInfo" (call signs), "-Tables" (identifiers, stored with
// StoreIdentifier) and "-Frequencies" (channels, usage flags and, while the decoder saves hits,
// hit counts). Malformed lines are skipped. Returns the number of those section lines met.
int Read(DataFileReader& reader, P25Class& decoder);

// Reads the file when it exists. Failed when it exists but cannot be read, or is not a tower file
// this program understands (DataFileReader::Verdict): such a file must be kept as it is.
RegularFileRead Load(const std::string& path, P25Class& decoder);

}  // namespace TowerFile
