#include "plugin/factories.h"

#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using sim::Controller;
using sim::Reservation;

// A day of production on the manual clock: random reserves, cancels, starts and stops, cleared
// totals, mode and protocol changes and page visits from a fixed seed, the monitor polled after
// every step and every slot's total held to the runs that finished since it was last cleared.
class tst_Soak : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void day();

private:
    QPushButton *key(const QString &name) const { return f.find<QPushButton>(name); }
    QTableWidget *monitorTable() const { return f.screen()->find<QTableWidget>(QStringLiteral("zuzeraroveMonitoeTW")); }
    bool onMonitor() const { return f.pageName() == QLatin1String("ZuzEraroveMainPage"); }
    void changeSettings(int mode, int protocol);
    struct Counts
    {
        int objects = 0, widgets = 0, timers = 0, items = 0;
        // Nothing piled up; fewer is fine (a missing-program report gone with its program).
        bool noMoreThan(const Counts &o) const
        {
            return objects <= o.objects && widgets <= o.widgets && timers <= o.timers && items <= o.items;
        }
    };
    Counts counts() const;
    void verifyMonitorAgreesWithService();

    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
    qint64 baseline[ZUZ_SLOT_COUNT] = {};
};

void tst_Soak::init()
{
    f.setUp();
}

void tst_Soak::cleanup()
{
    QVERIFY(f.tearDown());
}

void tst_Soak::changeSettings(int mode, int protocol)
{
    key(QStringLiteral("settingButton"))->click();
    QCOMPARE(f.pageName(), QStringLiteral("ZuzEraroveSetting"));
    f.find<QComboBox>(QStringLiteral("modeCB"))->setCurrentIndex(mode);
    f.find<QComboBox>(QStringLiteral("protocolCB"))->setCurrentIndex(protocol);
    key(QStringLiteral("saveButton"))->click();
    QCOMPARE(sim::MsgBoxHooks::records().constLast().text, QStringLiteral("Save successfully."));
    // A save clears the totals of the slots that the saved configuration leaves without a
    // program; their count starts again there, every other slot's goes on.
    const ZuzEraroveData saved = Reservation::instance().configInForce();
    for (int slot = 0; slot < ZUZ_SLOT_COUNT; ++slot)
        if (slot >= Reservation::instance().slotCount() || saved.rplNames[slot].isEmpty())
            baseline[slot] = Reservation::instance().completedRuns(slot);
    key(QStringLiteral("returnButton"))->click();
}

tst_Soak::Counts tst_Soak::counts() const
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Counts c;
    QWidget *stack = f.screen()->stack();
    c.objects = stack->findChildren<QObject *>().size();
    c.widgets = QApplication::allWidgets().size();
    for (QObject *o : stack->findChildren<QObject *>())
        c.timers += QAbstractEventDispatcher::instance()->registeredTimers(o).size();
    for (QTableWidget *table : stack->findChildren<QTableWidget *>())
        for (int r = 0; r < table->rowCount(); ++r)
            for (int col = 0; col < table->columnCount(); ++col)
                c.items += table->item(r, col) ? 1 : 0;
    return c;
}

void tst_Soak::verifyMonitorAgreesWithService()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    QTableWidget *table = monitorTable();
    const int rows = table->rowCount();
    QCOMPARE(rows, api->resvData.signalMode == 1 ? 15 : 4);
    QStringList sequence;
    for (int r = 0; r < rows; ++r)
        sequence << QStringLiteral("0");
    for (int i = 0; i < rows; ++i) {
        const int q = api->getProgramQueue(i);
        if (q > 0 && q <= rows)
            sequence[q - 1] = QString::number(i + 1);
    }
    const QStringList statusTexts{"Unreserved", "Reserved", "Running"};
    for (int r = 0; r < rows; ++r) {
        const int status = api->getResvStatus(r);
        const QString statusText = api->resvData.rplNames[r].isEmpty() ? QStringLiteral("Null")
                                                                       : statusTexts.value(status, QStringLiteral("Null"));
        QCOMPARE(table->item(r, 2)->text(), statusText);
        QCOMPARE(table->item(r, 3)->text(), sequence[r]);
        QCOMPARE(table->item(r, 4)->text(), QString::number(api->getProgramRunTotal(r)));
    }
    for (int slot = 0; slot < ZUZ_SLOT_COUNT; ++slot)
        QCOMPARE(qint64(api->getProgramRunTotal(slot)), Reservation::instance().completedRuns(slot) - baseline[slot]);
}

void tst_Soak::day()
{
    const qint64 hour = 3600 * 1000;
    f.env().addPrograms({QStringLiteral("E.XPL"), QStringLiteral("LONG_PROGRAM_NAME_FOR_SCROLLING.XPL")});
    QVERIFY(f.start(1, {"A.XPL", "B.XPL", "C.XPL", "SUB/D.XPL", "E.XPL", "LONG_PROGRAM_NAME_FOR_SCROLLING.XPL",
                        "GONE.XPL", "", "A.XPL", "B.XPL"}));
    // Every page made once, so the first hour and the end of the day compare like with like.
    for (const auto &visit : {qMakePair(QStringLiteral("settingButton"), QStringLiteral("returnButton")),
                              qMakePair(QStringLiteral("softPlcButton"), QStringLiteral("returnButton")),
                              qMakePair(QStringLiteral("prograMapBtn"), QStringLiteral("backBtn"))}) {
        key(visit.first)->click();
        // The program map loads itself a moment after it is made.
        if (visit.first == QLatin1String("prograMapBtn"))
            QVERIFY(waitForCall(QStringLiteral("getFileFromCtrl")));
        key(visit.second)->click();
    }
    Controller &ctrl = Controller::instance();
    ctrl.setRunDuration(45 * 1000);
    sim::CallLog::instance().setEnabled(false);

    QRandomGenerator random(20261205);
    QMap<QString, int> operations;
    Counts afterFirstHour;
    int modeAfterFirstHour = -1;
    while (ctrl.now() < 24 * hour) {
        const qint64 before = ctrl.now();
        ctrl.advance(5000 + random.bounded(85000));
        const bool running = f.screen()->find<QCheckBox>(QStringLiteral("runOrStopLedCB"))->isChecked();
        const int rows = monitorTable()->rowCount();
        const int dice = random.bounded(100);
        if (dice < 40) {
            QPushButton *reserve = key(QStringLiteral("reserveBtn_%1").arg(1 + random.bounded(rows)));
            if (reserve->isEnabled()) {
                reserve->click();
                ++operations[QStringLiteral("reserve")];
            }
        } else if (dice < 55) {
            QPushButton *cancel = key(QStringLiteral("cancelBtn_%1").arg(1 + random.bounded(rows)));
            sim::MsgBoxHooks::answerAll(random.bounded(4) ? 1 : 0);
            if (cancel->isEnabled()) {
                cancel->click();
                ++operations[QStringLiteral("cancel")];
            }
            sim::MsgBoxHooks::answerAll(1);
        } else if (dice < 58) {
            key(QStringLiteral("cancelAllBtn"))->click();
            ++operations[QStringLiteral("cancel all")];
        } else if (dice < 62) {
            key(QStringLiteral("runOrStopButton"))->click();
            ++operations[running ? QStringLiteral("stop") : QStringLiteral("start")];
        } else if (dice < 64) {
            key(QStringLiteral("clearButton"))->click();
            for (int slot = 0; slot < ZUZ_SLOT_COUNT; ++slot)
                baseline[slot] = Reservation::instance().completedRuns(slot);
            ++operations[QStringLiteral("totals cleared")];
        } else if (dice < 66 && !running) {
            changeSettings(random.bounded(2), random.bounded(11));
            ++operations[QStringLiteral("settings saved")];
        } else if (dice < 69) {
            const bool softPlc = random.bounded(2);
            key(softPlc ? QStringLiteral("softPlcButton") : QStringLiteral("prograMapBtn"))->click();
            f.screen()->idle();
            key(softPlc ? QStringLiteral("returnButton") : QStringLiteral("backBtn"))->click();
            ++operations[QStringLiteral("page visit")];
        }
        QVERIFY(onMonitor());
        f.screen()->idle();
        QCoreApplication::processEvents();
        if (before < hour && ctrl.now() >= hour) {
            afterFirstHour = counts();
            modeAfterFirstHour = ZuzEraroveLibApi::getInstance()->resvData.signalMode;
        }
        for (int slot = 0; slot < ZUZ_SLOT_COUNT; ++slot)
            QCOMPARE(qint64(ZuzEraroveLibApi::getInstance()->getProgramRunTotal(slot)),
                     Reservation::instance().completedRuns(slot) - baseline[slot]);
        if (QTest::currentTestFailed())
            return;
    }

    // The end of the day: the monitor shows what the service holds, the totals count every
    // finished run, and nothing piled up since the first hour.
    f.screen()->idle();
    verifyMonitorAgreesWithService();
    if (f.screen()->find<QCheckBox>(QStringLiteral("runOrStopLedCB"))->isChecked()) {
        key(QStringLiteral("runOrStopButton"))->click();
        f.screen()->idle();
    }
    if (ZuzEraroveLibApi::getInstance()->resvData.signalMode != modeAfterFirstHour) {
        changeSettings(modeAfterFirstHour, 0);
        f.screen()->idle();
    }
    const Counts atEnd = counts();
    QVERIFY2(atEnd.noMoreThan(afterFirstHour),
             qPrintable(QStringLiteral("objects %1/%2 widgets %3/%4 timers %5/%6 items %7/%8")
                            .arg(afterFirstHour.objects).arg(atEnd.objects).arg(afterFirstHour.widgets).arg(atEnd.widgets)
                            .arg(afterFirstHour.timers).arg(atEnd.timers).arg(afterFirstHour.items).arg(atEnd.items)));

    int total = 0;
    QStringList summary;
    for (auto it = operations.cbegin(); it != operations.cend(); ++it) {
        total += it.value();
        summary << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
    }
    qInfo("soak: %.1f simulated hours, %d operations (%s), %lld runs completed",
          ctrl.now() / double(hour), total, qPrintable(summary.join(QStringLiteral(", "))),
          Reservation::instance().completedRuns());
}

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
