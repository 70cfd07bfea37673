#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

// The log lines of a long-running headless run, on standard error: one line per event of the
// service ("varnel: <level>: <text>"). Under systemd (JOURNAL_STREAM set) each line starts with
// its syslog priority ("<3>" .. "<7>") so the journal files it at the right level.
class ServiceLog {
public:
    enum class Level { kError = 3, kWarning = 4, kInfo = 6, kDebug = 7 };

    static ServiceLog& Instance();

    // "error", "warning", "info" or "debug"; false for anything else.
    static bool ParseLevel(std::string_view text, Level& out);

    void SetLevel(Level level) { level_.store(level); }
    Level CurrentLevel() const { return level_.load(); }
    bool Enabled(Level level) const { return static_cast<int>(level) <= static_cast<int>(level_.load()); }
    // Where the lines go (standard error unless a test says otherwise).
    void SetStream(std::FILE* stream);

    void Write(Level level, std::string_view text);
    void Error(std::string_view text) { Write(Level::kError, text); }
    void Warning(std::string_view text) { Write(Level::kWarning, text); }
    void Info(std::string_view text) { Write(Level::kInfo, text); }
    void Debug(std::string_view text) { Write(Level::kDebug, text); }

private:
    ServiceLog();

    std::atomic<Level> level_{Level::kInfo};
    std::mutex mutex_;
    std::FILE* stream_ = stderr;
    bool journal_ = false;
};
