#pragma once

// Blocks of the demo capture: TSBKs and multi-block packets written field by field, sealed with
// their CRCs, and the capture lines they become.

#include <cstdint>
#include <string>
#include <vector>

#include "p25/Tsbk.h"

namespace demo {

// What goes on the air in one go: one block, the blocks of a packet, or a damaged line. `kind`
// names the message in the capture's summary.
struct Message {
    std::string kind;
    std::vector<std::string> lines;  // 24 hexadecimal digits each, or the text of a bad line
};

// Service options of grants: emergency, protected (encrypted), and a 3-bit priority.
inline constexpr uint8_t kOptionEmergency = 0x80;
inline constexpr uint8_t kOptionProtected = 0x40;
inline constexpr uint8_t kPriorityNormal = 0x04;
inline constexpr uint8_t kPriorityEmergency = 0x07;
inline constexpr uint8_t kOptionsNormal = kPriorityNormal;
inline constexpr uint8_t kOptionsEncrypted = kOptionProtected | kPriorityNormal;
inline constexpr uint8_t kOptionsEmergency = kOptionEmergency | kPriorityEmergency;

// The address a message uses for the system itself (acknowledgements, queries from the system).
inline constexpr uint32_t kSystemAddress = 0xFFFFFD;

// A TSBK with the last-block flag, the opcode and the manufacturer ID; arguments zero.
Tsbk NewTsbk(uint8_t opcode, uint8_t mfid);

// Big-endian fields starting at byte i.
void Put16(Tsbk& block, int i, uint32_t value);
void Put24(Tsbk& block, int i, uint32_t value);
void Put32(Tsbk& block, int i, uint32_t value);

// A WACN (20 bits) followed by a system ID (12 bits) in bytes i..i+3, as site messages carry them.
void PutWacnAndSystem(Tsbk& block, int i, uint32_t wacn, uint32_t systemId);

// Bytes 10..11 set to the CRC-16 of bytes 0..9.
Tsbk SealTsbk(Tsbk block);

std::string HexText(const Tsbk& block);

// A single block, sealed.
Message Single(std::string kind, const Tsbk& block);

// A packet header (header format, MFID, 24-bit address, carried opcode, bytes 8 and 9) ...
Tsbk NewPacketHeader(uint8_t mfid, uint32_t address, uint8_t carriedOpcode, uint8_t byte8, uint8_t byte9);
// ... and the packet: the header announces the data blocks and gets its CRC-16; the last data
// block gets the CRC-32 of the data in its bytes 8..11.
Message Packet(std::string kind, Tsbk header, std::vector<Tsbk> dataBlocks);

// The same message with one bit (0..95, 0 the top bit of byte 0) of one of its blocks inverted,
// so the block's CRC-16, or the packet's CRC-32, no longer matches.
Message WithFlippedBit(Message message, size_t line, int bit, std::string kind);

}  // namespace demo
