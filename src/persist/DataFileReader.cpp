#include "persist/DataFileReader.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <limits>

#include "persist/DataFileText.h"

namespace {

constexpr std::string_view kVersionTag = "FileVersion:";

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

bool DataFileReader::Open(const std::string& path)
{
    text_.clear();
    pos_ = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void DataFileReader::SetText(std::string text)
{
    text_ = std::move(text);
    pos_ = 0;
}

bool DataFileReader::TakeVersion(std::string_view line)
{
    if (!StartsWithIgnoringCase(line, kVersionTag))
        return false;
    const int64_t v = LeadingDecimal(line.substr(kVersionTag.size()));
    version_ = v < 0 || v > std::numeric_limits<int>::max() ? 0 : static_cast<int>(v);
    return true;
}

bool DataFileReader::Next(std::string_view& line)
{
    while (pos_ < text_.size()) {
        const size_t end = text_.find('\n', pos_);
        const size_t stop = end == std::string::npos ? text_.size() : end;
        std::string_view l(text_.data() + pos_, stop - pos_);
        pos_ = end == std::string::npos ? text_.size() : end + 1;
        while (!l.empty() && (l.back() == '\r' || l.back() == '\n'))
            l.remove_suffix(1);
        if (l.empty() || l.front() == '#' || TakeVersion(l))
            continue;
        line = l;
        return true;
    }
    return false;
}
