// The activity list (ListView1): one row per channel of the channel table, the hold label, and
// the follow decision that marks the followed row and tunes the second scanner.
#include <QTreeView>

#include <array>
#include <span>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "scancontrol/FollowDecision.h"
#include "site/ChannelActivity.h"
#include "ui/mainwindow/AppState.h"
#include "ui/views/ListModel.h"
#include "ui/views/ListSorting.h"
#include "ui/views/MainWindowWidgets.h"
#include "ui/views/RowColours.h"
#include "ui/views/ScreenScratch.h"
#include "ui/views/ViewHelpers.h"
#include "ui/views/ViewUpdaters.h"

namespace {

enum Column {
    kCh,
    kFrequency,
    kUsage,
    kType,
    kPriority,
    kTalkgroup,
    kTalkgroupDesc,
    kRadio,
    kRadioDesc,
    kActive,
    kHits
};
constexpr int kColumns = kHits + 1;

// Usage letters in the order they are shown.
struct UsageLetter {
    uint32_t flag;
    char letter;
};
constexpr std::array<UsageLetter, 7> kUsageLetters{{{kFlagCwid, 'i'},
                                                    {kFlagControl, 'c'},
                                                    {kFlagAlternate, 'a'},
                                                    {kFlagVoice, 'v'},
                                                    {kFlagData, 'd'},
                                                    {kFlagPrivate, 'p'},
                                                    {kFlagPhone, 't'}}};

bool IsPrivateType(const std::string& type)
{
    return type == "Private" || type == "PvtData";
}

QString UsageText(uint32_t flags)
{
    QString text;
    for (const UsageLetter& u : kUsageLetters)
        if (flags & u.flag)
            text += QLatin1Char(u.letter);
    return text;
}

QString TypeText(const FreqInfo& f)
{
    QString type = screen::Text(f.usage);
    if (!f.status.empty() && f.usage != "CWID")
        type += QStringLiteral(" (") + screen::Text(f.status) + QLatin1Char(')');
    return type;
}

// A radio's description; a radio not yet in the table is added first (with the talkgroup it was
// heard on), so it gets its generated description.
QString RadioText(P25Class& d, int32_t radio, int32_t talkgroup)
{
    std::string text = d.Radios().GetRadioText(radio);
    if (text.empty()) {
        d.Radios().NoteRadio(radio, talkgroup);
        text = d.Radios().GetRadioText(radio);
    }
    return screen::Text(text);
}

QStringList RowCells(ScreenContext& c, const FreqInfo& f, bool followed)
{
    QStringList cells;
    cells.reserve(kColumns);
    cells << screen::ChannelText(f.channel)
          // A channel of an identifier the site has not announced yet has no frequency (-1 or 0).
          << (FrequencyKnown(f.rxFrequency) ? screen::FrequencyText(f.rxFrequency) : QStringLiteral("Unknown"))
          << UsageText(f.usageFlags) << TypeText(f);
    if (f.target != 0 && IsPrivateType(f.usage)) {
        cells << screen::Decimal(c.settings.privatePriority) << screen::Decimal(f.target)
              << screen::Text(c.decoder.Radios().GetRadioText(f.target));
    } else if (f.target != 0) {
        cells << screen::Decimal(c.decoder.Talkgroups().GetTalkgroupPriority(f.target)) << screen::Decimal(f.target)
              << screen::Text(f.targetDescription);
    } else {
        cells << (f.usage == "CWID" ? screen::Text(f.status) : QString()) << QString() << QString();
    }
    if (f.source != 0)
        cells << screen::Decimal(f.source) << RadioText(c.decoder, f.source, f.target);
    else
        cells << QString() << QString();
    cells << (followed ? QString::fromLatin1(kFollowedMark) : QString()) << screen::Decimal(f.hits);
    return cells;
}

int RowOfChannel(const ListModel& m, const QString& ch)
{
    for (int row = 0; row < m.Count(); ++row)
        if (m.Cell(row, kCh) == ch)
            return row;
    return -1;
}

void ShowRow(ListModel& m, const QStringList& cells)
{
    int row = RowOfChannel(m, cells[kCh]);
    if (row < 0) {
        m.AppendRow(QStringList{cells[kCh]} + QStringList(kColumns - 1, QString()));
        row = m.Count() - 1;
    }
    for (int column = 0; column < kColumns; ++column)
        m.SetCell(row, column, cells[column]);
}

// The identifier entries for the channel spacings, read without taking the table's changed flag
// (that belongs to the identifiers list).
std::array<IdentifierEntry, IdentifierTable::kCount> IdentifierEntries(P25Class& d)
{
    std::array<IdentifierEntry, IdentifierTable::kCount> out{};
    LockGuard g(d.Identifiers().Lock());
    for (int i = 0; i < IdentifierTable::kCount; ++i)
        out[static_cast<size_t>(i)] = d.Identifiers().Entry(i);
    return out;
}

FollowInputs FollowInputsOf(ScreenContext& c)
{
    FollowInputs in;
    in.heldTalkgroup = c.state.HeldTalkgroup.load();
    in.lastFollowedTarget = static_cast<int32_t>(c.state.LastFollowedTarget.load());
    in.patches = std::span<const PATCHENTRY>(c.scratch.patches.data(), static_cast<size_t>(c.scratch.patchCount));
    in.settings = FollowSettingsFrom(c.settings);
    P25Class* decoder = &c.decoder;
    in.priority = [decoder](int32_t tg) { return decoder->Talkgroups().GetTalkgroupPriority(tg); };
    return in;
}

}  // namespace

void UpdateActivity(ScreenContext& c)
{
    const int32_t held = c.state.HeldTalkgroup.load();
    screen::SetLabel(c.widgets.holdLabel, held == kNoHeldTalkgroup
                                              ? QStringLiteral("No Hold")
                                              : QStringLiteral("Holding Talkgroup ") + screen::Decimal(held));
    SystemInfo info;
    if (!CommonStart(c, info)) {
        // No system: the decoder was reset (a new session), and with it every call. An emergency
        // that was on before must alert again when it is heard in the new session.
        if (c.emergencies)
            FollowEmergencies(c.widgets, c.decoder, c.settings, *c.emergencies, c.emergencies->Follow({}));
        return;
    }

    std::vector<FreqInfo>& buffer = c.scratch.channels;
    const int count = c.decoder.Channels().CopyChannels(buffer.data(), static_cast<int>(buffer.size()));
    const std::span<const FreqInfo> entries(buffer.data(), static_cast<size_t>(count));
    const FollowInputs in = FollowInputsOf(c);
    const auto identifiers = IdentifierEntries(c.decoder);
    const FollowMarking marking = DecideFollow(entries, in, identifiers);

    if (ListModel* list = ModelOf(c.widgets.List(ListRole::Activity))) {
        if (count == 0)
            list->Clear();
        for (size_t i = 0; i < entries.size(); ++i)
            ShowRow(*list, RowCells(c, entries[i], marking.marked[i]));
        sorting::SortList(*list, SortedList::Activity, c.state.ActivitySortColumn.load());
        ColourRows(c.widgets, ListRole::Activity, c.decoder, c.settings);
    }
    // The notice and the grant lists' red rows follow the same copy; after the rows, which have
    // put a radio heard for the first time into the table, so the notice can name it.
    if (c.emergencies)
        FollowEmergencies(c.widgets, c.decoder, c.settings, *c.emergencies, c.emergencies->Follow(entries));
    // Kept also without scanner control, so the view always shows what would be followed.
    c.state.LastFollowedTarget.store(marking.lastFollowedTarget);
    TuneFollowed(marking, c.scanner ? c.scanner() : nullptr, c.settings.scanControlEnabled,
                 c.state.DecodeRunning.load());
    screen::ShowTableCounts(c.widgets, c.decoder);
}
