#include "screenactions.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTreeWidget>

bool clickCell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table ? table->item(row, column) : nullptr;
    if (!item || !table->isVisible())
        return false;
    // Whatever lies above the table must let the click through.
    QWidget *viewport = table->viewport();
    const QPoint pos = table->visualItemRect(item).center();
    if (viewport->window()->childAt(viewport->mapTo(viewport->window(), pos)) != viewport)
        return false;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, pos, viewport->mapToGlobal(pos), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }
    return true;
}

QTreeWidgetItem *treeItemAt(QTreeWidget *tree, const QString &path)
{
    QTreeWidgetItem *item = tree ? tree->invisibleRootItem() : nullptr;
    for (const QString &part : path.split(QLatin1Char('/'))) {
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; item && i < item->childCount() && !next; ++i)
            if (item->child(i)->text(0) == part)
                next = item->child(i);
        item = next;
    }
    return item;
}
