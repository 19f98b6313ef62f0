#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>


class PanelWindow;

struct TourStep
{
    enum Kind {
        Click,      // press the visible button of that object name on the screen
        Answer,     // press that key of the open modal box ("msgBoxConfirm", "msgBoxCancel")
        Shot,       // save the screen (and an open modal box over it) as <name>.png
        WindowShot, // save the whole window, simulator panel included, as <name>.png
        Choose,     // set the combo box "<object name>=<index>" on the screen
        ClickCell,  // click the cell "<table name>=<row>,<column>" on the screen
        Pick,       // make "<tree name>=<A/B/C>" the current item in the open modal dialog
    };
    Kind kind;
    QString name;
    int delayMs; // wait before this step
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
