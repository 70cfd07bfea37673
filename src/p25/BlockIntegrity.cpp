#include "p25/BlockIntegrity.h"

#include <array>

namespace {

constexpr uint16_t kCrc16Poly = 0x1021;
constexpr int kTsbkCrcBytes = 10;  // bytes 0..9 are covered, 10..11 carry the CRC
constexpr int kPacketCrcBytes = 4;

// table[t] = t * x^16 mod P: what the top byte of the register contributes once it has been
// shifted out by eight bit-serial steps. Lets the augmented (message-shifted-in) algorithm run a
// byte at a time with exactly the bit-serial result for any initial register.
constexpr std::array<uint16_t, 256> MakeCrc16Table()
{
    std::array<uint16_t, 256> table{};
    for (int t = 0; t < 256; ++t) {
        uint16_t reg = static_cast<uint16_t>(t << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = static_cast<uint16_t>((reg & 0x8000) ? (reg << 1) ^ kCrc16Poly : reg << 1);
        table[t] = reg;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrc16Table = MakeCrc16Table();

inline uint16_t Crc16Step(uint16_t reg, uint8_t byte)
{
    return static_cast<uint16_t>(((reg << 8) | byte) ^ kCrc16Table[reg >> 8]);
}

}  // namespace

uint16_t Crc16Ccitt(uint16_t init, const uint8_t* bytes, int length)
{
    uint16_t reg = init;
    for (int i = 0; i < length; ++i)
        reg = Crc16Step(reg, bytes[i]);
    // The 16 appended zero bits.
    reg = Crc16Step(reg, 0);
    reg = Crc16Step(reg, 0);
    return static_cast<uint16_t>(reg ^ 0xFFFF);
}

bool TsbkCrcOk(const Tsbk& block)
{
    return Crc16Ccitt(0, block.data(), kTsbkCrcBytes) == ReadBE16(block, kTsbkCrcBytes);
}

void CrcModelInit(CrcModel& model)
{
    model.reg = model.init;
}

void CrcModelNext(CrcModel& model, uint8_t byte)
{
    uint32_t in = model.refin ? CrcReflect(byte, 8) : byte;
    const uint32_t top = 1u << (model.width - 1);
    const uint32_t mask = CrcWidthMask(model);
    model.reg ^= in << (model.width - 8);
    for (int bit = 0; bit < 8; ++bit) {
        model.reg = (model.reg & top) ? (model.reg << 1) ^ model.poly : model.reg << 1;
        model.reg &= mask;
    }
}

void CrcModelBlock(CrcModel& model, const uint8_t* bytes, int length)
{
    for (int i = 0; i < length; ++i)
        CrcModelNext(model, bytes[i]);
}

uint32_t CrcModelValue(const CrcModel& model)
{
    if (model.refout)
        return model.xorout ^ CrcReflect(model.reg, model.width);
    return model.xorout ^ model.reg;
}

uint32_t CrcReflect(uint32_t value, int bits)
{
    uint32_t result = value;
    uint32_t probe = value;
    for (int i = 0; i < bits; ++i) {
        const uint32_t target = 1u << (bits - 1 - i);
        if (probe & 1u)
            result |= target;
        else
            result &= ~target;
        probe >>= 1;
    }
    return result;
}

uint32_t CrcWidthMask(const CrcModel& model)
{
    return (((1u << (model.width - 1)) - 1u) << 1) | 1u;
}

CrcModel PacketCrcModel()
{
    CrcModel model;
    model.width = 32;
    model.poly = 0x04C11DB7;
    model.init = 0;
    model.refin = false;
    model.refout = false;
    model.xorout = 0xFFFFFFFF;
    CrcModelInit(model);
    return model;
}

uint32_t PacketCrc32(const Tsbk* dataBlocks, int count)
{
    CrcModel model = PacketCrcModel();
    for (int b = 0; b < count; ++b) {
        const int length = (b == count - 1) ? kTsbkSize - kPacketCrcBytes : kTsbkSize;
        CrcModelBlock(model, dataBlocks[b].data(), length);
    }
    return CrcModelValue(model);
}

bool PacketCrc32Ok(const MultiBlockPacket& packet)
{
    const int count = packet.blockCount;
    if (count < 1 || count > static_cast<int>(packet.blocks.size()))
        return false;
    const Tsbk& last = packet.blocks[count - 1];
    const uint32_t expected = (static_cast<uint32_t>(ReadBE16(last, 8)) << 16) | ReadBE16(last, 10);
    return PacketCrc32(packet.blocks.data() + 1, count - 1) == expected;
}

uint16_t ReadBE16(const uint8_t* bytes, int i)
{
    return static_cast<uint16_t>((bytes[i] << 8) | bytes[i + 1]);
}

uint16_t ReadBE16(const Tsbk& block, int i)
{
    if (i < 0 || i + 1 >= kTsbkSize)
        return 0;
    return ReadBE16(block.data(), i);
}

uint32_t ReadBE24(const uint8_t* bytes, int i)
{
    if (i < 0)
        return 0;
    return (static_cast<uint32_t>(bytes[i]) << 16) | (static_cast<uint32_t>(bytes[i + 1]) << 8) | bytes[i + 2];
}

uint32_t ReadBE24(const Tsbk& block, int i)
{
    if (i < 0 || i + 2 >= kTsbkSize)
        return 0;
    return ReadBE24(block.data(), i);
}

std::string ByteToBinaryText(uint8_t byte)
{
    std::string text(8, '0');
    for (int bit = 0; bit < 8; ++bit)
        if (byte & (0x80 >> bit))
            text[bit] = '1';
    return text;
}
