#include "p25/BlockIntegrity.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "support/BlockBuilder.h"

namespace {

using testsupport::FlipBit;
using testsupport::MakePacket;
using testsupport::MakeTsbk;
using testsupport::ToPacket;

const uint8_t kCheckInput[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};

// The defining bit-serial CRC-16: message bits shifted in, 16 zero bits appended, complemented.
uint16_t BitSerialCrc16(uint16_t init, const uint8_t* bytes, int length)
{
    uint16_t reg = init;
    auto feed = [&reg](int bit) {
        const bool top = reg & 0x8000;
        uint16_t next = static_cast<uint16_t>((reg << 1) | bit);
        if (top)
            next ^= 0x1021;
        reg = next;
    };
    for (int i = 0; i < length; ++i)
        for (int b = 7; b >= 0; --b)
            feed((bytes[i] >> b) & 1);
    for (int i = 0; i < 16; ++i)
        feed(0);
    return static_cast<uint16_t>(reg ^ 0xFFFF);
}

TEST(Crc16Test, CatalogCheckValueAndZeroBlock)
{
    EXPECT_EQ(Crc16Ccitt(0, kCheckInput, 9), 0xCE3C);
    const uint8_t zeros[10] = {};
    EXPECT_EQ(Crc16Ccitt(0, zeros, 10), 0xFFFF);
    EXPECT_FALSE(TsbkCrcOk(Tsbk{}));
}

TEST(Crc16Test, TableFormEqualsBitSerialDefinition)
{
    std::mt19937 rng(12345);
    std::vector<uint8_t> bytes(24);
    for (int round = 0; round < 2000; ++round) {
        for (auto& b : bytes)
            b = static_cast<uint8_t>(rng());
        const auto init = static_cast<uint16_t>(rng());
        const int length = static_cast<int>(rng() % (bytes.size() + 1));
        ASSERT_EQ(Crc16Ccitt(init, bytes.data(), length), BitSerialCrc16(init, bytes.data(), length))
            << "init " << init << " length " << length;
    }
}

TEST(Crc16Test, EverySingleBitErrorIsCaught)
{
    const Tsbk good = MakeTsbk({0x00, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0});
    ASSERT_TRUE(TsbkCrcOk(good));
    for (int bit = 0; bit < 96; ++bit)
        EXPECT_FALSE(TsbkCrcOk(FlipBit(good, bit))) << "bit " << bit;
}

TEST(Crc16Test, ProtectedFlagDoesNotAffectTheCheck)
{
    // Refusing protected blocks is the decoder's business, not the CRC's.
    EXPECT_TRUE(TsbkCrcOk(MakeTsbk({0x40 | 0x02, 0x00, 0x01})));
}

struct CatalogModel {
    const char* name;
    CrcModel model;
    uint32_t check;  // CRC of "123456789"
};

TEST(CrcModelTest, CatalogCheckValues)
{
    // Reflected sets exercise refin/refout; widths 8, 16 and 32 exercise the width mask.
    const CatalogModel cases[] = {
        {"CRC-32/POSIX", {32, 0x04C11DB7, 0, false, false, 0xFFFFFFFF, 0}, 0x765E7680},
        {"CRC-32/ISO-HDLC", {32, 0x04C11DB7, 0xFFFFFFFF, true, true, 0xFFFFFFFF, 0}, 0xCBF43926},
        {"CRC-16/GSM", {16, 0x1021, 0, false, false, 0xFFFF, 0}, 0xCE3C},
        {"CRC-16/ARC", {16, 0x8005, 0, true, true, 0, 0}, 0xBB3D},
        {"CRC-8/SMBUS", {8, 0x07, 0, false, false, 0, 0}, 0xF4},
        {"CRC-24/OPENPGP", {24, 0x864CFB, 0xB704CE, false, false, 0, 0}, 0x21CF02},
    };
    for (const auto& c : cases) {
        CrcModel model = c.model;
        model.reg = 0xDEADBEEF;  // Init must replace whatever was left
        CrcModelInit(model);
        CrcModelBlock(model, kCheckInput, 9);
        EXPECT_EQ(CrcModelValue(model), c.check) << c.name;
    }
    EXPECT_EQ(PacketCrc32(nullptr, 0), 0xFFFFFFFFu);
}

TEST(CrcModelTest, ReflectAndWidthMask)
{
    EXPECT_EQ(CrcReflect(0x01, 8), 0x80u);
    EXPECT_EQ(CrcReflect(0x1234, 4), 0x1232u);  // bits above the reflected ones stay
    EXPECT_EQ(CrcReflect(0x00000001, 32), 0x80000000u);
    EXPECT_EQ(CrcReflect(0xF0, 0), 0xF0u);

    CrcModel model;
    const std::pair<int, uint32_t> masks[] = {{8, 0xFF}, {16, 0xFFFF}, {24, 0xFFFFFF}, {32, 0xFFFFFFFF}};
    for (auto [width, mask] : masks) {
        model.width = width;
        EXPECT_EQ(CrcWidthMask(model), mask) << width;
    }
}

TEST(PacketCrcTest, GoodPacketMatchesAndAnyChangeFails)
{
    for (size_t payload : {0u, 8u, 20u, 44u}) {
        std::vector<uint8_t> bytes(payload);
        for (size_t i = 0; i < payload; ++i)
            bytes[i] = static_cast<uint8_t>(i * 7 + 1);
        const auto blocks = MakePacket({0x37, 0x00}, bytes);
        MultiBlockPacket packet = ToPacket(blocks);
        EXPECT_TRUE(PacketCrc32Ok(packet)) << payload;

        MultiBlockPacket damaged = packet;
        damaged.blocks[1][3] ^= 0x10;
        EXPECT_FALSE(PacketCrc32Ok(damaged)) << payload;
        damaged = packet;
        damaged.blocks[packet.blockCount - 1][11] ^= 0x01;  // the CRC itself
        EXPECT_FALSE(PacketCrc32Ok(damaged)) << payload;
        damaged = packet;
        damaged.blocks[0][2] ^= 0x01;  // the header is not covered
        EXPECT_TRUE(PacketCrc32Ok(damaged)) << payload;
    }
}

TEST(PacketCrcTest, HeaderAloneComparesWithItsOwnBytes8To11)
{
    // No data blocks: empty CRC input (0xFFFFFFFF) against the header's bytes 8..11.
    MultiBlockPacket packet;
    packet.blockCount = 1;
    packet.blocks[0] = Tsbk{0x37, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78};
    EXPECT_FALSE(PacketCrc32Ok(packet));
    packet.blocks[0] = Tsbk{0x37, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(PacketCrc32Ok(packet));

    for (int count : {0, 6, -1}) {
        packet.blockCount = count;
        EXPECT_FALSE(PacketCrc32Ok(packet)) << count;
    }
}

TEST(FieldReaderTest, BigEndianReadersStayInsideTheBlock)
{
    Tsbk block{};
    for (int i = 0; i < kTsbkSize; ++i)
        block[i] = static_cast<uint8_t>(0x10 + i);
    EXPECT_EQ(ReadBE16(block, 2), 0x1213);
    EXPECT_EQ(ReadBE16(block, 10), 0x1A1B);
    EXPECT_EQ(ReadBE24(block, 1), 0x111213u);
    EXPECT_EQ(ReadBE24(block, 7), 0x171819u);
    EXPECT_EQ(ReadBE24(block, 0), 0x101112u);
    EXPECT_EQ(ReadBE24(block, 9), 0x191A1Bu);
    EXPECT_EQ(ReadBE16(block, 11), 0);
    EXPECT_EQ(ReadBE16(block, -1), 0);
    EXPECT_EQ(ReadBE24(block, 10), 0u);
    EXPECT_EQ(ReadBE24(block, -1), 0u);

    // On raw bytes the reader touches only bytes i..i+2 (address sanitizer watches the edges).
    auto three = std::make_unique<uint8_t[]>(3);
    std::memcpy(three.get(), "\xAB\xCD\xEF", 3);
    EXPECT_EQ(ReadBE24(three.get(), 0), 0xABCDEFu);
    EXPECT_EQ(ReadBE16(three.get(), 1), 0xCDEF);
}

TEST(FieldReaderTest, ByteToBinaryText)
{
    const std::pair<uint8_t, const char*> cases[] = {
        {0x05, "00000101"}, {0x80, "10000000"}, {0x00, "00000000"}, {0xFF, "11111111"}, {0xA6, "10100110"}};
    for (auto [byte, text] : cases)
        EXPECT_EQ(ByteToBinaryText(byte), text) << int(byte);
}

}  // namespace
