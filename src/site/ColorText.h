#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Colour values are 0x00BBGGRR; their text form is "#RRGGBB" (upper-case hex).
std::string ColorToText(uint32_t color);
// "#RRGGBB" (exactly 7 characters) is read as hex red, green, blue; any other text as a signed
// decimal number. A part that cannot be read counts as 0.
uint32_t ColorFromText(std::string_view text);
