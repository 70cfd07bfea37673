#include "session/DemoSimulator.h"

#include <chrono>
#include <vector>

namespace {
// The reader throws away what arrives while it prepares the device; start after that.
constexpr auto kStartDelay = std::chrono::milliseconds(300);
// A scanner's lines reach the program the way its serial driver hands them over: a few at a time.
// Written in bursts, the demo wakes the simulator, the reader and the processing thread once per
// burst instead of once per block.
constexpr auto kBurstInterval = std::chrono::milliseconds(100);
}  // namespace

std::unique_ptr<ScannerSimulator> StartDemoSimulator(const std::string& capturePath, int scannerType,
                                                     std::string& error)
{
    std::vector<SimItem> items;
    std::string loadError;
    if (!SimCapture::Load(capturePath, scannerType, items, loadError)) {
        error = "cannot read the demo capture " + capturePath + ": " + loadError;
        return nullptr;
    }
    SimulatorOptions options;
    options.scannerType = scannerType;
    options.blocksPerSecond = kDemoBlocksPerSecond;
    options.loop = true;
    options.startDelay = kStartDelay;
    options.burstInterval = kBurstInterval;
    auto simulator = std::make_unique<ScannerSimulator>(options);
    if (!simulator->Open()) {
        error = "cannot start the scanner simulator: " + simulator->ErrorText();
        return nullptr;
    }
    simulator->SetCapture(std::move(items));
    simulator->Start();
    return simulator;
}
