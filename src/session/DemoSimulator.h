#pragma once

#include <memory>
#include <string>

#include "session/ScannerSimulator.h"

// The demo mode's scanner: the simulator on a pseudo-terminal, playing a capture in a loop at
// the rate of a real control channel. The reader opens SlavePath() as its serial port.
inline constexpr double kDemoBlocksPerSecond = 40;

// Loads `capturePath` in the line form of `scannerType` and starts playing it. Null, with a
// one-line `error`, when the capture cannot be read or the pseudo-terminal cannot be made.
std::unique_ptr<ScannerSimulator> StartDemoSimulator(const std::string& capturePath, int scannerType,
                                                     std::string& error);
