#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

class ListModel;
class P25Class;
class QAbstractButton;
class QAbstractItemView;
class QLabel;
class QTabWidget;
class QWidget;
struct MainWindowWidgets;

// Small pieces the view updaters share: the texts of numbers, channels and times, the writes to
// the window's widgets (a null widget is left out), and the log rules (caps, trimming, auto scroll).
namespace screen {

// Row caps of the log views.
inline constexpr int kLogCap = 5000;
inline constexpr int kLargeLogCap = 10000;  // packet dump and raw data

QString Text(const std::string& s);
QString Decimal(long long value);
// "%02d-%04d": identifier (bits 15..12) and channel number (bits 11..0).
QString ChannelText(int32_t channel);
// "%3.05f" of a frequency in MHz.
QString FrequencyText(double mhz);
// Local "%02d/%02d %02d:%02d:%02d".
QString TimeText(int64_t unixTime);
// Local "%02d:%02d:%02d".
QString ClockText(int64_t unixTime);
// A cell read as a decimal number (leading and trailing blanks allowed); 0 when it is none.
long long CellNumber(const QString& cell);

void SetLabel(QLabel* label, const QString& text);
QString LabelText(const QLabel* label);
// Whether the check box is checked; `missing` when the window has no such box.
bool BoxChecked(const QAbstractButton* box, bool missing = false);
void SetBoxChecked(QAbstractButton* box, bool on);
// Caption of a page of the main page control.
void SetTabCaption(QTabWidget* pages, QWidget* page, const QString& caption);

// Whether the list's view shows its last row (or has nothing to scroll); asked before appending
// so a user reading older rows is not pulled away.
bool ViewAtEnd(const QAbstractItemView* view);
void ScrollToRow(QAbstractItemView* view, int row);

// Appends a log row and trims the oldest rows beyond `cap`; returns the new row's index.
int AppendLogRow(ListModel& model, const QStringList& cells, int cap);
// Makes room for one row in a log the user may sort: while the log holds `cap` rows or more, the
// row whose time text is the earliest goes (texts later than `nowText` are last year's, so the
// turn of the year does not remove the newest rows).
void TrimOldestByTime(ListModel& model, int timeColumn, int cap, const QString& nowText);

// "Talkgroup ID Count:" and "Radio ID Count:" of the side panel.
void ShowTableCounts(const MainWindowWidgets& w, P25Class& decoder);

}  // namespace screen
