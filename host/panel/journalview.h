#pragma once

#include "journal.h"

#include <QList>
#include <QMap>
#include <QPixmap>
#include <QWidget>

class QListWidget;
class QPainter;

// The runs of the reservation on the controller clock: one lane a slot, a bar for each
// reservation and each run, coloured by how it ended; the last ten minutes, scrolling with the
// clock.
class RunTimeline : public QWidget
{
    Q_OBJECT
public:
    explicit RunTimeline(QWidget *parent = nullptr);
    void hear(const sim::JournalEntry &entry);
    // The timeline as a picture of its own size, whether it is shown or not.
    QPixmap picture() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void draw(QPainter &p, const QSize &size) const;

    struct Bar
    {
        qint64 from = 0;
        qint64 to = -1; // -1 while it lasts
        QString state;  // "reserved", "running"; once over: "finished", "stopped", "cancelled"
    };
    QMap<int, QList<Bar>> m_lanes; // by slot, from 1
};

// The journal as it happens, and the timeline beside it, in two tabs.
class JournalView : public QWidget
{
    Q_OBJECT
public:
    explicit JournalView(QWidget *parent = nullptr);
    ~JournalView() override;
    RunTimeline *timeline() const { return m_timeline; }

private:
    QListWidget *m_list = nullptr;
    RunTimeline *m_timeline = nullptr;
    int m_listener = 0;
};
