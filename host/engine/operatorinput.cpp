#include "engine/operatorinput.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

namespace operatorinput {

namespace {

QString nameOf(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// The widget the window system would hand a touch at pos of w.
QWidget *widgetAt(QWidget *w, QPoint pos)
{
    QWidget *window = w->window();
    const QPoint inWindow = w->mapTo(window, pos);
    QWidget *hit = window->childAt(inWindow);
    return hit ? hit : window;
}

QPoint centreOr(const QWidget *w, QPoint pos)
{
    return pos.isNull() ? w->rect().center() : pos;
}

} // namespace

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

QString columnText(const QTableWidget *table, int column)
{
    QStringList cells;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QTableWidgetItem *item = table->item(r, column);
        cells << (item ? item->text() : QString());
    }
    return cells.join(QLatin1Char('\n'));
}

void scrollIntoView(QWidget *w)
{
    for (QWidget *inner = w; inner && inner->parentWidget(); inner = inner->parentWidget()) {
        auto *table = qobject_cast<QTableWidget *>(inner->parentWidget()->parentWidget());
        if (!table || inner->parentWidget() != table->viewport())
            continue;
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 0; c < table->columnCount(); ++c)
                if (table->cellWidget(r, c) == inner) {
                    table->scrollTo(table->model()->index(r, c));
                    return;
                }
    }
}

QString unreachable(const QWidget *w, QPoint pos)
{
    if (!w->isVisible())
        return nameOf(w) + QStringLiteral(" is not shown");
    if (!w->isEnabled())
        return nameOf(w) + QStringLiteral(" is disabled");
    pos = centreOr(w, pos);
    if (!w->rect().contains(pos))
        return QStringLiteral("%1 is not in view there").arg(nameOf(w));
    const QWidget *window = w->window();
    // A box or the chooser takes every touch while it is open.
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != window && !(window->windowFlags() & Qt::Popup)) {
        const auto *label = modal->findChild<QLabel *>(QStringLiteral("msgBoxText"));
        return QStringLiteral("the box \"%1\" covers the screen").arg(label ? label->text() : nameOf(modal));
    }
    // A note shown without waiting is a window beside it: a touch on the screen raises the
    // screen's window over it, so the note covers nothing.
    QWidget *hit = widgetAt(const_cast<QWidget *>(w), pos);
    if (hit != w && !w->isAncestorOf(hit))
        return QStringLiteral("%1 is covered by %2 there").arg(nameOf(w), nameOf(hit));
    return QString();
}

QString tap(QWidget *w, QPoint pos)
{
    scrollIntoView(w);
    pos = centreOr(w, pos);
    if (QString why = unreachable(w, pos); !why.isEmpty())
        return why;
    QWidget *hit = widgetAt(w, pos);
    const QPoint at = hit->mapFrom(w->window(), w->mapTo(w->window(), pos));
    // Delivered as the window system delivers a touch: a press, then a release where it began.
    const QPointer<QWidget> target(hit);
    QTest::mousePress(hit, Qt::LeftButton, Qt::NoModifier, at);
    if (target)
        QTest::mouseRelease(target.data(), Qt::LeftButton, Qt::NoModifier, at);
    return QString();
}

QString tapCell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item)
        return QStringLiteral("%1 has no cell %2, %3").arg(nameOf(table), QString::number(row + 1), QString::number(column + 1));
    if (!table->isVisible())
        return nameOf(table) + QStringLiteral(" is not shown");
    // Scrolled to, as the operator scrolls.
    table->scrollToItem(item);
    const QRect rect = table->visualItemRect(item);
    if (!table->viewport()->rect().contains(rect.center()))
        return QStringLiteral("cell %1, %2 of %3 cannot be scrolled into view").arg(row + 1).arg(column + 1).arg(nameOf(table));
    return tap(table->viewport(), rect.center());
}

QString tapItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    if (!tree->isVisible())
        return nameOf(tree) + QStringLiteral(" is not shown");
    tree->scrollToItem(item);
    const QRect rect = tree->visualItemRect(item);
    if (rect.isEmpty())
        return QStringLiteral("%1 is folded away in %2").arg(item->text(0), nameOf(tree));
    // The finger lands on the part of the row the operator sees: a long name runs past the view.
    const QRect seen = rect & tree->viewport()->rect();
    if (seen.isEmpty())
        return QStringLiteral("%1 cannot be scrolled into view in %2").arg(item->text(0), nameOf(tree));
    return tap(tree->viewport(), seen.center());
}

QString pickFromList(QComboBox *combo, int index)
{
    QAbstractItemView *view = combo->view();
    if (!view->isVisible())
        if (QString why = tap(combo); !why.isEmpty())
            return why;
    if (!view->isVisible())
        return QStringLiteral("the list of %1 did not open").arg(nameOf(combo));
    const QModelIndex item = combo->model()->index(index, combo->modelColumn(), combo->rootModelIndex());
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    QWidget *viewport = view->viewport();
    if (!viewport->rect().contains(at))
        return QStringLiteral("item %1 of %2 cannot be scrolled into view").arg(index).arg(nameOf(combo));
    // The finger slides onto the item, then lifts there.
    QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, at);
    if (view->isVisible())
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at);
    // A list that took the release as the end of the tap that opened it takes the panel's Enter.
    if (view->isVisible())
        QTest::keyClick(view, Qt::Key_Return);
    return view->isVisible() ? QStringLiteral("the list of %1 stayed open").arg(nameOf(combo)) : QString();
}

QString typeInto(QLineEdit *edit, const QString &text)
{
    if (QString why = tap(edit); !why.isEmpty())
        return why;
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    return edit->text() == text ? QString()
                                : QStringLiteral("%1 took \"%2\" of the keys \"%3\"").arg(nameOf(edit), edit->text(), text);
}

QString pressKey(QWidget *window, int key)
{
    // The window system makes a box it shows the active window, its first key the focus.
    if (!window->isActiveWindow())
        QApplication::setActiveWindow(window);
    QWidget *focus = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(focus, Qt::Key(key));
    return QString();
}

QString closeWindow(QWidget *window)
{
    window->close();
    return QString();
}

QList<QDialog *> waitingDialogs()
{
    QList<QDialog *> waiting;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible() && dialog->isModal())
            waiting << dialog;
    return waiting;
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

} // namespace operatorinput
