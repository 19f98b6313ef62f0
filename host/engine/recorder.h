#pragma once

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QSet>

class ModuleSession;
class QWidget;
class Stage;

// Writes what the operator does on the screen and in the simulator panel as a scenario that
// plays it again: the keys pressed, the boxes answered, the combo items chosen, the text typed,
// the cells clicked, the programs picked, and the cell's link, faults, inputs and robot; the
// waits and the controller clock's moves between them as they happened; and, before each
// command, the page and the lamp the last one led to, where they changed. The controller it
// starts from is copied beside the scenario.
class Recorder : public QObject
{
    Q_OBJECT
public:
    Recorder(Stage *stage, const ModuleSession *session, const QString &file, const QString &controllerRoot,
             QObject *parent = nullptr);
    ~Recorder() override;

    // Writes the scenario; false when it cannot be written.
    bool save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void add(QJsonObject step);
    void flushTyping();
    void expectState();
    void released(QWidget *widget, const QPoint &pos);
    void watchInput(QWidget *widget);
    bool onScreen(const QWidget *widget) const;

    Stage *m_stage;
    const ModuleSession *m_session;
    QString m_file;
    QString m_controllerCopy;
    QJsonArray m_steps;
    QElapsedTimer m_sinceLast;
    qint64 m_clockAtLast = 0;
    QSet<QObject *> m_watched;
    QMap<QString, QString> m_typing; // field -> its text, until the next command
    QString m_page;                  // the page and the lamp last expected
    QString m_lamp;
    int m_listener = 0;
};
