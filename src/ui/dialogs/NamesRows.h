#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "persist/NamesImport.h"

class RadioTable;
class TalkgroupTable;

// One talkgroup or radio as the list editor shows it: a copy of the table's record, so a view asks
// for its cells without taking the table's lock, plus the text the search looks into.
struct NamesRow {
    int32_t id = 0;
    QString description;
    int priority = -1;  // talkgroups 0..99; -1 for radios
    uint32_t textColor = 0;
    uint32_t backColor = 0;
    int64_t firstSeen = 0;  // talkgroups only
    int64_t lastSeen = 0;
    uint32_t calls = 0;  // talkgroups only
    int64_t airtimeSeconds = 0;
    // "<decimal>\n<hex>\n<description>" in lower case: one search over the three.
    std::string searchKey;

    bool SameEntry(const NamesRow& other) const
    {
        return id == other.id && description == other.description && priority == other.priority &&
               textColor == other.textColor && backColor == other.backColor;
    }
};

// Copies between the tables and the editor's rows; every call takes the table's own lock.
namespace names_rows {

using Kind = NamesImport::Kind;

constexpr int32_t kMaxTalkgroup = 65535;
constexpr int32_t kMaxRadio = 16777215;
inline int32_t MaxId(Kind kind)
{
    return kind == Kind::Talkgroups ? kMaxTalkgroup : kMaxRadio;
}
inline size_t NameLength(Kind kind)
{
    return kind == Kind::Talkgroups ? NamesImport::kTalkgroupNameLength : NamesImport::kRadioNameLength;
}

// Fills the search key from the id and the description.
void MakeSearchKey(NamesRow& row);

// Every record, in id order.
std::vector<NamesRow> ReadAll(TalkgroupTable& table);
std::vector<NamesRow> ReadAll(RadioTable& table);

// The record with this id; false when absent.
bool Find(TalkgroupTable& table, int32_t id, NamesRow& row);
bool Find(RadioTable& table, int32_t id, NamesRow& row);

// Creates or overwrites the record with every field the tables let a caller set (the use counts
// are the decoder's own and stay).
void Write(TalkgroupTable& table, const NamesRow& row);
void Write(RadioTable& table, const NamesRow& row);

}  // namespace names_rows
