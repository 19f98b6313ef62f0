#include "plugin/factories.h"

#include "desktopsim.h"
#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using sim::CallLog;
using sim::MsgBoxHooks;
using sim::Reservation;

// The monitor page: what it shows of the service, and the operator's commands through its keys.
class tst_ZuzEraroveMainPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void tableFollowsSignalMode_data();
    void tableFollowsSignalMode();
    void protocolLabel_data();
    void protocolLabel();
    void cellsWrittenAgainAfterRebuild();
    void idleBeforeStartUpDoesNothing();
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
    // The screen on this configuration, started, with the start-up's calls still in the log.
    ModuleScreen *start(int signalMode, const QStringList &names, int protocol = 0)
    {
        f.env().writeReservationConfig(signalMode, protocol, names);
        return f.open() ? f.screen() : nullptr;
    }
    QTableWidget *table() const { return f.screen()->find<QTableWidget>(QStringLiteral("zuzeraroveMonitoeTW")); }
    QString cell(int row, int column) const
    {
        QTableWidgetItem *item = table()->item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    QPushButton *key(const QString &name) const { return f.screen()->find<QPushButton>(name); }
    // The screen on four slots, started, with an empty call log.
    bool startWithFourSlots()
    {
        sim::Controller::instance().setRunDuration(1000);
        return f.start(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL"),
                           QStringLiteral("A.XPL")});
    }
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

enum { ColId, ColName, ColStatus, ColSequence, ColTotal };

void tst_ZuzEraroveMainPage::init()
{
    f.setUp();
}

void tst_ZuzEraroveMainPage::cleanup()
{
    QVERIFY(f.tearDown());
}

void tst_ZuzEraroveMainPage::tableFollowsSignalMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("modeText");
    QTest::newRow("Binary") << 1 << 15 << 50 << "Mode:Binary";
    QTest::newRow("Alone") << 0 << 4 << 80 << "Mode:Alone";
}

void tst_ZuzEraroveMainPage::tableFollowsSignalMode()
{
    QFETCH(int, mode);
    QFETCH(int, rows);
    QFETCH(int, height);
    QFETCH(QString, modeText);
    QVERIFY(start(mode, {QStringLiteral("A.XPL")}));
    QCOMPARE(table()->rowCount(), rows);
    QCOMPARE(f.screen()->find<QLabel>(QStringLiteral("label_mode"))->text(), modeText);
    for (int r = 0; r < rows; ++r) {
        QCOMPARE(table()->rowHeight(r), height);
        QCOMPARE(cell(r, ColId), QString::number(r + 1));
        // Only a row with a listed program has its keys.
        QCOMPARE(key(QStringLiteral("reserveBtn_%1").arg(r + 1))->isEnabled(), r == 0);
        QCOMPARE(key(QStringLiteral("cancelBtn_%1").arg(r + 1))->isEnabled(), r == 0);
    }
    QCOMPARE(cell(0, ColName), QStringLiteral("A.XPL"));
    QCOMPARE(table()->findChildren<QPushButton *>().size(), 2 * rows);
}

void tst_ZuzEraroveMainPage::protocolLabel_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("text");
    QTest::newRow("discrete I/O") << 0 << "Protocol:IO";
    QTest::newRow("beyond the list") << 11 << "Protocol:IO";
}

void tst_ZuzEraroveMainPage::protocolLabel()
{
    QFETCH(int, protocol);
    QFETCH(QString, text);
    QVERIFY(start(0, {QStringLiteral("A.XPL")}, protocol));
    QCOMPARE(f.screen()->find<QLabel>(QStringLiteral("label_protocol"))->text(), text);
    // The protocol goes to the service as it is, and the host switches its variables after it.
    const QStringList handOver = CallLog::instance().entriesOf(
        {QStringLiteral("setProtocolType"), QStringLiteral("RtmSwitchWidgetVariablesContext")});
    QVERIFY(handOver.size() >= 2);
    QCOMPARE(handOver.mid(handOver.size() - 2),
             (QStringList{QStringLiteral("setProtocolType(%1)").arg(protocol),
                          QStringLiteral("RtmSwitchWidgetVariablesContext()")}));
}





void tst_ZuzEraroveMainPage::cellsWrittenAgainAfterRebuild()
{
    QVERIFY(start(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")}));
    Reservation &resv = Reservation::instance();
    resv.setTotal(0, 5);
    f.screen()->idle();
    QCOMPARE(cell(0, ColTotal), QStringLiteral("5"));

    // Showing the page again with another configuration rebuilds the table and forgets
    // what it had shown, so the next poll writes every cell.
    ZuzEraroveLibApi::getInstance()->resvData.cycleIndex[0] = 7;
    f.screen()->widget()->hide();
    f.screen()->widget()->show();
    f.screen()->idle();
    QCOMPARE(cell(0, ColTotal), QStringLiteral("5"));
    QCOMPARE(cell(0, ColStatus), QStringLiteral("Unreserved"));
}

void tst_ZuzEraroveMainPage::idleBeforeStartUpDoesNothing()
{
    f.env().writeReservationConfig(1, 0, {QStringLiteral("A.XPL")});
    ModuleScreen screen(createZedOvedudData, createZedOvedudWidget);
    Reservation::instance().setStarted(true);
    screen.idle(5);
    const QStringList poll{QStringLiteral("getResvRunningStatus"), QStringLiteral("getResvStatus"),
                           QStringLiteral("getProgramRunTotal"), QStringLiteral("getProgramQueue")};
    QVERIFY(CallLog::instance().entriesOf(poll).isEmpty());
    QVERIFY(!screen.find<QCheckBox>(QStringLiteral("runOrStopLedCB"))->isChecked());
    QVERIFY(screen.waitStarted());
    screen.idle();
    QVERIFY(!CallLog::instance().entriesOf(poll).isEmpty());
    QVERIFY(screen.find<QCheckBox>(QStringLiteral("runOrStopLedCB"))->isChecked());
}


static const QString startWarning = QStringLiteral(
    "A robot program is running.\nAre you sure you want to terminate the program and start the program reservation?");
static const QString stopWarning = QStringLiteral(
    "The reserved program is running, are you sure to stop the program reservation?\nThe running program will finish running normally.");

void tst_ZuzEraroveMainPage::startAndStop_data()
{
    QTest::addColumn<bool>("running");      // the reservation runs when the key is pressed
    QTest::addColumn<bool>("robotRunning"); // a robot program runs
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("runState");
    const QStringList save{"setStartRunProgram()", "writeZuzEraroveFile(%L)", "sendFileToCtrl(%L, %C)", "setUpdateConfig()"};
    QTest::newRow("start") << false << false << 1 << save << 1;
    QTest::newRow("start over a robot program, confirmed") << false << true << 1
        << (QStringList{box(1, startWarning, 3)} + save) << 1;
    QTest::newRow("stop while the reserved program runs, declined") << true << true << 0
        << QStringList{box(1, stopWarning, 3)} << 1;
}

void tst_ZuzEraroveMainPage::startAndStop()
{
    QFETCH(bool, running);
    QFETCH(bool, robotRunning);
    QFETCH(int, answer);
    QFETCH(QStringList, calls);
    QFETCH(int, runState);
    QVERIFY(startWithFourSlots());
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
    QCOMPARE(key(QStringLiteral("settingButton"))->isEnabled(), runState == 0);
}

void tst_ZuzEraroveMainPage::reserveNeedsRunningReservation()
{
    QVERIFY(startWithFourSlots());
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

void tst_ZuzEraroveMainPage::cancelByStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");
    const QString reserved = QStringLiteral("Are you sure to cancel the reservation?");
    const QString running = QStringLiteral("The program is running. Are you sure to stop and cancel the reservation?");
    QTest::newRow("unreserved") << 0 << 1 << QStringList{};
    QTest::newRow("reserved, confirmed") << 1 << 1 << QStringList{box(0, reserved, 3), "delResvProgram(1)"};
    QTest::newRow("running, declined") << 2 << 0 << QStringList{box(0, running, 3)};
}

void tst_ZuzEraroveMainPage::cancelByStatus()
{
    QFETCH(int, status);
    QFETCH(int, answer);
    QFETCH(QStringList, calls);
    QVERIFY(startWithFourSlots());
    Reservation::instance().setStatus(1, status);
    MsgBoxHooks::answerAll(answer);
    // Cancelling does not look at the lamp: the reservation is stopped here.
    key(QStringLiteral("cancelBtn_2"))->click();
    QCOMPARE(commandCalls(), calls);
}

void tst_ZuzEraroveMainPage::cancelAll_data()
{
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("cancels");
    QTest::newRow("reserved in row order, running last") << QList<int>{1, 2, 1, 0} << 1
        << QStringList{"delResvProgram(0)", "delay_MSec(200)", "delResvProgram(2)", "delay_MSec(200)", "delResvProgram(1)"};
    QTest::newRow("declined") << QList<int>{1, 2, 1, 0} << 0 << QStringList{};
}

void tst_ZuzEraroveMainPage::cancelAll()
{
    QFETCH(QList<int>, statuses);
    QFETCH(int, answer);
    QFETCH(QStringList, cancels);
    QVERIFY(startWithFourSlots());
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

void tst_ZuzEraroveMainPage::clearTotals_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("total");
    QTest::newRow("confirmed") << 1 << 0;
    QTest::newRow("declined") << 0 << 9;
}

void tst_ZuzEraroveMainPage::clearTotals()
{
    QFETCH(int, answer);
    QFETCH(int, total);
    QVERIFY(startWithFourSlots());
    Reservation::instance().setTotal(2, 9);
    MsgBoxHooks::answerAll(answer);
    key(QStringLiteral("clearButton"))->click();
    QCOMPARE(MsgBoxHooks::records().size(), 1);
    QCOMPARE(MsgBoxHooks::records()[0].text, QStringLiteral("Are you sure to clear the total?"));
    QCOMPARE(Reservation::instance().total(2), total);
    f.screen()->idle();
}

void tst_ZuzEraroveMainPage::navigation_data()
{
    QTest::addColumn<QString>("keyName");
    QTest::addColumn<int>("pageId");
    QTest::newRow("Setting") << "settingButton" << 1;
    QTest::newRow("SoftPlc") << "softPlcButton" << 2;
    QTest::newRow("PrograMap") << "prograMapBtn" << 3;
    QTest::newRow("Exit") << "exitButton" << -1;
}

void tst_ZuzEraroveMainPage::navigation()
{
    QFETCH(QString, keyName);
    QFETCH(int, pageId);
    QVERIFY(startWithFourSlots());
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

QTEST_MAIN(tst_ZuzEraroveMainPage)
#include "tst_zuzerarovemainpage.moc"
