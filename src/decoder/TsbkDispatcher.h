#pragma once

#include <array>
#include <cstdint>

#include "p25/Tsbk.h"

class P25Class;

// A handler decodes one block for one opcode (and manufacturer): it updates the decoder's areas,
// builds its description and answers whether it recognised the block.
using TsbkHandler = bool (*)(P25Class& decoder, const Tsbk& block);

// Maps (opcode, MFID) to a handler. Most opcodes have one handler for MFID 0x00 and another for
// MFID 0x90; a few accept any manufacturer. An exact (opcode, MFID) entry wins over "any".
class TsbkDispatcher {
public:
    static constexpr int kOpcodes = 64;

    void Register(uint8_t opcode, uint8_t mfid, TsbkHandler handler);
    void RegisterAnyMfid(uint8_t opcode, TsbkHandler handler);

    TsbkHandler Find(uint8_t opcode, uint8_t mfid) const;

private:
    // Indexed by opcode then MFID; filled once at start-up, read-only while decoding.
    std::array<std::array<TsbkHandler, 256>, kOpcodes> exact_{};
    std::array<TsbkHandler, kOpcodes> any_{};
};
