#pragma once

// Builders of well-formed blocks and multi-block packets for tests: a TSBK with its CRC-16 filled
// in, and packets whose header announces their data blocks and whose last data block carries the
// CRC-32.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "p25/BlockIntegrity.h"
#include "p25/Tsbk.h"

namespace testsupport {

// Recomputes bytes 10..11 (CRC-16 over bytes 0..9, high byte first).
inline Tsbk WithCrc16(Tsbk block)
{
    const uint16_t crc = Crc16Ccitt(0, block.data(), 10);
    block[10] = static_cast<uint8_t>(crc >> 8);
    block[11] = static_cast<uint8_t>(crc & 0xFF);
    return block;
}

// A block from up to ten leading bytes (the rest zero) with a valid CRC-16.
inline Tsbk MakeTsbk(std::initializer_list<uint8_t> bytes0to9)
{
    if (bytes0to9.size() > 10)
        throw std::invalid_argument("MakeTsbk takes at most ten bytes");
    Tsbk block{};
    std::copy(bytes0to9.begin(), bytes0to9.end(), block.begin());
    return WithCrc16(block);
}

// A copy of the block with one bit inverted (bit 0..95, bit 0 the top bit of byte 0).
inline Tsbk FlipBit(Tsbk block, int bit)
{
    block[bit / 8] ^= static_cast<uint8_t>(0x80 >> (bit % 8));
    return block;
}

// Header followed by the given data blocks: the header's opcode becomes 0x37, its byte 6 the
// number of data blocks (bit 7 kept), its CRC-16 is filled in; the CRC-32 goes into bytes 8..11
// of the last data block. Data blocks are otherwise used as given (no CRC-16 of their own).
inline std::vector<Tsbk> MakePacketFromBlocks(Tsbk header, std::vector<Tsbk> dataBlocks)
{
    header[0] = static_cast<uint8_t>((header[0] & 0xC0) | kMultiBlockHeaderOpcode);
    header[6] = static_cast<uint8_t>((header[6] & 0x80) | (dataBlocks.size() & 0x7F));
    std::vector<Tsbk> blocks{WithCrc16(header)};
    if (!dataBlocks.empty()) {
        const uint32_t crc = PacketCrc32(dataBlocks.data(), static_cast<int>(dataBlocks.size()));
        Tsbk& last = dataBlocks.back();
        for (int i = 0; i < 4; ++i)
            last[8 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    }
    blocks.insert(blocks.end(), dataBlocks.begin(), dataBlocks.end());
    return blocks;
}

// Header from up to ten leading bytes plus as many data blocks as the payload needs (12 bytes a
// block, the last 4 bytes of the last block reserved for the CRC-32), payload zero-padded.
// An empty payload still gets one data block.
inline std::vector<Tsbk> MakePacket(std::initializer_list<uint8_t> header0to9, const std::vector<uint8_t>& payload)
{
    Tsbk header{};
    if (header0to9.size() > 10)
        throw std::invalid_argument("MakePacket takes at most ten header bytes");
    std::copy(header0to9.begin(), header0to9.end(), header.begin());
    const size_t count = std::max<size_t>(1, (payload.size() + 4 + 11) / 12);
    std::vector<Tsbk> data(count, Tsbk{});
    for (size_t i = 0; i < payload.size(); ++i)
        data[i / 12][i % 12] = payload[i];
    return MakePacketFromBlocks(header, std::move(data));
}

// The packet record the processing thread hands over for these blocks (header first).
inline MultiBlockPacket ToPacket(const std::vector<Tsbk>& blocks)
{
    if (blocks.empty() || blocks.size() > 1 + kMaxPacketDataBlocks)
        throw std::invalid_argument("a packet holds one header and at most four data blocks");
    MultiBlockPacket packet;
    packet.blockCount = static_cast<int32_t>(blocks.size());
    std::copy(blocks.begin(), blocks.end(), packet.blocks.begin());
    return packet;
}

}  // namespace testsupport
