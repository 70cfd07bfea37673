#pragma once

#include <cstddef>
#include <string>

// Reads a file that must be a regular file, whole, without ever blocking or growing without
// bound: the file is opened non-blocking (a FIFO or a device never holds the caller in open()),
// its type is checked on the opened descriptor (no race with a rename), and no more than
// `maxBytes` are read (a link to /dev/zero, or a file that grows while it is read, is refused).
// Never throws.
struct RegularFileRead {
    enum class Status {
        Read,     // the text is the whole file
        Missing,  // no such file (nothing at the path, not even a link)
        Failed,   // it exists but could not be read; `reason` says why
    };
    Status status = Status::Missing;
    std::string reason;

    bool Read() const { return status == Status::Read; }
    bool Failed() const { return status == Status::Failed; }
};

RegularFileRead ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text);

// The text of an errno value ("Permission denied").
std::string ErrorText(int error);
