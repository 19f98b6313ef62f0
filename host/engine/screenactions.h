#pragma once

#include <QString>

class QTableWidget;
class QWidget;
class QTreeWidget;
class QTreeWidgetItem;

// What an operator's finger does on the screen, and what the operator's eye reads.

// What a widget shows as its text: a key's, a label's, a field's, a combo box's current item.
QString widgetText(const QWidget *w);

// Presses and releases the mouse on a cell (counted from 0) of a shown table, scrolled into view
// first, as the window system delivers it; false when the cell is not there or something covers
// it. The click is delivered before this returns, so a dialog it opens runs inside the call.
bool clickCell(QTableWidget *table, int row, int column);

// Presses and releases the mouse on a tree's item, scrolled into view first; false when it is
// not shown.
bool clickItem(QTreeWidget *tree, QTreeWidgetItem *item);

// The item a path of column-0 texts joined by "/" leads to, or null.
QTreeWidgetItem *treeItemAt(QTreeWidget *tree, const QString &path);
