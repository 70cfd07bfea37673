#pragma once

#include "p25/Tsbk.h"

// What the processing thread feeds: single blocks and complete multi-block packets. The decoder
// implements it; tests put a recorder in its place.
class BlockSink {
public:
    virtual ~BlockSink() = default;
    // 1 when a handler recognised the block, 0 otherwise.
    virtual int DecodeTsbk(const Tsbk& block) = 0;
    // 1 when the packet type was recognised, 0 otherwise.
    virtual int DecodeMultiBlock(const MultiBlockPacket& packet) = 0;
};
