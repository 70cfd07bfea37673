#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

#include "ui/views/ListSorting.h"

class QAction;
class QMenu;
class QTreeView;
class TForm1;

// The user's way into the lists of the main window: a click on a talkgroup or radio list names
// the row's talkgroup and radio as the targets of the editing dialogs and in the shared pop-up
// menu (PopupMenu1); a double click on an activity row holds its talkgroup; a click on a column
// heading sorts the activity, affiliation and grant trace lists. It also runs the hold button,
// the monitor priority window ("High:"/"Low:") and the affiliation filter's switch and range
// commands. A child of the main window, created with its widgets; main thread only.
class ListInteraction : public QObject {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "ListInteraction";
    static constexpr char kAllTalkgroups[] = "Edit TalkGroups";
    static constexpr char kAllRadios[] = "Edit Radio IDs";
    static constexpr char kOneTalkgroup[] = "Edit TalkGroup ";
    static constexpr char kOneRadio[] = "Edit Radio ID ";

    explicit ListInteraction(TForm1& window);

    // What the pop-up's two commands hand to the talkgroup and radio ID dialogs (empty: any).
    const QString& TalkgroupTarget() const { return talkgroup_; }
    const QString& RadioTarget() const { return radio_; }

    // A click (or a right-click before the pop-up opens) on one of the talkgroup/radio lists.
    void TakeEditTargets(ListRole list);
    // A new selected row of the affiliation list names its talkgroup and radio as they read.
    void TakeAffiliationSelection();
    // Double click on the activity list: holds the selected row's talkgroup.
    void HoldSelectedActivityRow();
    // A click on a column heading: the list's sort column, and the list sorted at once.
    void SortByColumn(SortedList list, int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPopup();
    void WatchTargetLists();
    void WatchHeadings();
    void WireHold();
    void WireThresholds();
    void WireFilter();
    void SetFilterRanges(bool remove, bool active);
    QTreeView* View(ListRole list) const;

    TForm1& window_;
    QMenu* popup_ = nullptr;
    QAction* editTalkgroup_ = nullptr;
    QAction* editRadio_ = nullptr;
    QString talkgroup_;
    QString radio_;
};
