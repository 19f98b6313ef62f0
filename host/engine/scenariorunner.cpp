#include "engine/scenariorunner.h"

#include "engine/journalfile.h"
#include "engine/scenariostep.h"
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
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLabel>
#include <QRegularExpression>
#include <QThread>
#include <QBuffer>

#include <csignal>
#include <sys/resource.h>

namespace {

rlimit savedFileLimit;

QByteArray png(const QPixmap &pixmap)
{
    QByteArray bytes;
    if (pixmap.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    return bytes;
}

} // namespace

void limitFileSize(qint64 bytes)
{
    static bool limited = false;
    if (bytes >= 0 && !limited) {
        getrlimit(RLIMIT_FSIZE, &savedFileLimit);
        std::signal(SIGXFSZ, SIG_IGN);
        limited = true;
    }
    if (bytes < 0 && limited) {
        setrlimit(RLIMIT_FSIZE, &savedFileLimit);
        limited = false;
    } else if (bytes >= 0) {
        rlimit limit = savedFileLimit;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
}

ScenarioRunner::ScenarioRunner(Stage *stage, ModuleSession *session, const QString &workDir,
                               const QString &shotDir, double pace, QObject *parent)
    : QObject(parent), m_stage(stage), m_session(session), m_pageWatch(pace), m_workDir(workDir), m_shotDir(shotDir),
      m_pace(pace)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ScenarioRunner::tick);
    // The journal of the scenario playing, for a failure to show; a long one keeps its end.
    m_listener = sim::Journal::instance().addListener([this](const sim::JournalEntry &entry) {
        m_journal << journalLine(entry);
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

void ScenarioRunner::start(const QList<Scenario> &scenarios)
{
    m_scenarios = scenarios;
    m_results.clear();
    m_current = 0;
    if (m_scenarios.isEmpty())
        QTimer::singleShot(0, this, &ScenarioRunner::finished);
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

void ScenarioRunner::schedule(int ms)
{
    m_timer.start(ms);
}

void ScenarioRunner::tick()
{
    if (m_baseLevel < 0)
        m_baseLevel = QThread::currentThread()->loopLevel();
    switch (m_phase) {
    case Phase::Idle:
        return;
    case Phase::Opening:
        // The monitor's start-up has fetched the configuration: the screen is up.
        if (!screenprofile::isStarted() && m_stepClock.elapsed() < 5000 * m_pace) {
            schedule(20);
            return;
        }
        // The trees as the screen opened, for an "unchanged" step; a big controller's files are
        // read only when a scenario asks.
        m_before.clear();
        for (const ScenarioStep &step : m_scenarios.at(m_current).steps)
            if (step.def && step.def->name == QLatin1String("expect unchanged")) {
                m_before = snapshot();
                break;
            }
        m_phase = Phase::Steps;
        m_step = 0;
        runStep();
        return;
    case Phase::Ending:
        endScenario();
        return;
    case Phase::Setup:
    case Phase::Steps:
        runStep();
        return;
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
    sim::Desktop::setCloseHandler([this](int, bool) { m_screenClosed = true; });
}

void ScenarioRunner::beginScenario()
{
    const Scenario &scenario = m_scenarios.at(m_current);
    emit said(QStringLiteral("scenario \"%1\" (%2)").arg(scenario.name, scenario.file));
    resetStandIns();
    for (const char *tree : {"controller", "panel", "outside"}) {
        QDir dir(m_workDir + QLatin1Char('/') + QLatin1String(tree));
        dir.removeRecursively();
        QDir().mkpath(dir.path());
    }
    const Result copied = copyFolder(scenario.controller, resolve(QStringLiteral("controller:/")));
    sim::Controller::instance().treeChanged();
    QDir().mkpath(resolve(QStringLiteral("panel:/bin")));
    QDir().mkpath(resolve(QStringLiteral("panel:/Application/zuzerarove")));
    m_phase = copied ? Phase::Setup : Phase::Ending;
    m_step = 0;
    m_announced = -1;
    m_failure = copied ? QString() : QStringLiteral("%1: %2").arg(scenario.file, copied.error());
    m_error = !copied;
    m_stepResults.clear();
    m_setupAutoStart = QJsonArray();
    m_failurePicture.clear();
    m_journal.clear();
    m_screenClosed = false;
    m_scenarioClock.start();
    schedule(0);
}

void ScenarioRunner::openScreen()
{
    // The service takes the controller's files as it does when the controller starts.
    sim::Reservation &service = sim::Reservation::instance();
    service.applyControllerConfig();
    service.applyControllerProgramMap();
    service.applyControllerSoftPlc();
    for (int plc = 0; plc < m_setupAutoStart.size() && plc < 4; ++plc)
        service.setAutoStart(plc, m_setupAutoStart.at(plc).toBool());
    sim::CallLog::instance().clear();
    sim::MsgBoxHooks::clearRecords();

    m_pageWatch.reset();
    if (const Result opened = m_session->open(m_stage->pendantScreen()); !opened) {
        m_failure = QStringLiteral("the module made no screen: ") + opened.error();
        m_error = true;
        m_phase = Phase::Ending;
        schedule(0);
        return;
    }
    m_phase = Phase::Opening;
    m_stepClock.start();
    schedule(20);
}

void ScenarioRunner::runStep()
{
    const Scenario &scenario = m_scenarios.at(m_current);
    const QList<ScenarioStep> &steps = m_phase == Phase::Setup ? scenario.setup : scenario.steps;
    if (m_step >= steps.size()) {
        if (m_phase == Phase::Setup) {
            openScreen();
        } else {
            m_phase = Phase::Ending;
            schedule(0);
        }
        return;
    }
    const ScenarioStep &step = steps.at(m_step);
    if (m_announced != step.number) {
        m_announced = step.number;
        m_stepClock.start();
        emit said(QStringLiteral("  step %1 (line %2): %3").arg(step.number).arg(step.line).arg(step.text()));
    }
    if (step.kind == QLatin1String("wait")) {
        m_stepResults << StepResult{step.number, step.line, step.text(), QStringLiteral("held"), 0};
        ++m_step;
        schedule(int(step.args.value(step.kind).toInt() * m_pace));
        return;
    }
    // Scheduled first: a box this step opens waits inside it, and the steps go on in the box.
    ++m_step;
    schedule(0);
    const StepOutcome outcome = perform(step);
    if (outcome.state == StepOutcome::Held) {
        m_stepResults << StepResult{step.number, step.line, step.text(), QStringLiteral("held"), m_stepClock.elapsed()};
        return;
    }
    // A step that waits for the screen or the controller did nothing yet: it is tried again
    // until it holds or its time is up.
    if (outcome.state == StepOutcome::NotYet
        && m_stepClock.elapsed() < step.args.value(QStringLiteral("within")).toInt(2000) * m_pace) {
        --m_step;
        schedule(20);
        return;
    }
    fail(step, outcome.message, outcome.state == StepOutcome::Error);
}

void ScenarioRunner::fail(const ScenarioStep &step, const QString &message, bool isError)
{
    if (m_failure.isEmpty()) {
        m_failure = QStringLiteral("%1: %2: %3").arg(step.where(m_scenarios.at(m_current).file), step.text(), message);
        m_error = isError;
        m_stepResults << StepResult{step.number, step.line, step.text(), isError ? QStringLiteral("error") : QStringLiteral("failed"),
                                    m_stepClock.elapsed()};
        m_failurePicture = png(m_stage->picture(Stage::Picture::Screen));
        emit said(QStringLiteral("  FAILED: ") + m_failure);
    }
    m_phase = Phase::Ending;
    schedule(0);
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
                m_failurePicture = png(m_stage->picture(Stage::Picture::Screen));
                emit said(QStringLiteral("  FAILED: ") + m_failure);
            }
            box->reject();
        }
        schedule(20);
        return;
    }
    tearDownScreen();
    limitFileSize(-1);
    const Scenario &scenario = m_scenarios.at(m_current);
    ScenarioResult result{scenario.name, scenario.file, m_scenarioClock.elapsed(), m_failure, m_error, m_stepResults,
                          m_failurePicture, png(m_stage->picture(Stage::Picture::Timeline)),
                          m_failure.isEmpty() ? QString() : m_journal.join(QLatin1Char('\n')) + QLatin1Char('\n'), QString(), QString()};
    if (const Result saved = saveFailure(&result, m_current, m_failureDir); !saved)
        emit said(QStringLiteral("  the failure cannot be saved: ") + saved.error());
    else if (!result.picturePath.isEmpty())
        emit said(QStringLiteral("  the screen at the failure: ") + result.picturePath);
    emit said(QStringLiteral("  %1 in %2 ms").arg(m_failure.isEmpty() ? QStringLiteral("passed") : QStringLiteral("failed"))
            .arg(result.ms));
    m_results << result;
    if (++m_current < m_scenarios.size()) {
        beginScenario();
    } else {
        m_phase = Phase::Idle;
        emit finished();
    }
}

void ScenarioRunner::tearDownScreen()
{
    m_session->close();
}

QString ScenarioRunner::resolve(const QString &treePath) const
{
    const int colon = treePath.indexOf(QLatin1Char(':'));
    return m_workDir + QLatin1Char('/') + treePath.left(colon) + treePath.mid(colon + 1);
}

QJsonValue ScenarioRunner::substituted(const QJsonValue &value) const
{
    if (value.isArray()) {
        QJsonArray items;
        for (const QJsonValue &item : value.toArray())
            items << substituted(item);
        return items;
    }
    if (!value.isString())
        return value;
    QString text = value.toString();
    text.replace(QStringLiteral("${panel}"), m_workDir + QStringLiteral("/panel"));
    text.replace(QStringLiteral("${controller}"), m_workDir + QStringLiteral("/controller"));
    // "${repeat:N:900000}" stands for nine hundred thousand Ns. One pass over the text, which
    // grows to 64 MiB at most however many tokens it holds; what a token gives is not read again.
    static const QRegularExpression repeat(QStringLiteral("\\$\\{repeat:([^:}]*):(\\d+)\\}"));
    constexpr qint64 MostCharacters = 64 << 20;
    QString out;
    int from = 0;
    QRegularExpressionMatchIterator it = repeat.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.midRef(from, m.capturedStart() - from);
        from = m.capturedEnd();
        const QString part = m.captured(1);
        const qint64 room = qMax<qint64>(0, MostCharacters - out.size());
        const qint64 times = qMin(m.captured(2).toLongLong(), room / qMax(1, part.size()));
        out += part.repeated(int(times));
    }
    if (from == 0)
        return text;
    out += text.midRef(from);
    return out;
}

QMap<QString, QByteArray> ScenarioRunner::snapshot() const
{
    QMap<QString, QByteArray> files;
    const QDir base(m_workDir);
    QDirIterator it(m_workDir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        QByteArray content;
        if (info.isSymLink()) {
            content = "link to " + info.symLinkTarget().toUtf8();
        } else if (info.isDir()) {
            content = "folder";
        } else {
            QFile file(info.filePath());
            content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
        }
        files.insert(base.relativeFilePath(info.filePath()), content);
    }
    return files;
}
