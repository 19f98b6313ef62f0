#include "engine/idlerule.h"

#include <QDialog>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>

// The one rule every step waits by: what keeps a screen busy, and what is the screen at rest.
class tst_IdleRule : public QObject
{
    Q_OBJECT
private slots:
    void busyWith_data();
    void busyWith();
    void slotRunningInABoxIsNoLongerPending();
    void ownWaitIsBusyUnlessABoxWaits();
};

using Arrange = std::function<void(QWidget *screen, QObject *owner)>;
Q_DECLARE_METATYPE(Arrange)

void tst_IdleRule::busyWith_data()
{
    QTest::addColumn<Arrange>("arrange");
    QTest::addColumn<QString>("busy"); // a part of what it says, or empty for at rest
    QTest::newRow("nothing") << Arrange([](QWidget *, QObject *) {}) << QString();
    QTest::newRow("a page's first read, started by singleShot")
        << Arrange([](QWidget *screen, QObject *) { QTimer::singleShot(50, screen, [] {}); }) << QStringLiteral("50 ms");
    QTest::newRow("a one-shot timer of a widget on the screen")
        << Arrange([](QWidget *screen, QObject *) {
               auto *timer = new QTimer(new QWidget(screen));
               timer->setObjectName(QStringLiteral("nextItems"));
               timer->setSingleShot(true);
               timer->start(0);
           })
        << QStringLiteral("nextItems");
    QTest::newRow("a repeating poll on the screen")
        << Arrange([](QWidget *screen, QObject *) { (new QTimer(screen))->start(20); }) << QString();
    QTest::newRow("a one-shot timer stopped")
        << Arrange([](QWidget *screen, QObject *) {
               auto *timer = new QTimer(screen);
               timer->setSingleShot(true);
               timer->start(10);
               timer->stop();
           })
        << QString();
    QTest::newRow("a one-shot timer of a dialog of its own, as the chooser is")
        << Arrange([](QWidget *, QObject *owner) {
               auto *dialog = new QDialog;
               dialog->setObjectName(QStringLiteral("chooser"));
               QObject::connect(owner, &QObject::destroyed, dialog, &QObject::deleteLater);
               auto *timer = new QTimer(dialog);
               timer->setSingleShot(true);
               timer->start(0);
           })
        << QStringLiteral("of chooser");
    QTest::newRow("a one-shot timer of a window that is no dialog (the simulator's alarm)")
        << Arrange([](QWidget *, QObject *owner) {
               auto *window = new QWidget;
               QObject::connect(owner, &QObject::destroyed, window, &QObject::deleteLater);
               auto *timer = new QTimer(window);
               timer->setSingleShot(true);
               timer->start(5000);
           })
        << QString();
}

void tst_IdleRule::busyWith()
{
    QFETCH(Arrange, arrange);
    QFETCH(QString, busy);
    QWidget screen;
    {
        QObject owner;
        arrange(&screen, &owner);
        const QString said = idlerule::busyWith(&screen, QThread::currentThread()->loopLevel());
        if (busy.isEmpty())
            QCOMPARE(said, QString());
        else
            QVERIFY2(said.contains(busy), qPrintable(said));
    }
    // Whatever was pending fires or goes with its owner: the screen comes to rest.
    QTRY_COMPARE(idlerule::busyWith(&screen, QThread::currentThread()->loopLevel()), QString());
}

// The monitor's start-up opens a box from its one-shot timer's slot: the timer has fired, so the
// screen waits for the box's answer, not for the timer.
void tst_IdleRule::slotRunningInABoxIsNoLongerPending()
{
    QWidget screen;
    QString inside = QStringLiteral("not yet");
    QTimer::singleShot(1, &screen, [&] {
        QDialog box;
        box.setModal(true);
        box.show();
        QTimer::singleShot(0, &box, [&] {
            inside = idlerule::busyWith(&screen, 0);
            box.reject();
        });
        box.exec();
    });
    QTRY_VERIFY(inside != QLatin1String("not yet"));
    QCOMPARE(inside, QString());
}

void tst_IdleRule::ownWaitIsBusyUnlessABoxWaits()
{
    QWidget screen;
    const int base = QThread::currentThread()->loopLevel();
    QString during;
    QEventLoop wait;
    QTimer::singleShot(0, &wait, [&] {
        during = idlerule::busyWith(&screen, base);
        wait.quit();
    });
    wait.exec();
    QVERIFY2(during.contains(QLatin1String("wait of its own")), qPrintable(during));
}

QTEST_MAIN(tst_IdleRule)
#include "tst_idlerule.moc"
