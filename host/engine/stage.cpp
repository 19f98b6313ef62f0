#include "engine/stage.h"

#include <QApplication>
#include <QBuffer>
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

QByteArray pngOf(const QPixmap &pixmap)
{
    QByteArray bytes;
    if (pixmap.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    return bytes;
}
