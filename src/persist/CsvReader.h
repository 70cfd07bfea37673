#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One record of a CSV text and where it stood.
struct CsvRecord {
    enum class Problem {
        None,
        BadEncoding,       // a field is not valid UTF-8 (or holds a NUL byte)
        UnbalancedQuotes,  // a quoted field never closes (within the bounds below)
        TooLong,           // the record is longer than the reader's bound
    };
    int line = 0;  // physical line (1-based) the record begins on
    Problem problem = Problem::None;
    std::vector<std::string> fields;  // empty when problem != None
};

// The text of a problem for a user ("unbalanced quotes").
const char* CsvProblemText(CsvRecord::Problem problem);

// Reads comma-separated records from a text held in memory (RFC 4180): a field in double quotes
// may hold commas, line breaks and doubled quotes ("" for one "). A UTF-8 byte-order mark at the
// start is skipped; lines end with CR LF or LF. Blank lines are skipped. Lenient where the rule
// is broken harmlessly: a quote inside an unquoted field, or text after a closing quote, is kept
// as it stands.
//
// A bad record never takes the good ones after it with it: a quoted field that is still open at
// the end of the text, after kMaxLinesInField line breaks or after the record bound is reported
// as unbalanced quotes on its first line, and reading goes on with the line after that one. A
// record longer than the bound is reported as too long and skipped to its line end without
// being kept. So a reader never holds more than the bound and reads each byte a bounded number
// of times.
class CsvReader {
public:
    static constexpr size_t kDefaultMaxRecord = size_t{64} << 10;
    static constexpr int kMaxLinesInField = 100;

    explicit CsvReader(std::string_view text, size_t maxRecordBytes = kDefaultMaxRecord);

    // The next record, or false at the end of the text.
    bool Next(CsvRecord& record);

private:
    enum class Outcome { Done, TooLong, Unbalanced };
    Outcome ReadRecord(std::vector<std::string>& fields, size_t& end, int& lineBreaks);
    size_t LineEnd(size_t from) const;  // position just after the line end at or after from

    std::string_view text_;
    size_t maxRecord_;
    size_t pos_ = 0;
    int line_ = 1;
};

// Whether the text is valid UTF-8 (no overlong forms, surrogates or values past U+10FFFF) without
// NUL bytes.
bool IsValidUtf8(std::string_view text);
