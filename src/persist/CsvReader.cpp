#include "persist/CsvReader.h"

#include <cstdint>

const char* CsvProblemText(CsvRecord::Problem problem)
{
    switch (problem) {
    case CsvRecord::Problem::None: return "";
    case CsvRecord::Problem::BadEncoding: return "not UTF-8 text";
    case CsvRecord::Problem::UnbalancedQuotes: return "unbalanced quotes";
    case CsvRecord::Problem::TooLong: return "line too long";
    }
    return "";
}

bool IsValidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c == 0)
            return false;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        uint32_t value = 0;
        uint32_t least = 0;
        if ((c & 0xE0) == 0xC0) {
            more = 1, value = c & 0x1Fu, least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, value = c & 0x0Fu, least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, value = c & 0x07u, least = 0x10000;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[i] & 0x3Fu);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

CsvReader::CsvReader(std::string_view text, size_t maxRecordBytes) : text_(text), maxRecord_(maxRecordBytes)
{
    if (text_.substr(0, 3) == "\xEF\xBB\xBF")
        pos_ = 3;
}

size_t CsvReader::LineEnd(size_t from) const
{
    const size_t lf = text_.find('\n', from);
    return lf == std::string_view::npos ? text_.size() : lf + 1;
}

// Reads one record from pos_. `end` is where the next record begins when it is Done; the line
// breaks inside quoted fields are counted in lineBreaks.
CsvReader::Outcome CsvReader::ReadRecord(std::vector<std::string>& fields, size_t& end, int& lineBreaks)
{
    fields.assign(1, std::string());
    size_t kept = 0;
    size_t i = pos_;
    const size_t n = text_.size();
    bool quoted = false;
    bool fieldStart = true;
    while (i < n) {
        const char c = text_[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < n && text_[i + 1] == '"') {
                    fields.back() += '"';
                    i += 2;
                    ++kept;
                } else {
                    quoted = false;
                    ++i;
                }
            } else {
                if (c == '\n' && ++lineBreaks > kMaxLinesInField)
                    return Outcome::Unbalanced;
                fields.back() += c;
                ++i;
                ++kept;
            }
            if (kept > maxRecord_)
                return lineBreaks > 0 ? Outcome::Unbalanced : Outcome::TooLong;
            continue;
        }
        if (c == '\n' || (c == '\r' && (i + 1 == n || text_[i + 1] == '\n'))) {
            end = i + (c == '\r' ? 2 : 1);
            return Outcome::Done;
        }
        if (c == ',') {
            fields.emplace_back();
            fieldStart = true;
            ++i;
            continue;
        }
        if (c == '"' && fieldStart) {
            quoted = true;
            fieldStart = false;
            ++i;
            continue;
        }
        fieldStart = false;
        fields.back() += c;
        ++i;
        if (++kept > maxRecord_)
            return Outcome::TooLong;
    }
    if (quoted)
        return Outcome::Unbalanced;
    end = n;
    return Outcome::Done;
}

bool CsvReader::Next(CsvRecord& record)
{
    for (;;) {
        if (pos_ >= text_.size())
            return false;
        record.line = line_;
        record.problem = CsvRecord::Problem::None;
        size_t end = pos_;
        int lineBreaks = 0;
        const Outcome outcome = ReadRecord(record.fields, end, lineBreaks);
        if (outcome != Outcome::Done) {
            // Go on with the line after the first one of the bad record: a stray quote costs
            // one line, not the rest of the file.
            record.problem =
                outcome == Outcome::TooLong ? CsvRecord::Problem::TooLong : CsvRecord::Problem::UnbalancedQuotes;
            record.fields.clear();
            pos_ = LineEnd(pos_);
            ++line_;
            return true;
        }
        pos_ = end;
        line_ += 1 + lineBreaks;
        if (record.fields.size() == 1 && record.fields[0].empty())
            continue;  // a blank line
        for (const std::string& f : record.fields) {
            if (!IsValidUtf8(f)) {
                record.problem = CsvRecord::Problem::BadEncoding;
                record.fields.clear();
                break;
            }
        }
        return true;
    }
}
