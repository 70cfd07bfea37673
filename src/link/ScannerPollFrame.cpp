#include "link/ScannerPollFrame.h"

#include <algorithm>

ScannerPollFrame::ReplyKind ScannerPollFrame::ParseReply(const uint8_t* reply, size_t size, Tsbk& block)
{
    if (reply == nullptr || size < kReplySize || reply[kAckIndex] != kAck)
        return ReplyKind::kDropped;
    std::copy_n(reply + kBlockOffset, kTsbkSize, block.begin());
    // Any non-zero byte makes a block; a byte sum kept in 8 bits could wrap to zero.
    bool any = std::any_of(block.begin(), block.end(), [](uint8_t b) { return b != 0; });
    return any ? ReplyKind::kBlock : ReplyKind::kEmpty;
}

ScannerPollFrame::Reply ScannerPollFrame::BuildReply(const Tsbk& block)
{
    // Bytes 0..4 echo the poll command's frame start, byte 6 a status byte; the reader only
    // looks at the acknowledgement and the block. The frame closes with ETX and a byte sum.
    Reply r{};
    r[0] = kStx;
    r[1] = kPollCommand;
    r[2] = kPollArgument;
    r[3] = static_cast<uint8_t>(kTsbkSize + 2);
    r[4] = 0x00;
    r[kAckIndex] = kAck;
    r[6] = 0x00;
    std::copy(block.begin(), block.end(), r.begin() + kBlockOffset);
    r[kBlockOffset + kTsbkSize] = kEtx;
    uint8_t sum = 0;
    for (size_t i = 1; i < kReplySize - 1; ++i)
        sum = static_cast<uint8_t>(sum + r[i]);
    r[kReplySize - 1] = sum;
    return r;
}
