#include "persist/SplitCsvLine.h"

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';

void Append(std::string& field, char c)
{
    if (field.size() < kMaxCsvField)
        field.push_back(c);
}

}  // namespace

int SplitCsvLine(std::string_view line, std::vector<std::string>& fields)
{
    fields.clear();
    if (line.empty() || line.front() == '#' || line.front() == ';')
        return 0;

    std::string field;
    bool quoted = false;
    const size_t n = line.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == kQuote && (i + 1 == n || line[i + 1] == kComma))
                quoted = false;
            else
                Append(field, c);
        } else if (c == kQuote && (i == 0 || line[i - 1] == kComma)) {
            quoted = true;
        } else if (c == kComma) {
            fields.push_back(std::move(field));
            field.clear();
        } else {
            Append(field, c);
        }
    }
    if (!field.empty())
        fields.push_back(std::move(field));
    return static_cast<int>(fields.size());
}
