#include "app/moduleloader.h"
#include "engine/recorder.h"
#include "engine/scenario.h"
#include "engine/scenariorunner.h"
#include "engine/session.h"
#include "panel/panelwindow.h"

#include "basezedoveduddata.h"
#include "rtmbasewidget.h"
#include "rtmcoresim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovesim.h"

#include <QAbstractButton>
#include <QComboBox>
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
    copyFolder(QStringLiteral(SAMPLE_CONTROLLER), controller);
    QDir().mkpath(work.filePath(QStringLiteral("panel/Application/zuzerarove")));
    qputenv("RTM_PANEL_ROOT", work.filePath(QStringLiteral("panel")).toLocal8Bit());
    sim::Panel::setRoot(work.filePath(QStringLiteral("panel")));
    sim::Controller::instance().setRoot(controller);
    resetPlatform();
    sim::Reservation::instance().applyControllerConfig();

    ModuleLoader loader(QStringLiteral(MODULE_PATH));
    QVERIFY2(loader.load(), qPrintable(loader.error()));
    PanelWindow window(true);
    m_window = &window;
    ModuleSession session(loader.dataFactory(), loader.widgetFactory());
    QVERIFY(session.open(window.pendantScreen()).isOk());
    window.show();
    QVERIFY(waitForCall(QStringLiteral("getFileFromCtrl")));

    const QString file = out.filePath(QStringLiteral("session.json"));
    {
        Recorder recorder(&window, &session, file, controller);
        tap("runOrStopButton");
        QTRY_VERIFY(shown<QAbstractButton>("runOrStopButton")->text() == QStringLiteral("Stop"));
        sim::Reservation::instance().setBinaryCode(2);
        sim::Reservation::instance().strobe();
        tap("reserveBtn_4");
        answerBoxes({QStringLiteral("msgBoxConfirm")});
        tap("cancelBtn_4");
        answerBoxes({QStringLiteral("msgBoxConfirm")});
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
        QVERIFY(recorder.save());
    }
    session.close();

    Scenario scenario;
    QString error;
    QVERIFY2(loadScenario(file, QString(), &scenario, &error), qPrintable(error));
    QStringList kinds;
    for (const ScenarioStep &step : scenario.steps)
        kinds << step.kind;
    for (const char *kind : {"press", "binary", "reserve", "cancel", "answer", "choose", "type", "expect", "wait"})
        QVERIFY2(kinds.contains(QString::fromLatin1(kind)), kind);
    ScenarioRunner runner(&window, &session, work.path(), QString());
    bool finished = false;
    connect(&runner, &ScenarioRunner::finished, this, [&finished] { finished = true; });
    runner.start({scenario});
    QTRY_VERIFY_WITH_TIMEOUT(finished, 60000);
    QVERIFY2(runner.exitCode() == 0, qPrintable(runner.results().value(0).failure));
    m_window = nullptr;
}

QTEST_MAIN(tst_Recorder)
#include "tst_recorder.moc"
