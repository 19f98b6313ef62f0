#include "qtouchlineedit.h"
#include "rtmfunctions.h"
#include "simenvironment.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class tst_RtmCore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void removeFolderContentKeepsFolder();
    void touchEditLimitsTyping();

private:
    QScopedPointer<SimEnvironment> env;
};

void tst_RtmCore::init()
{
    env.reset(new SimEnvironment);
}

void tst_RtmCore::removeFolderContentKeepsFolder()
{
    const QString dir = RtmGetLocalBaseFlashDir(1) + QStringLiteral("/RPL");
    QVERIFY(dir.startsWith(env->panelRoot()));
    QVERIFY(QDir().mkpath(dir + QStringLiteral("/SUB")));
    QFile file(dir + QStringLiteral("/SUB/A.XPL"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(RtmRemoveFolderContent(dir));
    QVERIFY(QDir(dir).exists());
    QVERIFY(QDir(dir).isEmpty());
    QVERIFY(!RtmRemoveFolderContent(dir + QStringLiteral("/none")));
}

void tst_RtmCore::touchEditLimitsTyping()
{
    QTouchLineEdit edit;
    edit.setCast(5, -1);
    edit.setValueRange(1.0, 9999.0);
    QTest::keyClicks(&edit, QStringLiteral("12a34567"));
    QCOMPARE(edit.text(), QStringLiteral("1234"));
    // Text set by the program is not limited.
    edit.setText(QStringLiteral("abc"));
    QCOMPARE(edit.text(), QStringLiteral("abc"));
    QCOMPARE(edit.property("rtmMinimum").toDouble(), 1.0);
    QCOMPARE(edit.property("rtmMaximum").toDouble(), 9999.0);
}

QTEST_MAIN(tst_RtmCore)
#include "tst_rtmcore.moc"
