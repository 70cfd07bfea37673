#pragma once

class QMenu;
class QTreeView;

// A list does not move under the mouse: while a menu opened on it is shown, the list's view keeps
// the rows it showed (its updaters go on filling the rows behind it, ListModel::Hold), and when
// the menu closes it takes everything that came meanwhile at once, in order, with the selected
// rows, the current row and the scroll position kept on the rows they were on (or at the end, when
// the view was at its end). Call right after the menu was popped up; nothing is held when the
// menu is not shown. Main thread only.
void HoldWhileMenuOpen(QMenu& menu, QTreeView& view);
