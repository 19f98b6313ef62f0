#pragma once

#include "engine/report.h"
#include "engine/runlistener.h"
#include "engine/scenario.h"
#include "engine/screenprofile.h"
#include "engine/stepcontext.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class ModuleSession;
class Stage;

// Plays scenarios one after another: the session's module on the stage's screen. Each starts
// on a fresh copy of its controller folder below workDir ("controller", "panel" and "outside",
// a folder beside both trees): the stand-ins reset, the set-up steps, then the screen opens and
// the steps run, each by its handler in the step registry. A step, and every look of an
// expectation, is taken only once the screen is at rest by the idle rule (engine/idlerule.h), as
// an operator waits for it. A step that waits (an expectation, an answer) is tried again until it
// holds or its time is up. The screen is torn down only once the module's code has returned to
// the panel's event loop.
class ScenarioRunner : public QObject
{
    Q_OBJECT
public:
    // Every file the run writes goes through files. pace stretches every wait and time limit, for
    // slow runs such as under valgrind.
    ScenarioRunner(Stage *stage, ModuleSession *session, const OutputFiles *files, const QString &workDir,
                   const QString &shotDir, double pace = 1, QObject *parent = nullptr);
    ~ScenarioRunner() override;

    void play(const QList<Scenario> &scenarios);
    QList<ScenarioResult> results() const { return m_results; }
    // 0 when every scenario passed, 1 when an expectation failed, 2 when one could not run.
    int exitCode() const;
    // Where a failed scenario's picture and journal are saved; none when empty.
    void setFailureDir(const QString &dir) { m_failureDir = dir; }
    // Told of the run as it goes; the listener outlives the run.
    void addListener(RunListener *listener) { m_listeners << listener; }

signals:
    void finished();

private:
    enum class Phase { Idle, Setup, Opening, Steps, Ending };

    void tick();
    void beginScenario();
    void openScenarioScreen();
    void runStep();
    // The step begun, once: its result listed and its listeners told.
    void announce(const ScenarioStep &step);
    void endScenario();
    void fail(const ScenarioStep &step, int resultIndex, const QString &message, bool error);
    // The screen and the journal as the failure just named left them.
    void keepFailure();
    void resetStandIns();
    // What the screen is still busy with, by the idle rule; empty when at rest.
    QString busyWith() const;
    // Whether to look again for rest, or the screen stayed busy too long (the step fails).
    bool waitForRest(const ScenarioStep *step);

    StepContext m_context;
    QString m_failureDir;
    QList<Scenario> m_scenarios;
    QList<ScenarioResult> m_results;
    int m_current = -1;
    Phase m_phase = Phase::Idle;
    int m_step = 0;
    int m_announced = -1;
    int m_resultIndex = -1; // the announced step's place in m_stepResults
    int m_baseLevel = -1;
    QTimer m_timer;
    QElapsedTimer m_stepClock;
    QElapsedTimer m_busyClock; // since the screen was first seen busy before this look
    bool m_busy = false;
    QElapsedTimer m_scenarioClock;
    QString m_failure;
    bool m_error = false;
    QList<StepResult> m_stepResults;
    QByteArray m_failurePicture;
    QList<sim::JournalEntry> m_failureJournal; // as it was at the failure
    QList<sim::JournalEntry> m_journal; // this scenario's journal
    int m_listener = 0;
    QList<RunListener *> m_listeners;
};
