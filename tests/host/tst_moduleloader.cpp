#include "app/moduleloader.h"
#include "engine/session.h"
#include "panel/panelwindow.h"

#include "basezedoveduddata.h"
#include "desktopsim.h"
#include "rtmcoresim.h"
#include "rtmbasewidget.h"
#include "simenvironment.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class tst_ModuleLoader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void refusesBrokenModules_data();
    void refusesBrokenModules();
    void moduleOnThePanel();
    void panelExitsNonZeroOnBrokenModule_data();
    void panelExitsNonZeroOnBrokenModule();

private:
    QWidgetList m_before;
};

void tst_ModuleLoader::init()
{
    resetPlatform();
    m_before = QApplication::topLevelWidgets();
}

void tst_ModuleLoader::cleanup()
{
    QVERIFY(newTopLevels(m_before).isEmpty());
}

static QString notALibrary()
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("libtext.so"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("this is not a shared library\n");
    return path;
}

// The first bytes of the real module, as a copy cut short by a full disk would leave it.
static QString truncatedModule(qint64 bytes)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("libcut%1.so").arg(bytes));
    QFile in(QStringLiteral(MODULE_PATH));
    QFile out(path);
    if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
        out.write(in.read(bytes));
    return path;
}

void tst_ModuleLoader::refusesBrokenModules_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("mustName");
    QTest::newRow("no such file") << QStringLiteral("/nonexistent/libmissing.so")
                                  << QStringList{QStringLiteral("/nonexistent/libmissing.so"), QStringLiteral("no such file")};
    QTest::newRow("library without the factories")
        << QStringLiteral(NOSYMBOLS_PLUGIN)
        << QStringList{QStringLiteral(NOSYMBOLS_PLUGIN), QStringLiteral("CreateZedOvedudData"),
                       QStringLiteral("CreateZedOvedudWidget")};
    QTest::newRow("file that is not a library") << notALibrary() << QStringList{notALibrary()};
    QTest::newRow("directory") << QDir::tempPath() << QStringList{QDir::tempPath(), QStringLiteral("directory")};
    for (const qint64 bytes : {1000, 200000})
        QTest::addRow("module cut after %lld bytes", bytes)
            << truncatedModule(bytes) << QStringList{truncatedModule(bytes), QStringLiteral("truncated")};
}

void tst_ModuleLoader::refusesBrokenModules()
{
    QFETCH(QString, path);
    QFETCH(QStringList, mustName);
    ModuleLoader loader(path);
    const Result loaded = loader.load();
    QVERIFY(!loaded);
    for (const QString &part : mustName)
        QVERIFY2(loaded.error().contains(part), qPrintable(loaded.error()));
    QVERIFY(!loader.dataFactory());
}

void tst_ModuleLoader::moduleOnThePanel()
{
    ModuleLoader loader(QStringLiteral(TEST_PLUGIN));
    QVERIFY2(loader.load().isOk(), "the test module loads");
    int closes = 0;
    sim::Desktop::setCloseHandler([&closes](int code, bool force) {
        QCOMPARE(code, 0);
        QCOMPARE(force, false);
        ++closes;
    });
    PanelWindow window(true);
    ModuleSession session(loader.dataFactory(), loader.widgetFactory());
    QVERIFY(session.openScreen(window.pendantScreen(), {true, 5, true}).isOk());
    RtmBaseWidget *widget = session.widget();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(widget->size(), QSize(1024, 688));
    auto *label = widget->findChild<QWidget *>(QStringLiteral("testLabel"));
    QVERIFY(label->isVisible());
    // Inspect mode names the widget under the pointer.
    window.setInspecting(true);
    QCursor::setPos(label->mapToGlobal(label->rect().center()));
    auto *note = window.findChild<QLabel *>(QStringLiteral("pendantKeys"));
    QTRY_VERIFY2(note->text().startsWith(QStringLiteral("testLabel (")), qPrintable(note->text()));
    window.setInspecting(false);

    // The host's idle calls reach the module's widget; its exit key closes through the desktop.
    QWidget *page = widget->getCentralWidget();
    QTRY_VERIFY(page->property("idleCalls").toInt() >= 3);
    QVERIFY(!sim::idlePending(widget));
    widget->findChild<QPushButton *>(QStringLiteral("exitButton"))->click();
    QCOMPARE(closes, 1);
    QCOMPARE(widget->getCentralWidget(), nullptr);
}

static QProcessEnvironment panelEnvironment(const QTemporaryDir &dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The trees the panel runs on exist, as it requires.
    QDir().mkpath(dir.filePath(QStringLiteral("panel")));
    QDir().mkpath(dir.filePath(QStringLiteral("controller")));
    env.insert(QStringLiteral("RTM_PANEL_ROOT"), dir.filePath(QStringLiteral("panel")));
    env.insert(QStringLiteral("RTM_CONTROLLER_ROOT"), dir.filePath(QStringLiteral("controller")));
    return env;
}

void tst_ModuleLoader::panelExitsNonZeroOnBrokenModule_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("mustName");
    QTest::newRow("missing symbol") << QStringLiteral(NOSYMBOLS_PLUGIN) << QStringLiteral("CreateZedOvedudData");
    QTest::newRow("truncated module") << truncatedModule(100000) << QStringLiteral("truncated");
}

void tst_ModuleLoader::panelExitsNonZeroOnBrokenModule()
{
    QFETCH(QString, module);
    QFETCH(QString, mustName);
    QTemporaryDir dir;
    QProcess panel;
    panel.setProcessEnvironment(panelEnvironment(dir));
    panel.start(QStringLiteral(VIRTUAL_PANEL), {QStringLiteral("--module"), module});
    QVERIFY(panel.waitForFinished(60000));
    QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
    QCOMPARE(panel.exitCode(), 2);
    const QString err = QString::fromLocal8Bit(panel.readAllStandardError());
    QVERIFY2(err.contains(mustName), qPrintable(err));
}

QTEST_MAIN(tst_ModuleLoader)
#include "tst_moduleloader.moc"
