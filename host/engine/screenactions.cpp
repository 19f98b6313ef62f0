#include "engine/screenactions.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTreeWidget>

// A press and a release at pos, when nothing above the view's viewport covers it.
static bool clickAt(QAbstractItemView *view, const QPoint &pos)
{
    QWidget *viewport = view->viewport();
    if (viewport->window()->childAt(viewport->mapTo(viewport->window(), pos)) != viewport)
        return false;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, pos, viewport->mapToGlobal(pos), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }
    return true;
}

QString widgetText(const QWidget *w)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(w))
        return edit->text();
    if (auto *combo = qobject_cast<const QComboBox *>(w))
        return combo->currentText();
    return QString();
}

bool clickCell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table ? table->item(row, column) : nullptr;
    if (!item || !table->isVisible())
        return false;
    // Scrolled to, as the operator scrolls; whatever lies above the table must let the click through.
    table->scrollToItem(item);
    return clickAt(table, table->visualItemRect(item).center());
}

bool clickItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    if (!item || !tree->isVisible())
        return false;
    tree->scrollToItem(item);
    return clickAt(tree, tree->visualItemRect(item).center());
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
