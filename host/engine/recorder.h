#pragma once

#include "treefiles/result.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <optional>

class ModuleSession;
class OutputFiles;
class QWidget;
class Stage;

// Writes what the operator does on the screen and in the simulator panel as a scenario that
// plays it again. It listens where the player acts: the taps (keys, cells, the chooser's items
// and keys), the items picked from a list (activated), the text typed, Return and Escape in a box,
// a window's X; and the simulator's commands (link, faults, inputs, robot, run time, auto-start
// flags), the panel closing the screen; the waits and the controller clock's moves between them as
// they happened. Before each command it writes what the last one changed, as checkpoints a replay
// must pass: the page, the lamp, the monitor's rows (status, sequence, total), the box open, the
// service's slots and queue. At the end, what the session left: the service, the queue, every
// slot, and each controller file that changed (a time stamp the wall clock wrote is left out).
// What the module's own code or the controller does is not a command and is not written. The
// file is written whole after every step, so a killed panel leaves what it had.
class Recorder : public QObject
{
    Q_OBJECT
public:
    // The recording and its copies are written through files.
    Recorder(Stage *stage, const ModuleSession *session, const OutputFiles *files, QObject *parent = nullptr);
    ~Recorder() override;

    // Copies the controller and the panel's tree beside the file (as <name>.controller and
    // <name>.panel) and writes the first version: the language, the run time and the auto-start
    // flags in force. Neither the file nor the copies may exist already.
    Result startRecording(const QString &file, const QString &controllerRoot, const QString &panelRoot, const QString &language);
    // The simulator panel's commands, each written as the step that plays it.
    void connectionSet(bool on);
    void robotRunningSet(bool on);
    void runTimeSet(qint64 ms);
    void inputPulsed(int input);
    void codeStrobed(int code);
    void autoStartSet(const QList<bool> &flags);
    void faultSet(const QString &fault, bool on);
    // The panel is about to close the screen: a question open now is answered with cancel as the
    // panel closes it, then the screen closes.
    void panelClosesScreen();
    // Writes where the session ended.
    Result finish();
    // How often the recording has been written: each command, each text typed, each box shown.
    int writes() const { return m_writes; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A step as the runner's registry writes it.
    QJsonObject step(const QString &name, const QJsonValue &value, const QJsonObject &fields = {}) const;
    void add(const QJsonObject &step);
    void simulated(const QString &name, const QJsonValue &value, const QJsonObject &fields = {});
    void catchUp();
    void writeRecording();
    void flushTyping();
    // Each checkpoint's step by what it checks ("page", "slot 3", ...), as the screen and the
    // service show it now.
    QList<QPair<QString, QJsonObject>> observed() const;
    // Whether the monitor's Name cell of that row (from 0) shows a name that scrolls.
    bool rolls(int row, const QString &shown) const;
    void checkpoint();
    // Each slot's step ("slot N"), then the queue's ("queue") and the service's in force
    // ("service"), as the service holds them now.
    QList<QPair<QString, QJsonObject>> slotsAndQueue() const;
    QJsonObject serviceInForce() const;
    void expectEnd();
    // The answers the panel's close gives to every box and chooser open now, top first.
    QList<QJsonObject> closingSteps() const;
    void released(QWidget *widget, const QPoint &pos);
    // Whether the key answered a box or the chooser, and was written so.
    bool keyPressed(QWidget *widget, int key);
    // The event delivered to receiver with its dialog known as answered by its own input.
    void deliverInDialog(QObject *receiver, QEvent *copy);
    void watchInput(QWidget *widget);
    bool onScreen(const QWidget *widget) const;

    Stage *m_stage;
    const ModuleSession *m_session;
    const OutputFiles *m_files;
    QString m_file;
    QString m_controllerRoot;
    QString m_controllerCopy;
    QString m_panelCopy;
    QString m_language;
    QJsonArray m_setup;
    QJsonArray m_steps;
    QString m_writeError;
    QElapsedTimer m_sinceLast;
    qint64 m_clockAtLast = 0;
    QPointer<QWidget> m_releasingIn; // the dialog whose key's release is being delivered
    QEvent *m_resent = nullptr;
    bool m_started = false;
    int m_writes = 0;
    QSet<QObject *> m_watched;
    QMap<QString, QString> m_typing; // field -> its text, until the next command
    QMap<QString, QJsonObject> m_checked; // each checkpoint's step as last written, by what it checks
    using Observed = QList<QPair<QString, QJsonObject>>;
    // What the screen showed as the operator's last touch or key arrived, before the screen
    // acted on it, and as typing began: a command's checkpoints are what it started from.
    std::optional<Observed> m_beforeInput;
    std::optional<Observed> m_beforeTyping;
    const QEvent *m_lastInput = nullptr;
};
