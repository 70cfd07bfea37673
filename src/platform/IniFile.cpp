#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBlanks = " \t\r\f\v";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char kCommentMark = ';';

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// An optional sign followed by a decimal digit.
bool StartsWithNumber(std::string_view s)
{
    if (!s.empty() && (s.front() == '+' || s.front() == '-'))
        s.remove_prefix(1);
    return !s.empty() && std::isdigit(static_cast<unsigned char>(s.front()));
}

// Byte-order marks (and blanks) before the first line that is kept: an editor may have added
// more than one, and a mark left in front of "[Global]" would hide the whole section.
std::string_view StripLeadingMarks(std::string_view line)
{
    while (line.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        line = Trim(line.substr(kUtf8Bom.size()));
    return line;
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

bool IniFile::Load(const std::string& path)
{
    path_ = path;
    Clear();
    error_.clear();
    std::string text;
    const RegularFileRead read = ReadRegularFile(path, kMaxFileBytes, text);
    if (read.status == RegularFileRead::Status::Missing)
        return true;
    if (!read.Read()) {
        error_ = read.reason;
        return false;
    }
    Parse(text);
    return true;
}

void IniFile::Parse(std::string_view text)
{
    Clear();
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        text.remove_prefix(kUtf8Bom.size());
    while (!text.empty()) {
        // Lines end with LF, CR LF or a lone CR.
        const auto end = text.find_first_of("\r\n");
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        if (!text.empty() && text.front() == '\r')
            text.remove_prefix(1);
        if (!text.empty() && text.front() == '\n')
            text.remove_prefix(1);
        std::string_view line = Trim(raw);
        if (preamble_.empty() && sections_.empty())
            line = StripLeadingMarks(line);
        if (line.empty())
            continue;  // blank lines are regenerated between sections on save
        if (line.front() == '[') {
            const auto close = line.find(']');  // a header without ']' still opens a section
            const auto length = close == std::string_view::npos ? close : close - 1;
            sections_.push_back({std::string(Trim(line.substr(1, length))), {}});
            continue;
        }
        auto& lines = sections_.empty() ? preamble_ : sections_.back().lines;
        const auto eq = line.find('=');
        const std::string_view key = eq == std::string_view::npos ? std::string_view{} : Trim(line.substr(0, eq));
        if (line.front() == kCommentMark || key.empty() || sections_.empty()) {
            lines.push_back({{}, std::string(line)});  // kept as it is, never read as a key
        } else {
            lines.push_back({std::string(key), std::string(Trim(line.substr(eq + 1)))});
        }
    }
}

std::string IniFile::Text() const
{
    std::string out;
    auto writeLines = [&out](const std::vector<Line>& lines) {
        for (const Line& l : lines) {
            if (l.key.empty())
                out += l.value;
            else
                out.append(l.key).append("=").append(l.value);
            out += "\r\n";
        }
    };
    writeLines(preamble_);
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (i > 0 || !preamble_.empty())
            out += "\r\n";
        out.append("[").append(sections_[i].name).append("]\r\n");
        writeLines(sections_[i].lines);
    }
    return out;
}

void IniFile::SetCreateMode(mode_t mode)
{
    mode_ = mode;
    modeSet_ = true;
}

bool IniFile::Save()
{
    return Save(path_);
}

bool IniFile::Save(const std::string& path)
{
    error_.clear();
    if (WriteFileAtomically(path, Text(), modeSet_ ? std::optional<mode_t>(mode_) : std::nullopt))
        return true;
    error_ = ErrorText(errno);
    return false;
}

void IniFile::Clear()
{
    preamble_.clear();
    sections_.clear();
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const
{
    const std::string_view n = Trim(name);
    for (const Section& s : sections_)
        if (SameName(s.name, n))
            return &s;
    return nullptr;
}

IniFile::Section* IniFile::FindSection(std::string_view name)
{
    return const_cast<Section*>(static_cast<const IniFile*>(this)->FindSection(name));
}

const IniFile::Line* IniFile::FindKey(const Section& s, std::string_view key)
{
    const std::string_view k = Trim(key);
    for (const Line& l : s.lines)
        if (!l.key.empty() && SameName(l.key, k))
            return &l;
    return nullptr;
}

IniFile::Line* IniFile::FindKey(Section& s, std::string_view key)
{
    return const_cast<Line*>(FindKey(static_cast<const Section&>(s), key));
}

const std::string* IniFile::Find(std::string_view section, std::string_view key) const
{
    const Section* s = FindSection(section);
    if (s == nullptr)
        return nullptr;
    const Line* l = FindKey(*s, key);
    return l == nullptr ? nullptr : &l->value;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    const std::string* v = Find(section, key);
    return v == nullptr ? std::string(def) : *v;
}

int64_t IniFile::ReadInteger(std::string_view section, std::string_view key, int64_t def) const
{
    const std::string* v = Find(section, key);
    return v == nullptr ? def : ParseInteger(*v, def);
}

int64_t IniFile::ParseInteger(std::string_view text, int64_t def)
{
    std::string_view s = Trim(text);
    if (!StartsWithNumber(s))
        return def;
    const bool negative = s.front() == '-';
    if (s.front() == '+' || negative)
        s.remove_prefix(1);
    // Saturate instead of wrapping: a huge number is still a huge number, never a negative one.
    constexpr uint64_t kLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    uint64_t magnitude = 0;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        magnitude = magnitude > kLimit / 10
                        ? kLimit + 1
                        : std::min<uint64_t>(kLimit + 1, magnitude * 10 + static_cast<uint64_t>(c - '0'));
    }
    if (negative)
        return magnitude > kLimit ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(magnitude);
    return static_cast<int64_t>(std::min(magnitude, kLimit));
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const
{
    const std::string* v = Find(section, key);
    return v == nullptr ? def : ParseFloat(*v, def);
}

// from_chars, unlike strtod, ignores the process locale: "866.5" reads the same under any locale.
double IniFile::ParseFloat(std::string_view text, double def)
{
    std::string_view s = Trim(text);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || ptr == s.data() || !std::isfinite(value))
        return def;
    return value;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    const std::string* v = Find(section, key);
    if (v == nullptr)
        return def;
    if (StartsWithNumber(*v))
        return ParseInteger(*v, 0) != 0;
    const std::string word = Lower(*v);
    if (word == "yes" || word == "true" || word == "on")
        return true;
    if (word == "no" || word == "false" || word == "off")
        return false;
    return def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view k = Trim(key);
    if (k.empty())
        return;
    Section* s = FindSection(section);
    if (s == nullptr) {
        sections_.push_back({std::string(Trim(section)), {}});
        s = &sections_.back();
    }
    // Values are trimmed when read, and a line break would split the entry: store what reads back.
    std::string v(Trim(value));
    std::replace_if(
        v.begin(), v.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    if (Line* l = FindKey(*s, k)) {
        l->value = std::move(v);
        return;
    }
    s->lines.push_back({std::string(k), std::move(v)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int64_t value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value)
{
    char buf[64];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    WriteString(section, key, std::string_view(buf, static_cast<size_t>(ptr - buf)));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return Find(section, key) != nullptr;
}

void IniFile::EraseSection(std::string_view section)
{
    const std::string_view n = Trim(section);
    std::erase_if(sections_, [n](const Section& s) { return SameName(s.name, n); });
}

void IniFile::DeleteKey(std::string_view section, std::string_view key)
{
    Section* s = FindSection(section);
    if (s == nullptr)
        return;
    const std::string_view k = Trim(key);
    std::erase_if(s->lines, [k](const Line& l) { return !l.key.empty() && SameName(l.key, k); });
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    const Section* s = FindSection(section);
    if (s == nullptr)
        return keys;
    for (const Line& l : s->lines) {
        // A repeated key is listed once: only its first entry is ever read.
        const bool seen =
            std::any_of(keys.begin(), keys.end(), [&l](const std::string& k) { return SameName(k, l.key); });
        if (!l.key.empty() && !seen)
            keys.push_back(l.key);
    }
    return keys;
}

std::vector<std::string> IniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (const Section& s : sections_) {
        const bool seen =
            std::any_of(names.begin(), names.end(), [&s](const std::string& n) { return SameName(n, s.name); });
        if (!seen)
            names.push_back(s.name);
    }
    return names;
}
