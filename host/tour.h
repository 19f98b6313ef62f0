#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class PanelWindow;

// One step of a tour, made by the functions below; name is the object name acted on, or the
// screenshot's file name.
struct TourStep
{
    enum Kind { Click, Answer, Shot, WindowShot, Choose, ClickCell, Pick };

    // Press the visible button of that object name on the screen.
    static TourStep click(const QString &button, int delayMs) { return make(Click, button, delayMs); }
    // Press that key of the open modal dialog ("msgBoxConfirm", "btnSelect", ...).
    static TourStep answer(const QString &key, int delayMs) { return make(Answer, key, delayMs); }
    // Save the screen, with an open modal dialog over it, as <file>.png.
    static TourStep shot(const QString &file, int delayMs) { return make(Shot, file, delayMs); }
    // Save the whole window, simulator panel included, as <file>.png.
    static TourStep windowShot(const QString &file, int delayMs) { return make(WindowShot, file, delayMs); }
    // Make item index of the combo box current.
    static TourStep choose(const QString &combo, int index, int delayMs)
    {
        TourStep step = make(Choose, combo, delayMs);
        step.index = index;
        return step;
    }
    // Click a cell of the table as the mouse would.
    static TourStep clickCell(const QString &table, int row, int column, int delayMs)
    {
        TourStep step = make(ClickCell, table, delayMs);
        step.row = row;
        step.column = column;
        return step;
    }
    // Make the item at path ("A/B/C") of the tree in the open modal dialog current.
    static TourStep pick(const QString &tree, const QString &path, int delayMs)
    {
        TourStep step = make(Pick, tree, delayMs);
        step.path = path;
        return step;
    }

    Kind kind = Click;
    QString name;
    int delayMs = 0; // wait before this step
    int index = -1;
    int row = -1;
    int column = -1;
    QString path;

private:
    static TourStep make(Kind kind, const QString &name, int delayMs)
    {
        TourStep step;
        step.kind = kind;
        step.name = name;
        step.delayMs = delayMs;
        return step;
    }
};

// Plays a scripted walk through the module: clicks, answers and screenshots, each after its
// delay. A step whose widget is missing is reported and skipped; the tour goes on.
class Tour : public QObject
{
    Q_OBJECT
public:
    Tour(PanelWindow *window, const QString &shotDir, const QList<TourStep> &steps,
         QObject *parent = nullptr);

    void start();
    QStringList written() const { return m_written; }
    QStringList skipped() const { return m_skipped; }

signals:
    void finished();

private:
    void next();
    void perform(const TourStep &step);
    void skip(const TourStep &step);
    void save(const QPixmap &pixmap, const QString &name);

    PanelWindow *m_window;
    QString m_dir;
    QList<TourStep> m_steps;
    int m_index = 0;
    QStringList m_written;
    QStringList m_skipped;
};

// Every page of the module with a screenshot of each, ending through the module's own exit.
QList<TourStep> defaultTour();
