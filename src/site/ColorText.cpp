#include "site/ColorText.h"

#include <cstdio>

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Two hex digits; 0 when either is not a hex digit.
uint32_t HexByte(std::string_view two)
{
    const int hi = HexDigit(two[0]);
    const int lo = HexDigit(two[1]);
    return (hi < 0 || lo < 0) ? 0u : static_cast<uint32_t>(hi * 16 + lo);
}

// An optional sign and decimal digits, blanks around allowed; anything else (or a value outside
// 32 bits) cannot be read and gives 0, as an unreadable hex part does.
uint32_t SignedDecimal(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return 0;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
        if (value > 0xFFFFFFFFLL)
            return 0;
    }
    return static_cast<uint32_t>(negative ? -value : value);
}

}  // namespace

std::string ColorToText(uint32_t color)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
    return buf;
}

uint32_t ColorFromText(std::string_view text)
{
    if (text.size() == 7 && text[0] == '#')
        return HexByte(text.substr(1, 2)) + HexByte(text.substr(3, 2)) * 256 + HexByte(text.substr(5, 2)) * 65536;
    return SignedDecimal(text);
}
