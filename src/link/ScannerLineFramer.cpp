#include "link/ScannerLineFramer.h"

#include <array>

namespace {

constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kSevenBits = 0x7F;
constexpr char kBlank = ' ';
constexpr std::string_view kP25 = "P25";

constexpr std::array<int8_t, 256> MakeHexValues()
{
    std::array<int8_t, 256> values{};
    for (int c = 0; c < 256; ++c) {
        if (c >= '0' && c <= '9')
            values[c] = static_cast<int8_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            values[c] = static_cast<int8_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            values[c] = static_cast<int8_t>(c - 'A' + 10);
        else
            values[c] = -1;
    }
    return values;
}

// Every data line converts 24 digits: a table instead of three range tests a digit.
constexpr std::array<int8_t, 256> kHexValues = MakeHexValues();

int HexValue(char c)
{
    return kHexValues[static_cast<uint8_t>(c)];
}

// Fields judged the same way by the PSR and Uniden forms: enough fields make a reply; "P25" in
// field 0 with 24 digits in the data field makes a block. The fields are cut as SplitFields cuts
// them, but only up to the data field and without building a list: this runs for every line.
ScannerLine JudgeFields(std::string_view text, size_t dataField)
{
    ScannerLine out;
    out.keepRaw = true;
    std::string_view first;
    std::string_view data;
    size_t field = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size() && field <= dataField; ++i) {
        const bool end = i == text.size();
        if (!end && text[i] != ':' && text[i] != ',')
            continue;
        if (end && start == text.size())
            break;  // nothing after the last separator: no field
        const std::string_view f = text.substr(start, i - start);
        if (field == 0)
            first = f;
        if (field == dataField)
            data = f;
        ++field;
        start = i + 1;
    }
    if (field <= dataField)
        return out;
    out.reply = true;
    if (first == kP25 && data.size() == ScannerLineFramer::kHexDigits)
        out.hasBlock = ScannerLineFramer::HexToBlock(data, out.block);
    return out;
}

}  // namespace

bool ScannerLineFramer::Feed(uint8_t byte)
{
    byte &= kSevenBits;
    if (byte == kCr || byte == kLf) {
        line_.swap(pending_);
        pending_.clear();
        return true;
    }
    if (byte == 0)
        return false;
    if (pending_.size() > kMaxLineChars)
        pending_.clear();
    pending_.push_back(static_cast<char>(byte));
    return false;
}

size_t ScannerLineFramer::FeedUntilLineEnd(const uint8_t* bytes, size_t count, bool& ended)
{
    size_t run = 0;
    bool plain = true;  // no NUL and no bit 7 in the run: it is appended as it is
    for (; run < count; ++run) {
        const uint8_t byte = bytes[run] & kSevenBits;
        if (byte == kCr || byte == kLf)
            break;
        plain = plain && byte == bytes[run] && byte != 0;
    }
    // The buffer is emptied before an append once it holds more than kMaxLineChars; a run that
    // cannot reach that is appended whole.
    if (plain && pending_.size() + run <= kMaxLineChars + 1) {
        pending_.append(reinterpret_cast<const char*>(bytes), run);
    } else {
        for (size_t i = 0; i < run; ++i)
            Feed(bytes[i]);
    }
    ended = run < count && Feed(bytes[run]);
    return ended ? run + 1 : run;
}

void ScannerLineFramer::Reset()
{
    pending_.clear();
    line_.clear();
}

ScannerLine ScannerLineFramer::Judge(int scannerType, std::string_view line)
{
    switch (scannerType) {
    case kPsrType: return JudgePsr(line);
    case kUnidenType: return JudgeUniden(line);
    case kAnalyzerType: return JudgeAnalyzer(line);
    case kHexType: return JudgeHex(line);
    default: return {};
    }
}

ScannerLine ScannerLineFramer::JudgePsr(std::string_view line)
{
    if (line.size() <= kShortLineMax)
        return {};
    // The PSR family appends comments after a blank; only the text before it counts.
    std::string_view text = line.substr(0, line.find(kBlank));
    return JudgeFields(text, 2);
}

ScannerLine ScannerLineFramer::JudgeUniden(std::string_view line)
{
    if (line.size() <= kShortLineMax)
        return {};
    return JudgeFields(line, 1);
}

ScannerLine ScannerLineFramer::JudgeAnalyzer(std::string_view line)
{
    ScannerLine out;
    out.keepRaw = !line.empty();
    if (line.size() < kAnalyzerMinLength || line[kAnalyzerBlank1] != kBlank || line[kAnalyzerBlank2] != kBlank)
        return out;
    std::string digits;
    for (size_t i = kAnalyzerFirstHex; i <= kAnalyzerLastHex; ++i)
        if (line[i] != kBlank)
            digits.push_back(line[i]);
    if (digits.size() != kHexDigits)
        return out;
    out.reply = true;
    out.hasBlock = HexToBlock(digits, out.block);
    return out;
}

bool ScannerLineFramer::IsHexLine(std::string_view line)
{
    size_t digits = 0;
    for (const char c : line) {
        if (c == kBlank || c == '\t')
            continue;
        if (HexValue(c) < 0)
            return false;
        ++digits;
    }
    return digits == kHexDigits;
}

ScannerLine ScannerLineFramer::JudgeHex(std::string_view line)
{
    ScannerLine out;
    out.keepRaw = !line.empty();
    if (!IsHexLine(line))
        return out;
    std::string digits;
    for (const char c : line)
        if (c != kBlank && c != '\t')
            digits.push_back(c);
    out.reply = true;
    out.hasBlock = HexToBlock(digits, out.block);
    return out;
}

std::vector<std::string_view> ScannerLineFramer::SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ':' || text[i] == ',') {
            fields.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        fields.push_back(text.substr(start));
    return fields;
}

bool ScannerLineFramer::HexToBlock(std::string_view hex, Tsbk& out)
{
    if (hex.size() != kHexDigits)
        return false;
    Tsbk block{};
    for (size_t i = 0; i < kTsbkSize; ++i) {
        int high = HexValue(hex[2 * i]);
        int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        block[i] = static_cast<uint8_t>(high * 16 + low);
    }
    out = block;
    return true;
}
