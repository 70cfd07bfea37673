#include "ui/views/ListSorting.h"

#include <algorithm>

#include "ui/mainwindow/AppState.h"
#include "ui/views/ListModel.h"

namespace sorting {

namespace {

QChar FoldAscii(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? QChar(static_cast<char16_t>(u + (u'a' - u'A'))) : c;
}

template <class T>
int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

QString CellOf(const QStringList& row, int column)
{
    return column >= 0 && column < row.size() ? row[column] : QString();
}

int Text(const QStringList& a, const QStringList& b, int column)
{
    return CompareText(CellOf(a, column), CellOf(b, column));
}

int Numbers(const QStringList& a, const QStringList& b, int column)
{
    return Sign(Number(CellOf(a, column)), Number(CellOf(b, column)));
}

int Reals(const QStringList& a, const QStringList& b, int column)
{
    return Sign(Real(CellOf(a, column)), Real(CellOf(b, column)));
}

namespace activity {
enum { kCh, kFrequency, kUsage, kType, kPriority, kTalkgroup, kTalkgroupDesc, kRadio, kRadioDesc, kActive, kHits };
// A channel without a priority has no call: it sorts after every numbered priority (1..99).
constexpr long long kNoPriority = 100;
// An idle channel (no radio, no priority) sorts after every radio ID (24 bits).
constexpr long long kIdleRadio = 18000000;

long long PriorityKey(const QStringList& row)
{
    const QString cell = CellOf(row, kPriority);
    return cell.isEmpty() ? kNoPriority : Number(cell);
}

long long RadioKey(const QStringList& row)
{
    if (CellOf(row, kRadio).isEmpty() && CellOf(row, kPriority).isEmpty())
        return kIdleRadio;
    return Number(CellOf(row, kRadio));
}

int Compare(const QStringList& a, const QStringList& b, int column)
{
    int r = 0;
    switch (column) {
    case kFrequency: r = Reals(a, b, column); break;
    case kType:
    case kActive: r = -Text(a, b, column); break;
    case kPriority: r = Sign(PriorityKey(a), PriorityKey(b)); break;
    case kTalkgroup:
    case kHits: r = Numbers(a, b, column); break;
    case kRadio: r = Sign(RadioKey(a), RadioKey(b)); break;
    case kCh:
    case kUsage:
    case kTalkgroupDesc:
    case kRadioDesc: r = Text(a, b, column); break;
    default: break;
    }
    return r != 0 ? r : Text(a, b, kCh);
}
}  // namespace activity

namespace afflist {
enum { kTalkgroup, kTalkgroupDesc, kRadio, kRadioDesc, kLastAffiliation };

int Compare(const QStringList& a, const QStringList& b, int column)
{
    int r = 0;
    switch (column) {
    case kTalkgroup: r = Numbers(a, b, column); break;
    case kTalkgroupDesc:
        r = Text(a, b, column);
        if (r == 0)
            r = Numbers(a, b, kTalkgroup);
        break;
    case kRadioDesc:
    case kLastAffiliation: r = Text(a, b, column); break;
    default: break;  // "RadID" itself is left to the tie rule
    }
    return r != 0 ? r : Numbers(a, b, kRadio);
}
}  // namespace afflist

namespace afflog {
enum { kTime, kFunction, kTalkgroup, kTalkgroupDesc, kRadio, kRadioDesc };

int Compare(const QStringList& a, const QStringList& b, int column)
{
    int r = 0;
    switch (column) {
    case kTalkgroup:
    case kRadio: r = Numbers(a, b, column); break;
    case kFunction:
    case kTalkgroupDesc:
    case kRadioDesc: r = Text(a, b, column); break;
    default: break;  // "Time" is left to the tie rule
    }
    return r != 0 ? r : Text(a, b, kTime);
}
}  // namespace afflog

namespace grants {
enum { kTime, kType, kChannel, kFrequency, kTalkgroup, kTalkgroupDesc, kRadio, kRadioDesc };

int Compare(const QStringList& a, const QStringList& b, int column)
{
    int r = 0;
    switch (column) {
    case kFrequency: r = Reals(a, b, column); break;
    case kTalkgroup:
    case kRadio: r = Numbers(a, b, column); break;
    case kType:
    case kChannel:
    case kTalkgroupDesc:
    case kRadioDesc: r = Text(a, b, column); break;
    default: break;  // "Time Stamp" is left to the tie rule
    }
    return r != 0 ? r : Text(a, b, kTime);
}
}  // namespace grants

auto LessBy(SortedList list, int column)
{
    return [list, column](const ListModel::Row& a, const ListModel::Row& b) {
        return CompareRows(list, a.cells, b.cells, column) < 0;
    };
}

}  // namespace

int CompareText(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = FoldAscii(a[i]).unicode();
        const char16_t y = FoldAscii(b[i]).unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return Sign(a.size(), b.size());
}

long long Number(const QString& cell)
{
    bool ok = false;
    const long long value = cell.trimmed().toLongLong(&ok);
    return ok ? value : 0;
}

double Real(const QString& cell)
{
    bool ok = false;
    const double value = cell.trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

int CompareRows(SortedList list, const QStringList& a, const QStringList& b, int column)
{
    switch (list) {
    case SortedList::Activity: return activity::Compare(a, b, column);
    case SortedList::AffiliationList: return afflist::Compare(a, b, column);
    case SortedList::AffiliationLog: return afflog::Compare(a, b, column);
    case SortedList::GrantTrace: return grants::Compare(a, b, column);
    }
    return 0;
}

ListRole ListOf(SortedList list)
{
    switch (list) {
    case SortedList::AffiliationList: return ListRole::AffiliationList;
    case SortedList::AffiliationLog: return ListRole::AffiliationLog;
    case SortedList::GrantTrace: return ListRole::GrantTrace;
    case SortedList::Activity: break;
    }
    return ListRole::Activity;
}

std::atomic<int32_t>& SortColumn(AppState& state, SortedList list)
{
    switch (list) {
    case SortedList::AffiliationList: return state.AffiliationListSortColumn;
    case SortedList::AffiliationLog: return state.AffiliationLogSortColumn;
    case SortedList::GrantTrace: return state.GrantTraceSortColumn;
    case SortedList::Activity: break;
    }
    return state.ActivitySortColumn;
}

void SortList(ListModel& model, SortedList list, int column)
{
    if (model.Count() > 1)
        model.SortRows(LessBy(list, column));
}

int PlaceNewRow(ListModel& model, SortedList list, int column)
{
    return model.PlaceLastRow(LessBy(list, column));
}

}  // namespace sorting
