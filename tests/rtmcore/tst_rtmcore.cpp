#include "qtouchlineedit.h"
#include "rtmbasewidget.h"
#include "rtmcoresim.h"
#include "rtmfunctions.h"
#include "basezedoveduddata.h"
#include "simenvironment.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QtTest>

class tst_RtmCore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void localizedFileName_data();
    void localizedFileName();
    void removeFolderContentKeepsFolder();
    void styleSheetByName();
    void centralWidgetIsShownNotOwned();
    void idleClearsPendingFlag();
    void touchEditLimitsTyping();
    void widgetDataRecord();

private:
    QScopedPointer<SimEnvironment> env;
};

void tst_RtmCore::init()
{
    env.reset(new SimEnvironment);
}

void tst_RtmCore::localizedFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("underRoot");
    QTest::newRow("application directory") << "../Application/zuzerarove" << "/Application/zuzerarove";
    QTest::newRow("file in it") << "../Application/zuzerarove/softplcconfig.xml" << "/Application/zuzerarove/softplcconfig.xml";
    QTest::newRow("beside the program") << "style.qss" << "/bin/style.qss";
}

void tst_RtmCore::localizedFileName()
{
    QFETCH(QString, name);
    QFETCH(QString, underRoot);
    const QString mapped = RtmGetLocalizedFileName(name, true);
    QCOMPARE(mapped, env->panelRoot() + underRoot);
    // An absolute path is already localized.
    QCOMPARE(RtmGetLocalizedFileName(mapped, true), mapped);
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

void tst_RtmCore::styleSheetByName()
{
    QWidget w;
    QVERIFY(RtmSetUIStyleSheet(&w, QStringLiteral("ZuzErarove")));
    QVERIFY(w.styleSheet().contains(QStringLiteral(":/image/ledrun.png")));
    QVERIFY(w.styleSheet().contains(QStringLiteral(":/image/ledstop.png")));
    QVERIFY(!RtmSetUIStyleSheet(&w, QStringLiteral("NoSuchStyle")));
    QVERIFY(!RtmSetUIStyleSheet(nullptr, QStringLiteral("ZuzErarove")));
    QVERIFY(!QPixmap(QStringLiteral(":/image/program.png")).isNull());
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(QPixmap(QStringLiteral(":/images/a/%1.png").arg(i)).size(), QSize(24, 65));
}

void tst_RtmCore::centralWidgetIsShownNotOwned()
{
    BaseZedOvedudData data;
    QPointer<QLabel> central = new QLabel(QStringLiteral("page"));
    {
        RtmBaseWidget widget(&data, nullptr, Qt::FramelessWindowHint);
        widget.setCentralWidget(central);
        QCOMPARE(widget.getCentralWidget(), central.data());
        QCOMPARE(central->parentWidget(), &widget);
        widget.setCentralWidget(nullptr);
        QCOMPARE(widget.getCentralWidget(), nullptr);
        QCOMPARE(widget.layout()->count(), 0);
        central->setParent(nullptr);
    }
    QVERIFY(central);
    delete central;
}

void tst_RtmCore::idleClearsPendingFlag()
{
    BaseZedOvedudData data;
    RtmBaseWidget widget(&data);
    QVERIFY(!sim::idlePending(&widget));
    sim::hostIdle(&widget);
    QVERIFY(!sim::idlePending(&widget));
    QCOMPARE(widget.widgetData(), &data);
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

void tst_RtmCore::widgetDataRecord()
{
    BaseZedOvedudData data;
    QVERIFY(!data.ParseBinData(QByteArray("\x01", 1), 0));
    QVERIFY(data.ParseBinData(QByteArray("\xfe\xff\x00", 3), 0));
    QCOMPARE(data.varNumber(), qint16(-2));
    BaseZedOvedudData other;
    QVERIFY(other.copy(&data));
    QCOMPARE(other.varNumber(), qint16(-2));
    QVERIFY(!other.copy(nullptr));
    QCOMPARE(data.createCustomWidget(), nullptr);
}

QTEST_MAIN(tst_RtmCore)
#include "tst_rtmcore.moc"
