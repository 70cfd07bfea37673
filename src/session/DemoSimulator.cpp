#include "session/DemoSimulator.h"

#include <chrono>
#include <vector>

namespace {
// The reader throws away what arrives while it prepares the device; start after that.
constexpr auto kStartDelay = std::chrono::milliseconds(300);
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
    auto simulator = std::make_unique<ScannerSimulator>(options);
    if (!simulator->Open()) {
        error = "cannot start the scanner simulator: " + simulator->ErrorText();
        return nullptr;
    }
    simulator->SetCapture(std::move(items));
    simulator->Start();
    return simulator;
}
