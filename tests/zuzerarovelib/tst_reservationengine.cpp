#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include "treefiles/rawtext.h"

#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using sim::Controller;
using sim::Reservation;

// The reservation service as the pages rely on it.
class tst_ReservationEngine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void roads_data();
    void roads();
    void filesRoundTrip();
    void unreadableFilesChangeNothing_data();
    void unreadableFilesChangeNothing();
    void autoStartFromSoftPlcFile();
    void namesAreBytes();
    void commasStayInNames();

private:
    // Sends the configuration to the controller and has the service take it over.
    void configure(int runState);
    void step(const QString &command);
    // "status 2 1 0 0 | queue 2 | totals 0 0 1 0 | robot A.XPL" for the first slots.
    QString state(int slotCount) const;

    QScopedPointer<SimEnvironment> env;
    ZuzEraroveLibApi *api = nullptr;
    int mode = 0;
    QStringList programs;
};

void tst_ReservationEngine::init()
{
    env.reset(new SimEnvironment);
    env->addPrograms({QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL"),
                      QStringLiteral("SUB/D.XPL")});
    Controller::instance().setRunDuration(1000);
    api = ZuzEraroveLibApi::getInstance();
}

void tst_ReservationEngine::configure(int runState)
{
    const QString local = env->localDir() + QStringLiteral("/zuzeraroveconfig.xml");
    api->resvData = ZuzEraroveData();
    api->resvData.runState = runState;
    api->resvData.signalMode = mode;
    for (int i = 0; i < programs.size(); ++i)
        api->resvData.rplNames[i] = programs[i];
    QVERIFY(api->writeZuzEraroveFile(local));
    QVERIFY(api->sendFileToCtrl(local, QStringLiteral("/application/zuzerarove/zuzeraroveconfig.xml")));
    api->setUpdateConfig();
}

void tst_ReservationEngine::step(const QString &command)
{
    const QStringList words = command.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString verb = words.value(0);
    const int n = words.value(1).toInt();
    Controller &ctrl = Controller::instance();
    Reservation &resv = Reservation::instance();
    if (verb == QLatin1String("start") || verb == QLatin1String("stop"))
        configure(verb == QLatin1String("start") ? 1 : 0);
    else if (verb == QLatin1String("res"))
        api->addResvProgram(n - 1);
    else if (verb == QLatin1String("cancel"))
        api->delResvProgram(n - 1);
    else if (verb == QLatin1String("runs"))
        ctrl.advance(qint64(n) * 1000);
    else if (verb == QLatin1String("wait"))
        ctrl.advance(n);
    else if (verb == QLatin1String("outside"))
        ctrl.setRobotRunning(words.value(1) == QLatin1String("on"));
    else if (verb == QLatin1String("announce"))
        api->setStartRunProgram();
    else if (verb == QLatin1String("input"))
        resv.pulseInput(n);
    else if (verb == QLatin1String("code")) {
        resv.setBinaryCode(n);
        resv.strobe();
    } else if (verb == QLatin1String("total"))
        resv.setTotal(n - 1, words.value(2).toInt());
    else if (verb == QLatin1String("clear"))
        api->clearRunTotal();
    else if (verb == QLatin1String("clearUnused"))
        api->clearUnusedIdTotal();
    else
        QFAIL(qPrintable(QStringLiteral("unknown step: ") + command));
}

QString tst_ReservationEngine::state(int slotCount) const
{
    QStringList status, queue, totals;
    for (int s = 0; s < slotCount; ++s) {
        status << QString::number(api->getResvStatus(s));
        totals << QString::number(api->getProgramRunTotal(s));
    }
    for (int i = 0; api->getProgramQueue(i) > 0; ++i)
        queue << QString::number(api->getProgramQueue(i));
    const Controller &ctrl = Controller::instance();
    return QStringLiteral("status %1 | queue %2 | totals %3 | robot %4")
        .arg(status.join(QLatin1Char(' ')), queue.isEmpty() ? QStringLiteral("-") : queue.join(QLatin1Char(' ')), totals.join(QLatin1Char(' ')),
             ctrl.isRobotRunning() ? ctrl.runningProgram() : QStringLiteral("-"));
}

void tst_ReservationEngine::roads_data()
{
    QTest::addColumn<int>("signalMode");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    const QString abc = QStringLiteral("A.XPL,B.XPL,C.XPL");
    QTest::newRow("the first reservation runs, the others wait in order") << 0 << abc
        << "start; res 3; res 1; res 2" << "status 1 1 2 0 | queue 1 2 | totals 0 0 0 0 | robot C.XPL";
    QTest::newRow("each run ends at its time and the next one starts") << 0 << abc
        << "start; res 3; res 1; res 2; runs 1" << "status 2 1 0 0 | queue 2 | totals 0 0 1 0 | robot A.XPL";
    QTest::newRow("the queue runs empty") << 0 << abc
        << "start; res 3; res 1; res 2; runs 3" << "status 0 0 0 0 | queue - | totals 1 1 1 0 | robot -";
    QTest::newRow("nothing is reserved while stopped") << 0 << abc
        << "stop; res 1" << "status 0 0 0 0 | queue - | totals 0 0 0 0 | robot -";
    QTest::newRow("a slot without a program or with a missing one") << 0 << "A.XPL,GONE.XPL,,B.XPL"
        << "start; res 2; res 3; res 4" << "status 0 0 0 2 | queue - | totals 0 0 0 0 | robot B.XPL";
    QTest::newRow("a waiting or running slot is not queued twice") << 0 << abc
        << "start; res 1; res 2; res 2; res 1" << "status 2 1 0 0 | queue 2 | totals 0 0 0 0 | robot A.XPL";
    QTest::newRow("slot 5 does not exist in Alone") << 0 << "A.XPL,B.XPL,C.XPL,A.XPL,B.XPL"
        << "start; res 1; res 5" << "status 2 0 0 0 0 | queue - | totals 0 0 0 0 0 | robot A.XPL";
    QTest::newRow("slot 5 exists in Binary") << 1 << "A.XPL,B.XPL,C.XPL,A.XPL,B.XPL"
        << "start; res 1; res 5" << "status 2 0 0 0 1 | queue 5 | totals 0 0 0 0 0 | robot A.XPL";
    QTest::newRow("cancelling a waiting slot takes it out of the queue") << 0 << abc
        << "start; res 1; res 2; res 3; cancel 2" << "status 2 0 1 0 | queue 3 | totals 0 0 0 0 | robot A.XPL";
    QTest::newRow("cancelling the running slot stops it uncounted, the next one runs") << 0 << abc
        << "start; res 1; res 2; wait 500; cancel 1" << "status 0 2 0 0 | queue - | totals 0 0 0 0 | robot B.XPL";
    QTest::newRow("cancelling an unreserved slot does nothing") << 0 << abc
        << "start; res 1; cancel 3" << "status 2 0 0 0 | queue - | totals 0 0 0 0 | robot A.XPL";
    QTest::newRow("a stop lets the running program finish, the waiting one waits") << 0 << abc
        << "start; res 1; res 2; stop; runs 5" << "status 0 1 0 0 | queue 2 | totals 1 0 0 0 | robot -";
    QTest::newRow("a start runs what waited") << 0 << abc
        << "start; res 1; res 2; stop; runs 5; start" << "status 0 2 0 0 | queue - | totals 1 0 0 0 | robot B.XPL";
    QTest::newRow("a start takes the robot from a program run outside") << 0 << abc
        << "outside on; announce" << "status 0 0 0 0 | queue - | totals 0 0 0 0 | robot -";
    QTest::newRow("a stop leaves the reservation's program running") << 0 << abc
        << "start; res 1; announce" << "status 2 0 0 0 | queue - | totals 0 0 0 0 | robot A.XPL";
    QTest::newRow("the queue waits while a program runs outside") << 0 << abc
        << "start; outside on; res 2" << "status 0 1 0 0 | queue 2 | totals 0 0 0 0 | robot OUTSIDE.XPL";
    QTest::newRow("the queue goes on when the outside program ends") << 0 << abc
        << "start; outside on; res 2; outside off" << "status 0 2 0 0 | queue - | totals 0 0 0 0 | robot B.XPL";
    QTest::newRow("an input reserves in Alone, a strobe does not") << 0 << abc
        << "start; input 2; code 1" << "status 0 2 0 0 | queue - | totals 0 0 0 0 | robot B.XPL";
    QTest::newRow("a strobe reserves in Binary, an input does not") << 1 << abc
        << "start; res 1; code 3; input 2" << "status 2 0 1 0 | queue 3 | totals 0 0 0 0 | robot A.XPL";
    QTest::newRow("clearing the unused slots' totals") << 0 << "A.XPL,B.XPL"
        << "start; total 1 7; total 2 7; total 3 7; total 4 7; clearUnused"
        << "status 0 0 0 0 | queue - | totals 7 7 0 0 | robot -";
    QTest::newRow("clearing every total") << 0 << "A.XPL,B.XPL"
        << "start; total 1 7; total 3 7; clear" << "status 0 0 0 0 | queue - | totals 0 0 0 0 | robot -";
}

void tst_ReservationEngine::roads()
{
    QFETCH(int, signalMode);
    QFETCH(QString, names);
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    mode = signalMode;
    programs = names.split(QLatin1Char(','));
    for (const QString &command : steps.split(QLatin1Char(';'))) {
        step(command);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(state(qMax(4, programs.size())), expected);
}

void tst_ReservationEngine::filesRoundTrip()
{
    const QString config = env->localDir() + QStringLiteral("/zuzeraroveconfig.xml");
    ZuzEraroveData data;
    data.runState = 1;
    data.signalMode = 1;
    data.protocol = 10;
    data.rplNames[7] = QStringLiteral("R&D <1> \"x\".XPL");
    data.rplNames[14] = QStringLiteral("SUB/Schweißen.XPL");
    data.cycleIndex[14] = 9999;
    api->resvData = data;
    QVERIFY(api->writeZuzEraroveFile(config));
    api->resvData = ZuzEraroveData();
    QVERIFY(api->readZuzEraroveFile(config));
    QVERIFY(api->isSameRplResData(api->resvData, data));
    QVERIFY(api->isSameRplResData(api->resvDataSaved, data));

    const QString mapFile = env->localDir() + QStringLiteral("/programMapping.xml");
    const QList<ProgramMapData> map{{512, QStringLiteral("B.XPL")}, {0, QStringLiteral("Ä&<.XPL")}, {-4, QString()}};
    api->programMaps = map;
    QVERIFY(api->writePrograMapFile(mapFile));
    api->programMaps.clear();
    QVERIFY(api->readPrograMapFile(mapFile));
    QCOMPARE(api->programMaps.size(), map.size());
    for (int i = 0; i < map.size(); ++i) {
        QCOMPARE(api->programMaps[i].programNum, map[i].programNum);
        QCOMPARE(api->programMaps[i].programName, map[i].programName);
    }
}

void tst_ReservationEngine::unreadableFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("truncated") << QByteArray("<ZuzEraroveConfig runState=\"1\"><Slot id=\"1\" progr");
    QTest::newRow("other root") << QByteArray("<Something/>");
}

void tst_ReservationEngine::unreadableFilesChangeNothing()
{
    QFETCH(QByteArray, content);
    const QString path = env->localDir() + QStringLiteral("/bad.xml");
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    ZuzEraroveData before;
    before.rplNames[0] = QStringLiteral("KEEP.XPL");
    api->resvData = before;
    api->resvDataSaved = before;
    api->programMaps = {{1, QStringLiteral("KEEP.XPL")}};
    QVERIFY(!api->readZuzEraroveFile(path));
    QVERIFY(!api->readPrograMapFile(path));
    QVERIFY(api->isSameRplResData(api->resvData, before));
    QVERIFY(api->isSameRplResData(api->resvDataSaved, before));
    QCOMPARE(api->programMaps.size(), 1);
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

// Names that are not UTF-8, that differ only in their normal form or in case: each program is
// listed, kept through the configuration's file and reserved and run as the file it is.
void tst_ReservationEngine::namesAreBytes()
{
    const QList<QByteArray> names{"BAD\xff\xfe.XPL", "\xc3\x89.XPL", "E\xcc\x81.XPL", "a.xpl", "A.XPL"};
    programs.clear();
    for (const QByteArray &name : names) {
        const QByteArray path = QFile::encodeName(env->controllerRoot()) + "/RPL/" + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        programs << rawtext::decode(name);
    }
    Controller::instance().treeChanged();
    const QStringList listed = api->getAllRplName();
    for (const QString &program : qAsConst(programs))
        QVERIFY2(listed.contains(program), qPrintable(listed.join(QLatin1Char(' '))));

    mode = 1; // all fifteen slots
    configure(1);
    const QString fetched = env->localDir() + QStringLiteral("/fetched.xml");
    QVERIFY(api->getFileFromCtrl(QStringLiteral("/application/zuzerarove/zuzeraroveconfig.xml"), fetched));
    QVERIFY(api->readZuzEraroveFile(fetched));
    for (int slot = 0; slot < names.size(); ++slot) {
        QCOMPARE(rawtext::encode(api->resvData.rplNames[slot]), names[slot]);
        api->addResvProgram(slot);
        QCOMPARE(api->getResvStatus(slot), 2);
        QCOMPARE(rawtext::encode(Controller::instance().runningProgram()), names[slot]);
        api->delResvProgram(slot);
    }
}

// A program's size and time are its entry's last fields: a comma in a name stays in the name, and
// "A.XPL,OLD" is no "A.XPL".
void tst_ReservationEngine::commasStayInNames()
{
    QFile::remove(env->controllerRoot() + QStringLiteral("/RPL/A.XPL"));
    for (const char *name : {"/RPL/A.XPL,OLD", "/RPL/PART,2.XPL"})
        env->writeControllerFile(QString::fromLatin1(name), "MOVJ P1\n");
    Controller::instance().treeChanged();
    const QStringList listed = api->getAllRplName();
    QVERIFY2(listed.contains(QStringLiteral("PART,2.XPL")), qPrintable(listed.join(QLatin1Char(' '))));
    QVERIFY2(!listed.contains(QStringLiteral("A.XPL")), qPrintable(listed.join(QLatin1Char(' '))));
}

QTEST_MAIN(tst_ReservationEngine)
#include "tst_reservationengine.moc"
