#include "ui/dialogs/NamesRows.h"

#include <algorithm>
#include <cstdio>

#include "platform/NamedLock.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace names_rows {

namespace {

NamesRow FromRecord(const TGTAG& r)
{
    NamesRow row;
    row.id = r.id;
    row.description = QString::fromStdString(r.description);
    row.priority = r.priority;
    row.textColor = r.textColor;
    row.backColor = r.backColor;
    row.firstSeen = r.firstSeen;
    row.lastSeen = r.lastSeen;
    row.calls = r.calls;
    row.airtimeSeconds = r.airtimeSeconds;
    MakeSearchKey(row);
    return row;
}

NamesRow FromRecord(const RADTAG& r)
{
    NamesRow row;
    row.id = r.id;
    row.description = QString::fromStdString(r.description);
    row.textColor = r.textColor;
    row.backColor = r.backColor;
    row.lastSeen = r.lastSeen;
    MakeSearchKey(row);
    return row;
}

// Binary search over the table walked in id order; the caller holds its lock.
template <class Table, class CountOf>
int Position(Table& table, int32_t id, CountOf count)
{
    int low = 0, high = count(table);
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (table.At(mid).id < id)
            low = mid + 1;
        else
            high = mid;
    }
    return low < count(table) && table.At(low).id == id ? low : -1;
}

}  // namespace

void MakeSearchKey(NamesRow& row)
{
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%d\n%x\n", static_cast<int>(row.id), static_cast<unsigned>(row.id));
    row.searchKey = numbers;
    row.searchKey += row.description.toLower().toStdString();
}

// The records are copied under the lock and turned into rows after it is released: the decoder's
// threads wait only for the copy.
std::vector<NamesRow> ReadAll(TalkgroupTable& table)
{
    std::vector<TGTAG> records;
    {
        LockGuard g(table.Lock());
        records.reserve(static_cast<size_t>(table.TalkgroupCount()));
        for (int i = 0; i < table.TalkgroupCount(); ++i)
            records.push_back(table.At(i));
    }
    std::vector<NamesRow> rows;
    rows.reserve(records.size());
    for (const TGTAG& r : records)
        rows.push_back(FromRecord(r));
    return rows;
}

std::vector<NamesRow> ReadAll(RadioTable& table)
{
    std::vector<RADTAG> records;
    {
        LockGuard g(table.Lock());
        records.reserve(static_cast<size_t>(table.RadioCount()));
        for (int i = 0; i < table.RadioCount(); ++i)
            records.push_back(table.At(i));
    }
    std::vector<NamesRow> rows;
    rows.reserve(records.size());
    for (const RADTAG& r : records)
        rows.push_back(FromRecord(r));
    return rows;
}

bool Find(TalkgroupTable& table, int32_t id, NamesRow& row)
{
    LockGuard g(table.Lock());
    const int pos = Position(table, id, [](TalkgroupTable& t) { return t.TalkgroupCount(); });
    if (pos < 0)
        return false;
    row = FromRecord(table.At(pos));
    return true;
}

bool Find(RadioTable& table, int32_t id, NamesRow& row)
{
    LockGuard g(table.Lock());
    const int pos = Position(table, id, [](RadioTable& t) { return t.RadioCount(); });
    if (pos < 0)
        return false;
    row = FromRecord(table.At(pos));
    return true;
}

void Write(TalkgroupTable& table, const NamesRow& row)
{
    // One lock around the steps (the table's lock is recursive), so no view reads a half-written entry.
    LockGuard g(table.Lock());
    const bool known = table.IsTalkgroupKnown(row.id);
    table.SetTalkgroup(row.id, row.description.toStdString(), std::clamp(row.priority, 0, 99), row.lastSeen);
    if (row.firstSeen != 0)
        table.SetTalkgroupFirstSeen(row.id, row.firstSeen);
    table.SetTalkgroupColors(row.id, row.textColor, row.backColor);
    if (!known)  // an entry brought back (undo of a delete) gets its use back too
        table.AddTalkgroupUse(row.id, row.calls, row.airtimeSeconds);
}

void Write(RadioTable& table, const NamesRow& row)
{
    LockGuard g(table.Lock());
    table.SetRadio(row.id, row.description.toStdString(), row.lastSeen);
    table.SetRadioColors(row.id, row.textColor, row.backColor);
}

}  // namespace names_rows
