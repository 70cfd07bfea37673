#pragma once

#include <string>
#include <string_view>

// Reads one per-system text file (TalkGroups.txt, Radios.txt, a tower file) line by line.
//
// Trailing CR and LF are removed; empty lines and lines beginning with '#' are skipped. A line
// beginning with "FileVersion:" (any case) sets the version of the lines after it; lines before
// it have the file's default version. Lines are read whole, however long: a long description
// never spills into a line of its own that would read as another record.
class DataFileReader {
public:
    explicit DataFileReader(int defaultVersion) : version_(defaultVersion) { }

    // Reads the file; false when it cannot be opened or read (then there are no lines).
    bool Open(const std::string& path);
    // Uses a text in place of a file.
    void SetText(std::string text);

    // The next data line, or false at the end.
    bool Next(std::string_view& line);
    // Version of the line Next returned last.
    int Version() const { return version_; }

private:
    bool TakeVersion(std::string_view line);

    std::string text_;
    size_t pos_ = 0;
    int version_;
};
