#pragma once

#include <QString>

#include <QStringList>
#include <QVector>

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
// A table emptied for new rows: no grid, the given size, rows rows of the given height. The
// page deletes its row controls before: clearing the table hands their cells to deferred
// deletion.
void resetRows(QTableWidget *table, const QSize &size, int rows, int rowHeight);
// A program name as a cell or a box shows it: no program path is longer than a few hundred
// characters, so a longer name from a damaged file is cut there, keeping the screen responsive.
QString shownName(const QString &name);
