#pragma once

#include <QByteArray>
#include <QPixmap>

class QWidget;

// What the scenario engine sees of the window it plays in: the pendant's screen the module's
// widget sits on, and pictures. The panel's window is one; a test can be another.
class Stage
{
public:
    enum class Picture { Screen, Window, Timeline };

    virtual ~Stage() = default;
    // The 1024x688 screen, parent of the module's widget.
    virtual QWidget *pendantScreen() const = 0;
    // The screen with any open box drawn over it, the whole window, or the run timeline; a null
    // picture where the stage has none.
    virtual QPixmap picture(Picture which) const = 0;
};

// The screen as the operator sees it: a grab of it with the open box drawn over its middle.
QPixmap screenWithBox(QWidget *screen);

// A picture as PNG bytes; none for a null picture.
QByteArray pngOf(const QPixmap &pixmap);
