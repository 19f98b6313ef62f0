#include "engine/stage.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

QPixmap screenWithBox(QWidget *screen)
{
    QPixmap pixmap = screen->grab();
    if (QWidget *box = QApplication::activeModalWidget()) {
        QPainter painter(&pixmap);
        const QPixmap boxPixmap = box->grab();
        painter.drawPixmap((pixmap.width() - boxPixmap.width()) / 2, (pixmap.height() - boxPixmap.height()) / 2,
                           boxPixmap);
    }
    return pixmap;
}
