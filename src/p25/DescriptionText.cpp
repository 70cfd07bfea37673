#include "p25/DescriptionText.h"

#include <cstdarg>
#include <cstdio>

std::string Format(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0)
        return {};
    if (static_cast<size_t>(n) < sizeof buffer)
        return std::string(buffer, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n), '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    va_end(args);
    return out;
}

const char* GrantStatusText(uint8_t serviceOptions)
{
    if (serviceOptions & 0x80)
        return "Emrg";
    if (serviceOptions & 0x40)
        return "Enc";
    return "";
}

std::string NotesPart(std::string_view status)
{
    if (status.empty())
        return {};
    std::string out = " Notes: ";
    out.append(status);
    return out;
}
