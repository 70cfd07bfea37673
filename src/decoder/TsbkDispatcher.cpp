#include "decoder/TsbkDispatcher.h"

void TsbkDispatcher::Register(uint8_t opcode, uint8_t mfid, TsbkHandler handler)
{
    exact_[opcode & kOpcodeMask][mfid] = handler;
}

void TsbkDispatcher::RegisterAnyMfid(uint8_t opcode, TsbkHandler handler)
{
    any_[opcode & kOpcodeMask] = handler;
}

TsbkHandler TsbkDispatcher::Find(uint8_t opcode, uint8_t mfid) const
{
    const uint8_t op = opcode & kOpcodeMask;
    if (TsbkHandler h = exact_[op][mfid])
        return h;
    return any_[op];
}
