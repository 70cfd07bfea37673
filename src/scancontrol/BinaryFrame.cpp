#include "scancontrol/BinaryFrame.h"

#include <cmath>

namespace BinaryFrame {
namespace {

constexpr double kHzPerMHz = 1'000'000.0;
constexpr double kLargestHz = 4294967295.0;

// Low byte of the sum of frame[1 .. end-1].
template <size_t N>
uint8_t Checksum(const std::array<uint8_t, N>& frame)
{
    unsigned sum = 0;
    for (size_t i = 1; i + 1 < N; ++i)
        sum += frame[i];
    return static_cast<uint8_t>(sum & 0xFF);
}

}  // namespace

std::optional<uint32_t> FrequencyHz(double mhz)
{
    const double hz = std::round(mhz * kHzPerMHz);
    // The comparisons are false for NaN as well.
    if (!(hz > 0.0 && hz <= kLargestHz))
        return std::nullopt;
    return static_cast<uint32_t>(hz);
}

std::optional<TuneFrame> Tune(double mhz, bool byteSwap)
{
    const std::optional<uint32_t> hz = FrequencyHz(mhz);
    if (!hz)
        return std::nullopt;
    TuneFrame frame{kStart, kTuneCommand, 0, 0, 0, 0, kStart, kEnd, 0};
    for (int i = 0; i < 4; ++i) {
        const uint8_t byte = static_cast<uint8_t>(*hz >> (8 * i));
        frame[byteSwap ? 5 - i : 2 + i] = byte;
    }
    frame[kTuneSize - 1] = Checksum(frame);
    return frame;
}

ResumeFrame Resume()
{
    ResumeFrame frame{kStart, kResumeCommand, kResumeArgument, kEnd, 0};
    frame[kResumeSize - 1] = Checksum(frame);
    return frame;
}

}  // namespace BinaryFrame
