#include "service/JsonLinesWriter.h"

#include <cerrno>
#include <cstring>

JsonLinesWriter::~JsonLinesWriter()
{
    Close();
}

bool JsonLinesWriter::Open(const std::string& path, std::string& error)
{
    Close();
    path_ = path;
    failed_ = false;
    if (path == "-") {
        file_ = stdout;
        ownsFile_ = false;
        return true;
    }
    file_ = std::fopen(path.c_str(), "ae");
    if (file_ == nullptr) {
        error = "cannot write the event feed " + path + ": " + std::strerror(errno);
        return false;
    }
    ownsFile_ = true;
    return true;
}

void JsonLinesWriter::Close()
{
    if (file_ != nullptr && ownsFile_)
        std::fclose(file_);
    else if (file_ != nullptr)
        std::fflush(file_);
    file_ = nullptr;
    ownsFile_ = false;
}

void JsonLinesWriter::Publish(const FeedMessage& message)
{
    if (file_ == nullptr || failed_)
        return;
    const bool ok = std::fwrite(message.json.data(), 1, message.json.size(), file_) == message.json.size() &&
                    std::fputc('\n', file_) != EOF && std::fflush(file_) == 0;
    ++lines_;
    if (ok)
        return;
    failed_ = true;
    if (report_)
        report_("event feed " + path_ + ": " + std::strerror(errno) + "; the feed stops, decoding goes on");
}
