#pragma once

#include "core/domain.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class ProgramNames;
class QComboBox;
class QSize;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

// Table cells the pages share.
// A text item centred horizontally and vertically.
QTableWidgetItem *centredItem(const QString &text);
// A cell widget that centres control between two 40x20 spacers.
QWidget *centredCell(QWidget *control);
// The columns of a page's table: their labels and widths, the horizontal header shown and the
// vertical one hidden, no editing, no selection.
void setUpColumns(QTableWidget *table, const QStringList &labels, const QVector<int> &widths);
// A table emptied for rows rows of the given height, with no grid and the given size.
void resetRows(QTableWidget *table, const QSize &size, int rows, int rowHeight);
// A page's table emptied for the slots of a signal mode: the row controls deleted first
// (clearing the table hands their cells to deferred deletion), then no grid, the given size,
// and a row of the mode's height for each slot.
template<typename A, typename B>
void resetSlotRows(QTableWidget *table, QList<A *> &controls, QList<B *> &moreControls, const QSize &size,
                   int signalMode)
{
    qDeleteAll(controls);
    qDeleteAll(moreControls);
    controls.clear();
    moreControls.clear();
    resetRows(table, size, slotRows(signalMode), slotRowHeight(signalMode));
}
// The value a box stands for: loaded (the value it was set from) while it shows the item it was
// set to, else its current item. A value the box cannot show (it then shows no item) is kept
// until the operator picks another.
int boxValue(const QComboBox *box, int loaded);
// The box's list laid out only when shown or asked where an item lies, not at each change of
// font or style while hidden; one-line items, measured once for all.
void layOutListWhenShown(QComboBox *box);
// A program box showing names: thousands of one-line items, so neither the box nor its list
// measures them (a style applied would otherwise lay every item out again).
void showProgramNames(QComboBox *box, ProgramNames *names);
