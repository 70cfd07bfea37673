#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/RegularFile.h"

// Reads one per-system text file (TalkGroups.txt, Radios.txt, a tower file) line by line.
//
// A UTF-8 byte-order mark at the start is skipped; lines end with LF, CR LF or a lone CR (as
// editors on other systems write them); empty lines and lines beginning with '#' are skipped. A
// line beginning with "FileVersion:" (any case) sets the version of the lines after it; lines
// before it have the file's default version. Lines are read whole, however long: a long
// description never spills into a line of its own that would read as another record.
class DataFileReader {
public:
    // Far above the largest real file (65,535 talkgroups or 100,000 radios with long
    // descriptions take some tens of MB); only a runaway file (a link to /dev/zero) reaches it.
    static constexpr size_t kMaxFileBytes = size_t{256} << 20;

    explicit DataFileReader(int defaultVersion) : version_(defaultVersion) { }

    // Reads the file: a regular file only, never blocking on a special file, at most
    // kMaxFileBytes. Missing or Failed leave no lines.
    RegularFileRead Open(const std::string& path);
    // Uses a text in place of a file.
    void SetText(std::string text);

    // The next data line, or false at the end.
    bool Next(std::string_view& line);
    // Version of the line Next returned last.
    int Version() const { return version_; }

    // Whether a "FileVersion:" line held no version this reader knows how to take (not a number,
    // negative, too large): the file was written by something else and must not be rewritten.
    bool VersionUnrecognised() const { return versionUnrecognised_; }
    // How many data lines Next has returned so far.
    int DataLines() const { return dataLines_; }
    // After the lines are read, of which `records` were taken: Read, or Failed when the file is
    // not one this reader understands (an unrecognised version line, or data lines of which none
    // was a record: a file in another format) and must be kept as it is.
    RegularFileRead Verdict(int records) const;

private:
    bool TakeVersion(std::string_view line);
    std::string_view NextRawLine();

    std::string text_;
    size_t pos_ = 0;
    int version_;
    bool versionUnrecognised_ = false;
    int dataLines_ = 0;
};
