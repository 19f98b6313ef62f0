#include "core/reservationmonitor.h"

#include <QtTest>

Q_DECLARE_METATYPE(MonitorReading)

// The monitor's rows and the rules of its commands, without a screen.
class tst_ReservationMonitor : public QObject
{
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void poll_data();
    void poll();
    void longNamesScroll();
    void commands_data();
    void commands();
    void cancelAllOrder_data();
    void cancelAllOrder();
    void protocolName_data();
    void protocolName();
    void runStateCommand_data();
    void runStateCommand();
};

namespace {

ZuzEraroveData config(int mode, const QStringList &names)
{
    ZuzEraroveData data;
    data.signalMode = mode;
    for (int i = 0; i < names.size(); ++i)
        data.rplNames[i] = names[i];
    return data;
}

MonitorReading reading(bool running, const QVector<int> &status, const QVector<int> &total, const QVector<int> &queue)
{
    MonitorReading r;
    r.running = running;
    r.status = SlotValues(status.cbegin(), status.cend());
    r.total = SlotValues(total.cbegin(), total.cend());
    r.queue = SlotValues(queue.cbegin(), queue.cend());
    return r;
}

QStringList column(const ReservationMonitor &m, QString (ReservationMonitor::*text)(int) const)
{
    QStringList texts;
    for (int r = 0; r < m.rows(); ++r)
        texts << (m.*text)(r);
    return texts;
}

} // namespace

void tst_ReservationMonitor::rows_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QVector<bool>>("keys");
    const QStringList listed{"A.XPL", "SUB/D.XPL"};
    QTest::newRow("listed, none, unlisted, in a folder")
        << 0 << QStringList{"A.XPL", "", "GONE.XPL", "SUB/D.XPL"}
        << QStringList{"A.XPL", "Null", "GONE.XPL(no file)", "SUB/D.XPL"} << QVector<bool>{true, false, false, true};
    QTest::newRow("a mode outside the list is Alone: four rows")
        << 2 << QStringList{"A.XPL", "", "", "", "A.XPL"}
        << QStringList{"A.XPL", "Null", "Null", "Null"} << QVector<bool>{true, false, false, false};
    QStringList binary;
    for (int i = 0; i < 15; ++i)
        binary << QStringLiteral("A.XPL");
    QTest::newRow("Binary: fifteen rows") << 1 << binary << binary << QVector<bool>(15, true);
    const QString huge(300, QLatin1Char('L'));
    QTest::newRow("a damaged name is cut") << 0 << QStringList{huge}
        << QStringList{huge.left(256) + QChar(0x2026) + "(no file)", "Null", "Null", "Null"}
        << QVector<bool>{false, false, false, false};
    const QString listedHuge(300, QLatin1Char('M'));
    QTest::newRow("a long name the controller lists is cut too") << 0 << QStringList{listedHuge}
        << QStringList{listedHuge.left(256) + QChar(0x2026), "Null", "Null", "Null"}
        << QVector<bool>{true, false, false, false};
}

void tst_ReservationMonitor::rows()
{
    QFETCH(int, mode);
    QFETCH(QStringList, names);
    QFETCH(QStringList, shown);
    QFETCH(QVector<bool>, keys);
    ReservationMonitor m;
    m.setConfig(config(mode, names), {"A.XPL", "SUB/D.XPL", QString(300, QLatin1Char('M'))});
    QCOMPARE(column(m, &ReservationMonitor::shownName), shown);
    QVector<bool> enabled;
    for (int r = 0; r < m.rows(); ++r)
        enabled << m.keysEnabled(r);
    QCOMPARE(enabled, keys);
    // Before the first poll a row shows no status.
    QCOMPARE(m.statusText(0), QStringLiteral("Null"));
}

void tst_ReservationMonitor::poll_data()
{
    // Two polls of a four-row table with programs in rows 1 to 3: the second's changes.
    QTest::addColumn<MonitorReading>("second");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QVector<int>>("statusRows");
    QTest::addColumn<QVector<int>>("totalRows");
    QTest::addColumn<bool>("sequence");
    QTest::addColumn<QStringList>("status");
    QTest::addColumn<QStringList>("sequenceTexts");
    const MonitorReading first = reading(false, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0});
    const QStringList idle{"Unreserved", "Unreserved", "Unreserved", "Null"};
    const QStringList none{"0", "0", "0", "0"};
    QTest::newRow("nothing changed") << first << false << QVector<int>{} << QVector<int>{} << false << idle << none;
    QTest::newRow("started") << reading(true, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0})
        << true << QVector<int>{} << QVector<int>{} << false << idle << none;
    QTest::newRow("statuses, unknown ones Null, a row without program Null")
        << reading(false, {1, 2, 7, 1}, {0, 0, 0, 0}, {0, 0, 0, 0}) << false << QVector<int>{0, 1, 2, 3}
        << QVector<int>{} << false << QStringList{"Reserved", "Running", "Null", "Null"} << none;
    QTest::newRow("one total") << reading(false, {0, 0, 0, 0}, {0, 0, 5, 0}, {0, 0, 0, 0})
        << false << QVector<int>{} << QVector<int>{2} << false << idle << none;
    QTest::newRow("slot 3 first, slot 1 second") << reading(false, {0, 0, 0, 0}, {0, 0, 0, 0}, {3, 1, 0, 0})
        << false << QVector<int>{} << QVector<int>{} << true << idle << QStringList{"2", "0", "1", "0"};
    QTest::newRow("a change behind an unchanged first place; a slot outside the rows shows nowhere")
        << reading(false, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 9, -1, 2}) << false << QVector<int>{} << QVector<int>{}
        << true << idle << QStringList{"0", "4", "0", "0"};
}

void tst_ReservationMonitor::poll()
{
    QFETCH(MonitorReading, second);
    QFETCH(bool, running);
    QFETCH(QVector<int>, statusRows);
    QFETCH(QVector<int>, totalRows);
    QFETCH(bool, sequence);
    QFETCH(QStringList, status);
    QFETCH(QStringList, sequenceTexts);
    ReservationMonitor m;
    m.setConfig(config(0, {"A.XPL", "B.XPL", "C.XPL"}), {"A.XPL", "B.XPL", "C.XPL"});
    // The first poll writes every cell.
    const MonitorChanges all = m.apply(reading(false, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}));
    QCOMPARE(all.statusRows, (QVector<int>{0, 1, 2, 3}));
    QCOMPARE(all.totalRows, (QVector<int>{0, 1, 2, 3}));
    QVERIFY(all.sequence);
    QVERIFY(!all.running);

    const MonitorChanges changes = m.apply(second);
    QCOMPARE(changes.running, running);
    QCOMPARE(m.isRunning(), second.running);
    QCOMPARE(changes.statusRows, statusRows);
    QCOMPARE(changes.totalRows, totalRows);
    QCOMPARE(changes.sequence, sequence);
    QCOMPARE(column(m, &ReservationMonitor::statusText), status);
    QCOMPARE(column(m, &ReservationMonitor::sequenceText), sequenceTexts);
    QCOMPARE(m.totalText(2), QString::number(second.total[2]));

    // A new configuration forgets what was shown, the run state aside.
    m.setConfig(config(0, {"A.XPL"}), {"A.XPL"});
    const MonitorChanges again = m.apply(second);
    QCOMPARE(again.statusRows.size(), 4);
    QVERIFY(again.sequence);
    QVERIFY(!again.running);
}

void tst_ReservationMonitor::longNamesScroll()
{
    const QString longName = QStringLiteral("ABCDEFGHIJKLMNOPQ.XPL"); // 21 characters
    const QString twenty = QStringLiteral("ABCDEFGHIJKLMNOP.XPL");    // 20 characters
    ReservationMonitor m;
    m.setConfig(config(0, {longName, twenty}), {longName, twenty});
    QStringList seen;
    for (int i = 0; i < 24; ++i) {
        const QStringList texts = m.roll();
        QCOMPARE(texts.mid(1), (QStringList{twenty, "Null", "Null"}));
        seen << texts[0];
    }
    // One character further each time, past the end, and round again from the start.
    QCOMPARE(seen.mid(0, 3), (QStringList{longName, longName.mid(1), longName.mid(2)}));
    QCOMPARE(seen[21], QString());
    QCOMPARE(seen[22], longName);
    // A new configuration keeps the place of a name still rolling.
    m.setConfig(config(0, {longName}), {});
    QCOMPARE(m.roll().first(), (longName + "(no file)").mid(2));
}

void tst_ReservationMonitor::commands_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("robotRunning");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("wanted");
    QTest::addColumn<QString>("refusal");
    const QString refusal = QStringLiteral("Please start before reserving programe.");
    QTest::newRow("stopped") << false << false << "" << 1 << refusal;
    QTest::newRow("started") << true << false << "" << 0 << "";
    QTest::newRow("stopped, a robot program runs") << false << true
        << "A robot program is running.\nAre you sure you want to terminate the program and start the program reservation?"
        << 1 << refusal;
    QTest::newRow("started, the reserved program runs") << true << true
        << "The reserved program is running, are you sure to stop the program reservation?\nThe running program will finish running normally."
        << 0 << "";
}

void tst_ReservationMonitor::commands()
{
    QFETCH(bool, running);
    QFETCH(bool, robotRunning);
    QFETCH(QString, warning);
    QFETCH(int, wanted);
    QFETCH(QString, refusal);
    ReservationMonitor m;
    m.setConfig(config(0, {"A.XPL"}), {"A.XPL"});
    m.apply(reading(running, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}));
    QCOMPARE(m.startStopWarning(robotRunning), warning);
    QCOMPARE(m.wantedRunState(), wanted);
    QCOMPARE(m.reserveRefusal(), refusal);
}

void tst_ReservationMonitor::cancelAllOrder_data()
{
    QTest::addColumn<QVector<int>>("statuses");
    QTest::addColumn<QVector<int>>("waiting");
    QTest::addColumn<int>("running");
    QTest::newRow("reserved in row order, running last") << QVector<int>{1, 2, 1, 0} << QVector<int>{0, 2} << 1;
    QTest::newRow("nothing reserved") << QVector<int>{0, 0, -1, 0} << QVector<int>{} << -1;
    QTest::newRow("two running: the last one only") << QVector<int>{2, 0, 3, 0} << QVector<int>{} << 2;
}

void tst_ReservationMonitor::cancelAllOrder()
{
    QFETCH(QVector<int>, statuses);
    QFETCH(QVector<int>, waiting);
    QFETCH(int, running);
    const ReservationMonitor::CancelAll order = ReservationMonitor::cancelAllOrder(statuses);
    QCOMPARE(order.waiting, waiting);
    QCOMPARE(order.running, running);

    // Cancelling one slot asks by its status; nothing to ask below reserved.
    QCOMPARE(ReservationMonitor::cancelQuestion(0), QString());
    QCOMPARE(ReservationMonitor::cancelQuestion(-1), QString());
    QCOMPARE(ReservationMonitor::cancelQuestion(1), QStringLiteral("Are you sure to cancel the reservation?"));
    for (int status : {2, 3})
        QCOMPARE(ReservationMonitor::cancelQuestion(status),
                 QStringLiteral("The program is running. Are you sure to stop and cancel the reservation?"));
}

void tst_ReservationMonitor::protocolName_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("name");
    QTest::newRow("discrete I/O") << 0 << "IO";
    QTest::newRow("the last of the list") << 10 << "DevicenetMaster";
    QTest::newRow("beyond the list") << 11 << "IO";
    QTest::newRow("negative") << -1 << "IO";
}

void tst_ReservationMonitor::protocolName()
{
    QFETCH(int, protocol);
    QFETCH(QString, name);
    QCOMPARE(ReservationMonitor::protocolName(protocol), name);
}

void tst_ReservationMonitor::runStateCommand_data()
{
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("savedRecord");
    QTest::newRow("the save went through") << true << 1 << 1;
    QTest::newRow("the save failed, or the page went under its box") << false << 0 << 0;
}

void tst_ReservationMonitor::runStateCommand()
{
    QFETCH(bool, saved);
    QFETCH(int, record);
    QFETCH(int, savedRecord);
    ZuzEraroveData working, kept;
    working.runState = kept.runState = 0;
    {
        RunStateCommand command(working, 1);
        // While it is saved, the record holds the state asked for.
        QCOMPARE(working.runState, 1);
        if (saved)
            command.commit(kept);
    }
    QCOMPARE(working.runState, record);
    QCOMPARE(kept.runState, savedRecord);
}

QTEST_GUILESS_MAIN(tst_ReservationMonitor)
#include "tst_reservationmonitor.moc"
