#pragma once

#include <string>

#include "platform/RegularFile.h"

class DataFileReader;
class TalkgroupTable;

// TalkGroups.txt of a system folder: the talkgroup table, one line per talkgroup in id order.
// Written in version 5; every older version is read.
namespace TalkgroupFile {

constexpr int kVersion = 5;
constexpr const char* kFileName = "TalkGroups.txt";

// The whole file text, CR LF line ends. Walks the table under its lock.
std::string Format(TalkgroupTable& table);

// Reads the file's lines into the table: SetTalkgroup, then first seen and colours. Lines with
// fewer than 4 fields, an id outside 1..65535, a priority outside 0..99 (255: keep), a negative
// time or text where a number belongs are skipped. Returns the number of lines taken.
int Read(DataFileReader& reader, TalkgroupTable& table);

// Reads the file when it exists. Failed when it exists but cannot be read, or is not a talkgroup
// file this program understands (DataFileReader::Verdict): such a file must be kept as it is.
RegularFileRead Load(const std::string& path, TalkgroupTable& table);

}  // namespace TalkgroupFile
