#include "service/ServiceLog.h"

#include <cstdlib>

namespace {

const char* LevelName(ServiceLog::Level level)
{
    switch (level) {
    case ServiceLog::Level::kError: return "error";
    case ServiceLog::Level::kWarning: return "warning";
    case ServiceLog::Level::kInfo: return "info";
    case ServiceLog::Level::kDebug: return "debug";
    }
    return "info";
}

}  // namespace

ServiceLog::ServiceLog()
{
    const char* journal = std::getenv("JOURNAL_STREAM");
    journal_ = journal != nullptr && *journal != '\0';
}

ServiceLog& ServiceLog::Instance()
{
    static ServiceLog log;
    return log;
}

bool ServiceLog::ParseLevel(std::string_view text, Level& out)
{
    for (const Level level : {Level::kError, Level::kWarning, Level::kInfo, Level::kDebug}) {
        if (text == LevelName(level)) {
            out = level;
            return true;
        }
    }
    return false;
}

void ServiceLog::SetStream(std::FILE* stream)
{
    std::lock_guard<std::mutex> g(mutex_);
    stream_ = stream;
}

void ServiceLog::Write(Level level, std::string_view text)
{
    if (!Enabled(level))
        return;
    std::string line;
    if (journal_)
        line = "<" + std::to_string(static_cast<int>(level)) + ">";
    line += "varnel: ";
    line += LevelName(level);
    line += ": ";
    line += text;
    line += '\n';
    std::lock_guard<std::mutex> g(mutex_);
    std::fwrite(line.data(), 1, line.size(), stream_);
    std::fflush(stream_);
}
