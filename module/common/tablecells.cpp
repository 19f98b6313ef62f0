#include "common/tablecells.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSpacerItem>
#include <QTableWidgetItem>
#include <QWidget>

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return item;
}

void setUpColumns(QTableWidget *table, const QStringList &labels, const QVector<int> &widths)
{
    table->setColumnCount(labels.size());
    table->setHorizontalHeaderLabels(labels);
    for (int c = 0; c < widths.size(); ++c)
        table->setColumnWidth(c, widths[c]);
    table->horizontalHeader()->setVisible(true);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
}

void resetRows(QTableWidget *table, const QSize &size, int rows, int rowHeight)
{
    table->clear();
    table->setShowGrid(false);
    table->resize(size);
    table->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        table->setRowHeight(r, rowHeight);
}

QWidget *centredCell(QWidget *control)
{
    auto *cell = new QWidget;
    auto *box = new QHBoxLayout(cell);
    box->setContentsMargins(0, 0, 0, 0);
    box->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Maximum));
    box->addWidget(control);
    box->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Maximum));
    return cell;
}

int boxValue(const QComboBox *box, int loaded)
{
    const int shownIndex = loaded >= 0 && loaded < box->count() ? loaded : -1;
    return box->currentIndex() == shownIndex ? loaded : box->currentIndex();
}
