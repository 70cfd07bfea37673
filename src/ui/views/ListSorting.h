#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

#include "ui/views/MainWindowWidgets.h"

class ListModel;
struct AppState;

// The column sorting of the four lists a user can sort by clicking a column heading: the activity
// list, the affiliation list, the affiliation log and the grant trace. Each comparison answers
// negative, zero or positive for two rows' cells and a sort column; texts compare without regard
// to ASCII letter case, numbers are read as decimals (a text that is no number reads as 0), and
// every list breaks remaining ties by a column of its own.
enum class SortedList { Activity, AffiliationList, AffiliationLog, GrantTrace };

namespace sorting {

int CompareText(const QString& a, const QString& b);
long long Number(const QString& cell);
double Real(const QString& cell);

int CompareRows(SortedList list, const QStringList& a, const QStringList& b, int column);

// The main window's list that is sorted.
ListRole ListOf(SortedList list);
// The list's sort column in the program-wide state.
std::atomic<int32_t>& SortColumn(AppState& state, SortedList list);

// Sorts the whole list by `column` (stable: equal rows keep their order).
void SortList(ListModel& model, SortedList list, int column);
// Moves a row just appended to a list kept in order to its place; returns its index.
int PlaceNewRow(ListModel& model, SortedList list, int column);

}  // namespace sorting
