#include "app/moduleloader.h"
#include "engine/operatorinput.h"
#include "engine/outputfiles.h"
#include "engine/recorder.h"
#include "engine/runlistener.h"
#include "engine/scenario.h"
#include "engine/scenariorunner.h"
#include "engine/screenprofile.h"
#include "engine/session.h"
#include "engine/stepregistry.h"
#include "panel/panelwindow.h"
#include "panel/simulatorpanel.h"

#include "basezedoveduddata.h"
#include "rtmbasewidget.h"
#include "rtmcoresim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovesim.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QTemporaryDir>
#include <QtTest>

// An operator's session on the panel, clicked and typed as a finger and a keyboard do, recorded,
// then played again as a scenario: every step and every recorded expectation must hold.
class tst_Recorder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void recordedSessionReplays();
    void replayMakesTheSameCalls();

private:
    template<typename T>
    T *shown(const char *name) const;
    void tap(const char *name) const;
    // Taps that key of each box the next tap opens, one box after the other.
    static void answerBoxes(QStringList keys);
    // Plays the scenario; its failure, or an empty text.
    QString replay(PanelWindow &window, ModuleSession &session, const QString &workDir, const Scenario &scenario);

    PanelWindow *m_window = nullptr;
    QTemporaryDir m_work;
    OutputFiles m_files;
};

namespace {

// An operator: actions taken one after the other, each once it can be (it says false until
// then), all through the input layer the player uses. An action that opens a box runs while the
// next ones answer it.
class Operator : public QObject
{
public:
    explicit Operator(QWidget *screen) : m_screen(screen)
    {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            // Started again first: a timer does not fire inside its own timeout, and the next
            // action may have to answer a box this one opens.
            m_timer.start(10);
            if (m_actions.isEmpty())
                return;
            auto action = m_actions.takeFirst();
            if (!action())
                m_actions.prepend(action);
        });
        m_timer.start(10);
    }
    bool done() const { return m_actions.isEmpty(); }
    Operator &then(std::function<bool()> action)
    {
        m_actions << action;
        return *this;
    }
    // A key of the screen, or of the box or the chooser open over it.
    Operator &tap(const QString &name)
    {
        return then([this, name] { return act(name, [](QWidget *w) { return operatorinput::tap(w); }); });
    }
    Operator &pick(const QString &combo, const QString &item)
    {
        return then([this, combo, item] {
            return act(combo, [item](QWidget *w) {
                auto *box = qobject_cast<QComboBox *>(w);
                return operatorinput::pickFromList(box, box->findText(item));
            });
        });
    }
    Operator &type(const QString &field, const QString &text)
    {
        return then([this, field, text] {
            return act(field, [text](QWidget *w) { return operatorinput::typeInto(qobject_cast<QLineEdit *>(w), text); });
        });
    }
    Operator &cell(const QString &table, int row, int column)
    {
        return then([this, table, row, column] {
            return act(table, [row, column](QWidget *w) {
                return operatorinput::tapCell(qobject_cast<QTableWidget *>(w), row, column);
            });
        });
    }
    Operator &item(const QString &path)
    {
        return then([path] {
            auto *tree = QApplication::activeModalWidget() ? QApplication::activeModalWidget()->findChild<QTreeWidget *>() : nullptr;
            QTreeWidgetItem *item = operatorinput::treeItemAt(tree, path);
            return item && operatorinput::tapItem(tree, item).isEmpty();
        });
    }
    // The box saying text, answered by a key of the panel's keyboard.
    Operator &key(const QString &text, int key)
    {
        return then([text, key] {
            QWidget *box = QApplication::activeModalWidget();
            auto *label = box ? box->findChild<QLabel *>(QStringLiteral("msgBoxText")) : nullptr;
            return label && label->text() == text && operatorinput::pressKey(box, key).isEmpty();
        });
    }

private:
    bool act(const QString &name, const std::function<QString(QWidget *)> &input)
    {
        QWidget *in = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : m_screen;
        for (QWidget *w : in->findChildren<QWidget *>(name))
            if (w->isVisible())
                return input(w).isEmpty();
        return false;
    }

    QWidget *m_screen;
    QList<std::function<bool()>> m_actions;
    QTimer m_timer;
};

// The commands the module gave the platform, as the journal hears them, while it lives.
class CommandLog
{
public:
    CommandLog()
    {
        m_id = sim::Journal::instance().addListener([this](const sim::JournalEntry &entry) {
            if (entry.kind == QLatin1String("call"))
                m_calls << entry.text;
        });
    }
    ~CommandLog() { sim::Journal::instance().removeListener(m_id); }
    QStringList calls() const { return m_calls; }

private:
    int m_id = 0;
    QStringList m_calls;
};

} // namespace

template<typename T>
T *tst_Recorder::shown(const char *name) const
{
    for (T *w : m_window->pendantScreen()->findChildren<T *>(QString::fromLatin1(name)))
        if (w->isVisible())
            return w;
    return nullptr;
}

void tst_Recorder::tap(const char *name) const
{
    auto *key = shown<QAbstractButton>(name);
    QVERIFY2(key, name);
    QTRY_VERIFY(key->isEnabled());
    QTest::mouseClick(key, Qt::LeftButton);
}

void tst_Recorder::answerBoxes(QStringList keys)
{
    if (keys.isEmpty())
        return;
    QTimer::singleShot(0, [keys]() mutable {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        auto *key = box->findChild<QAbstractButton *>(keys.takeFirst());
        QVERIFY(key);
        answerBoxes(keys);
        QTest::mouseClick(key, Qt::LeftButton);
    });
}

void tst_Recorder::init()
{
    // The module takes its paths from the panel root when it is loaded: every test plays in the
    // same trees, made afresh.
    const QString controller = m_work.filePath(QStringLiteral("controller"));
    QDir(controller).removeRecursively();
    QDir(m_work.filePath(QStringLiteral("panel"))).removeRecursively();
    QVERIFY(m_files.copyTree(QStringLiteral(SAMPLE_CONTROLLER), controller).isOk());
    QDir().mkpath(m_work.filePath(QStringLiteral("panel/Application/zuzerarove")));
    qputenv("RTM_PANEL_ROOT", m_work.filePath(QStringLiteral("panel")).toLocal8Bit());
    sim::Panel::setRoot(m_work.filePath(QStringLiteral("panel")));
    sim::Controller &ctrl = sim::Controller::instance();
    ctrl.setRoot(controller);
    resetPlatform();
    ctrl.treeChanged();
    // The service takes the controller's files as the panel starts it.
    sim::Reservation::instance().applyControllerConfig();
    sim::Reservation::instance().applyControllerProgramMap();
    sim::Reservation::instance().applyControllerSoftPlc();
    // Programs run for real while the operator works: the replay must run them as long. Long
    // enough that a reservation and its cancel fit in one run on a busy machine, recorded or
    // replayed; a run that ended in between on one side only would take the other road.
    ctrl.setRunDuration(2000);
    ctrl.setLiveClock(true, 1);
}

void tst_Recorder::recordedSessionReplays()
{
    QTemporaryDir out;
    QTemporaryDir &work = m_work;
    const QString controller = work.filePath(QStringLiteral("controller"));
    sim::Controller &ctrl = sim::Controller::instance();

    ModuleLoader loader(QStringLiteral(MODULE_PATH));
    const Result loaded = loader.load();
    QVERIFY2(loaded.isOk(), qPrintable(loaded.error()));
    PanelWindow window(true);
    m_window = &window;
    ModuleSession session(loader.dataFactory(), loader.widgetFactory());
    QVERIFY(session.openScreen(window.pendantScreen()).isOk());
    window.show();
    QVERIFY(waitForCall(QStringLiteral("getFileFromCtrl")));

    const QString file = out.filePath(QStringLiteral("session.json"));
    Recorder recorder(&window, &session, &m_files);
    const QString panel = work.filePath(QStringLiteral("panel"));
    QVERIFY(recorder.startRecording(file, controller, panel, QString()).isOk());
    QVERIFY2(!recorder.startRecording(file, controller, panel, QString()).isOk(), "a recording is never replaced");
    recordSimulator(window.simulator(), &recorder);
    tap("runOrStopButton");
    QTRY_VERIFY(shown<QAbstractButton>("runOrStopButton")->text() == QStringLiteral("Stop"));
    // Slot 2 by its binary code, from the simulator panel; it runs and finishes while slot 4 is
    // reserved behind it and cancelled.
    QTest::mouseClick(window.simulator()->findChild<QCheckBox *>(QStringLiteral("simCodeBit1")), Qt::LeftButton);
    QTest::mouseClick(window.simulator()->findChild<QPushButton *>(QStringLiteral("simStrobe")), Qt::LeftButton);
    QTRY_COMPARE(sim::Reservation::instance().status(1), 2);
    tap("reserveBtn_4");
    answerBoxes({QStringLiteral("msgBoxConfirm")});
    tap("cancelBtn_4");
    QTRY_COMPARE_WITH_TIMEOUT(sim::Reservation::instance().total(1), 1, 10000);
    tap("runOrStopButton");
    tap("settingButton");
    auto *mode = shown<QComboBox>("modeCB");
    mode->setFocus();
    QTest::keyClick(mode, Qt::Key_Up);
    auto *cycle = shown<QLineEdit>("cycleEdit_2");
    cycle->setFocus();
    cycle->selectAll();
    QTest::keyClicks(cycle, QStringLiteral("4"));
    answerBoxes({QStringLiteral("msgBoxConfirm"), QStringLiteral("msgBoxConfirm")});
    tap("saveButton");
    tap("returnButton");
    // The chooser, opened from the map and closed by its window's X.
    tap("prograMapBtn");
    tap("saveButton");
    auto *table = shown<QTableWidget>("tableWidget");
    QTRY_VERIFY(table && table->isVisible());
    const QRect cell = table->visualRect(table->model()->index(2, 1));
    bool closed = false;
    std::function<void()> closeByX = [&closed, &closeByX] {
        if (QWidget *chooser = QApplication::activeModalWidget()) {
            chooser->close();
            closed = true;
        } else {
            QTimer::singleShot(20, closeByX);
        }
    };
    QTimer::singleShot(20, closeByX);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTRY_VERIFY(closed);
    // Leaving the map in its edit mode asks; the panel closes the screen under the question,
    // which closing answers with cancel.
    QTimer::singleShot(0, [&recorder] {
        auto *question = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(question);
        recorder.panelClosesScreen();
        question->reject();
    });
    tap("backBtn");
    QVERIFY(recorder.finish().isOk());
    session.closeScreen();
    ctrl.setLiveClock(false);

    Scenario scenario;
    const Result read = loadScenario(file, QString(), stepDefs(), &scenario);
    QVERIFY2(read.isOk(), qPrintable(read.error()));
    QStringList kinds;
    for (const ScenarioStep &step : scenario.steps)
        kinds << step.def->name;
    for (const char *kind : {"press", "binary", "reserve", "cancel", "answer", "choose", "type", "clickCell", "closeScreen",
                             "expect page", "expect lamp", "expect service", "expect slot", "expect file", "wait", "advance"})
        QVERIFY2(kinds.contains(QString::fromLatin1(kind)), kind);
    QCOMPARE(scenario.setup.size(), 2); // the run time and the auto-start flags
    QCOMPARE(replay(window, session, work.path(), scenario), QString());

    // A replay that goes another way fails on the end the recording wrote: here the program runs
    // too long to finish.
    scenario.setup[0].args.insert(QStringLiteral("runTime"), 100000);
    QVERIFY(replay(window, session, work.path(), scenario).contains(QStringLiteral("expect")));
    m_window = nullptr;
}

void tst_Recorder::replayMakesTheSameCalls()
{
    // A session through the same input as the player's: a shift, the settings with a pick of the
    // item shown, boxes answered by key and by keyboard, a soft-PLC save, the chooser refusing a
    // folder, then a pick, and the screen taken away under the chooser.
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("calls.json"));
    ModuleLoader loader(QStringLiteral(MODULE_PATH));
    QVERIFY(loader.load().isOk());
    PanelWindow window(true);
    ModuleSession session(loader.dataFactory(), loader.widgetFactory());
    QStringList recorded;
    {
        CommandLog log;
        QVERIFY(session.openScreen(window.pendantScreen()).isOk());
        window.show();
        QVERIFY(waitForCall(QStringLiteral("getFileFromCtrl")));
        Recorder recorder(&window, &session, &m_files);
        QVERIFY(recorder.startRecording(file, m_work.filePath(QStringLiteral("controller")), m_work.filePath(QStringLiteral("panel")), QString())
                    .isOk());
        Operator op(window.pendantScreen());
        op.tap(QStringLiteral("runOrStopButton"))
            .then([] { return sim::Reservation::instance().isStarted(); })
            .tap(QStringLiteral("reserveBtn_1"))
            .then([] { return sim::Reservation::instance().total(0) == 1; })
            .tap(QStringLiteral("runOrStopButton"))
            .then([] { return !sim::Reservation::instance().isStarted(); })
            .tap(QStringLiteral("settingButton"))
            .pick(QStringLiteral("nameBox_6"), QStringLiteral("Unselected"))
            .type(QStringLiteral("cycleEdit_2"), QStringLiteral("7"))
            .tap(QStringLiteral("saveButton"))
            .key(QStringLiteral("Are you sure to save it?"), Qt::Key_Return)
            .tap(QStringLiteral("msgBoxConfirm"))
            .tap(QStringLiteral("returnButton"))
            // What a panel killed now would leave.
            .then([&file, &out] { return QFile::copy(file, out.filePath(QStringLiteral("killed.json"))); })
            // The soft-PLC file, stamped with the wall clock's time when it is saved.
            .tap(QStringLiteral("softPlcButton"))
            .pick(QStringLiteral("comboBoxModePlc2"), QStringLiteral("Auto-Startup"))
            .tap(QStringLiteral("saveButton"))
            .tap(QStringLiteral("msgBoxConfirm"))
            .tap(QStringLiteral("msgBoxConfirm"))
            .tap(QStringLiteral("returnButton"))
            .tap(QStringLiteral("prograMapBtn"))
            // An operator waits for the map to show what it read.
            .then([] { return sim::CallLog::instance().count({QStringLiteral("readPrograMapFile")}) > 0; })
            .tap(QStringLiteral("saveButton"))
            // Return in the chooser presses its focused key, its X: one answer, written once.
            .cell(QStringLiteral("tableWidget"), 3, 1)
            .then([] {
                QWidget *chooser = QApplication::activeModalWidget();
                return chooser && chooser->objectName() == screenprofile::chooser
                       && operatorinput::pressKey(chooser, Qt::Key_Return).isEmpty();
            })
            .cell(QStringLiteral("tableWidget"), 2, 1)
            .item(QStringLiteral("PALLET"))
            .key(QStringLiteral("Please select RPL or PJ file!"), Qt::Key_Escape)
            .item(QStringLiteral("PALLET/LAYER2.XPL"))
            .tap(QStringLiteral("btnSelect"))
            .tap(QStringLiteral("saveButton"))
            .tap(QStringLiteral("msgBoxConfirm"))
            .tap(QStringLiteral("msgBoxConfirm"))
            // The panel's alarm takes the screen away under the chooser.
            .tap(QStringLiteral("saveButton"))
            .cell(QStringLiteral("tableWidget"), 4, 1)
            .then([&recorder, &session] {
                if (!QApplication::activeModalWidget())
                    return false;
                recorder.panelClosesScreen();
                session.closeUnderBoxes();
                return true;
            });
        QTRY_VERIFY_WITH_TIMEOUT(op.done(), 30000);
        QTRY_VERIFY(!session.isOpen());
        QVERIFY(recorder.finish().isOk());
        session.closeScreen();
        recorded = log.calls();
    }
    sim::Controller::instance().setLiveClock(false);
    QVERIFY(!recorded.filter(QStringLiteral("setUpdateProgramMapConfig")).isEmpty());

    Scenario scenario;
    const Result read = loadScenario(file, QString(), stepDefs(), &scenario);
    QVERIFY2(read.isOk(), qPrintable(read.error()));
    QCOMPARE(std::count_if(scenario.steps.cbegin(), scenario.steps.cend(),
                           [](const ScenarioStep &step) { return step.args.value(QStringLiteral("answer")) == QLatin1String("close"); }),
             1);
    // The soft-PLC file's date line is the wall clock's: the end checks the rest of the file.
    const auto softPlc = std::find_if(scenario.steps.cbegin(), scenario.steps.cend(), [](const ScenarioStep &step) {
        return step.args.value(QStringLiteral("path")).toString().endsWith(QLatin1String("softplcconfig.xml"));
    });
    QVERIFY(softPlc != scenario.steps.cend());
    QVERIFY(!softPlc->args.contains(QStringLiteral("is")));
    QVERIFY(softPlc->args.value(QStringLiteral("contains")).toString().contains(QStringLiteral("<SoftPlcConfig")));
    CommandLog log;
    QCOMPARE(replay(window, session, m_work.path(), scenario), QString());
    // From the operator's first command on: the screen's start-up runs while the recording begins.
    auto fromStart = [](QStringList calls) { return calls.mid(calls.indexOf(QStringLiteral("setStartRunProgram()"))); };
    QCOMPARE(fromStart(log.calls()), fromStart(recorded));

    // A recording whose panel was killed mid-way plays as far as it went.
    Scenario killed;
    QVERIFY(loadScenario(out.filePath(QStringLiteral("killed.json")), QString(), stepDefs(), &killed).isOk());
    QVERIFY(killed.steps.size() < scenario.steps.size());
    QCOMPARE(replay(window, session, m_work.path(), killed), QString());

    // A replay that goes another way fails at the first command after the screen did: without
    // the program the operator picked later, where the monitor first names it "(no file)".
    QVERIFY(QFile::remove(out.filePath(QStringLiteral("calls.controller/RPL/PALLET/LAYER2.XPL"))));
    const QString failure = replay(window, session, m_work.path(), scenario);
    QVERIFY2(failure.contains(QStringLiteral("zuzeraroveMonitoeTW, row 5, column 2: expected \"PALLET/LAYER2.XPL\"")), qPrintable(failure));
    QVERIFY2(failure.contains(QStringLiteral("(no file)")), qPrintable(failure));
}

namespace {

// What a report hears of a run, kept in order: every step that begins ends, held or not, before
// its scenario does, and the run ends last with every scenario.
class HeardRun : public RunListener
{
public:
    void runBegun(const QList<Scenario> &) override { told << QStringLiteral("run"); }
    void scenarioBegun(const Scenario &) override { told << QStringLiteral("scenario"); }
    void stepBegun(const Scenario &, const ScenarioStep &step) override { told << QStringLiteral("step %1").arg(step.number); }
    void stepEnded(const Scenario &, const StepResult &result) override
    {
        told << QStringLiteral("%1 %2").arg(verdictName(result.verdict)).arg(result.number);
    }
    void scenarioEnded(const ScenarioResult &result) override
    {
        for (const StepResult &step : result.steps)
            if (step.verdict == Verdict::Running)
                told << QStringLiteral("a step still running");
        told << QStringLiteral("scenario ended");
    }
    void runEnded(const QList<ScenarioResult> &results) override { told << QStringLiteral("run ended %1").arg(results.size()); }
    QStringList told;
};

} // namespace

QString tst_Recorder::replay(PanelWindow &window, ModuleSession &session, const QString &workDir, const Scenario &scenario)
{
    ScenarioRunner runner(&window, &session, &m_files, workDir, QString());
    HeardRun heard;
    runner.addListener(&heard);
    bool finished = false;
    connect(&runner, &ScenarioRunner::finished, this, [&finished] { finished = true; });
    runner.play({scenario});
    if (!QTest::qWaitFor([&finished] { return finished; }, 90000))
        return QStringLiteral("the replay did not end");
    // Every step begun was told ended (a step that opens a box ends after the steps that answer
    // it), unless the scenario failed; the scenario and the run ended last.
    const QStringList &told = heard.told;
    const bool failed = !runner.results().value(0).failure.isEmpty();
    if (told.mid(0, 2) != QStringList{QStringLiteral("run"), QStringLiteral("scenario")} || told.last() != QLatin1String("run ended 1")
        || told.at(told.size() - 2) != QLatin1String("scenario ended") || told.contains(QStringLiteral("a step still running")))
        return QStringLiteral("the reports heard: ") + told.join(QStringLiteral(", "));
    for (const QString &step : told.filter(QRegularExpression(QStringLiteral("^step "))))
        if (!failed && told.filter(QRegularExpression(QStringLiteral("^held %1$").arg(step.mid(5)))).size() != 1)
            return QStringLiteral("the reports heard %1 begin and not end once").arg(step);
    return runner.results().value(0).failure;
}

QTEST_MAIN(tst_Recorder)
#include "tst_recorder.moc"
