#pragma once

#include <cstdio>
#include <string>

#include "service/FeedOutput.h"

// The event feed as JSON Lines: one message per line, flushed per line, to a file (appended) or
// to standard output ("-"). A write that fails (a full disk, a closed pipe) is reported once
// through the error callback and ends the feed; decoding and saving go on.
class JsonLinesWriter final : public FeedOutput {
public:
    JsonLinesWriter() = default;
    ~JsonLinesWriter();
    JsonLinesWriter(const JsonLinesWriter&) = delete;
    JsonLinesWriter& operator=(const JsonLinesWriter&) = delete;

    // False with `error` when the file cannot be opened for writing.
    bool Open(const std::string& path, std::string& error);
    void Close();
    // Called once, with the error text, when a write fails.
    void SetErrorCallback(void (*report)(const std::string& text)) { report_ = report; }

    void Publish(const FeedMessage& message) override;

    bool Failed() const { return failed_; }
    unsigned long long Lines() const { return lines_; }

private:
    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;
    bool failed_ = false;
    std::string path_;
    unsigned long long lines_ = 0;
    void (*report_)(const std::string& text) = nullptr;
};
