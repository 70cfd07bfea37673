// The CSV reader and the name list import. The first byte picks what is read; the rest is the text:
//   0 the CSV reader alone, with a small record bound: lines only go forward, a good record's
//   fields are UTF-8, and a bad one has none;
//   1 a talkgroup list, 2 a radio list: planned against a table, applied, exported and imported
//   into an empty table, which must then hold exactly the same names (and priorities).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "persist/CsvReader.h"
#include "persist/NamesExport.h"
#include "persist/NamesImport.h"
#include "platform/Clock.h"
#include "site/DecoderContext.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace {

constexpr int64_t kNow = 1240322820;
constexpr size_t kSmallRecord = 200;

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void ReadCsv(std::string_view text)
{
    CsvReader reader(text, kSmallRecord);
    CsvRecord record;
    int line = 0;
    while (reader.Next(record)) {
        Check(record.line > line);
        line = record.line;
        if (record.problem != CsvRecord::Problem::None) {
            Check(record.fields.empty());
            continue;
        }
        size_t bytes = 0;
        for (const std::string& f : record.fields) {
            Check(IsValidUtf8(f));
            bytes += f.size();
        }
        Check(bytes <= kSmallRecord + 1);
    }
}

// The tables are allocated at full capacity: made once and emptied for each input, or the
// allocation would be most of the work.
struct Tables {
    ManualClock clock{kNow};
    DecoderContext ctx;
    TalkgroupTable talkgroups{ctx};
    TalkgroupTable otherTalkgroups{ctx};
    RadioTable radios{ctx};
    RadioTable otherRadios{ctx};
    Tables() { ctx.time.SetClock(clock); }
};

Tables& Shared()
{
    static Tables tables;
    return tables;
}

void Empty(TalkgroupTable& t)
{
    t.ClearTalkgroups();
}
void Empty(RadioTable& t)
{
    t.ClearRadios();
}

template <class Table, class PlanOf, class Export, class Count, class Text>
void RoundTrip(std::string_view text, Table& table, Table& other, PlanOf plan, Export exportAll, Count count,
               Text textOf)
{
    Empty(table);
    Empty(other);
    const NamesImport::Plan p = plan(text, table);
    Check(p.newRows + p.changed + p.unchanged == static_cast<int>(p.rows.size()));
    Check(NamesImport::Apply(p, table) == p.Applicable());
    Check(count(table) == p.newRows);

    const NamesImport::Plan again = plan(exportAll(table), other);
    Check(again.rejected.empty() && again.newRows == count(table));
    NamesImport::Apply(again, other);
    Check(count(other) == count(table));
    for (const NamesImport::Row& row : p.rows)
        Check(textOf(other, row.id) == textOf(table, row.id));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
    case 0: ReadCsv(text); break;
    case 1:
        RoundTrip(
            text, Shared().talkgroups, Shared().otherTalkgroups,
            [](std::string_view t, TalkgroupTable& table) { return NamesImport::PlanTalkgroups(t, table, false); },
            [](TalkgroupTable& table) { return NamesExport::AllTalkgroups(table); },
            [](TalkgroupTable& table) { return table.TalkgroupCount(); },
            [](TalkgroupTable& table, int32_t id) {
                return table.GetTalkgroupText(id) + "/" + std::to_string(table.GetTalkgroupPriority(id));
            });
        break;
    default:
        RoundTrip(
            text, Shared().radios, Shared().otherRadios,
            [](std::string_view t, RadioTable& table) { return NamesImport::PlanRadios(t, table, false); },
            [](RadioTable& table) { return NamesExport::AllRadios(table); },
            [](RadioTable& table) { return table.RadioCount(); },
            [](RadioTable& table, int32_t id) { return table.GetRadioText(id); });
        break;
    }
    return 0;
}
