#pragma once

#include <QStyledItemDelegate>

class NamesListModel;

// The in-place editors of the list editor, with the limits of the talkgroup and radio ID dialogs:
// the description at most 40 (talkgroups) or 50 (radios) characters, the priority a spinner from
// 0 to 99.
class NamesItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    NamesItemDelegate(const NamesListModel& model, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const NamesListModel& model_;
};
