#pragma once

#include "engine/result.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>

class ModuleSession;
class QWidget;
class Stage;

// Writes what the operator does on the screen and in the simulator panel as a scenario that
// plays it again: the keys pressed, the boxes answered (a box's keys, the chooser's keys and its
// window X), the combo items chosen, the text typed, the cells clicked, the programs picked, the
// simulator's commands (link, faults, inputs, robot, run time, auto-start flags), the panel
// closing the screen; the waits and the controller clock's moves between them as they happened;
// before each command the page and the lamp the last one led to, where they changed; and at the
// end what the session left: the service, the queue, every slot, and each controller file that
// changed. What the module's own code or the controller does is not a command and is not written.
// The file is written whole after every step, so a killed panel leaves what it had.
class Recorder : public QObject
{
    Q_OBJECT
public:
    Recorder(Stage *stage, const ModuleSession *session, QObject *parent = nullptr);
    ~Recorder() override;

    // Copies the controller beside the file (as <name>.controller) and writes the first version:
    // the language, the run time and the auto-start flags in force. Neither the file nor the copy
    // may exist already.
    Result begin(const QString &file, const QString &controllerRoot, const QString &language);
    // A command of the simulator panel, as the step that plays it.
    void command(const QJsonObject &step);
    // The panel is about to close the screen: a question open now is answered with cancel as the
    // panel closes it, then the screen closes.
    void panelClosesScreen();
    // Writes where the session ended.
    Result finish();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A step as the runner's registry writes it.
    QJsonObject step(const QString &name, const QJsonValue &value, const QJsonObject &fields = {}) const;
    void add(const QJsonObject &step);
    void catchUp();
    void write();
    void flushTyping();
    void expectState();
    void expectEnd();
    void released(QWidget *widget, const QPoint &pos);
    void watchInput(QWidget *widget);
    bool onScreen(const QWidget *widget) const;

    Stage *m_stage;
    const ModuleSession *m_session;
    QString m_file;
    QString m_controllerRoot;
    QString m_controllerCopy;
    QString m_language;
    QJsonArray m_setup;
    QJsonArray m_steps;
    QString m_writeError;
    QElapsedTimer m_sinceLast;
    qint64 m_clockAtLast = 0;
    QPointer<QWidget> m_releasingIn; // the dialog whose key's release is being delivered
    QEvent *m_resent = nullptr;
    bool m_started = false;
    QSet<QObject *> m_watched;
    QMap<QString, QString> m_typing; // field -> its text, until the next command
    QString m_page;                  // the page and the lamp last expected
    QString m_lamp;
};
