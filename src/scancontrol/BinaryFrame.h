#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The binary command style of the controlled scanner: fixed frames instead of text templates.
//
// Tune:   0x02 'T' f0 f1 f2 f3 0x02 0x03 sum    (frequency in Hz as 32 bits, least significant
//                                               byte first, or most significant first when swapped)
// Resume: 0x02 'K' 0x0F 0x03 sum                (scan again)
// The sum is the low byte of the sum of every byte after the leading 0x02 and before the sum.
namespace BinaryFrame {

constexpr uint8_t kStart = 0x02;
constexpr uint8_t kTuneCommand = 0x54;    // 'T'
constexpr uint8_t kResumeCommand = 0x4B;  // 'K'
constexpr uint8_t kResumeArgument = 0x0F;
constexpr uint8_t kEnd = 0x03;
constexpr int kTuneSize = 9;
constexpr int kResumeSize = 5;

using TuneFrame = std::array<uint8_t, kTuneSize>;
using ResumeFrame = std::array<uint8_t, kResumeSize>;

// The frequency in whole Hz, rounded to the nearest Hz: in binary floating point many channel
// frequencies times a million come out a hair below their whole Hz value, and truncating would
// send 1 Hz low (one step low on a scanner that rounds down to its step). Nothing when it is not
// a positive number that fits in 32 bits.
std::optional<uint32_t> FrequencyHz(double mhz);

// The tune frame for a frequency in MHz; nothing when FrequencyHz has no value for it.
std::optional<TuneFrame> Tune(double mhz, bool byteSwap);

ResumeFrame Resume();

}  // namespace BinaryFrame
