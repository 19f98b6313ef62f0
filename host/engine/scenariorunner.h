#pragma once

#include "engine/report.h"
#include "engine/scenario.h"
#include "engine/screenprofile.h"

#include <QByteArray>
#include <QJsonArray>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QTimer>

class ModuleSession;
struct StepDef;
class QWidget;
class Stage;
struct StepOutcome;

// Plays scenarios one after another: the session's module on the stage's screen. Each starts
// on a fresh copy of its controller folder below workDir ("controller", "panel" and "outside",
// a folder beside both trees): the stand-ins reset, the set-up steps, then the screen opens and
// the steps run. A step that waits (an expectation, an answer) is tried again until it holds or
// its time is up; an operator's step is never taken while a box covers the screen. The next step
// is scheduled before a step is taken, so steps go on inside the boxes the module opens; the
// screen is torn down only once the module's code has returned to the panel's event loop.
class ScenarioRunner : public QObject
{
    Q_OBJECT
public:
    // pace stretches every wait and time limit, for slow runs such as under valgrind.
    ScenarioRunner(Stage *stage, ModuleSession *session, const QString &workDir, const QString &shotDir,
                   double pace = 1, QObject *parent = nullptr);
    ~ScenarioRunner() override;

    // Every kind of step this runner takes, with its handler.
    static const QList<StepDef> &stepDefs();

    void start(const QList<Scenario> &scenarios);
    QList<ScenarioResult> results() const { return m_results; }
    // 0 when every scenario passed, 1 when an expectation failed, 2 when one could not run.
    int exitCode() const;
    // Where a failed scenario's picture and journal are saved; none when empty.
    void setFailureDir(const QString &dir) { m_failureDir = dir; }

signals:
    // A line of the run's account: a scenario begun, a step taken, a failure, a result.
    void said(const QString &line);
    void finished();

private:
    enum class Phase { Idle, Setup, Opening, Steps, Ending };

    void tick();
    void schedule(int ms);
    void beginScenario();
    void openScreen();
    void runStep();
    void endScenario();
    void fail(const ScenarioStep &step, const QString &message, bool error);

    // The steps by what they act on; each says whether it held.
    StepOutcome perform(const ScenarioStep &step);
    StepOutcome operate(const QString &kind, const QJsonObject &args);
    StepOutcome answer(const QJsonObject &args) const;
    StepOutcome pick(const QJsonObject &args) const;
    StepOutcome simulate(const QString &kind, const QJsonObject &args);
    StepOutcome screenshot(const QJsonObject &args) const;
    StepOutcome expectOnScreen(const QString &what, const QJsonObject &args) const;
    StepOutcome expectOfController(const QString &what, const QJsonObject &args) const;
    StepOutcome expectFile(const QJsonObject &args) const;
    StepOutcome expectUnchanged(const QJsonObject &args) const;
    StepOutcome check(const QString &what, const QJsonValue &expected, const QJsonValue &found) const;

    // The widget of that name: in the open dialog first, then shown on the screen, then anywhere
    // on it.
    QWidget *widget(const QString &name) const;
    QString resolve(const QString &treePath) const;
    QJsonValue substituted(const QJsonValue &value) const;
    QMap<QString, QByteArray> snapshot() const;
    void resetStandIns();
    void tearDownScreen();

    Stage *m_stage;
    ModuleSession *m_session;
    screenprofile::PageWatch m_pageWatch;
    QString m_workDir;
    QString m_shotDir;
    double m_pace;
    QList<Scenario> m_scenarios;
    QList<ScenarioResult> m_results;
    int m_current = -1;
    Phase m_phase = Phase::Idle;
    int m_step = 0;
    int m_announced = -1;
    int m_baseLevel = -1;
    QTimer m_timer;
    QElapsedTimer m_stepClock;
    QElapsedTimer m_scenarioClock;
    QMap<QString, QByteArray> m_before;
    bool m_screenClosed = false;
    QString m_failure;
    bool m_error = false;
    QString m_failureDir;
    QList<StepResult> m_stepResults;
    QByteArray m_failurePicture;
    QStringList m_journal; // this scenario's journal, one JSON object a line
    int m_listener = 0;
    QJsonArray m_setupAutoStart; // the set-up's auto-start flags, if it gave them
};
