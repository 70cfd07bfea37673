#pragma once

#include <array>
#include <cstdint>

// One Trunking Signalling Block: byte 0 last-block flag (bit 7), protected flag (bit 6) and opcode
// (bits 5..0); byte 1 the manufacturer ID; bytes 2..9 arguments; bytes 10..11 the CRC-16.
constexpr int kTsbkSize = 12;
using Tsbk = std::array<uint8_t, kTsbkSize>;

constexpr uint8_t kProtectedBit = 0x40;
constexpr uint8_t kOpcodeMask = 0x3F;
constexpr uint8_t kMultiBlockHeaderOpcode = 0x37;
constexpr uint8_t kMfidStandard = 0x00;
constexpr uint8_t kMfidMotorola = 0x90;

// A multi-block packet as the processing thread hands it over: the header at index 0 and up to
// four data blocks, CRC-32 already checked.
constexpr int kMaxPacketDataBlocks = 4;

struct MultiBlockPacket {
    int32_t blockCount = 0;  // header included
    std::array<Tsbk, 1 + kMaxPacketDataBlocks> blocks{};
};
