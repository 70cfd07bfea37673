#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "p25/Tsbk.h"

// One thing the scanner simulator plays: a block, printed the way the simulated scanner type
// prints blocks, or bytes sent exactly as given (a malformed line with its terminator, a bad
// poll reply, a status line).
struct SimItem {
    enum class Kind { kBlock, kBytes };
    Kind kind = Kind::kBlock;
    Tsbk block{};
    std::string bytes;

    static SimItem Block(const Tsbk& block);
    // A text line with the CR LF a scanner ends its lines with.
    static SimItem Line(std::string_view text);
    static SimItem Bytes(std::string_view bytes);
};

// Captures and the scanners' line forms.
class SimCapture {
public:
    // One block as a text scanner prints it, CR LF included:
    //   type 1 "P25,0,<24 hex>", type 2 "P25,<24 hex>", type 3 the analyzer's fixed columns
    //   (a 10-character counter, a blank, "TSBK    ", a blank, the 12 bytes as spaced pairs).
    // `sequence` fills the analyzer's counter column. Empty for other types.
    static std::string FormatLine(int scannerType, const Tsbk& block, uint64_t sequence);

    // Reads a capture file: blank lines and lines starting with '#' are skipped; a line of 24
    // hexadecimal digits (blanks between them allowed) is a block; any other line is played as
    // it is (CR LF appended) by the text types, and taken as a block by type 0 only when it is a
    // data line of one of the text forms. False with `error` when the file cannot be read.
    static bool Load(const std::string& path, int scannerType, std::vector<SimItem>& out, std::string& error);
    // The same for text already in memory.
    static std::vector<SimItem> Parse(std::string_view text, int scannerType);
};
