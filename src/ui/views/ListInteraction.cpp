#include "ui/views/ListInteraction.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <vector>

#include "decoder/P25Class.h"
#include "ui/mainwindow/HoldCommands.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/ListHold.h"
#include "ui/views/ListModel.h"

using namespace ui_names;

namespace {

// Where a list keeps the talkgroup, the radio and the call type of a row, and the call types whose
// "talkgroup" is no talkgroup (a called radio, or nothing), so the menu does not offer it as one.
struct TargetCells {
    ListRole view;
    int talkgroup;
    int radio;
    int type;  // -1: the list has no type column
    std::vector<QString> noTalkgroupTypes;
};

const std::array<TargetCells, 5>& TargetLists()
{
    static const std::array<TargetCells, 5> lists{{
        {ListRole::Activity, 5, 7, 3, {"Private", "PvtData", "Phone"}},
        {ListRole::GrantTrace, 4, 6, 1, {"Private", "PvtData", "Phone", "CWID"}},
        {ListRole::RecentGrants, 4, 6, 1, {"Private", "PvtData", "Phone", "CWID"}},
        {ListRole::AffiliationLog, 2, 4, -1, {}},
        {ListRole::AffiliationList, 0, 2, -1, {}},
    }};
    return lists;
}

const TargetCells* TargetsOf(ListRole view)
{
    for (const TargetCells& t : TargetLists())
        if (view == t.view)
            return &t;
    return nullptr;
}

constexpr SortedList kSortable[] = {SortedList::Activity, SortedList::AffiliationList, SortedList::AffiliationLog,
                                    SortedList::GrantTrace};

// The selected rows of a view in list order.
std::vector<int> SelectedRows(const QTreeView* view)
{
    std::vector<int> rows;
    if (!view || !view->selectionModel())
        return rows;
    for (const QModelIndex& i : view->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The first selected row, or -1.
int SelectedRow(const QTreeView* view)
{
    const std::vector<int> rows = SelectedRows(view);
    return rows.empty() ? -1 : rows.front();
}

// The talkgroup as the dialog wants it: a cell such as "1234 (A)" names talkgroup 1234. The text
// is kept as it stands otherwise (a padded "%5d" cell keeps its blanks, in the field and in the
// menu caption made from it).
QString TalkgroupText(QString cell)
{
    const qsizetype bracket = cell.indexOf(QLatin1Char('('));
    if (bracket >= 0) {
        cell.truncate(bracket);
        while (cell.endsWith(QLatin1Char(' ')))
            cell.chop(1);
    }
    return cell;
}

}  // namespace

ListInteraction::ListInteraction(TForm1& window) : QObject(&window), window_(window)
{
    setObjectName(kObjectName);
    BuildPopup();
    WatchTargetLists();
    WatchHeadings();
    WireHold();
    WireThresholds();
    WireFilter();
}

QTreeView* ListInteraction::View(ListRole list) const
{
    return window_.Widgets().List(list);
}

void ListInteraction::BuildPopup()
{
    popup_ = new QMenu(&window_);
    popup_->setObjectName(kListPopupMenu);
    editTalkgroup_ = popup_->addAction(QStringLiteral("Edit TalkGroup"));
    editTalkgroup_->setObjectName(kPopupEditTalkgroup);
    editRadio_ = popup_->addAction(QStringLiteral("Edit Radio ID"));
    editRadio_->setObjectName(kPopupEditRadio);
    // Copies: a click while the dialog is open must not change what it was opened with.
    connect(editTalkgroup_, &QAction::triggered, this, [this] { window_.EditTalkgroup(QString(talkgroup_)); });
    connect(editRadio_, &QAction::triggered, this, [this] { window_.EditRadio(QString(radio_)); });
}

void ListInteraction::WatchTargetLists()
{
    for (const TargetCells& t : TargetLists()) {
        QTreeView* view = View(t.view);
        if (!view)
            continue;
        view->viewport()->installEventFilter(this);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view, list = t.view](const QPoint& at) {
            TakeEditTargets(list);
            popup_->popup(view->viewport()->mapToGlobal(at));
            HoldWhileMenuOpen(*popup_, *view);
        });
    }
    if (QTreeView* list = View(ListRole::AffiliationList); list && list->selectionModel())
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &ListInteraction::TakeAffiliationSelection);
    if (QTreeView* activity = View(ListRole::Activity))
        connect(activity, &QAbstractItemView::doubleClicked, this, &ListInteraction::HoldSelectedActivityRow);
}

bool ListInteraction::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Taken once the view has handled the click: a click beside the rows clears the selection
        // only on its release.
        for (const TargetCells& t : TargetLists())
            if (QTreeView* view = View(t.view); view && watched == view->viewport())
                QMetaObject::invokeMethod(
                    this, [this, list = t.view] { TakeEditTargets(list); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void ListInteraction::TakeEditTargets(ListRole list)
{
    editTalkgroup_->setText(QString::fromLatin1(kAllTalkgroups));
    editRadio_->setText(QString::fromLatin1(kAllRadios));
    talkgroup_.clear();
    radio_.clear();
    const TargetCells* t = TargetsOf(list);
    QTreeView* view = t ? View(t->view) : nullptr;
    ListModel* model = ModelOf(view);
    const int row = SelectedRow(view);
    if (!model || row < 0)
        return;
    // Whole texts: an encrypted private call ("Private (Enc)") still names a talkgroup here.
    const QString type = t->type >= 0 ? model->Cell(row, t->type) : QString();
    const bool noTalkgroup =
        std::find(t->noTalkgroupTypes.begin(), t->noTalkgroupTypes.end(), type) != t->noTalkgroupTypes.end();
    // A private or telephone call's "talkgroup" is a radio: the talkgroup dialog is not offered it.
    if (!noTalkgroup)
        talkgroup_ = TalkgroupText(model->Cell(row, t->talkgroup));
    radio_ = model->Cell(row, t->radio);
    if (!talkgroup_.isEmpty())
        editTalkgroup_->setText(QString::fromLatin1(kOneTalkgroup) + talkgroup_);
    if (!radio_.isEmpty())
        editRadio_->setText(QString::fromLatin1(kOneRadio) + radio_);
}

void ListInteraction::TakeAffiliationSelection()
{
    QTreeView* view = View(ListRole::AffiliationList);
    ListModel* model = ModelOf(view);
    const int row = SelectedRow(view);
    if (!model || row < 0)
        return;
    talkgroup_ = model->Cell(row, 0);
    radio_ = model->Cell(row, 2);
    editTalkgroup_->setText(QString::fromLatin1(kOneTalkgroup) + talkgroup_);
    editRadio_->setText(QString::fromLatin1(kOneRadio) + radio_);
}

void ListInteraction::HoldSelectedActivityRow()
{
    QTreeView* view = View(ListRole::Activity);
    ListModel* model = ModelOf(view);
    const int row = SelectedRow(view);
    if (!model || row < 0)
        return;
    constexpr int kTalkgroupColumn = 5;
    int32_t talkgroup = 0;
    if (ReadHoldNumber(model->Cell(row, kTalkgroupColumn), talkgroup))
        SetHeldTalkgroup(window_, talkgroup);
}

void ListInteraction::WatchHeadings()
{
    for (const SortedList list : kSortable) {
        QTreeView* view = View(sorting::ListOf(list));
        if (!view)
            continue;
        view->header()->setSectionsClickable(true);
        connect(view->header(), &QHeaderView::sectionClicked, this,
                [this, list](int column) { SortByColumn(list, column); });
    }
}

void ListInteraction::SortByColumn(SortedList list, int column)
{
    sorting::SortColumn(window_.State(), list).store(column);
    if (ListModel* model = ModelOf(View(sorting::ListOf(list))))
        sorting::SortList(*model, list, column);
}

void ListInteraction::WireHold()
{
    if (QPushButton* button = window_.Widgets().holdButton)
        connect(button, &QPushButton::clicked, &window_, &TForm1::OpenHoldDialog);
}

void ListInteraction::WireThresholds()
{
    QSpinBox* high = window_.Widgets().thresholdHighSpin;
    QSpinBox* low = window_.Widgets().thresholdLowSpin;
    if (!high || !low)
        return;
    // A typed value counts when the field is left (or Enter is pressed), not digit by digit; a
    // value outside the spin box's range is put back to the previous one then.
    for (QSpinBox* spin : {high, low}) {
        spin->setKeyboardTracking(false);
        spin->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
        if (QLineEdit* edit = spin->findChild<QLineEdit*>())  // the spin box's own field
            edit->setMaxLength(2);
    }
    Settings& s = window_.AppSettings();
    connect(high, &QSpinBox::valueChanged, this, [&s](int v) { s.monitorThresholdHigh = v; });
    // Low may not pass High; lowering High leaves Low where it is until Low is next changed.
    connect(low, &QSpinBox::valueChanged, this, [&s, low](int v) {
        if (v <= s.monitorThresholdHigh) {
            s.monitorThresholdLow = v;
            return;
        }
        const QSignalBlocker quiet(low);
        low->setValue(s.monitorThresholdLow);
    });
}

void ListInteraction::WireFilter()
{
    const MainWindowWidgets& w = window_.Widgets();
    if (QAbstractButton* box = w.filterEnableBox)
        connect(box, &QAbstractButton::clicked, this, [this](bool on) {
            if (P25Class* d = window_.Decoder())
                d->Filter().SetFilterEnabled(on);
        });
    const std::pair<QAction*, std::pair<bool, bool>> commands[] = {{w.enableRangeAction, {false, true}},
                                                                   {w.disableRangesAction, {false, false}},
                                                                   {w.deleteRangeAction, {true, false}}};
    for (const auto& [action, what] : commands)
        if (action)
            connect(action, &QAction::triggered, this,
                    [this, remove = what.first, active = what.second] { SetFilterRanges(remove, active); });
    if (QPushButton* button = w.deleteRangeButton)
        connect(button, &QPushButton::clicked, this, [this] { SetFilterRanges(true, false); });
}

void ListInteraction::SetFilterRanges(bool remove, bool active)
{
    P25Class* d = window_.Decoder();
    QTreeView* view = View(ListRole::FilterRanges);
    ListModel* model = ModelOf(view);
    if (!d || !model)
        return;
    // The lines are read first: the filter's change redraws the list on the next refresh pass.
    std::vector<std::pair<int32_t, int32_t>> ranges;
    for (int row : SelectedRows(view))
        ranges.emplace_back(static_cast<int32_t>(sorting::Number(model->Cell(row, 0))),
                            static_cast<int32_t>(sorting::Number(model->Cell(row, 1))));
    for (const auto& [low, high] : ranges) {
        if (remove)
            d->Filter().RemoveFilterRange(low, high);
        else
            d->Filter().SetFilterRange(active, low, high);
    }
}
