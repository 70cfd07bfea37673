#include "session/SimCapture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "link/ScannerLineFramer.h"

namespace {

constexpr int kPolledType = 0;

std::string Hex(const Tsbk& block, const char* separator)
{
    std::string out;
    char pair[3];
    for (size_t i = 0; i < block.size(); ++i) {
        if (i > 0)
            out += separator;
        std::snprintf(pair, sizeof pair, "%02X", block[i]);
        out += pair;
    }
    return out;
}

// "00 11 22 ..." or "001122..." -> a block.
bool PlainHexBlock(std::string_view line, Tsbk& block)
{
    std::string digits;
    for (char c : line) {
        if (c == ' ' || c == '\t')
            continue;
        digits.push_back(c);
    }
    return ScannerLineFramer::HexToBlock(digits, block);
}

}  // namespace

SimItem SimItem::Block(const Tsbk& block)
{
    SimItem item;
    item.kind = Kind::kBlock;
    item.block = block;
    return item;
}

SimItem SimItem::Line(std::string_view text)
{
    return Bytes(std::string(text) + "\r\n");
}

SimItem SimItem::Bytes(std::string_view bytes)
{
    SimItem item;
    item.kind = Kind::kBytes;
    item.bytes = std::string(bytes);
    return item;
}

std::string SimCapture::FormatLine(int scannerType, const Tsbk& block, uint64_t sequence)
{
    switch (scannerType) {
    case ScannerLineFramer::kPsrType: return "P25,0," + Hex(block, "") + "\r\n";
    case ScannerLineFramer::kUnidenType: return "P25," + Hex(block, "") + "\r\n";
    case ScannerLineFramer::kAnalyzerType: {
        char counter[16];
        std::snprintf(counter, sizeof counter, "%010llu", static_cast<unsigned long long>(sequence % 10000000000ULL));
        return std::string(counter) + " TSBK     " + Hex(block, " ") + "\r\n";
    }
    default: return {};
    }
}

std::vector<SimItem> SimCapture::Parse(std::string_view text, int scannerType)
{
    std::vector<SimItem> items;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        Tsbk block{};
        if (PlainHexBlock(line, block)) {
            items.push_back(SimItem::Block(block));
        } else if (scannerType != kPolledType) {
            items.push_back(SimItem::Line(line));
        } else {
            for (int type = ScannerLineFramer::kPsrType; type <= ScannerLineFramer::kAnalyzerType; ++type) {
                ScannerLine judged = ScannerLineFramer::Judge(type, line);
                if (judged.hasBlock) {
                    items.push_back(SimItem::Block(judged.block));
                    break;
                }
            }
        }
    }
    return items;
}

bool SimCapture::Load(const std::string& path, int scannerType, std::vector<SimItem>& out, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    out = Parse(text.str(), scannerType);
    return true;
}
