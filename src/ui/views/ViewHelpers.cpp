#include "ui/views/ViewHelpers.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>

#include "decoder/P25Class.h"
#include "persist/LogFormat.h"
#include "platform/Clock.h"
#include "ui/views/ListModel.h"
#include "ui/views/MainWindowWidgets.h"

namespace screen {

namespace {
constexpr int kIdentifierShift = 12;
constexpr int32_t kIdentifierMask = 0xF;
constexpr int32_t kChannelMask = 0xFFF;
}  // namespace

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

QString Decimal(long long value)
{
    return QString::number(value);
}

QString ChannelText(int32_t channel)
{
    return QString::asprintf("%02d-%04d", (channel >> kIdentifierShift) & kIdentifierMask, channel & kChannelMask);
}

QString FrequencyText(double mhz)
{
    return QString::asprintf("%3.05f", mhz);
}

QString TimeText(int64_t unixTime)
{
    return Text(TimeStampText(unixTime));
}

QString ClockText(int64_t unixTime)
{
    const std::tm t = Clock::Local(unixTime);
    return QString::asprintf("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
}

long long CellNumber(const QString& cell)
{
    bool ok = false;
    const long long value = cell.trimmed().toLongLong(&ok);
    return ok ? value : 0;
}

void SetLabel(QLabel* label, const QString& text)
{
    if (label && label->text() != text)
        label->setText(text);
}

QString LabelText(const QLabel* label)
{
    return label ? label->text() : QString();
}

bool BoxChecked(const QAbstractButton* box, bool missing)
{
    return box ? box->isChecked() : missing;
}

void SetBoxChecked(QAbstractButton* box, bool on)
{
    if (!box || box->isChecked() == on)
        return;
    // Showing the decoder's state is not a user's change: handlers that write it back stay quiet.
    const QSignalBlocker quiet(box);
    box->setChecked(on);
}

void SetTabCaption(QTabWidget* pages, QWidget* page, const QString& caption)
{
    if (!page)
        return;
    // A hidden tab may have been taken off the page control; the page keeps its caption for it.
    page->setWindowTitle(caption);
    const int index = pages ? pages->indexOf(page) : -1;
    if (index >= 0 && pages->tabText(index) != caption)
        pages->setTabText(index, caption);
}

bool ViewAtEnd(const QAbstractItemView* view)
{
    if (!view)
        return false;
    const QScrollBar* bar = view->verticalScrollBar();
    return !bar || bar->value() >= bar->maximum();
}

void ScrollToRow(QAbstractItemView* view, int row)
{
    if (!view || !view->model() || row < 0 || row >= view->model()->rowCount())
        return;
    // A held list stays where it is; its release scrolls it.
    if (const ListModel* m = ModelOf(view); m && m->Held())
        return;
    view->scrollTo(view->model()->index(row, 0));
}

int AppendLogRow(ListModel& model, const QStringList& cells, int cap)
{
    model.AppendRow(cells);
    if (model.Count() > cap)
        model.RemoveRows(0, model.Count() - cap);
    return model.Count() - 1;
}

void TrimOldestByTime(ListModel& model, int timeColumn, int cap, const QString& nowText)
{
    while (model.Count() >= cap && model.Count() > 0)
        model.RemoveRows(model.OldestRow(timeColumn, nowText), 1);
}

void ShowTableCounts(const MainWindowWidgets& w, P25Class& decoder)
{
    SetLabel(w.talkgroupCount, Decimal(decoder.Talkgroups().TalkgroupCount()));
    SetLabel(w.radioCount, Decimal(decoder.Radios().RadioCount()));
}

}  // namespace screen
