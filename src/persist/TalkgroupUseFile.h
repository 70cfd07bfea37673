#pragma once

#include <string>

#include "platform/RegularFile.h"

class DataFileReader;
class TalkgroupTable;

// TalkGroupUse.txt of a system folder: per talkgroup, the calls and the airtime heard since the
// system was first stored, one line "talkgroup,calls,airtime seconds" per talkgroup that has any.
// It lives beside TalkGroups.txt so that file keeps its format for the programs that read it.
namespace TalkgroupUseFile {

constexpr int kVersion = 1;
constexpr const char* kFileName = "TalkGroupUse.txt";

// The whole file text, CR LF line ends; `lines` (when given) is set to the number of talkgroup
// lines. Walks the table under its lock.
std::string Format(TalkgroupTable& table, int* lines = nullptr);

// Adds the file's lines to the talkgroups the table knows (read TalkGroups.txt first); lines of
// unknown talkgroups, with an id outside 1..65535, a negative or oversized count or text where a
// number belongs are skipped. The use is added once after the table was cleared: the decoder
// reads the files of its system again at each site change, and by then its table already holds
// the stored use and what was heard since. Returns the lines taken.
int Read(DataFileReader& reader, TalkgroupTable& table);

// Reads the file when it exists (a missing file counts as read: there is no use to add). Failed
// when it exists but cannot be read, is written by a newer version, or is not a use file: such a
// file must be kept as it is, and its use is added by the first load that reads it.
RegularFileRead Load(const std::string& path, TalkgroupTable& table);

}  // namespace TalkgroupUseFile
