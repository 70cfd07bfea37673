#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Small pieces that the handlers' description texts are built from.

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Status of a grant from its service options byte: "Emrg" when bit 7 is set, otherwise "Enc"
// when bit 6 is set, otherwise empty.
const char* GrantStatusText(uint8_t serviceOptions);

// " Notes: " + status, or nothing when the status is empty.
std::string NotesPart(std::string_view status);
