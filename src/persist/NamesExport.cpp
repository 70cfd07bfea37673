#include "persist/NamesExport.h"

#include <cstdio>
#include <unordered_map>

#include "site/ColorText.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace NamesExport {
namespace {

constexpr const char* kEnd = "\r\n";

void AppendTalkgroup(std::string& out, const TGTAG& t)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(t.id));
    out += std::to_string(t.id);
    out += ',';
    out += hex;
    out += ',';
    AppendField(out, t.description);
    out += ',';
    out += std::to_string(t.priority);
    out += ',';
    out += std::to_string(t.firstSeen);
    out += ',';
    out += std::to_string(t.lastSeen);
    out += ',';
    AppendField(out, ColorToText(t.textColor));
    out += ',';
    AppendField(out, ColorToText(t.backColor));
    out += kEnd;
}

void AppendRadio(std::string& out, const RADTAG& r)
{
    out += std::to_string(r.id);
    out += ',';
    AppendField(out, r.description);
    out += ',';
    out += std::to_string(r.lastSeen);
    out += ',';
    AppendField(out, ColorToText(r.textColor));
    out += ',';
    AppendField(out, ColorToText(r.backColor));
    out += kEnd;
}

constexpr const char* kTalkgroupHeader =
    "Decimal,Hex,Alpha Tag,Priority,First Seen,Last Seen,Text Colour,Background Colour\r\n";
constexpr const char* kRadioHeader = "Radio ID,Alias,Last Seen,Text Colour,Background Colour\r\n";

template <class Table, class Count, class Append>
std::string Export(Table& table, const std::vector<int32_t>* ids, const char* header, Count count, Append append)
{
    std::string out(header);
    LockGuard g(table.Lock());
    const int n = count(table);
    if (!ids) {
        for (int i = 0; i < n; ++i)
            append(out, table.At(i));
        return out;
    }
    std::unordered_map<int32_t, int> index;
    index.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        index.emplace(table.At(i).id, i);
    for (int32_t id : *ids) {
        const auto it = index.find(id);
        if (it != index.end())
            append(out, table.At(it->second));
    }
    return out;
}

}  // namespace

void AppendField(std::string& out, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string Talkgroups(TalkgroupTable& table, const std::vector<int32_t>& ids)
{
    return Export(
        table, &ids, kTalkgroupHeader, [](TalkgroupTable& t) { return t.TalkgroupCount(); }, AppendTalkgroup);
}

std::string Radios(RadioTable& table, const std::vector<int32_t>& ids)
{
    return Export(
        table, &ids, kRadioHeader, [](RadioTable& t) { return t.RadioCount(); }, AppendRadio);
}

std::string AllTalkgroups(TalkgroupTable& table)
{
    return Export(
        table, static_cast<const std::vector<int32_t>*>(nullptr), kTalkgroupHeader,
        [](TalkgroupTable& t) { return t.TalkgroupCount(); }, AppendTalkgroup);
}

std::string AllRadios(RadioTable& table)
{
    return Export(
        table, static_cast<const std::vector<int32_t>*>(nullptr), kRadioHeader,
        [](RadioTable& t) { return t.RadioCount(); }, AppendRadio);
}

}  // namespace NamesExport
