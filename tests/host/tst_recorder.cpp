#include "app/moduleloader.h"
#include "engine/recorder.h"
#include "engine/scenario.h"
#include "engine/scenariorunner.h"
#include "engine/session.h"
#include "engine/steps.h"
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
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

// An operator's session on the panel, clicked and typed as a finger and a keyboard do, recorded,
// then played again as a scenario: every step and every recorded expectation must hold.
class tst_Recorder : public QObject
{
    Q_OBJECT
private slots:
    void recordedSessionReplays();

private:
    template<typename T>
    T *shown(const char *name) const;
    void tap(const char *name) const;
    // Taps that key of each box the next tap opens, one box after the other.
    static void answerBoxes(QStringList keys);
    // Plays the scenario; its failure, or an empty text.
    QString replay(PanelWindow &window, ModuleSession &session, const QString &workDir, const Scenario &scenario);

    PanelWindow *m_window = nullptr;
};

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

void tst_Recorder::recordedSessionReplays()
{
    // The module takes its paths from the panel root when it is loaded; the replay plays in the
    // same trees.
    QTemporaryDir work, out;
    const QString controller = work.filePath(QStringLiteral("controller"));
    QVERIFY(copyFolder(QStringLiteral(SAMPLE_CONTROLLER), controller).isOk());
    QDir().mkpath(work.filePath(QStringLiteral("panel/Application/zuzerarove")));
    qputenv("RTM_PANEL_ROOT", work.filePath(QStringLiteral("panel")).toLocal8Bit());
    sim::Panel::setRoot(work.filePath(QStringLiteral("panel")));
    sim::Controller &ctrl = sim::Controller::instance();
    ctrl.setRoot(controller);
    resetPlatform();
    // The service takes the controller's files as the panel starts it.
    sim::Reservation::instance().applyControllerConfig();
    sim::Reservation::instance().applyControllerProgramMap();
    sim::Reservation::instance().applyControllerSoftPlc();
    // Programs run for real while the operator works: the replay must run them as long.
    ctrl.setRunDuration(400);
    ctrl.setLiveClock(true, 1);

    ModuleLoader loader(QStringLiteral(MODULE_PATH));
    const Result loaded = loader.load();
    QVERIFY2(loaded.isOk(), qPrintable(loaded.error()));
    PanelWindow window(true);
    m_window = &window;
    ModuleSession session(loader.dataFactory(), loader.widgetFactory());
    QVERIFY(session.open(window.pendantScreen()).isOk());
    window.show();
    QVERIFY(waitForCall(QStringLiteral("getFileFromCtrl")));

    const QString file = out.filePath(QStringLiteral("session.json"));
    Recorder recorder(&window, &session);
    QVERIFY(recorder.begin(file, controller, QString()).isOk());
    QVERIFY2(!recorder.begin(file, controller, QString()).isOk(), "a recording is never replaced");
    connect(window.simulator(), &SimulatorPanel::commanded, &recorder, &Recorder::command);
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
    QTRY_COMPARE(sim::Reservation::instance().total(1), 1);
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
    session.close();
    ctrl.setLiveClock(false);

    Scenario scenario;
    const Result read = loadScenario(file, QString(), ScenarioRunner::stepDefs(), &scenario);
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

QString tst_Recorder::replay(PanelWindow &window, ModuleSession &session, const QString &workDir, const Scenario &scenario)
{
    ScenarioRunner runner(&window, &session, workDir, QString());
    bool finished = false;
    connect(&runner, &ScenarioRunner::finished, this, [&finished] { finished = true; });
    runner.start({scenario});
    if (!QTest::qWaitFor([&finished] { return finished; }, 90000))
        return QStringLiteral("the replay did not end");
    return runner.results().value(0).failure;
}

QTEST_MAIN(tst_Recorder)
#include "tst_recorder.moc"
