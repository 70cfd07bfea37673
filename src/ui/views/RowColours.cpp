#include "ui/views/RowColours.h"

#include <QTreeView>

#include <algorithm>
#include <set>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "ui/views/ColourValue.h"
#include "ui/views/ListModel.h"
#include "ui/views/ViewHelpers.h"

namespace {

enum class ColourMode { Radio = 0, Talkgroup = 1, Split = 2 };

// Columns the rules read.
namespace activity {
constexpr int kType = 3, kPriority = 4, kTalkgroup = 5, kRadio = 7, kRadioDesc = 8;
}
namespace grant {
constexpr int kType = 1, kTalkgroup = 4, kRadio = 6, kRadioDesc = 7;
}
namespace afflist {
constexpr int kTalkgroup = 0, kRadio = 2;
}
namespace afflog {
constexpr int kTalkgroup = 2, kRadio = 4;
}

struct Colours {
    uint32_t text = 0;
    uint32_t back = 0;
    bool Plain() const { return text == back; }  // no colours of its own
};

Colours TalkgroupColours(P25Class& d, long long tg)
{
    Colours c;
    d.Talkgroups().GetTalkgroupColors(static_cast<int32_t>(tg), c.text, c.back);
    return c;
}

bool RadioColours(P25Class& d, long long radio, Colours& c)
{
    return d.Radios().GetRadioColors(static_cast<int32_t>(radio), c.text, c.back);
}

Colours Defaults(const Settings& s)
{
    return {s.defaultText, s.defaultBackground};
}

// Row colours of the activity and grant views by colour mode, falling back to the defaults when
// the answer carries no colours.
Colours ByMode(P25Class& d, const Settings& s, int mode, long long tg, long long radio)
{
    Colours c;
    switch (static_cast<ColourMode>(mode)) {
    case ColourMode::Radio:
        RadioColours(d, radio, c);
        if (c.Plain())
            c = TalkgroupColours(d, tg);
        break;
    case ColourMode::Talkgroup:
        c = TalkgroupColours(d, tg);
        if (c.Plain())
            RadioColours(d, radio, c);
        break;
    default: c = TalkgroupColours(d, tg); break;
    }
    return c.Plain() ? Defaults(s) : c;
}

void Paint(ListModel& m, int row, const Colours& c)
{
    m.SetRowColors(row, ToQColor(c.text), ToQColor(c.back));
}

// An emergency call stands out whatever the colour mode: white on red (colour values are BGR).
constexpr Colours kEmergency{0xFFFFFF, 0x0000C8};

bool EmergencyType(const QString& type)
{
    return type.endsWith(QLatin1String("(Emrg)"));
}

// White on red over the whole row, the radio's own cells (split mode) included.
void PaintEmergency(ListModel& m, int row, int radioColumn, int descColumn)
{
    Paint(m, row, kEmergency);
    m.SetCellColors(row, radioColumn, QColor(), QColor());
    m.SetCellColors(row, descColumn, QColor(), QColor());
}

// In split mode the radio's own colours mark its two cells.
void PaintRadioCells(ListModel& m, int row, int radioColumn, int descColumn, P25Class& d, long long radio)
{
    Colours c;
    const bool own = radio != 0 && RadioColours(d, radio, c) && !c.Plain();
    const QColor text = own ? ToQColor(c.text) : QColor();
    const QColor back = own ? ToQColor(c.back) : QColor();
    m.SetCellColors(row, radioColumn, text, back);
    m.SetCellColors(row, descColumn, text, back);
}

void ColourActivityRow(ListModel& m, int row, P25Class& d, const Settings& s)
{
    using namespace activity;
    const bool control = m.Cell(row, kType) == QLatin1String("Control");
    const bool idle = m.Cell(row, kPriority).isEmpty();
    if (control)
        Paint(m, row, {s.controlText, s.controlBackground});
    else if (idle)
        Paint(m, row, Defaults(s));
    else
        Paint(m, row,
              ByMode(d, s, s.activityColorMode, screen::CellNumber(m.Cell(row, kTalkgroup)),
                     screen::CellNumber(m.Cell(row, kRadio))));
    if (!control && !idle && EmergencyType(m.Cell(row, kType))) {
        PaintEmergency(m, row, kRadio, kRadioDesc);
        return;
    }
    const bool split = s.activityColorMode == static_cast<int>(ColourMode::Split) && !control && !idle;
    PaintRadioCells(m, row, kRadio, kRadioDesc, d, split ? screen::CellNumber(m.Cell(row, kRadio)) : 0);
}

bool GroupGrantType(const QString& type)
{
    return type == QLatin1String("Group") || type == QLatin1String("GrpData") || type == QLatin1String("Group (Enc)") ||
           type == QLatin1String("Group (Emrg)");
}

void ColourGrantRow(ListModel& m, int row, P25Class& d, const Settings& s)
{
    using namespace grant;
    if (!GroupGrantType(m.Cell(row, kType))) {
        m.SetRowColors(row, QColor(), QColor());
        return;
    }
    const long long radio = screen::CellNumber(m.Cell(row, kRadio));
    Paint(m, row, ByMode(d, s, s.grantsColorMode, screen::CellNumber(m.Cell(row, kTalkgroup)), radio));
    const bool split = s.grantsColorMode == static_cast<int>(ColourMode::Split);
    PaintRadioCells(m, row, kRadio, kRadioDesc, d, split ? radio : 0);
}

// A grant row of an emergency call that lasts: red, over the odd/even colours too. False (and
// the row back under the alternation) otherwise.
bool PaintLastingEmergency(ListModel& m, int row, const EmergencyCalls* calls)
{
    const bool red = calls && m.RowAt(row).emergency &&
                     calls->Active(static_cast<int32_t>(screen::CellNumber(m.Cell(row, grant::kTalkgroup))));
    if (red)
        PaintEmergency(m, row, grant::kRadio, grant::kRadioDesc);
    m.SetStandOut(row, red);
    return red;
}

// The radio's colours, or the talkgroup's for a radio without colours of its own.
void ColourAffiliationRow(ListModel& m, int row, P25Class& d, const Settings& s, int tgColumn, int radioColumn)
{
    Colours c;
    if (!RadioColours(d, screen::CellNumber(m.Cell(row, radioColumn)), c))
        c = TalkgroupColours(d, screen::CellNumber(m.Cell(row, tgColumn)));
    // Equal colours (an unknown entry) would hide the text: the defaults then.
    Paint(m, row, c.Plain() ? Defaults(s) : c);
}

void ColourAffiliationLogRow(ListModel& m, int row, P25Class& d, const Settings& s)
{
    if (m.Cell(row, afflog::kTalkgroup).isEmpty())
        Paint(m, row, Defaults(s));
    else
        ColourAffiliationRow(m, row, d, s, afflog::kTalkgroup, afflog::kRadio);
}

// Odd/even colours by row position (with `s`), or the rows' own colours (without).
void SetOddEven(ListModel* m, const Settings* s)
{
    if (!m)
        return;
    if (s)
        m->SetOddEvenColours(ToQColor(s->evenText), ToQColor(s->evenBackground), ToQColor(s->oddText),
                             ToQColor(s->oddBackground));
    else
        m->ClearOddEvenColours();
}

template <class Fn>
void EachRow(ListModel* m, int firstRow, Fn fn)
{
    if (!m)
        return;
    for (int row = std::max(0, firstRow); row < m->Count(); ++row)
        fn(*m, row);
}

void ColourGrantRows(ListModel* model, int firstRow, int lastRow, P25Class& decoder, const Settings& s,
                     const EmergencyCalls* calls)
{
    if (!model)
        return;
    SetOddEven(model, s.grantsUseTGColors ? nullptr : &s);
    for (int row = std::max(0, firstRow); row <= std::min(lastRow, model->Count() - 1); ++row) {
        if (!PaintLastingEmergency(*model, row, calls) && s.grantsUseTGColors)
            ColourGrantRow(*model, row, decoder, s);
    }
}

}  // namespace

void ColourRows(const MainWindowWidgets& w, ListRole list, P25Class& decoder, const Settings& s, int firstRow,
                const EmergencyCalls* emergencies)
{
    ListModel* model = ModelOf(w.List(list));
    if (list == ListRole::SiteInfo || list == ListRole::CurrentPatches)
        return;  // the toolkit's colours
    if (list == ListRole::Activity) {
        SetOddEven(model, nullptr);
        EachRow(model, 0, [&](ListModel& m, int row) { ColourActivityRow(m, row, decoder, s); });
    } else if (list == ListRole::GrantTrace || list == ListRole::RecentGrants) {
        ColourGrantRows(model, firstRow, model ? model->Count() - 1 : -1, decoder, s, emergencies);
    } else if (list == ListRole::AffiliationList && s.affiliationsUseTGColors) {
        SetOddEven(model, nullptr);
        EachRow(model, firstRow, [&](ListModel& m, int row) {
            ColourAffiliationRow(m, row, decoder, s, afflist::kTalkgroup, afflist::kRadio);
        });
    } else if (list == ListRole::AffiliationLog && s.affiliationsUseTGColors) {
        SetOddEven(model, nullptr);
        EachRow(model, firstRow, [&](ListModel& m, int row) { ColourAffiliationLogRow(m, row, decoder, s); });
    } else {
        SetOddEven(model, &s);
    }
}

void FollowEmergencies(const MainWindowWidgets& w, P25Class& decoder, const Settings& s,
                       const EmergencyCalls& emergencies, const EmergencyCalls::Change& change)
{
    if (!change.Any())
        return;
    const std::set<int32_t> ended(change.ended.begin(), change.ended.end());
    std::set<int32_t> touched = ended;
    touched.insert(change.begun.begin(), change.begun.end());
    for (ListRole list : {ListRole::GrantTrace, ListRole::RecentGrants}) {
        ListModel* m = ModelOf(w.List(list));
        if (!m)
            continue;
        for (int row = 0; row < m->Count(); ++row) {
            if (!m->RowAt(row).emergency)
                continue;
            const auto tg = static_cast<int32_t>(screen::CellNumber(m->Cell(row, grant::kTalkgroup)));
            if (!touched.count(tg))
                continue;
            if (ended.count(tg))
                m->SetEmergency(row, false);
            ColourGrantRows(m, row, row, decoder, s, &emergencies);
        }
    }
}
