#include "tablecells.h"

#include <QHBoxLayout>
#include <QSpacerItem>
#include <QTableWidgetItem>
#include <QWidget>

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return item;
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

QString shownName(const QString &name)
{
    constexpr int longest = 256;
    return name.size() <= longest ? name : name.left(longest) + QChar(0x2026);
}
