#pragma once

#include <string>
#include <string_view>

// Text commands for the controlled scanner are templates in which tokens enclosed in dollar signs
// stand for the frequencies involved ("F$AF-0#######$$CR$" tunes 851.0125 MHz as "F08510125\r").

// The values a template can name, all in MHz.
struct TemplateValues {
    double active = 0.0;   // frequency of the last active tune
    double quiet = 0.0;    // the quiet frequency (0: none, the scanner scans)
    double spacing = 0.0;  // channel spacing of the last active tune
};

// value × scale printed with a printf format for one double (width, zero flag, precision). A format
// of exactly "%f" then loses its trailing zero digits and a decimal point left at the end, so 12.5
// prints as "12.5" and 25 as "25". Any magnitude prints in full (no fixed buffer).
std::string FormatScaled(double value, double scale, const char* format);

// Replaces every occurrence of token (case-sensitive) by value, searching again from the start
// after each splice (after the spliced value when the value holds the token itself). In one pass
// over the text whenever the value cannot join its neighbours into the token anew, which holds
// for every value of the profile language: the cost grows with the text, not with the square
// of the tokens in it.
void ReplaceAll(std::string& text, std::string_view token, std::string_view value);

// Replaces every token of the profile language, one token after another in a fixed order; text
// that matches no token stays as it is. The result is 8-bit text sent byte for byte.
std::string ExpandCommandTemplate(std::string_view templ, const TemplateValues& values);
