#pragma once

#include <cstdint>
#include <string>

#include "p25/Tsbk.h"

// Block integrity: the CRC-16 of a TSBK, the parameterised CRC engine used for the CRC-32 of
// multi-block packets, and the small readers of big-endian fields. Pure functions, no state,
// safe from any thread.

// State of the parameterised CRC engine (Rocksoft model).
struct CrcModel {
    int32_t width = 32;   // bits in the CRC, 8..32
    uint32_t poly = 0;    // generator without its top bit, normal form
    uint32_t init = 0;    // initial register
    bool refin = false;   // reflect each input byte
    bool refout = false;  // reflect the final register over width bits
    uint32_t xorout = 0;  // XORed into the result
    uint32_t reg = 0;     // working register
};

// CRC-16 of a TSBK: message bits shifted into the register (poly 0x1021), 16 zero bits appended,
// result complemented. With init 0 this is CRC-16/GSM ("123456789" gives 0xCE3C).
uint16_t Crc16Ccitt(uint16_t init, const uint8_t* bytes, int length);

// CRC-16 over bytes 0..9 (init 0) equals bytes 10..11, high byte first.
bool TsbkCrcOk(const Tsbk& block);

void CrcModelInit(CrcModel& model);
void CrcModelNext(CrcModel& model, uint8_t byte);
void CrcModelBlock(CrcModel& model, const uint8_t* bytes, int length);
uint32_t CrcModelValue(const CrcModel& model);

// value with its lowest `bits` bits reversed; the bits above them are kept.
uint32_t CrcReflect(uint32_t value, int bits);
// Lowest `width` bits set, without an overflowing shift at width 32.
uint32_t CrcWidthMask(const CrcModel& model);

// The packet check of multi-block data: width 32, poly 0x04C11DB7, init 0, no reflection,
// xorout 0xFFFFFFFF (CRC-32/POSIX), register already initialised.
CrcModel PacketCrcModel();

// CRC-32 over `count` data blocks in order, minus the last 4 bytes (where the CRC travels).
// No data blocks give the CRC of empty input, 0xFFFFFFFF.
uint32_t PacketCrc32(const Tsbk* dataBlocks, int count);

// Whether the data blocks 1..blockCount-1 of a packet carry a matching CRC-32 in bytes 8..11 of
// the last of them. With blockCount 1 the expected value comes from the header's bytes 8..11.
// A blockCount outside 1..5 never matches.
bool PacketCrc32Ok(const MultiBlockPacket& packet);

// Byte i * 256 + byte i+1. On a block an index outside 0..10 gives 0.
uint16_t ReadBE16(const uint8_t* bytes, int i);
uint16_t ReadBE16(const Tsbk& block, int i);

// Bytes i, i+1, i+2 as a 24-bit value, most significant first (radio IDs and other addresses).
// Read byte by byte, so index 0 reads bytes 0..2 and nothing before the block. On a block an
// index outside 0..9 gives 0; a negative index on raw bytes gives 0.
uint32_t ReadBE24(const uint8_t* bytes, int i);
uint32_t ReadBE24(const Tsbk& block, int i);

// Eight characters '0'/'1', most significant bit first (0x05 -> "00000101").
std::string ByteToBinaryText(uint8_t byte);
