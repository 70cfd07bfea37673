#include "persist/DataFileReader.h"

#include <cctype>
#include <limits>

#include "persist/DataFileText.h"

namespace {

constexpr std::string_view kVersionTag = "FileVersion:";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool StartsWithIgnoringCase(std::string_view line, std::string_view prefix)
{
    if (line.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

RegularFileRead DataFileReader::Open(const std::string& path)
{
    std::string text;
    RegularFileRead result = ReadRegularFile(path, kMaxFileBytes, text);
    SetText(std::move(text));
    return result;
}

void DataFileReader::SetText(std::string text)
{
    text_ = std::move(text);
    pos_ = text_.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0 ? kUtf8Bom.size() : 0;
    versionUnrecognised_ = false;
    dataLines_ = 0;
}

bool DataFileReader::TakeVersion(std::string_view line)
{
    if (!StartsWithIgnoringCase(line, kVersionTag))
        return false;
    int64_t v = 0;
    if (ParseDecimal(line.substr(kVersionTag.size()), v) && v >= 0 && v <= std::numeric_limits<int>::max())
        version_ = static_cast<int>(v);
    else
        versionUnrecognised_ = true;
    return true;
}

std::string_view DataFileReader::NextRawLine()
{
    const size_t end = text_.find_first_of("\r\n", pos_);
    const size_t stop = end == std::string::npos ? text_.size() : end;
    const std::string_view line(text_.data() + pos_, stop - pos_);
    pos_ = stop;
    if (pos_ < text_.size() && text_[pos_] == '\r')
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n')
        ++pos_;
    return line;
}

bool DataFileReader::Next(std::string_view& line)
{
    while (pos_ < text_.size()) {
        const std::string_view l = NextRawLine();
        if (l.empty() || l.front() == '#' || TakeVersion(l))
            continue;
        line = l;
        ++dataLines_;
        return true;
    }
    return false;
}

RegularFileRead DataFileReader::Verdict(int records) const
{
    if (versionUnrecognised_)
        return {RegularFileRead::Status::Failed, "its FileVersion line holds no version this program reads"};
    if (records == 0 && dataLines_ > 0)
        return {RegularFileRead::Status::Failed, "none of its " + std::to_string(dataLines_) + " lines could be read"};
    return {RegularFileRead::Status::Read, {}};
}
