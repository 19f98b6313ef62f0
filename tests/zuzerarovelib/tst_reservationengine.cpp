#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QFile>
#include <QtTest>

using sim::Controller;
using sim::Reservation;

class tst_ReservationEngine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void queueRunsInOrderAndCounts();
    void reservesOnlyWhatCanRun_data();
    void reservesOnlyWhatCanRun();
    void cancelReservedAndRunning();
    void stopLetsRunningProgramFinish();
    void startTakesRobotFromOutsideProgram();
    void externalInputs();
    void clearTotals();
    void configRoundTrip();
    void programMapRoundTrip();
    void malformedFilesChangeNothing_data();
    void malformedFilesChangeNothing();
    void failedWriteKeepsFile();
    void programNamesFromController();
    void autoStartFromSoftPlcFile();

private:
    // Sends a configuration to the controller and has the service take it over.
    void startWith(int signalMode, const QStringList &programs, int runState = 1);
    void finishRuns(int runs) { Controller::instance().advance(qint64(runs) * 1000); }

    QScopedPointer<SimEnvironment> env;
    ZuzEraroveLibApi *api = nullptr;
};

void tst_ReservationEngine::init()
{
    env.reset(new SimEnvironment);
    env->addPrograms({QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL"),
                      QStringLiteral("SUB/D.XPL")});
    Controller::instance().setRunDuration(1000);
    api = ZuzEraroveLibApi::getInstance();
}

void tst_ReservationEngine::startWith(int signalMode, const QStringList &programs, int runState)
{
    const QString local = env->localDir() + QStringLiteral("/zuzeraroveconfig.xml");
    api->resvData = ZuzEraroveData();
    api->resvData.runState = runState;
    api->resvData.signalMode = signalMode;
    for (int i = 0; i < programs.size(); ++i)
        api->resvData.rplNames[i] = programs[i];
    QVERIFY(api->writeZuzEraroveFile(local));
    QVERIFY(api->sendFileToCtrl(local, QStringLiteral("/application/zuzerarove/zuzeraroveconfig.xml")));
    api->setUpdateConfig();
    QCOMPARE(api->getResvRunningStatus(), runState == 1);
}

void tst_ReservationEngine::queueRunsInOrderAndCounts()
{
    startWith(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL")});
    api->addResvProgram(2);
    api->addResvProgram(0);
    api->addResvProgram(1);
    // The first reservation runs at once; the others wait in the order they came.
    QCOMPARE(api->getResvStatus(2), 2);
    QCOMPARE(api->getResvStatus(0), 1);
    QCOMPARE(api->getProgramQueue(0), 1);
    QCOMPARE(api->getProgramQueue(1), 2);
    QCOMPARE(api->getProgramQueue(2), 0);
    QCOMPARE(Controller::instance().runningProgram(), QStringLiteral("C.XPL"));
    QVERIFY(Controller::instance().isRobotRunning());

    finishRuns(1);
    QCOMPARE(api->getProgramRunTotal(2), 1);
    QCOMPARE(api->getResvStatus(2), 0);
    QCOMPARE(api->getResvStatus(0), 2);
    QCOMPARE(api->getProgramQueue(0), 2);

    finishRuns(2);
    QCOMPARE(api->getProgramRunTotal(0), 1);
    QCOMPARE(api->getProgramRunTotal(1), 1);
    QCOMPARE(api->getProgramQueue(0), 0);
    QVERIFY(!Controller::instance().isRobotRunning());
    QCOMPARE(Reservation::instance().completedRuns(), qint64(3));
}

void tst_ReservationEngine::reservesOnlyWhatCanRun_data()
{
    QTest::addColumn<int>("signalMode");
    QTest::addColumn<int>("runState");
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("queued");
    QTest::newRow("slot with a program") << 0 << 1 << 1 << true;
    QTest::newRow("while stopped") << 0 << 0 << 1 << false;
    QTest::newRow("slot without a program") << 0 << 1 << 3 << false;
    QTest::newRow("program missing on the controller") << 1 << 1 << 2 << false;
    QTest::newRow("slot 5 in Alone mode") << 0 << 1 << 4 << false;
    QTest::newRow("slot 5 in Binary mode") << 1 << 1 << 4 << true;
    QTest::newRow("negative slot") << 1 << 1 << -1 << false;
    QTest::newRow("slot 16") << 1 << 1 << 15 << false;
}

void tst_ReservationEngine::reservesOnlyWhatCanRun()
{
    QFETCH(int, signalMode);
    QFETCH(int, runState);
    QFETCH(int, slot);
    QFETCH(bool, queued);
    startWith(signalMode,
              {QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("GONE.XPL"), QString(),
               QStringLiteral("SUB/D.XPL")},
              runState);
    // Slot 0 runs, so a new reservation has to wait in the queue.
    Reservation::instance().setStarted(true);
    api->addResvProgram(0);
    Reservation::instance().setStarted(runState == 1);
    api->addResvProgram(slot);
    QCOMPARE(api->getResvStatus(slot), queued ? 1 : 0);
    QCOMPARE(api->getProgramQueue(0), queued ? slot + 1 : 0);
    // Neither a queued nor a running slot is queued twice.
    api->addResvProgram(slot);
    api->addResvProgram(0);
    QCOMPARE(api->getProgramQueue(1), 0);
}

void tst_ReservationEngine::cancelReservedAndRunning()
{
    startWith(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL")});
    api->addResvProgram(0);
    api->addResvProgram(1);
    api->addResvProgram(2);
    api->delResvProgram(1);
    QCOMPARE(api->getResvStatus(1), 0);
    QCOMPARE(api->getProgramQueue(0), 3);
    QCOMPARE(api->getProgramQueue(1), 0);

    // A cancelled run does not count, and the next slot takes the robot at once.
    Controller::instance().advance(500);
    api->delResvProgram(0);
    QCOMPARE(api->getResvStatus(0), 0);
    QCOMPARE(api->getProgramRunTotal(0), 0);
    QCOMPARE(api->getResvStatus(2), 2);
    QCOMPARE(Controller::instance().runningProgram(), QStringLiteral("C.XPL"));

    api->delResvProgram(3); // unreserved: nothing
    QCOMPARE(api->getResvStatus(2), 2);
}

void tst_ReservationEngine::stopLetsRunningProgramFinish()
{
    startWith(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")});
    api->addResvProgram(0);
    api->addResvProgram(1);
    startWith(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")}, 0);
    QVERIFY(!api->getResvRunningStatus());
    QCOMPARE(api->getResvStatus(0), 2);
    finishRuns(1);
    QCOMPARE(api->getProgramRunTotal(0), 1);
    // The waiting slot stays reserved and runs when the reservation starts again.
    finishRuns(5);
    QCOMPARE(api->getResvStatus(1), 1);
    QCOMPARE(api->getProgramRunTotal(1), 0);
    startWith(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")});
    QCOMPARE(api->getResvStatus(1), 2);
}

void tst_ReservationEngine::startTakesRobotFromOutsideProgram()
{
    Controller &ctrl = Controller::instance();
    ctrl.setRobotRunning(true);
    api->setStartRunProgram();
    QVERIFY(!ctrl.isRobotRunning());

    startWith(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")});
    api->addResvProgram(0);
    // Stopping announces itself the same way but leaves the reservation's program running.
    api->setStartRunProgram();
    QCOMPARE(ctrl.runningProgram(), QStringLiteral("A.XPL"));

    // While a program runs outside the reservation, the queue waits for the robot.
    finishRuns(1);
    ctrl.setRobotRunning(true);
    api->addResvProgram(1);
    QCOMPARE(api->getResvStatus(1), 1);
    ctrl.setRobotRunning(false);
    QCOMPARE(api->getResvStatus(1), 2);
}

void tst_ReservationEngine::externalInputs()
{
    Reservation &resv = Reservation::instance();
    startWith(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")});
    resv.pulseInput(2);
    QCOMPARE(api->getResvStatus(1), 2);
    resv.setBinaryCode(1);
    resv.strobe(); // no strobe in "Alone" mode
    QCOMPARE(api->getResvStatus(0), 0);

    startWith(1, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QString(), QString(), QString(),
                  QString(), QString(), QString(), QString(), QString(), QString(), QString(),
                  QString(), QString(), QStringLiteral("C.XPL")});
    resv.setBinaryCode(15);
    resv.strobe();
    QCOMPARE(api->getResvStatus(14), 1);
    resv.pulseInput(1); // no single inputs in "Binary" mode
    QCOMPARE(api->getResvStatus(0), 0);
}

void tst_ReservationEngine::clearTotals()
{
    startWith(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")});
    Reservation &resv = Reservation::instance();
    for (int slot = 0; slot < 6; ++slot)
        resv.setTotal(slot, 7);
    api->clearUnusedIdTotal();
    const QList<int> afterUnused{api->getProgramRunTotal(0), api->getProgramRunTotal(1),
                                 api->getProgramRunTotal(2), api->getProgramRunTotal(5)};
    QCOMPARE(afterUnused, (QList<int>{7, 7, 0, 0}));
    api->clearRunTotal();
    QCOMPARE(api->getProgramRunTotal(0), 0);
}

void tst_ReservationEngine::configRoundTrip()
{
    const QString local = env->localDir() + QStringLiteral("/zuzeraroveconfig.xml");
    ZuzEraroveData data;
    data.runState = 1;
    data.signalMode = 1;
    data.protocol = 10;
    data.rplNames[0] = QStringLiteral("A.XPL");
    data.rplNames[7] = QStringLiteral("R&D <1> \"x\".XPL");
    data.rplNames[14] = QStringLiteral("SUB/Schweißen.XPL");
    data.cycleIndex[3] = 9999;
    data.cycleIndex[14] = 0;
    api->resvData = data;
    QVERIFY(api->writeZuzEraroveFile(local));
    api->resvData = ZuzEraroveData();
    api->resvDataSaved = ZuzEraroveData();
    QVERIFY(api->readZuzEraroveFile(local));
    QVERIFY(api->isSameRplResData(api->resvData, data));
    QVERIFY(api->isSameRplResData(api->resvDataSaved, data));
    data.cycleIndex[2] = 2;
    QVERIFY(!api->isSameRplResData(api->resvData, data));
}

void tst_ReservationEngine::programMapRoundTrip()
{
    const QString local = env->localDir() + QStringLiteral("/programMapping.xml");
    const QList<ProgramMapData> maps{{512, QStringLiteral("B.XPL")},
                                     {0, QStringLiteral("ZERO.XPL")},
                                     {3, QStringLiteral("SUB/D.XPL")},
                                     {3, QStringLiteral("Ä&<.XPL")},
                                     {-4, QString()}};
    api->programMaps = maps;
    QVERIFY(api->writePrograMapFile(local));
    api->programMaps.clear();
    QVERIFY(api->readPrograMapFile(local));
    QCOMPARE(api->programMaps.size(), maps.size());
    for (int i = 0; i < maps.size(); ++i) {
        QCOMPARE(api->programMaps[i].programNum, maps[i].programNum);
        QCOMPARE(api->programMaps[i].programName, maps[i].programName);
    }
}

void tst_ReservationEngine::malformedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("truncated") << QByteArray("<ZuzEraroveConfig runState=\"1\"><Slot id=\"1\" progr") << true;
    QTest::newRow("unclosed root") << QByteArray("<ProgramMapping><Program num=\"1\" name=\"A\"/>") << true;
    QTest::newRow("other root") << QByteArray("<Something/>") << true;
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe<\x01\x02", 6) << true;
}

void tst_ReservationEngine::malformedFilesChangeNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    const QString path = env->localDir() + QStringLiteral("/bad.xml");
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    ZuzEraroveData before;
    before.signalMode = 1;
    before.rplNames[0] = QStringLiteral("KEEP.XPL");
    api->resvData = before;
    api->resvDataSaved = before;
    api->programMaps = {{1, QStringLiteral("KEEP.XPL")}};
    QVERIFY(!api->readZuzEraroveFile(path));
    QVERIFY(!api->readPrograMapFile(path));
    QVERIFY(api->isSameRplResData(api->resvData, before));
    QVERIFY(api->isSameRplResData(api->resvDataSaved, before));
    QCOMPARE(api->programMaps.size(), 1);
    QCOMPARE(api->programMaps[0].programName, QStringLiteral("KEEP.XPL"));
}

void tst_ReservationEngine::failedWriteKeepsFile()
{
    const QString local = env->localDir() + QStringLiteral("/zuzeraroveconfig.xml");
    api->resvData.rplNames[0] = QStringLiteral("A.XPL");
    QVERIFY(api->writeZuzEraroveFile(local));
    QFile file(local);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    api->resvData.rplNames[0] = QStringLiteral("B.XPL");
    Controller::instance().setFault(sim::Fault::Write, true);
    QVERIFY(!api->writeZuzEraroveFile(local));
    Controller::instance().setFault(sim::Fault::Write, false);
    QVERIFY(!api->writeZuzEraroveFile(env->localDir() + QStringLiteral("/no/such/dir/x.xml")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void tst_ReservationEngine::programNamesFromController()
{
    env->writeControllerFile(QStringLiteral("/RPL/notes.txt"), "x");
    env->writeControllerFile(QStringLiteral("/RPL/CELL.PJ"), "x");
    env->writeControllerFile(QStringLiteral("/RPL/low.xpl"), "x");
    QCOMPARE(api->getAllRplName(),
             (QStringList{QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL"),
                          QStringLiteral("SUB/D.XPL"), QStringLiteral("low.xpl")}));
    Reservation::instance().setProgramNames({QStringLiteral("ONLY.XPL")});
    QCOMPARE(api->getAllRplName(), QStringList{QStringLiteral("ONLY.XPL")});
    Reservation::instance().clearProgramNames();
    Controller::instance().setConnected(false);
    QVERIFY(api->getAllRplName().isEmpty());
}

void tst_ReservationEngine::autoStartFromSoftPlcFile()
{
    const QString path = QStringLiteral("/application/zuzerarove/softplcconfig.xml");
    env->writeControllerFile(path, "<SoftPlcConfig><PlcData><PlcInfo id=\"1\"><mode>0</mode></PlcInfo>\n"
                                   "<PlcInfo id=\"2\"><mode>1</mode></PlcInfo><PlcInfo id=\"3\"><mode>2</mode></PlcInfo>"
                                   "<PlcInfo id=\"4\"><mode>1</mode></PlcInfo></PlcData></SoftPlcConfig>");
    QVERIFY(Reservation::instance().applyControllerSoftPlc());
    QCOMPARE((QList<bool>{api->getAutoStartPLc(0), api->getAutoStartPLc(1), api->getAutoStartPLc(2),
                          api->getAutoStartPLc(3)}),
             (QList<bool>{false, true, false, true}));
    // A file that cannot be read changes no flag.
    env->writeControllerFile(path, "<SoftPlcConfig><PlcData>");
    QVERIFY(!Reservation::instance().applyControllerSoftPlc());
    QVERIFY(api->getAutoStartPLc(1));
}

QTEST_MAIN(tst_ReservationEngine)
#include "tst_reservationengine.moc"
