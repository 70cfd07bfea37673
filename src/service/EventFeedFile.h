#pragma once

#include <memory>
#include <string>

#include "service/EventFeed.h"
#include "service/JsonLinesWriter.h"

class P25Class;

// The event feed of the desktop program: the same JSON Lines as `varnel --headless --events`,
// written while a decode session runs when the settings ask for it (section EventFeed).
class EventFeedFile {
public:
    EventFeedFile() = default;
    ~EventFeedFile() { Stop(); }
    EventFeedFile(const EventFeedFile&) = delete;
    EventFeedFile& operator=(const EventFeedFile&) = delete;

    // `path` relative to `programFolder` unless absolute. False with `error` when it cannot be
    // written; the decoder then makes no events.
    bool Start(P25Class& decoder, const std::string& programFolder, const std::string& path, std::string& error);
    // Detaches the feed from the decoder (after its threads have ended) and closes the file.
    void Stop();
    EventFeed* Feed() { return feed_.get(); }

private:
    P25Class* decoder_ = nullptr;
    std::unique_ptr<EventFeed> feed_;
    std::unique_ptr<JsonLinesWriter> file_;
};
