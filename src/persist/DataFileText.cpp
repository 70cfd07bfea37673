#include "persist/DataFileText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/Clock.h"

namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool ParseInteger(std::string_view field, int base, int64_t& value)
{
    field = TrimBlanks(field);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    if (field.empty())
        return false;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value, base);
    return ec == std::errc() && ptr == end;
}

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

void AppendTwoDigits(std::string& out, int v)
{
    out.push_back(static_cast<char>('0' + (v / 10) % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

}  // namespace

bool ParseDecimal(std::string_view field, int64_t& value)
{
    return ParseInteger(field, 10, value);
}

bool ParseHex(std::string_view field, int64_t& value)
{
    field = TrimBlanks(field);
    return !field.empty() && field.front() != '-' && ParseInteger(field, 16, value);
}

bool ParseDouble(std::string_view field, double& value)
{
    // from_chars, unlike strtod, ignores the locale: a desktop session with a decimal comma
    // still reads "851.00625".
    field = TrimBlanks(field);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    if (field.empty())
        return false;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

int64_t LeadingDecimal(std::string_view text)
{
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > (INT64_MAX - 9) / 10)
            break;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::string QuotedFieldText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        out.push_back(IsLineBreak(c) ? ' ' : c);
        if (c == '"' && i + 1 < text.size() && text[i + 1] == ',')
            out.push_back(' ');
    }
    return out;
}

std::string OneLineText(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (IsLineBreak(c))
            c = ' ';
    return out;
}

void AppendDateStamp(std::string& out, int64_t unixTime)
{
    const std::tm t = Clock::Local(unixTime);
    AppendTwoDigits(out, t.tm_mon + 1);
    out.push_back('/');
    AppendTwoDigits(out, t.tm_mday);
    out.push_back('/');
    char year[16];
    std::snprintf(year, sizeof year, "%04d", t.tm_year + 1900);
    out += year;
    out += " @ ";
    AppendTwoDigits(out, t.tm_hour);
    out.push_back(':');
    AppendTwoDigits(out, t.tm_min);
}

void AppendTimeText(std::string& out, int64_t unixTime)
{
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm t = Clock::Local(unixTime);
    char text[64];
    // The day of the month is padded with a blank, as the conventional text has it.
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays[t.tm_wday % 7], kMonths[t.tm_mon % 12],
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
    out += text;
}

void AppendInt(std::string& out, int64_t value)
{
    char text[24];
    const auto [ptr, ec] = std::to_chars(text, text + sizeof text, value);
    out.append(text, ptr);
}

void AppendFrequency(std::string& out, double mhz)
{
    // "%3.5f", written without the locale's decimal separator.
    char text[400];
    const auto [ptr, ec] = std::to_chars(text, text + sizeof text, mhz, std::chars_format::fixed, 5);
    if (ec == std::errc())
        out.append(text, ptr);
    else
        out += "0.00000";
}
