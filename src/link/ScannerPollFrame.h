#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "p25/Tsbk.h"

// The binary frames spoken with the scanners: the two commands the program sends (the poll of
// the Pro-96/Pro-2096 and the data-output start of the PSR family) and the poll reply.
//
// A command is STX, a command byte, an argument byte, ETX and a checksum that is the sum of the
// command, argument and ETX bytes modulo 256. A poll reply is at least 21 bytes: byte 5 is the
// acknowledgement 0x06 and bytes 7..18 are the block; an all-zero block means "nothing received".
class ScannerPollFrame {
public:
    static constexpr uint8_t kStx = 0x02;
    static constexpr uint8_t kEtx = 0x03;
    static constexpr uint8_t kAck = 0x06;
    static constexpr uint8_t kPollCommand = 0x39;
    static constexpr uint8_t kPollArgument = 0x44;
    static constexpr uint8_t kStartCommand = 0x43;  // PSR family: start the data output
    static constexpr uint8_t kStartArgument = 0x01;

    static constexpr size_t kCommandSize = 5;
    static constexpr size_t kReplySize = 21;
    static constexpr size_t kAckIndex = 5;
    static constexpr size_t kBlockOffset = 7;
    // Room for one poll's reply; bytes beyond it are read and thrown away.
    static constexpr size_t kReplyCapacity = 1024;

    using Command = std::array<uint8_t, kCommandSize>;
    using Reply = std::array<uint8_t, kReplySize>;

    static constexpr Command MakeCommand(uint8_t command, uint8_t argument)
    {
        return {kStx, command, argument, kEtx, static_cast<uint8_t>(command + argument + kEtx)};
    }
    static constexpr Command PollCommand() { return MakeCommand(kPollCommand, kPollArgument); }
    static constexpr Command StartCommand() { return MakeCommand(kStartCommand, kStartArgument); }

    enum class ReplyKind {
        kDropped,  // too short or not acknowledged
        kEmpty,    // acknowledged, all-zero block: nothing received
        kBlock,    // acknowledged with a block
    };
    static ReplyKind ParseReply(const uint8_t* reply, size_t size, Tsbk& block);

    // A reply as the scanner sends it (the simulator's side); an all-zero block for "nothing".
    static Reply BuildReply(const Tsbk& block);
};
