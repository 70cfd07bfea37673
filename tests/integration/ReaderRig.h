#pragma once

// A scanner simulator on a pseudo-terminal, a block queue and a reader thread between them.

#include <chrono>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "link/TBSKQueue.h"
#include "link/TScannerReadThread.h"
#include "p25/Tsbk.h"
#include "session/ScannerSimulator.h"

namespace rig {

using namespace std::chrono_literals;

// Bounds of the waits; a healthy run takes a small part of them (the sanitizer builds more).
constexpr auto kWait = 10s;

// Distinct blocks, none all-zero (an all-zero block means "nothing" to the polled scanner).
inline Tsbk NumberedBlock(int i)
{
    Tsbk b{};
    b[0] = static_cast<uint8_t>(i);
    b[1] = static_cast<uint8_t>(i >> 8);
    for (int k = 2; k < kTsbkSize - 1; ++k)
        b[k] = static_cast<uint8_t>(i * 37 + k * 11);
    b[kTsbkSize - 1] = 0xA5;
    return b;
}

inline std::vector<Tsbk> NumberedBlocks(int first, int count)
{
    std::vector<Tsbk> blocks;
    for (int i = 0; i < count; ++i)
        blocks.push_back(NumberedBlock(first + i));
    return blocks;
}

inline std::vector<SimItem> AsItems(const std::vector<Tsbk>& blocks)
{
    std::vector<SimItem> items;
    for (const Tsbk& b : blocks)
        items.push_back(SimItem::Block(b));
    return items;
}

template <typename Pred>
bool WaitUntil(Pred done, std::chrono::milliseconds timeout = kWait)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Takes `count` blocks off the queue, waiting at most `timeout` in all.
inline std::vector<Tsbk> PopBlocks(TBSKQueue& queue, size_t count, std::chrono::milliseconds timeout = kWait)
{
    std::vector<Tsbk> out;
    std::stop_source never;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Tsbk block{};
    while (out.size() < count && std::chrono::steady_clock::now() < deadline) {
        if (queue.Pop(block))
            out.push_back(block);
        else
            queue.WaitForData(never.get_token(), 5ms);
    }
    return out;
}

inline ScannerReadConfig ReaderConfig(int type, const std::string& port)
{
    ScannerReadConfig config;
    config.scannerType = type;
    config.port = port;
    config.latency = 1;
    return config;
}

struct Rig {
    explicit Rig(SimulatorOptions options) : sim(options) { }
    ~Rig() { reader.reset(); }  // the reader stops before the simulator goes

    // Starts a reader on `config` and waits until it has prepared the device.
    bool StartReader(const ScannerReadConfig& config)
    {
        reader = std::make_unique<TScannerReadThread>(queue, config);
        reader->SetIdlePriority(false);
        reader->SetOpenErrorCallback(
            [this](const std::string& text, const std::string& title) { Note("open error: " + title + ": " + text); });
        reader->SetDeviceLostCallback([this](const std::string& text) { Note("lost: " + text); });
        reader->SetDeviceBackCallback([this](const std::string& text) { Note("back: " + text); });
        reader->SetEndCallback([this] { Note("end"); });
        reader->Start();
        return WaitUntil([&] { return reader->Running() || !Events().empty(); }) && reader->Running();
    }

    void Note(const std::string& event)
    {
        std::lock_guard<std::mutex> g(eventsLock);
        events.push_back(event);
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> g(eventsLock);
        return events;
    }
    size_t CountEvents(const std::string& prefix)
    {
        size_t n = 0;
        for (const std::string& e : Events())
            n += e.rfind(prefix, 0) == 0;
        return n;
    }

    TBSKQueue queue;
    ScannerSimulator sim;
    std::mutex eventsLock;
    std::vector<std::string> events;
    std::unique_ptr<TScannerReadThread> reader;
};

}  // namespace rig
