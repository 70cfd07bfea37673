#include "DemoBlock.h"

#include <cstdio>

#include "p25/BlockIntegrity.h"

namespace demo {

namespace {

constexpr uint8_t kLastBlockFlag = 0x80;
constexpr int kCrcBytes = 10;  // the CRC-16 covers bytes 0..9

// Multi-block header: outbound trunking packet format in byte 0, the trunking control service
// access point in byte 1, the data block count (with its top flag) in byte 6.
constexpr uint8_t kPacketHeaderFormat = kMultiBlockHeaderOpcode;
constexpr uint8_t kTrunkingSap = 0xFD;
constexpr uint8_t kBlocksToFollowFlag = 0x80;
constexpr int kCrc32Byte = 8;

bool ToTsbk(const std::string& hex, Tsbk& block)
{
    if (hex.size() != 2 * kTsbkSize)
        return false;
    for (int i = 0; i < kTsbkSize; ++i) {
        unsigned value = 0;
        if (std::sscanf(hex.c_str() + 2 * i, "%2X", &value) != 1)
            return false;
        block[i] = static_cast<uint8_t>(value);
    }
    return true;
}

}  // namespace

Tsbk NewTsbk(uint8_t opcode, uint8_t mfid)
{
    Tsbk block{};
    block[0] = static_cast<uint8_t>(kLastBlockFlag | (opcode & kOpcodeMask));
    block[1] = mfid;
    return block;
}

void Put16(Tsbk& block, int i, uint32_t value)
{
    block[i] = static_cast<uint8_t>(value >> 8);
    block[i + 1] = static_cast<uint8_t>(value);
}

void Put24(Tsbk& block, int i, uint32_t value)
{
    block[i] = static_cast<uint8_t>(value >> 16);
    Put16(block, i + 1, value);
}

void Put32(Tsbk& block, int i, uint32_t value)
{
    Put16(block, i, value >> 16);
    Put16(block, i + 2, value);
}

void PutWacnAndSystem(Tsbk& block, int i, uint32_t wacn, uint32_t systemId)
{
    Put32(block, i, (wacn << 12) | (systemId & 0x0FFF));
}

Tsbk SealTsbk(Tsbk block)
{
    Put16(block, kCrcBytes, Crc16Ccitt(0, block.data(), kCrcBytes));
    return block;
}

std::string HexText(const Tsbk& block)
{
    std::string text;
    char pair[3];
    for (uint8_t byte : block) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += pair;
    }
    return text;
}

Message Single(std::string kind, const Tsbk& block)
{
    return {std::move(kind), {HexText(SealTsbk(block))}};
}

Tsbk NewPacketHeader(uint8_t mfid, uint32_t address, uint8_t carriedOpcode, uint8_t byte8, uint8_t byte9)
{
    Tsbk header{};
    header[0] = kPacketHeaderFormat;
    header[1] = kTrunkingSap;
    header[2] = mfid;
    Put24(header, 3, address);
    header[7] = carriedOpcode & kOpcodeMask;
    header[8] = byte8;
    header[9] = byte9;
    return header;
}

Message Packet(std::string kind, Tsbk header, std::vector<Tsbk> dataBlocks)
{
    header[6] = static_cast<uint8_t>(kBlocksToFollowFlag | dataBlocks.size());
    Message message{std::move(kind), {HexText(SealTsbk(header))}};
    const uint32_t crc = PacketCrc32(dataBlocks.data(), static_cast<int>(dataBlocks.size()));
    Put32(dataBlocks.back(), kCrc32Byte, crc);
    for (const Tsbk& block : dataBlocks)
        message.lines.push_back(HexText(block));
    return message;
}

Message WithFlippedBit(Message message, size_t line, int bit, std::string kind)
{
    Tsbk block{};
    if (line < message.lines.size() && ToTsbk(message.lines[line], block)) {
        block[bit / 8] ^= static_cast<uint8_t>(0x80 >> (bit % 8));
        message.lines[line] = HexText(block);
    }
    message.kind = std::move(kind);
    return message;
}

}  // namespace demo
