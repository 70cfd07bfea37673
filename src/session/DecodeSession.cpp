#include "session/DecodeSession.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

#include "decoder/P25Class.h"
#include "link/Procthread.h"
#include "link/ScannerLineFramer.h"
#include "link/TBSKQueue.h"
#include "persist/SystemStore.h"
#include "platform/Clock.h"
#include "session/DemoSimulator.h"

namespace {

constexpr auto kRealtimeBlockInterval = std::chrono::milliseconds(25);  // about 40 blocks a second
constexpr auto kRoomWait = std::chrono::milliseconds(10);
constexpr size_t kReplayBatch = 64;
constexpr size_t kReplayReadSize = 256 * 1024;
constexpr int kSecondsPerMinute = 60;
// The periodic save marks itself a little early so that the next check, a whole number of
// minutes later, does not just miss the interval.
constexpr int64_t kPeriodicSaveBackdate = 5;
// A capture's form is told from its first data line among this many.
constexpr int kDetectLines = 1000;

}  // namespace

DecodeSession::DecodeSession(const Clock& clock, std::string programFolder)
    : clock_(clock), programFolder_(std::move(programFolder)), queue_(std::make_unique<TBSKQueue>()),
      decoder_(std::make_unique<P25Class>(clock, programFolder_))
{
    AttachSystemStore(*decoder_);
}

DecodeSession::~DecodeSession()
{
    const WaitUntil join = [](const std::function<bool()>&, std::chrono::milliseconds) {};
    EndReader(join);
    EndProcessing(join);
    CloseDemo();
}

void DecodeSession::UseDemo(std::string capturePath, int scannerType)
{
    demo_ = true;
    demoCapture_ = std::move(capturePath);
    demoScannerType_ = scannerType;
}

void DecodeSession::StartProcessing()
{
    processing_ = std::make_unique<ProcThread>(*queue_, *decoder_);
    processing_->SetIdlePriority(idlePriority_);
    processingEnded_ = false;
    // The screen refresh sleeps until the decoder has changed: a decoded batch that changed what a
    // screen shows wakes it.
    processing_->SetBatchCallback([this] {
        if (decoder_->ShownAreasChanged())
            decoder_->Context().changes.Raise();
    });
    processing_->SetEndCallback([this] {
        processingEnded_ = true;
        if (notices_.processingEnded)
            notices_.processingEnded();
    });
    processing_->Start();
}

bool DecodeSession::StartReader(ScannerReadConfig config, std::string& error)
{
    readerEnded_ = true;
    if (demo_) {
        if (!demoScanner_) {
            demoScanner_ = StartDemoSimulator(demoCapture_, demoScannerType_, error);
            if (!demoScanner_)
                return false;
        }
        config.scannerType = demoScannerType_;
        config.port = demoScanner_->SlavePath();
    }
    readerPort_ = config.port;
    lastBlockAt_ = clock_.Now();
    reader_ = std::make_unique<TScannerReadThread>(*queue_, std::move(config));
    reader_->SetIdlePriority(idlePriority_);
    readerEnded_ = false;
    reader_->SetRawLineCallback([this] { decoder_->Context().changes.Raise(); });
    reader_->SetOpenErrorCallback([this](const std::string& text, const std::string& title) {
        if (notices_.openError)
            notices_.openError(text, title);
    });
    reader_->SetDeviceLostCallback([this](const std::string& text) {
        lastBlockAt_ = clock_.Now();
        if (notices_.deviceLost)
            notices_.deviceLost(text);
    });
    reader_->SetDeviceBackCallback([this](const std::string& text) {
        // The silence is counted again from the device's return.
        lastBlockAt_ = clock_.Now();
        if (notices_.deviceBack)
            notices_.deviceBack(text);
    });
    reader_->SetEndCallback([this] {
        readerEnded_ = true;
        if (notices_.readerEnded)
            notices_.readerEnded();
    });
    reader_->Start();
    return true;
}

void DecodeSession::Stop(bool drain, const WaitUntil& wait)
{
    EndReader(wait);
    if (drain)
        DrainQueue(wait);
    EndProcessing(wait);
}

void DecodeSession::EndReader(const WaitUntil& wait)
{
    if (!reader_)
        return;
    if (!readerEnded_) {
        reader_->Terminate();
        wait([this] { return readerEnded_.load(); }, kThreadEndStep);
    }
    reader_->WaitFor();
    reader_.reset();
}

void DecodeSession::DrainQueue(const WaitUntil& wait)
{
    // The processing thread still runs and empties the queue into the decoder.
    wait([this] { return !queue_->HasData() || !processing_ || processingEnded_; }, kDrainStep);
}

void DecodeSession::EndProcessing(const WaitUntil& wait)
{
    if (!processing_)
        return;
    if (!processingEnded_) {
        processing_->Terminate();
        wait([this] { return processingEnded_.load(); }, kThreadEndStep);
    }
    processing_->WaitFor();
    processing_.reset();
}

void DecodeSession::CloseDemo()
{
    if (demoScanner_) {
        demoScanner_->Close();
        demoScanner_.reset();
    }
}

void DecodeSession::TakeCounters(int32_t& expected, int32_t& good)
{
    expected = 0;
    good = 0;
    if (reader_)
        reader_->TakeCounters(expected, good);
    if (good > 0)
        lastBlockAt_ = clock_.Now();
}

int64_t DecodeSession::SecondsWithoutBlocks(int64_t now) const
{
    if (!reader_)
        return 0;
    return std::max<int64_t>(0, now - lastBlockAt_.load());
}

int DecodeSession::DetectCaptureType(const std::string& path, int fallback)
{
    // Only a regular file can be looked into and then read again from its start: a pipe would lose
    // the lines looked at, a folder reads nothing.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return fallback;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (int looked = 0; looked < kDetectLines && std::getline(in, line); ++looked) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        return ScannerLineFramer::IsHexLine(line) ? ScannerLineFramer::kHexType : fallback;
    }
    return fallback;
}

bool DecodeSession::Replay(const std::string& path, int scannerType, bool realtime, const std::atomic<bool>& stop,
                           const std::function<void()>& counted, ReplayCounts* counts)
{
    ReplayCounts local;
    ReplayCounts& c = counts ? *counts : local;
    c = ReplayCounts{};
    // A folder opens as a stream that reads nothing: it is no capture.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    ScannerLineFramer framer(scannerType);
    // Blocks go to the queue in batches, one lock each, so that the processing thread is woken
    // once per batch; a real-time replay hands each block over on its own.
    std::array<Tsbk, kReplayBatch> batch;
    size_t held = 0;
    const auto flush = [&] {
        size_t done = 0;
        while (done < held && !stop) {
            done += queue_->Push(batch.data() + done, held - done);
            if (done < held)
                queue_->WaitForRoom(std::stop_token{}, kRoomWait);
        }
        if (counted)
            for (size_t i = 0; i < done; ++i)
                counted();
        held = 0;
    };
    const auto take = [&](const Tsbk& block) {
        ++c.blocks;
        batch[held++] = block;
        if (held == batch.size() || realtime)
            flush();
        if (realtime)
            std::this_thread::sleep_for(kRealtimeBlockInterval);
    };
    std::vector<char> buffer(kReplayReadSize);
    char lastEnd = 0;
    while (!stop && in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto* bytes = reinterpret_cast<const uint8_t*>(buffer.data());
        const size_t n = static_cast<size_t>(in.gcount());
        size_t i = 0;
        while (i < n && !stop) {
            bool ended = false;
            const size_t used = framer.FeedUntilLineEnd(bytes + i, n - i, ended);
            i += used;
            if (!ended) {
                if (used > 0)
                    lastEnd = 0;
                continue;
            }
            // CR LF ends one line, not two.
            const char end = buffer[i - 1];
            if (used > 1 || (end != '\r' && end != '\n'))
                lastEnd = 0;
            if (!(end == '\n' && lastEnd == '\r'))
                ++c.lines;
            lastEnd = end;
            const ScannerLine line = framer.JudgeLine();
            if (line.hasBlock)
                take(line.block);
        }
    }
    // A last line without its terminator still counts.
    if (framer.Feed('\n')) {
        const ScannerLine line = framer.JudgeLine();
        if (!framer.Line().empty())
            ++c.lines;
        if (line.hasBlock)
            take(line.block);
    }
    flush();
    return !in.bad();
}

bool DecodeSession::SaveSystem()
{
    return SaveSystemData(*decoder_);
}

std::optional<int64_t> DecodeSession::PeriodicSave(int64_t now, int intervalMinutes, int64_t lastSave)
{
    // Nothing is saved before a system is known.
    if (decoder_->GetSystemId() == 0)
        return std::nullopt;
    const int64_t interval = static_cast<int64_t>(intervalMinutes) * kSecondsPerMinute;
    if (now <= lastSave + interval)
        return std::nullopt;
    SaveSystemData(*decoder_);
    return now - kPeriodicSaveBackdate;
}
