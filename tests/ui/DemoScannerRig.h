#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "persist/Settings.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"

// The demo capture played on a pseudo-terminal at 2,500 blocks a second (six minutes of the site in
// about six seconds), again and again, as a type 1 scanner; `settings` then names that port.
inline void StartDemoScanner(std::unique_ptr<ScannerSimulator>& scanner, Settings& settings)
{
    std::vector<SimItem> capture;
    std::string error;
    ASSERT_TRUE(SimCapture::Load(VARNEL_DEMO_CAPTURE, 1, capture, error)) << error;
    SimulatorOptions options;
    options.scannerType = 1;
    options.blocksPerSecond = 2500;
    options.loop = true;
    options.startDelay = std::chrono::milliseconds(150);
    scanner = std::make_unique<ScannerSimulator>(options);
    ASSERT_TRUE(scanner->Open()) << scanner->ErrorText();
    scanner->SetCapture(std::move(capture));
    ASSERT_TRUE(scanner->Start());
    settings.port = scanner->SlavePath();
    settings.scannerType = 1;
}
