#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Small pieces shared by the writers and readers of the per-system text files: number fields,
// texts made safe for a line, and the local-time texts.

// Strict conversions of a whole field (blanks around it allowed). False when the field is empty,
// holds anything else, or does not fit: such a line of a hand-edited file is skipped.
bool ParseDecimal(std::string_view field, int64_t& value);
bool ParseHex(std::string_view field, int64_t& value);
bool ParseDouble(std::string_view field, double& value);

// Lenient conversion: an optional sign and the leading decimal digits after blanks; 0 when there
// are none (filter bounds of System.ini, the number after "FileVersion:").
int64_t LeadingDecimal(std::string_view text);

// A text written inside double quotes on one line. A quote directly followed by a comma would
// close the field early on reading, and a line break would end the line: the first gets a blank
// between the two, line breaks become blanks. Every other text is written as it is.
std::string QuotedFieldText(std::string_view text);
// A text written as the rest of a line (tower information, INI values): line breaks become blanks.
std::string OneLineText(std::string_view text);

// Appends "mm/dd/yyyy @ hh:mm" of a Unix time in local time.
void AppendDateStamp(std::string& out, int64_t unixTime);
// Appends the conventional 24-character time text, e.g. "Tue Apr 21 14:07:00 2009", local time.
void AppendTimeText(std::string& out, int64_t unixTime);

// Appends a decimal integer.
void AppendInt(std::string& out, int64_t value);
// Appends a frequency (MHz) as "%3.5f".
void AppendFrequency(std::string& out, double mhz);

constexpr std::string_view kLineEnd = "\r\n";
