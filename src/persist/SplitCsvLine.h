#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits one line of a per-system text file into its fields (the list is cleared first) and
// returns how many there are.
//
// A double quote opens a quoted field when it stands first in the line or right after a comma;
// inside a quoted field a double quote followed by a comma, or standing last, closes it. Those
// quotes are not part of the field; every other double quote is. A comma outside a quoted field
// ends the field (an empty field is kept); the last field is kept only when it is not empty.
// A line that is empty or begins with '#' or ';' has no fields. A field keeps at most
// kMaxCsvField characters; the rest of it is dropped.
constexpr size_t kMaxCsvField = 1024;

int SplitCsvLine(std::string_view line, std::vector<std::string>& fields);
