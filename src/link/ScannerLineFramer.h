#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "p25/Tsbk.h"

// What one complete text line from a scanner gives.
struct ScannerLine {
    bool keepRaw = false;   // goes to the raw-data list when the raw dump is on
    bool reply = false;     // a line of the device's data format: sets the replies counter
    bool hasBlock = false;  // `block` holds a block to queue
    Tsbk block{};
};

// Cuts the text output of the scanners (types 1 to 3) into lines and judges each line by the
// form its scanner type prints:
//   type 1 (PSR family):  "P25,<field>,<24 hex digits>[,...]" -- nothing after the first blank counts
//   type 2 (Uniden):      "P25,<24 hex digits>[,...]"
//   type 3 (analyzer):    fixed columns: blanks at 10 and 19, 24 hex digits among columns 20..54
// Lines end at CR or LF; bit 7 of every byte is dropped; NUL bytes are ignored (the line is a
// zero-terminated text). A line longer than the 1,024-byte buffer restarts it.
class ScannerLineFramer {
public:
    static constexpr int kPsrType = 1;
    static constexpr int kUnidenType = 2;
    static constexpr int kAnalyzerType = 3;
    // Captures of bare blocks: 24 hexadecimal digits a line (blanks between them allowed), lines
    // starting with '#' and any other line skipped. The demo capture and the simulator use it.
    static constexpr int kHexType = 4;

    static constexpr size_t kLineBufferSize = 1024;
    // The buffer is emptied before an append when it already holds more than this.
    static constexpr size_t kMaxLineChars = 1019;
    // Text lines are shorter than a data line up to this length.
    static constexpr size_t kShortLineMax = 23;
    static constexpr size_t kHexDigits = 2 * kTsbkSize;
    // The analyzer's columns.
    static constexpr size_t kAnalyzerMinLength = 55;
    static constexpr size_t kAnalyzerBlank1 = 10;
    static constexpr size_t kAnalyzerBlank2 = 19;
    static constexpr size_t kAnalyzerFirstHex = 20;
    static constexpr size_t kAnalyzerLastHex = 54;

    explicit ScannerLineFramer(int scannerType) : type_(scannerType) { }

    // Takes one received byte. True when it ended a line (CR or LF); Line() then holds that
    // line (without its terminator) until the next call.
    bool Feed(uint8_t byte);
    const std::string& Line() const { return line_; }
    // Takes bytes as Feed does, up to and including the first line end, and returns how many it
    // took; `ended` tells whether a line ended (Line() then holds it). Same lines as byte by byte.
    size_t FeedUntilLineEnd(const uint8_t* bytes, size_t count, bool& ended);
    // Judges Line() by this framer's scanner type.
    ScannerLine JudgeLine() const { return Judge(type_, line_); }
    // Forgets a partly received line (the device went away in the middle of it).
    void Reset();

    // Judges one complete line for a scanner type (1, 2, 3 or hex; other types give nothing).
    static ScannerLine Judge(int scannerType, std::string_view line);
    // Whether a line is a bare block of the hex form.
    static bool IsHexLine(std::string_view line);
    // Fields of a line: every ':' or ',' ends a field (two in a row give an empty field); the
    // text after the last separator is a field only when it is not empty.
    static std::vector<std::string_view> SplitFields(std::string_view text);
    // 24 hexadecimal digits (either case) into a block; false when any digit is not one.
    static bool HexToBlock(std::string_view hex, Tsbk& out);

private:
    static ScannerLine JudgePsr(std::string_view line);
    static ScannerLine JudgeUniden(std::string_view line);
    static ScannerLine JudgeAnalyzer(std::string_view line);
    static ScannerLine JudgeHex(std::string_view line);

    int type_;
    std::string pending_;  // the line being received
    std::string line_;     // the last complete line
};
