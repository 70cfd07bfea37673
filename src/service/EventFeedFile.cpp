#include "service/EventFeedFile.h"

#include <unistd.h>

#include <filesystem>

#include "decoder/P25Class.h"
#include "service/ServiceLog.h"

bool EventFeedFile::Start(P25Class& decoder, const std::string& programFolder, const std::string& path,
                          std::string& error)
{
    Stop();
    std::filesystem::path file(path);
    if (file.is_relative())
        file = std::filesystem::path(programFolder) / file;
    file_ = std::make_unique<JsonLinesWriter>();
    if (!file_->Open(file.string(), error)) {
        file_.reset();
        return false;
    }
    file_->SetErrorCallback([](const std::string& text) { ServiceLog::Instance().Error(text); });
    char host[256] = "varnel";
    gethostname(host, sizeof host - 1);
    feed_ = std::make_unique<EventFeed>(std::string(host) + "-desktop");
    feed_->AddOutput(file_.get());
    decoder_ = &decoder;
    decoder.SetEventSink(feed_.get());
    return true;
}

void EventFeedFile::Stop()
{
    if (decoder_)
        decoder_->SetEventSink(nullptr);
    decoder_ = nullptr;
    feed_.reset();
    file_.reset();
}
