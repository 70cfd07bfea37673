#include "scancontrol/CommandTemplate.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace {

enum class Source { Active, Quiet, Spacing, Literal };

struct Token {
    const char* token;
    Source source;
    double scale;        // MHz -> unit of the text (10000: units of 100 Hz; 1000: kHz)
    const char* format;  // for Literal: the replacement text itself
};

constexpr double kHundredHz = 10000.0;
constexpr double kKilohertz = 1000.0;

// Replaced one token after another in this order, so every profile expands alike.
constexpr std::array<Token, 39> kTokens{{
    {"$AF-########$", Source::Active, kHundredHz, "%8.0f"},
    {"$AF-0#######$", Source::Active, kHundredHz, "%08.0f"},
    {"$AF-#########$", Source::Active, kHundredHz, "%9.0f"},
    {"$AF-0########$", Source::Active, kHundredHz, "%09.0f"},
    {"$AF-###.####$", Source::Active, 1.0, "%0.4f"},
    {"$AF-0##.####$", Source::Active, 1.0, "%03.4f"},
    {"$AF-####.####$", Source::Active, 1.0, "%0.4f"},
    {"$AF-0###.####$", Source::Active, 1.0, "%04.4f"},
    {"$AF-####.#####$", Source::Active, 1.0, "%0.5f"},
    {"$AF-0##.#####$", Source::Active, 1.0, "%03.5f"},
    {"$AF-0###.#####$", Source::Active, 1.0, "%04.5f"},
    // Unlike its active twin this one is not padded: profiles written for it expect no blank.
    {"$QF-########$", Source::Quiet, kHundredHz, "%0.0f"},
    {"$QF-0#######$", Source::Quiet, kHundredHz, "%08.0f"},
    {"$QF-###.####$", Source::Quiet, 1.0, "%0.4f"},
    {"$QF-0##.####$", Source::Quiet, 1.0, "%03.4f"},
    {"$QF-####.####$", Source::Quiet, 1.0, "%0.4f"},
    {"$QF-0###.####$", Source::Quiet, 1.0, "%04.4f"},
    {"$QF-####.#####$", Source::Quiet, 1.0, "%0.5f"},
    {"$QF-0##.#####$", Source::Quiet, 1.0, "%03.5f"},
    {"$QF-0###.#####$", Source::Quiet, 1.0, "%04.5f"},
    {"$SP-MHZ$", Source::Spacing, 1.0, "%f"},
    {"$SP-MHZ4$", Source::Spacing, 1.0, "%0.4f"},
    {"$SP-MHZ5$", Source::Spacing, 1.0, "%0.5f"},
    {"$SP-KHZ$", Source::Spacing, kKilohertz, "%f"},
    {"$SP-KHZ2$", Source::Spacing, kKilohertz, "%0.2f"},
    {"$SP-KHZ3$", Source::Spacing, kKilohertz, "%0.3f"},
    {"$SP-KHZ4$", Source::Spacing, kKilohertz, "%0.4f"},
    {"$SP-KHZ5$", Source::Spacing, kKilohertz, "%0.5f"},
    {"$SP-KHZ*10$", Source::Spacing, 10000.0, "%f"},
    {"$SP-KHZ*100$", Source::Spacing, 100000.0, "%f"},
    {"$UNIDENFREQ$", Source::Active, kHundredHz, "%08.0f"},
    {"$UNIDENQUIET$", Source::Quiet, kHundredHz, "%08.0f"},
    {"$STANDARDFREQ$", Source::Active, 1.0, "%0.4f"},
    {"$STANDARDQUIET$", Source::Quiet, 1.0, "%0.4f"},
    {"$STANDARDSPACING$", Source::Spacing, 1.0, "%0.4f"},
    {"$UNIDENSPACING$", Source::Spacing, kKilohertz, "%f"},
    {"$STANDARDSPACINGKHZ$", Source::Spacing, kKilohertz, "%0.4f"},
    {"$CR$", Source::Literal, 0.0, "\r"},
    {"$LF$", Source::Literal, 0.0, "\n"},
}};

double SourceValue(Source source, const TemplateValues& v)
{
    switch (source) {
    case Source::Active: return v.active;
    case Source::Quiet: return v.quiet;
    case Source::Spacing: return v.spacing;
    case Source::Literal: break;
    }
    return 0.0;
}

// Drops the zeros that "%f" always prints to six places, then a bare decimal point.
void StripTrailingZeros(std::string& text)
{
    if (text.find('.') == std::string::npos)
        return;  // "inf", "nan": nothing to strip
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
}

// Whether splicing `value` in place of `token` can make a new occurrence of the token that starts
// before the end of the value. Such an occurrence overlaps the value: the value then lies inside
// the token, or a part of the token's start or end is a part of the value. Tokens begin and end
// with '$' and the values of the token table never hold one, so only a value found inside a
// token ("0" in "$SP-KHZ*10$") can do it.
bool CanFormToken(std::string_view token, std::string_view value)
{
    const char first = token.front();
    const char last = token.back();
    return value.empty() || value.find(first) != std::string_view::npos || value.find(last) != std::string_view::npos ||
           token.find(value) != std::string_view::npos;
}

}  // namespace

std::string FormatScaled(double value, double scale, const char* format)
{
    const double scaled = value * scale;
    // The format comes from the fixed token table above, never from a profile.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(nullptr, 0, format, scaled);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, scaled);
#pragma GCC diagnostic pop
    if (std::strcmp(format, "%f") == 0)
        StripTrailingZeros(text);
    return text;
}

void ReplaceAll(std::string& text, std::string_view token, std::string_view value)
{
    if (token.empty())
        return;
    // A value that holds the token itself would be found again for ever: search past it then.
    const bool selfContaining = value.find(token) != std::string_view::npos;
    if (!selfContaining && CanFormToken(token, value)) {
        // The value may join its neighbours into the token again; searching from the start after
        // each splice is what finds that. Only a template made for it gets here.
        for (size_t at = text.find(token); at != std::string::npos; at = text.find(token))
            text.replace(at, token.size(), value);
        return;
    }
    // Otherwise no occurrence can start before the end of a spliced value: one pass from left to
    // right finds exactly what searching from the start again would, in time linear in the text.
    size_t at = text.find(token);
    if (at == std::string::npos)
        return;
    std::string out;
    out.reserve(text.size());
    size_t from = 0;
    for (; at != std::string::npos; at = text.find(token, from)) {
        out.append(text, from, at - from);
        out.append(value);
        from = at + token.size();
    }
    out.append(text, from, std::string::npos);
    text = std::move(out);
}

std::string ExpandCommandTemplate(std::string_view templ, const TemplateValues& values)
{
    std::string text(templ);
    for (const Token& t : kTokens) {
        if (text.find(t.token) == std::string::npos)
            continue;  // spare the formatting for the tokens a template does not use
        const std::string value = t.source == Source::Literal
                                      ? std::string(t.format)
                                      : FormatScaled(SourceValue(t.source, values), t.scale, t.format);
        ReplaceAll(text, t.token, value);
    }
    return text;
}
