#pragma once

#include <QList>
#include <QPoint>
#include <QString>

class QComboBox;
class QDialog;
class QLineEdit;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// What an operator's finger and the panel's keys do on the screen, as the input events they
// produce, and what the operator's eye reads. The player acts only through these, and the
// recorder listens to the same events. Every action first asks whether the operator could reach
// its target (shown, enabled, not covered by a box or by another widget, scrolled into view) and
// returns why not; an empty text means the input was delivered. Input reaches the widget before
// the call returns, so a dialog it opens runs inside the call.
namespace operatorinput {

// What a widget shows as its text: a key's, a label's, a field's, a combo box's current item.
QString widgetText(const QWidget *w);

// A table's column (from 0), a cell's text a line: its item's (a widget in a cell has a name and
// a text of its own).
QString columnText(const QTableWidget *table, int column);

// A widget in a table's cell, scrolled into view as the operator scrolls the table.
void scrollIntoView(QWidget *w);
// Why the operator cannot touch w at pos (its centre when pos is null), or an empty text.
QString unreachable(const QWidget *w, QPoint pos = {});

// A press and a release at pos of w (its centre when null), delivered to the widget the window
// has at that place; a widget in a table's cell is scrolled into view first.
QString tap(QWidget *w, QPoint pos = {});
// A cell of a table (counted from 0), scrolled to first.
QString tapCell(QTableWidget *table, int row, int column);
// An item of a tree, scrolled to first.
QString tapItem(QTreeWidget *tree, QTreeWidgetItem *item);
// Opens the combo box's list with a tap and taps the item at index in it: the box reports the
// pick as activated, even of the item it shows already.
QString pickFromList(QComboBox *combo, int index);
// A tap into the field, all of its text selected, then the text as key presses: the field's
// validator takes what it takes, as it does from a keyboard.
QString typeInto(QLineEdit *edit, const QString &text);
// A key of the panel's keyboard (Qt::Key_Return, Qt::Key_Escape) to the window's focus.
QString pressKey(QWidget *window, int key);
// The window's X, as the window system closes a window.
QString closeWindow(QWidget *window);

// The boxes and the chooser open now that wait for their answer, each in an event loop of its own.
QList<QDialog *> waitingDialogs();

// The item a path of column-0 texts joined by "/" leads to, or null.
QTreeWidgetItem *treeItemAt(QTreeWidget *tree, const QString &path);

} // namespace operatorinput
