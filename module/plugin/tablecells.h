#pragma once

#include <QString>

class QTableWidgetItem;
class QWidget;

// Table cells the pages share.
// A text item centred horizontally and vertically.
QTableWidgetItem *centredItem(const QString &text);
// A cell widget that centres control between two 40x20 spacers.
QWidget *centredCell(QWidget *control);
// A program name as a cell or a box shows it: no program path is longer than a few hundred
// characters, so a longer name from a damaged file is cut there, keeping the screen responsive.
QString shownName(const QString &name);
