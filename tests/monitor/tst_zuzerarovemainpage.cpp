#include "factories.h"

#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using sim::CallLog;
using sim::Reservation;

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
    void namesAndKeys();
    void statusTexts_data();
    void statusTexts();
    void queueDisplay();
    void cellsWrittenOnlyWhenChanged();
    void lampFollowsService();
    void idleBeforeStartUpDoesNothing();
    void longNamesScroll();

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

    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
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
    QTest::newRow("mode 2 is Alone") << 2 << 4 << 80 << "Mode:Alone";
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
        QVERIFY(key(QStringLiteral("reserveBtn_%1").arg(r + 1)));
        QVERIFY(key(QStringLiteral("cancelBtn_%1").arg(r + 1)));
    }
    QCOMPARE(table()->findChildren<QPushButton *>().size(), 2 * rows);
}

void tst_ZuzEraroveMainPage::protocolLabel_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("text");
    QTest::newRow("discrete I/O") << 0 << "Protocol:IO";
    QTest::newRow("the last of the list") << 10 << "Protocol:DevicenetMaster";
    QTest::newRow("beyond the list") << 11 << "Protocol:IO";
    QTest::newRow("negative") << -1 << "Protocol:IO";
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

void tst_ZuzEraroveMainPage::namesAndKeys()
{
    QVERIFY(start(0, {QStringLiteral("A.XPL"), QString(), QStringLiteral("GONE.XPL"), QStringLiteral("SUB/D.XPL")}));
    QCOMPARE(cell(0, ColName), QStringLiteral("A.XPL"));
    QCOMPARE(cell(1, ColName), QStringLiteral("Null"));
    QCOMPARE(cell(1, ColStatus), QStringLiteral("Null"));
    QCOMPARE(cell(2, ColName), QStringLiteral("GONE.XPL(no file)"));
    QCOMPARE(cell(3, ColName), QStringLiteral("SUB/D.XPL"));
    const QList<bool> enabled{true, false, false, true};
    for (int r = 0; r < 4; ++r) {
        QCOMPARE(key(QStringLiteral("reserveBtn_%1").arg(r + 1))->isEnabled(), enabled[r]);
        QCOMPARE(key(QStringLiteral("cancelBtn_%1").arg(r + 1))->isEnabled(), enabled[r]);
    }
}

void tst_ZuzEraroveMainPage::statusTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("unreserved") << 0 << "Unreserved";
    QTest::newRow("reserved") << 1 << "Reserved";
    QTest::newRow("running") << 2 << "Running";
    QTest::newRow("unknown above") << 3 << "Null";
    QTest::newRow("unknown below") << -1 << "Null";
}

void tst_ZuzEraroveMainPage::statusTexts()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QVERIFY(start(1, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")}));
    Reservation::instance().setStatus(1, status);
    f.screen()->idle();
    QCOMPARE(cell(1, ColStatus), text);
    QCOMPARE(cell(0, ColStatus), QStringLiteral("Unreserved"));
}

void tst_ZuzEraroveMainPage::queueDisplay()
{
    QVERIFY(start(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL")}));
    Reservation &resv = Reservation::instance();
    // Queue values 3, 1, 0, 0: slot 3 waits first, slot 1 second.
    resv.setQueue({2, 0});
    f.screen()->idle();
    QCOMPARE((QStringList{cell(0, ColSequence), cell(1, ColSequence), cell(2, ColSequence), cell(3, ColSequence)}),
             (QStringList{"2", "0", "1", "0"}));

    // A value outside the rows shows nowhere.
    resv.setQueue({8, 1});
    f.screen()->idle();
    QCOMPARE((QStringList{cell(0, ColSequence), cell(1, ColSequence), cell(2, ColSequence), cell(3, ColSequence)}),
             (QStringList{"0", "2", "0", "0"}));

    // A change behind an unchanged first place shows too.
    resv.setQueue({8, 2});
    f.screen()->idle();
    QCOMPARE((QStringList{cell(0, ColSequence), cell(1, ColSequence), cell(2, ColSequence), cell(3, ColSequence)}),
             (QStringList{"0", "0", "2", "0"}));

    // Only the first four positions count in a four-row table.
    table()->item(2, ColSequence)->setText(QStringLiteral("x"));
    resv.setQueue({8, 2, -1, -1, 2, 2});
    f.screen()->idle();
    QCOMPARE(cell(2, ColSequence), QStringLiteral("x"));
}

void tst_ZuzEraroveMainPage::cellsWrittenOnlyWhenChanged()
{
    QVERIFY(start(0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")}));
    Reservation &resv = Reservation::instance();
    resv.setTotal(0, 5);
    f.screen()->idle();
    QCOMPARE(cell(0, ColTotal), QStringLiteral("5"));

    table()->item(0, ColTotal)->setText(QStringLiteral("x"));
    table()->item(0, ColStatus)->setText(QStringLiteral("y"));
    f.screen()->idle(3);
    QCOMPARE(cell(0, ColTotal), QStringLiteral("x"));
    QCOMPARE(cell(0, ColStatus), QStringLiteral("y"));
    resv.setTotal(0, 6);
    f.screen()->idle();
    QCOMPARE(cell(0, ColTotal), QStringLiteral("6"));

    // Showing the page again with another configuration rebuilds the table and forgets
    // what it had shown, so the next poll writes every cell.
    ZuzEraroveLibApi::getInstance()->resvData.cycleIndex[0] = 7;
    f.screen()->widget()->hide();
    f.screen()->widget()->show();
    f.screen()->idle();
    QCOMPARE(cell(0, ColTotal), QStringLiteral("6"));
    QCOMPARE(cell(0, ColStatus), QStringLiteral("Unreserved"));
}

void tst_ZuzEraroveMainPage::lampFollowsService()
{
    QVERIFY(start(0, {QStringLiteral("A.XPL")}));
    auto *lamp = f.screen()->find<QCheckBox>(QStringLiteral("runOrStopLedCB"));
    QPushButton *runOrStop = key(QStringLiteral("runOrStopButton"));
    QPushButton *setting = key(QStringLiteral("settingButton"));
    QVERIFY(!lamp->isChecked());
    QVERIFY(!lamp->isEnabled());

    Reservation::instance().setStarted(true);
    f.screen()->idle();
    QVERIFY(lamp->isChecked());
    QCOMPARE(runOrStop->text(), QStringLiteral("Stop"));
    QVERIFY(!setting->isEnabled());

    // While lamp and service agree, the key is left alone.
    runOrStop->setText(QStringLiteral("elsewhere"));
    f.screen()->idle(2);
    QCOMPARE(runOrStop->text(), QStringLiteral("elsewhere"));

    Reservation::instance().setStarted(false);
    f.screen()->idle();
    QVERIFY(!lamp->isChecked());
    QCOMPARE(runOrStop->text(), QStringLiteral("Start"));
    QVERIFY(setting->isEnabled());
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

void tst_ZuzEraroveMainPage::longNamesScroll()
{
    const QString longName = QStringLiteral("ABCDEFGHIJKLMNOPQ.XPL"); // 21 characters
    const QString twenty = QStringLiteral("ABCDEFGHIJKLMNOP.XPL");    // 20 characters
    f.env().addPrograms({longName, twenty});
    QVERIFY(start(0, {longName, twenty}));
    // Every half second the long name drops one more leading character; the short one stands.
    QTRY_VERIFY(cell(0, ColName).size() < longName.size());
    QVERIFY(longName.endsWith(cell(0, ColName)));
    QCOMPARE(cell(1, ColName), twenty);
}

QTEST_MAIN(tst_ZuzEraroveMainPage)
#include "tst_zuzerarovemainpage.moc"
