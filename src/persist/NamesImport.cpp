#include "persist/NamesImport.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <unordered_map>

#include "persist/CsvReader.h"
#include "site/GeneratedDescription.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace NamesImport {
namespace {

constexpr int64_t kMaxTalkgroup = 65535;
constexpr int64_t kMaxRadio = 0xFFFFFF;
constexpr int kMaxPriority = 99;
constexpr int kDefaultPriority = 50;
constexpr int kKeepPriority = 255;
// The CSV reader's bound: a real line of a name list is far below it.
constexpr size_t kMaxRecord = size_t{64} << 10;

std::string Lower(std::string_view text)
{
    size_t b = 0;
    size_t e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    std::string out(text.substr(b, e - b));
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// Columns of the header by role; -1 where absent.
struct Columns {
    int decimal = -1;
    int hex = -1;
    int name = -1;      // Alpha Tag / Alias
    int fallback = -1;  // Description
    int priority = -1;
};

int FirstOf(const std::vector<std::string>& header, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        for (size_t i = 0; i < header.size(); ++i)
            if (Lower(header[i]) == name)
                return static_cast<int>(i);
    return -1;
}

Columns MapColumns(const std::vector<std::string>& header, Kind kind)
{
    Columns c;
    if (kind == Kind::Talkgroups) {
        c.decimal = FirstOf(header, {"decimal", "dec", "talkgroup"});
        c.hex = FirstOf(header, {"hex"});
        c.name = FirstOf(header, {"alpha tag"});
        c.priority = FirstOf(header, {"priority"});
    } else {
        c.decimal = FirstOf(header, {"radio id", "unit"});
        c.name = FirstOf(header, {"alias"});
    }
    c.fallback = FirstOf(header, {"description"});
    return c;
}

enum class Number { Ok, Empty, Text, TooLarge };

Number ParseNumber(std::string_view field, bool hex, int64_t& value)
{
    field = Trim(field);
    if (hex && field.size() > 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X'))
        field.remove_prefix(2);
    if (field.empty())
        return Number::Empty;
    value = 0;
    for (char c : field) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return Number::Text;
        if (value < (int64_t{1} << 40))
            value = value * (hex ? 16 : 10) + digit;
    }
    return Number::Ok;
}

// The name as a table keeps it: one line, at most `length` characters (UTF-8 sequences whole).
std::string TableName(std::string_view text, size_t length)
{
    text = Trim(text);
    std::string out;
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;  // CR LF is one line break, one space
        if ((c & 0xC0) != 0x80 && ++characters > length)
            break;
        out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : static_cast<char>(c);
    }
    while (!out.empty() && std::isspace(static_cast<unsigned char>(out.back())))
        out.pop_back();  // a cut may end on a space
    return out;
}

const std::string& Field(const std::vector<std::string>& fields, int column)
{
    static const std::string kEmpty;
    return column >= 0 && column < static_cast<int>(fields.size()) ? fields[static_cast<size_t>(column)] : kEmpty;
}

// What one record asks for, or why it is refused (reason not empty).
struct Wanted {
    int32_t id = 0;
    std::string name;
    int priority = kNoPriority;
};

std::string ReadRecord(const std::vector<std::string>& f, const Columns& c, Kind kind, Wanted& out)
{
    const bool talkgroups = kind == Kind::Talkgroups;
    const char* what = talkgroups ? "talkgroup" : "radio";
    const int64_t max = talkgroups ? kMaxTalkgroup : kMaxRadio;
    int64_t id = 0;
    bool haveId = false;
    if (c.decimal >= 0) {
        switch (ParseNumber(Field(f, c.decimal), false, id)) {
        case Number::Ok: haveId = true; break;
        case Number::Text: return "text \"" + TableName(Field(f, c.decimal), 20) + "\" in the number column";
        default: break;
        }
    }
    if (c.hex >= 0) {
        int64_t hexId = 0;
        switch (ParseNumber(Field(f, c.hex), true, hexId)) {
        case Number::Ok:
            if (haveId && hexId != id)
                return "decimal " + std::to_string(id) + " and hex " + std::string(Trim(Field(f, c.hex))) + " disagree";
            id = hexId;
            haveId = true;
            break;
        case Number::Text: return "text \"" + TableName(Field(f, c.hex), 20) + "\" in the hex column";
        default: break;
        }
    }
    if (!haveId)
        return std::string("no ") + what + " number";
    if (id < 1 || id > max)
        return std::string(what) + " " + std::to_string(id) + " out of range 1-" + std::to_string(max);
    out.id = static_cast<int32_t>(id);
    const size_t length = talkgroups ? kTalkgroupNameLength : kRadioNameLength;
    out.name = TableName(Field(f, c.name), length);
    if (out.name.empty())
        out.name = TableName(Field(f, c.fallback), length);
    if (out.name.empty())
        return "no name";
    if (talkgroups && c.priority >= 0) {
        int64_t priority = 0;
        switch (ParseNumber(Field(f, c.priority), false, priority)) {
        case Number::Ok:
            if (priority > kMaxPriority)
                return "priority " + std::to_string(priority) + " out of range 0-99";
            out.priority = static_cast<int>(priority);
            break;
        case Number::Text: return "text \"" + TableName(Field(f, c.priority), 20) + "\" in the priority column";
        default: break;
        }
    }
    return {};
}

// The entries of a table as the plan compares them.
struct Existing {
    std::string description;
    int priority = kNoPriority;
};

Plan Read(std::string_view csv, Kind kind, const std::unordered_map<int32_t, Existing>& table, bool replace)
{
    Plan plan;
    plan.kind = kind;
    CsvReader reader(csv, kMaxRecord);
    CsvRecord record;
    Columns columns;
    bool haveHeader = false;
    std::unordered_map<int32_t, int> firstLine;
    while (reader.Next(record)) {
        if (record.problem != CsvRecord::Problem::None) {
            plan.rejected.push_back({record.line, CsvProblemText(record.problem)});
            continue;
        }
        if (!haveHeader) {
            haveHeader = true;
            columns = MapColumns(record.fields, kind);
            if (columns.decimal < 0 && columns.hex < 0) {
                plan.problem = kind == Kind::Talkgroups
                                   ? "no talkgroup number column (Decimal, DEC, Talkgroup or Hex) in the header"
                                   : "no radio number column (Radio ID or Unit) in the header";
                return plan;
            }
            continue;
        }
        Wanted wanted;
        std::string reason = ReadRecord(record.fields, columns, kind, wanted);
        if (reason.empty()) {
            const auto [it, first] = firstLine.emplace(wanted.id, record.line);
            if (!first)
                reason = "duplicate of line " + std::to_string(it->second) + " (" + std::to_string(wanted.id) + ")";
        }
        if (!reason.empty()) {
            plan.rejected.push_back({record.line, std::move(reason)});
            continue;
        }
        Row row;
        row.line = record.line;
        row.id = wanted.id;
        const auto found = table.find(wanted.id);
        if (found == table.end()) {
            row.change = Row::Change::New;
            row.name = wanted.name;
            row.priority = kind == Kind::Talkgroups
                               ? (wanted.priority != kNoPriority ? wanted.priority : kDefaultPriority)
                               : kNoPriority;
            ++plan.newRows;
        } else {
            const Existing& have = found->second;
            const bool ownName = !have.description.empty() && !IsGeneratedDescription(have.description);
            const bool takeName = !ownName || replace;
            row.name = takeName ? wanted.name : have.description;
            row.keptOwnName = !takeName && wanted.name != have.description;
            row.priority = (wanted.priority != kNoPriority && (replace || !ownName)) ? wanted.priority : kNoPriority;
            const bool differs =
                row.name != have.description || (row.priority != kNoPriority && row.priority != have.priority);
            row.change = differs ? Row::Change::Changed : Row::Change::Unchanged;
            if (differs) {
                ++plan.changed;
            } else {
                ++plan.unchanged;
                if (row.keptOwnName)
                    ++plan.keptNames;
            }
        }
        plan.rows.push_back(std::move(row));
    }
    if (!haveHeader)
        plan.problem = "no header line";
    return plan;
}

}  // namespace

Plan PlanTalkgroups(std::string_view csv, TalkgroupTable& table, bool replace)
{
    std::unordered_map<int32_t, Existing> existing;
    {
        LockGuard g(table.Lock());
        const int count = table.TalkgroupCount();
        existing.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const TGTAG& t = table.At(i);
            existing.emplace(t.id, Existing{t.description, t.priority});
        }
    }
    return Read(csv, Kind::Talkgroups, existing, replace);
}

Plan PlanRadios(std::string_view csv, RadioTable& table, bool replace)
{
    std::unordered_map<int32_t, Existing> existing;
    {
        LockGuard g(table.Lock());
        const int count = table.RadioCount();
        existing.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const RADTAG& r = table.At(i);
            existing.emplace(r.id, Existing{r.description, kNoPriority});
        }
    }
    return Read(csv, Kind::Radios, existing, replace);
}

namespace {

// Under the table's lock: hands `set` each new or changed row of the plan with the entry's last-seen
// time (nullopt for a new entry: an import is not a sighting, so the time of an entry stays), and
// counts the rows it applied.
template <class Table, class Count, class Set>
int ApplyRows(const Plan& plan, Kind kind, Table& table, Count count, Set set)
{
    if (plan.kind != kind)
        return 0;
    LockGuard g(table.Lock());
    std::unordered_map<int32_t, int64_t> lastSeen;
    for (int i = 0; i < count(table); ++i)
        lastSeen.emplace(table.At(i).id, table.At(i).lastSeen);
    int applied = 0;
    for (const Row& row : plan.rows) {
        if (row.change == Row::Change::Unchanged)
            continue;
        const auto seen = lastSeen.find(row.id);
        if (set(row, seen == lastSeen.end() ? std::nullopt : std::optional<int64_t>(seen->second)))
            ++applied;
    }
    return applied;
}

}  // namespace

int Apply(const Plan& plan, TalkgroupTable& table)
{
    return ApplyRows(
        plan, Kind::Talkgroups, table, [](TalkgroupTable& t) { return t.TalkgroupCount(); },
        [&table](const Row& row, std::optional<int64_t> seen) {
            if (!seen) {
                table.SetTalkgroup(row.id, row.name, row.priority != kNoPriority ? row.priority : kDefaultPriority, 0);
                table.SetTalkgroupFirstSeen(row.id, 0);  // never heard yet
            } else {
                table.SetTalkgroup(row.id, row.name, row.priority != kNoPriority ? row.priority : kKeepPriority, *seen);
            }
            return true;
        });
}

int Apply(const Plan& plan, RadioTable& table)
{
    return ApplyRows(
        plan, Kind::Radios, table, [](RadioTable& t) { return t.RadioCount(); },
        [&table](const Row& row, std::optional<int64_t> seen) {
            return table.SetRadio(row.id, row.name, seen.value_or(0));
        });
}

std::string Summary(const Plan& plan)
{
    std::string out;
    if (!plan.problem.empty())
        out += "cannot import: " + plan.problem + "\n";
    out += std::to_string(plan.newRows) + " new, " + std::to_string(plan.changed) + " changed, " +
           std::to_string(plan.unchanged) + " unchanged";
    if (plan.keptNames > 0)
        out += " (" + std::to_string(plan.keptNames) + " keep their own names)";
    out += ", " + std::to_string(plan.rejected.size()) + " rejected\n";
    for (const Rejected& r : plan.rejected)
        out += "line " + std::to_string(r.line) + ": " + r.reason + "\n";
    return out;
}

}  // namespace NamesImport
