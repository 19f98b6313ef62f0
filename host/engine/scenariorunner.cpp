#include "engine/scenariorunner.h"

#include "engine/idlerule.h"
#include "engine/outputfiles.h"
#include "engine/journalfile.h"
#include "engine/operatorinput.h"
#include "engine/session.h"
#include "engine/stage.h"
#include "engine/steps.h"

#include "desktopsim.h"
#include "msgboxsim.h"
#include "rtmcoresim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QThread>

namespace {

// How soon a step that waits for the screen or the controller looks again.
constexpr int LookAgainMs = 5;

} // namespace

ScenarioRunner::ScenarioRunner(Stage *stage, ModuleSession *session, const OutputFiles *files, const QString &workDir,
                               const QString &shotDir, double pace, QObject *parent)
    : QObject(parent)
{
    m_context.stage = stage;
    m_context.session = session;
    m_context.files = files;
    m_context.workDir = workDir;
    m_context.shotDir = shotDir;
    m_context.pace = pace;
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ScenarioRunner::tick);
    // The journal of the scenario playing, for a failure to show; a long one keeps its end.
    m_listener = sim::Journal::instance().addListener([this](const sim::JournalEntry &entry) {
        for (RunListener *listener : qAsConst(m_listeners))
            listener->journalled(entry);
        m_journal << entry;
        if (m_journal.size() > 20000)
            m_journal.erase(m_journal.begin(), m_journal.begin() + 10000);
    });
}

ScenarioRunner::~ScenarioRunner()
{
    sim::Journal::instance().removeListener(m_listener);
    limitFileSize(-1);
    sim::Desktop::setCloseHandler(nullptr);
}

void ScenarioRunner::play(const QList<Scenario> &scenarios)
{
    m_scenarios = scenarios;
    m_results.clear();
    m_current = 0;
    for (RunListener *listener : qAsConst(m_listeners))
        listener->runBegun(m_scenarios);
    if (m_scenarios.isEmpty()) {
        for (RunListener *listener : qAsConst(m_listeners))
            listener->runEnded(m_results);
        QTimer::singleShot(0, this, &ScenarioRunner::finished);
    }
    else
        beginScenario();
}

int ScenarioRunner::exitCode() const
{
    int code = 0;
    for (const ScenarioResult &result : m_results)
        code = qMax(code, result.error ? 2 : result.failure.isEmpty() ? 0 : 1);
    return code;
}

QString ScenarioRunner::busyWith() const
{
    return idlerule::busyWith(m_context.session->widget() ? m_context.stage->pendantScreen() : nullptr, m_baseLevel);
}

bool ScenarioRunner::waitForRest(const ScenarioStep *step)
{
    const QString busy = busyWith();
    if (busy.isEmpty()) {
        m_busy = false;
        return false;
    }
    if (!m_busy) {
        m_busy = true;
        m_busyClock.start();
    }
    // The screen's own work takes what it takes; a screen that never comes to rest is the step's
    // failure, after the step's own time or ten seconds, whichever is longer.
    const int within = step ? step->args.value(QStringLiteral("within")).toInt(2000) : 2000;
    if (m_busyClock.elapsed() < qMax(within, 10000) * m_context.pace) {
        m_timer.start(1);
        return true;
    }
    m_busy = false;
    const QString message = QStringLiteral("the screen did not come to rest: ") + busy;
    if (step) {
        announce(*step);
        fail(*step, m_resultIndex, message, false);
    } else {
        m_failure = QStringLiteral("%1: %2").arg(m_scenarios.at(m_current).file, message);
        keepFailure();
        m_phase = Phase::Ending;
        m_timer.start(0);
    }
    return true;
}

void ScenarioRunner::tick()
{
    if (m_baseLevel < 0)
        m_baseLevel = QThread::currentThread()->loopLevel();
    switch (m_phase) {
    case Phase::Idle:
        return;
    case Phase::Opening: {
        // The screen is up once its start-up is done: the monitor has fetched its configuration.
        if (waitForRest(nullptr))
            return;
        if (!screenprofile::isStarted()) {
            m_failure = QStringLiteral("%1: the screen did not start: the monitor fetched no configuration").arg(m_scenarios.at(m_current).file);
            m_error = true;
            keepFailure();
            m_phase = Phase::Ending;
            m_timer.start(0);
            return;
        }
        // The trees as the screen opened, for an "unchanged" step; a big controller's files are
        // read only when a scenario asks.
        m_context.before.clear();
        for (const ScenarioStep &step : m_scenarios.at(m_current).steps)
            if (step.def && step.def->run == controllerexpectations::unchanged) {
                m_context.before = m_context.snapshot();
                break;
            }
        m_phase = Phase::Steps;
        m_step = 0;
        runStep();
        return;
    }
    case Phase::Ending:
        endScenario();
        return;
    case Phase::Setup:
    case Phase::Steps: {
        // The operator waits for the screen to come to rest before every step and every look.
        const Scenario &scenario = m_scenarios.at(m_current);
        const QList<ScenarioStep> &steps = m_phase == Phase::Setup ? scenario.setup : scenario.steps;
        if (waitForRest(m_step < steps.size() ? &steps.at(m_step) : nullptr))
            return;
        runStep();
        return;
    }
    }
}

void ScenarioRunner::resetStandIns()
{
    sim::Controller::instance().reset();
    sim::Reservation::instance().reset();
    sim::MsgBoxHooks::clearResponder();
    sim::MsgBoxHooks::clearRecords();
    sim::Panel::reset();
    sim::CallLog::instance().setEnabled(true);
    // A scenario asks how often, never in which order: counted, the log stays small however long
    // the scenario waits while the screen polls.
    sim::CallLog::instance().setKeepEntries(false);
    sim::CallLog::instance().clear();
    sim::Desktop::setCloseHandler([this](int, bool) { m_context.screenClosed = true; });
}

void ScenarioRunner::beginScenario()
{
    const Scenario &scenario = m_scenarios.at(m_current);
    for (RunListener *listener : qAsConst(m_listeners))
        listener->scenarioBegun(scenario);
    resetStandIns();
    // In a journal of several scenarios, where each begins and its clock starts again.
    sim::Journal::instance().record(QStringLiteral("scenario"), scenario.name, {{QStringLiteral("file"), scenario.file}});
    const OutputFiles &files = *m_context.files;
    Result copied = Result::ok();
    for (const char *tree : {"controller", "panel", "outside"}) {
        const QString dir = m_context.workDir + QLatin1Char('/') + QLatin1String(tree);
        if (copied)
            copied = files.removePath(dir);
        if (copied)
            copied = files.makeFolder(dir);
    }
    if (copied)
        copied = files.copyTree(scenario.controller, m_context.resolve(QStringLiteral("controller:/")));
    if (copied && !scenario.panel.isEmpty())
        copied = files.copyTree(scenario.panel, m_context.resolve(QStringLiteral("panel:/")));
    sim::Controller::instance().treeChanged();
    // The panel's own folders, unless the scenario brings the tree it began in.
    if (copied && scenario.panel.isEmpty())
        for (const char *folder : {"panel:/bin", "panel:/Application/zuzerarove"})
            if (copied)
                copied = files.makeFolder(m_context.resolve(QLatin1String(folder)));
    m_phase = copied ? Phase::Setup : Phase::Ending;
    m_step = 0;
    m_announced = -1;
    m_failure = copied ? QString() : QStringLiteral("%1: %2").arg(scenario.file, copied.error());
    m_error = !copied;
    m_stepResults.clear();
    m_context.setupAutoStart = QJsonArray();
    m_context.screenClosed = false;
    m_context.inSetup = true;
    m_failurePicture.clear();
    m_failureJournal.clear();
    m_context.seen.clear();
    m_journal.clear();
    m_scenarioClock.start();
    m_timer.start(0);
}

void ScenarioRunner::openScenarioScreen()
{
    m_context.inSetup = false;
    // The service takes the controller's files as it does when the controller starts.
    sim::Reservation &service = sim::Reservation::instance();
    service.applyControllerConfig();
    service.applyControllerProgramMap();
    service.applyControllerSoftPlc();
    for (int plc = 0; plc < m_context.setupAutoStart.size() && plc < 4; ++plc)
        service.setAutoStart(plc, m_context.setupAutoStart.at(plc).toBool());
    sim::CallLog::instance().clear();
    sim::MsgBoxHooks::clearRecords();

    if (const Result opened = m_context.session->openScreen(m_context.stage->pendantScreen()); !opened) {
        m_failure = QStringLiteral("the module made no screen: ") + opened.error();
        m_error = true;
        m_phase = Phase::Ending;
        m_timer.start(0);
        return;
    }
    m_phase = Phase::Opening;
    m_stepClock.start();
    m_timer.start(LookAgainMs);
}

void ScenarioRunner::runStep()
{
    const Scenario &scenario = m_scenarios.at(m_current);
    const QList<ScenarioStep> &steps = m_phase == Phase::Setup ? scenario.setup : scenario.steps;
    if (m_step >= steps.size()) {
        if (m_phase == Phase::Setup) {
            openScenarioScreen();
        } else {
            m_phase = Phase::Ending;
            m_timer.start(0);
        }
        return;
    }
    const ScenarioStep &step = steps.at(m_step);
    announce(step);
    const int resultIndex = m_resultIndex;
    // Scheduled first: a box this step opens waits inside it, and the steps go on in the box.
    ++m_step;
    m_timer.start(0);
    m_context.elapsedMs = m_stepClock.elapsed();
    const StepOutcome outcome = step.def->run(m_context, step.args);
    switch (outcome.state) {
    case StepOutcome::Held:
        m_stepResults[resultIndex].verdict = Verdict::Held;
        m_stepResults[resultIndex].ms = m_stepClock.elapsed();
        m_stepResults[resultIndex].pictureName = std::exchange(m_context.pictureName, QString());
        m_stepResults[resultIndex].picture = std::exchange(m_context.picture, QByteArray());
        for (RunListener *listener : qAsConst(m_listeners))
            listener->stepEnded(scenario, m_stepResults.at(resultIndex));
        return;
    case StepOutcome::Later:
        --m_step;
        m_timer.start(outcome.againMs);
        return;
    case StepOutcome::NotYet:
        // A step that waits for the screen or the controller did nothing yet: it is tried again
        // until it holds or its time is up.
        if (m_stepClock.elapsed() < step.args.value(QStringLiteral("within")).toInt(2000) * m_context.pace) {
            --m_step;
            m_timer.start(LookAgainMs);
            return;
        }
        break;
    case StepOutcome::Failed:
    case StepOutcome::Error:
        break;
    }
    fail(step, resultIndex, outcome.message, outcome.state == StepOutcome::Error);
}

void ScenarioRunner::announce(const ScenarioStep &step)
{
    if (m_announced == step.number)
        return;
    m_announced = step.number;
    m_stepClock.start();
    m_context.phase = 0;
    // Listed where it stands in the file, whenever it ends.
    m_resultIndex = m_stepResults.size();
    m_stepResults << StepResult{step.number, step.line, step.text(), Verdict::Running, 0,
                                sim::Controller::instance().now(), m_scenarioClock.elapsed(), QString(), QByteArray()};
    for (RunListener *listener : qAsConst(m_listeners))
        listener->stepBegun(m_scenarios.at(m_current), step);
}

void ScenarioRunner::fail(const ScenarioStep &step, int resultIndex, const QString &message, bool isError)
{
    if (m_failure.isEmpty()) {
        // A long step is named by its start; the file has the rest at the line named.
        const QString text = step.text().size() > 200 ? step.text().left(200) + QStringLiteral("...") : step.text();
        m_failure = QStringLiteral("%1: %2: %3").arg(step.where(m_scenarios.at(m_current).file), text, message);
        m_error = isError;
        m_stepResults[resultIndex].verdict = isError ? Verdict::Error : Verdict::Failed;
        m_stepResults[resultIndex].ms = m_stepClock.elapsed();
        keepFailure();
        for (RunListener *listener : qAsConst(m_listeners))
            listener->stepEnded(m_scenarios.at(m_current), m_stepResults.at(resultIndex));
    }
    m_phase = Phase::Ending;
    m_timer.start(0);
}

void ScenarioRunner::keepFailure()
{
    m_failurePicture = pngOf(m_context.stage->picture(Stage::Picture::Screen));
    m_failureJournal = m_journal;
}

void ScenarioRunner::endScenario()
{
    // The module's code is still on the stack below a box or a wait of its own: close the box
    // and let it return first.
    if (QThread::currentThread()->loopLevel() > m_baseLevel) {
        if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            if (m_failure.isEmpty()) {
                m_failure = QStringLiteral("%1: a box was left open: \"%2\"").arg(m_scenarios.at(m_current).file,
                                                                                 screenprofile::textOf(box));
                keepFailure();
            }
            box->reject();
        }
        m_timer.start(LookAgainMs);
        return;
    }
    m_context.session->closeScreen();
    limitFileSize(-1);
    // A step still running when the scenario ended did not hold.
    for (StepResult &result : m_stepResults)
        if (result.verdict == Verdict::Running)
            result.verdict = Verdict::Stopped;
    const Scenario &scenario = m_scenarios.at(m_current);
    ScenarioResult result{scenario.name, scenario.file, m_scenarioClock.elapsed(), m_failure, m_error, m_stepResults,
                          m_failurePicture, m_failureJournal, QString(), QString(), QString()};
    if (const Result saved = saveFailure(*m_context.files, &result, m_failureDir); !saved) {
        // An output refused leaves the run broken, whatever the scenario did.
        result.error = true;
        result.saveError = saved.error();
    }
    m_results << result;
    for (RunListener *listener : qAsConst(m_listeners))
        listener->scenarioEnded(result);
    if (++m_current < m_scenarios.size()) {
        beginScenario();
    } else {
        m_phase = Phase::Idle;
        for (RunListener *listener : qAsConst(m_listeners))
            listener->runEnded(m_results);
        emit finished();
    }
}
