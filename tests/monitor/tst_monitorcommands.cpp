#include "factories.h"

#include "desktopsim.h"
#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using sim::CallLog;
using sim::MsgBoxHooks;
using sim::Reservation;

// The operator's commands on the monitor page, through its keys.
class tst_MonitorCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startAndStop_data();
    void startAndStop();
    void reserveNeedsRunningReservation();
    void cancelByStatus_data();
    void cancelByStatus();
    void cancelAll_data();
    void cancelAll();
    void clearTotals_data();
    void clearTotals();
    void navigation_data();
    void navigation();

private:
    bool start()
    {
        sim::Controller::instance().setRunDuration(1000);
        return f.start(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL"),
                           QStringLiteral("A.XPL")});
    }
    QPushButton *key(const QString &name) const { return f.screen()->find<QPushButton>(name); }
    // The calls that commands make, without the poll's reads.
    static QStringList commandCalls()
    {
        return CallLog::instance().entriesOf(
            {"setStartRunProgram", "writeZuzEraroveFile", "sendFileToCtrl", "setUpdateConfig",
             "addResvProgram", "delResvProgram", "delay_MSec", "clearRunTotal", "MsgBox"});
    }
    static QString box(int kind, const QString &text, int buttons)
    {
        return QStringLiteral("MsgBox(%1, %2, %3, true)").arg(kind).arg(text).arg(buttons);
    }

    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
    QString m_local = f.env().localDir() + QStringLiteral("/zuzeraroveconfig.xml");
};

static const QString startWarning = QStringLiteral(
    "A robot program is running.\nAre you sure you want to terminate the program and start the program reservation?");
static const QString stopWarning = QStringLiteral(
    "The reserved program is running, are you sure to stop the program reservation?\nThe running program will finish running normally.");

void tst_MonitorCommands::init()
{
    f.setUp();
}

void tst_MonitorCommands::cleanup()
{
    QVERIFY(f.tearDown());
}

void tst_MonitorCommands::startAndStop_data()
{
    QTest::addColumn<bool>("running");      // the reservation runs when the key is pressed
    QTest::addColumn<bool>("robotRunning"); // a robot program runs
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("runState");
    const QStringList save{"setStartRunProgram()", "writeZuzEraroveFile(%L)", "sendFileToCtrl(%L, %C)", "setUpdateConfig()"};
    QTest::newRow("start") << false << false << 1 << save << 1;
    QTest::newRow("stop") << true << false << 1 << save << 0;
    QTest::newRow("start over a robot program, confirmed") << false << true << 1
        << (QStringList{box(1, startWarning, 3)} + save) << 1;
    QTest::newRow("start over a robot program, declined") << false << true << 0
        << QStringList{box(1, startWarning, 3)} << 0;
    QTest::newRow("stop while the reserved program runs, confirmed") << true << true << 1
        << (QStringList{box(1, stopWarning, 3)} + save) << 0;
    QTest::newRow("stop while the reserved program runs, declined") << true << true << 0
        << QStringList{box(1, stopWarning, 3)} << 1;
}

void tst_MonitorCommands::startAndStop()
{
    QFETCH(bool, running);
    QFETCH(bool, robotRunning);
    QFETCH(int, answer);
    QFETCH(QStringList, calls);
    QFETCH(int, runState);
    QVERIFY(start());
    if (running) {
        Reservation::instance().setStarted(true);
        ZuzEraroveLibApi::getInstance()->resvData.runState = 1;
    }
    if (robotRunning && running)
        ZuzEraroveLibApi::getInstance()->addResvProgram(0);
    else if (robotRunning)
        sim::Controller::instance().setRobotRunning(true);
    f.screen()->idle();
    CallLog::instance().clear();
    MsgBoxHooks::answerAll(answer);

    QPushButton *runOrStop = key(QStringLiteral("runOrStopButton"));
    QCOMPARE(runOrStop->text(), running ? QStringLiteral("Stop") : QStringLiteral("Start"));
    bool disabledMeanwhile = false;
    QTimer probe; // lives no longer than what it looks at
    probe.setSingleShot(true);
    connect(&probe, &QTimer::timeout, this, [&] { disabledMeanwhile = !runOrStop->isEnabled(); });
    probe.start(20);
    QElapsedTimer took;
    took.start();
    runOrStop->click();

    for (QString &c : calls)
        c.replace(QStringLiteral("%L"), m_local).replace(QStringLiteral("%C"), ctrlfiles::config);
    QCOMPARE(commandCalls(), calls);
    QCOMPARE(ZuzEraroveLibApi::getInstance()->resvData.runState, runState);
    QVERIFY(runOrStop->isEnabled());
    const bool acted = calls.contains(QStringLiteral("setUpdateConfig()"));
    QCOMPARE(disabledMeanwhile, acted);
    if (acted)
        QVERIFY(took.elapsed() >= 100);

    // The key's text and the lamp follow the service at the next poll, not the command.
    QCOMPARE(runOrStop->text(), running ? QStringLiteral("Stop") : QStringLiteral("Start"));
    f.screen()->idle();
    QCOMPARE(f.screen()->find<QCheckBox>(QStringLiteral("runOrStopLedCB"))->isChecked(), runState == 1);
    QCOMPARE(runOrStop->text(), runState == 1 ? QStringLiteral("Stop") : QStringLiteral("Start"));
}

void tst_MonitorCommands::reserveNeedsRunningReservation()
{
    QVERIFY(start());
    key(QStringLiteral("reserveBtn_3"))->click();
    QCOMPARE(commandCalls(), QStringList{box(2, QStringLiteral("Please start before reserving programe."), 1)});

    Reservation::instance().setStarted(true);
    f.screen()->idle();
    CallLog::instance().clear();
    key(QStringLiteral("reserveBtn_3"))->click();
    key(QStringLiteral("reserveBtn_1"))->click();
    QCOMPARE(commandCalls(), (QStringList{"addResvProgram(2)", "addResvProgram(0)"}));
    f.screen()->idle();
    QCOMPARE(Reservation::instance().status(2), 2);
    QCOMPARE(Reservation::instance().status(0), 1);
}

void tst_MonitorCommands::cancelByStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");
    const QString reserved = QStringLiteral("Are you sure to cancel the reservation?");
    const QString running = QStringLiteral("The program is running. Are you sure to stop and cancel the reservation?");
    QTest::newRow("unreserved") << 0 << 1 << QStringList{};
    QTest::newRow("negative status") << -1 << 1 << QStringList{};
    QTest::newRow("reserved, confirmed") << 1 << 1 << QStringList{box(0, reserved, 3), "delResvProgram(1)"};
    QTest::newRow("reserved, declined") << 1 << 0 << QStringList{box(0, reserved, 3)};
    QTest::newRow("running, confirmed") << 2 << 1 << QStringList{box(0, running, 3), "delResvProgram(1)"};
    QTest::newRow("running, declined") << 2 << 0 << QStringList{box(0, running, 3)};
    QTest::newRow("status 3 counts as running") << 3 << 1 << QStringList{box(0, running, 3), "delResvProgram(1)"};
}

void tst_MonitorCommands::cancelByStatus()
{
    QFETCH(int, status);
    QFETCH(int, answer);
    QFETCH(QStringList, calls);
    QVERIFY(start());
    Reservation::instance().setStatus(1, status);
    MsgBoxHooks::answerAll(answer);
    // Cancelling does not look at the lamp: the reservation is stopped here.
    key(QStringLiteral("cancelBtn_2"))->click();
    QCOMPARE(commandCalls(), calls);
}

void tst_MonitorCommands::cancelAll_data()
{
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("cancels");
    QTest::newRow("reserved in row order, running last") << QList<int>{1, 2, 1, 0} << 1
        << QStringList{"delResvProgram(0)", "delay_MSec(200)", "delResvProgram(2)", "delay_MSec(200)", "delResvProgram(1)"};
    QTest::newRow("declined") << QList<int>{1, 2, 1, 0} << 0 << QStringList{};
    QTest::newRow("nothing reserved") << QList<int>{0, 0, 0, 0} << 1 << QStringList{};
    QTest::newRow("two running: the last one only") << QList<int>{2, 0, 3, 0} << 1 << QStringList{"delResvProgram(2)"};
}

void tst_MonitorCommands::cancelAll()
{
    QFETCH(QList<int>, statuses);
    QFETCH(int, answer);
    QFETCH(QStringList, cancels);
    QVERIFY(start());
    for (int r = 0; r < statuses.size(); ++r)
        Reservation::instance().setStatus(r, statuses[r]);
    MsgBoxHooks::answerAll(answer);
    const qint64 before = sim::Controller::instance().now();
    key(QStringLiteral("cancelAllBtn"))->click();

    const QStringList calls = commandCalls();
    QCOMPARE(calls.value(0), box(0, QStringLiteral("Are you sure to cancel all reservations?"), 3));
    QCOMPARE(calls.mid(1), cancels);
    QCOMPARE(CallLog::instance().entriesOf({"getResvStatus"}).size(), answer == 1 ? 4 : 0);
    QCOMPARE(sim::Controller::instance().now() - before, qint64(200 * cancels.count("delay_MSec(200)")));
}

void tst_MonitorCommands::clearTotals_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("total");
    QTest::newRow("confirmed") << 1 << 0;
    QTest::newRow("declined") << 0 << 9;
}

void tst_MonitorCommands::clearTotals()
{
    QFETCH(int, answer);
    QFETCH(int, total);
    QVERIFY(start());
    Reservation::instance().setTotal(2, 9);
    MsgBoxHooks::answerAll(answer);
    key(QStringLiteral("clearButton"))->click();
    QCOMPARE(MsgBoxHooks::records().size(), 1);
    QCOMPARE(MsgBoxHooks::records()[0].text, QStringLiteral("Are you sure to clear the total?"));
    QCOMPARE(Reservation::instance().total(2), total);
    f.screen()->idle();
}

void tst_MonitorCommands::navigation_data()
{
    QTest::addColumn<QString>("keyName");
    QTest::addColumn<int>("pageId");
    QTest::newRow("Setting") << "settingButton" << 1;
    QTest::newRow("SoftPlc") << "softPlcButton" << 2;
    QTest::newRow("PrograMap") << "prograMapBtn" << 3;
    QTest::newRow("Exit") << "exitButton" << -1;
}

void tst_MonitorCommands::navigation()
{
    QFETCH(QString, keyName);
    QFETCH(int, pageId);
    QVERIFY(start());
    QWidget *page = f.screen()->find<QWidget>(QStringLiteral("ZuzEraroveMainPage"));
    QSignalSpy spy(page, SIGNAL(setCurrentWidgetSignal(int)));
    QPointer<QWidget> stack = f.screen()->stack();
    QTest::mouseClick(key(keyName), Qt::LeftButton);
    // On Exit the stack, connected first, deletes the page before the spy hears the signal.
    if (pageId != -1) {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), pageId);
    }
    // Navigation asks nothing and saves nothing; Exit closes the module at once.
    QVERIFY(MsgBoxHooks::records().isEmpty());
    QVERIFY(commandCalls().isEmpty());
    QCOMPARE(stack.isNull(), pageId == -1);
    QCOMPARE(sim::Desktop::closeRequests(), pageId == -1 ? 1 : 0);
}

QTEST_MAIN(tst_MonitorCommands)
#include "tst_monitorcommands.moc"
