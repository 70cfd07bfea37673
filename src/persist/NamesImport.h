#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class RadioTable;
class TalkgroupTable;

// Names brought in from a CSV list (a radio directory's export, a spreadsheet) into the talkgroup
// or radio table, in two steps: Plan reads the text and compares it with the table without
// touching it; Apply then makes exactly the planned changes.
//
// Columns are found by their header names (the first record), case-insensitive. Talkgroups: the
// number in `Decimal`, `DEC` or `Talkgroup`, else `Hex`; the name in `Alpha Tag`, or `Description`
// where the alpha tag is empty; `Priority` (0..99) when given; `Tag` and `Category` are known and
// not used. Radios: the number in `Radio ID` or `Unit`; the name in `Alias`, or `Description`
// where the alias is empty. A description the tables generated themselves counts as no name, so
// an import always names such entries; any other name is kept unless `replace` is set.
namespace NamesImport {

enum class Kind { Talkgroups, Radios };

// The longest names the edit dialogs take (in characters); longer ones are cut.
constexpr size_t kTalkgroupNameLength = 40;
constexpr size_t kRadioNameLength = 50;
constexpr int kNoPriority = -1;

struct Row {
    enum class Change { New, Changed, Unchanged };
    int line = 0;
    int32_t id = 0;
    std::string name;            // the name the entry will have
    int priority = kNoPriority;  // the priority it will have (talkgroups), kNoPriority: untouched
    Change change = Change::New;
    bool keptOwnName = false;  // the file's name differs but the entry keeps its own
};

struct Rejected {
    int line = 0;
    std::string reason;
};

struct Plan {
    Kind kind = Kind::Talkgroups;
    std::string problem;  // the file as a whole cannot be used (no number column): nothing to do
    std::vector<Row> rows;
    std::vector<Rejected> rejected;  // in line order
    int newRows = 0;
    int changed = 0;
    int unchanged = 0;
    int keptNames = 0;  // of the unchanged: their own name kept over the file's

    int Applicable() const { return newRows + changed; }
};

Plan PlanTalkgroups(std::string_view csv, TalkgroupTable& table, bool replace);
Plan PlanRadios(std::string_view csv, RadioTable& table, bool replace);

// Makes the new and changed rows of the plan in the table, under its lock. New talkgroups get the
// default priority (unless the file gave one) and no colours of their own. Returns the rows
// applied.
int Apply(const Plan& plan, TalkgroupTable& table);
int Apply(const Plan& plan, RadioTable& table);

// The counts and every rejected line, one line each, for a person to read.
std::string Summary(const Plan& plan);

}  // namespace NamesImport
