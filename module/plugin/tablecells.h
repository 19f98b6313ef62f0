#pragma once

#include <QString>

class QTableWidgetItem;
class QWidget;

// Table cells the pages share.
// A text item centred horizontally and vertically.
QTableWidgetItem *centredItem(const QString &text);
// A cell widget that centres control between two 40x20 spacers.
QWidget *centredCell(QWidget *control);
