#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class RadioTable;
class TalkgroupTable;

// Talkgroup and radio lists as CSV text (RFC 4180, CR LF line ends, a header line) with the
// column names NamesImport reads back, so an export imported again gives the same names and
// priorities.
namespace NamesExport {

// One field, quoted when it holds a comma, a quote or a line break.
void AppendField(std::string& out, std::string_view field);

// The talkgroups / radios with the given ids (in that order; ids not in the table are left out),
// an empty list gives just the header.
std::string Talkgroups(TalkgroupTable& table, const std::vector<int32_t>& ids);
std::string Radios(RadioTable& table, const std::vector<int32_t>& ids);

// Every entry, in id order.
std::string AllTalkgroups(TalkgroupTable& table);
std::string AllRadios(RadioTable& table);

}  // namespace NamesExport
