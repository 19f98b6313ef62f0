#include "basezedoveduddata.h"
#include "desktopsim.h"
#include "rtmcoresim.h"
#include "modulescreen.h"
#include "msgboxsim.h"
#include "rtmbasewidget.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovesim.h"

#include <QLibrary>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableWidget>
#include <QtTest>

using sim::CallLog;

// The module loaded from its file, as the host loads it, and reached only through its exports
// and its widgets' object and method names.
class tst_PluginEntry : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void hostDestroysDataObject();
    void exitClosesFromInsideTheClick();
    void secondWidgetShowsSameStack();
    void navigationByPageIndex_data();
    void navigationByPageIndex();
    void idleOnlyWhileVisible();
    void usedVariables_data();
    void usedVariables();

private:
    ModuleScreen *screen(bool show = true)
    {
        return new ModuleScreen(createData, createWidget, show);
    }

    QScopedPointer<SimEnvironment> m_env;
    QLibrary m_module;
    ModuleScreen::CreateDataFn createData = nullptr;
    ModuleScreen::CreateWidgetFn createWidget = nullptr;
    QWidgetList m_before;
};

void tst_PluginEntry::initTestCase()
{
    // The module computes its paths when it is loaded: the panel is in place before that.
    m_env.reset(new SimEnvironment);
    m_module.setFileName(QStringLiteral(MODULE_PATH));
    QVERIFY2(m_module.load(), qPrintable(m_module.errorString()));
    createData = reinterpret_cast<ModuleScreen::CreateDataFn>(m_module.resolve("CreateZedOvedudData"));
    createWidget = reinterpret_cast<ModuleScreen::CreateWidgetFn>(m_module.resolve("CreateZedOvedudWidget"));
    QVERIFY(createData);
    QVERIFY(createWidget);
}

void tst_PluginEntry::init()
{
    m_env->clear();
    m_env->addPrograms({QStringLiteral("A.XPL")});
    m_env->writeReservationConfig(1, 0, {QStringLiteral("A.XPL")});
    sim::MsgBoxHooks::answerAll(1);
    m_before = QApplication::topLevelWidgets();
}

void tst_PluginEntry::cleanup()
{
    QVERIFY(newTopLevels(m_before).isEmpty());
}

void tst_PluginEntry::hostDestroysDataObject()
{
    BaseZedOvedudData *data = createData();
    RtmBaseWidget *widget = createWidget(data, nullptr);
    QPointer<QWidget> stack = widget->getCentralWidget();
    QVERIFY(stack);
    QCOMPARE(data->customWidget(), stack.data());
    QCOMPARE(stack->parentWidget(), widget);

    // The widget goes first; the stack belongs to the data object and survives it.
    delete widget;
    QVERIFY(stack);
    QCOMPARE(stack->parentWidget(), nullptr);
    QCOMPARE(data->customWidget(), stack.data());
    delete data;
    QVERIFY(!stack);
    QCOMPARE(sim::Desktop::closeRequests(), 0);
}

void tst_PluginEntry::exitClosesFromInsideTheClick()
{
    QScopedPointer<ModuleScreen> s(screen());
    QVERIFY(s->waitStarted());
    QPointer<QWidget> stack = s->stack();
    QPointer<QPushButton> exit = s->find<QPushButton>(QStringLiteral("exitButton"));
    QVERIFY(exit);
    QTest::mouseClick(exit, Qt::LeftButton);
    QVERIFY(!stack);
    QVERIFY(!exit);
    QCOMPARE(sim::Desktop::closeRequests(), 1);
    QCOMPARE(CallLog::instance().entriesOf({QStringLiteral("DesktopApi::closeApplication")}),
             QStringList{QStringLiteral("DesktopApi::closeApplication(0, false)")});
    QCOMPARE(s->widget()->getCentralWidget(), nullptr);
    QCOMPARE(s->data()->customWidget(), nullptr);
    // Idle calls after the close find no stack; the host then deletes widget and data.
    s->idle(3);
}

void tst_PluginEntry::secondWidgetShowsSameStack()
{
    BaseZedOvedudData *data = createData();
    RtmBaseWidget *first = createWidget(data, nullptr);
    first->show();
    QWidget *stack = first->getCentralWidget();
    CallLog::instance().clear();
    QVERIFY(waitForCall(QStringLiteral("getFileFromCtrl")));
    auto *table = stack->findChild<QTableWidget *>(QStringLiteral("zuzeraroveMonitoeTW"));
    QCOMPARE(table->rowCount(), 15);
    delete first;

    CallLog::instance().clear();
    RtmBaseWidget *second = createWidget(data, nullptr);
    second->show();
    QCOMPARE(second->getCentralWidget(), stack);
    // No new start-up: the page is as it was left.
    QVERIFY(!waitForCall(QStringLiteral("getFileFromCtrl"), 400));
    QCOMPARE(table->rowCount(), 15);
    QVERIFY(table->isVisible());

    // A close through the second widget deletes the stack once; the data object finds none.
    QPointer<QWidget> guard = stack;
    QMetaObject::invokeMethod(stack, "setCurrentWidgetSlot", Q_ARG(int, -1));
    QVERIFY(!guard);
    delete second;
    delete data;
    QCOMPARE(sim::Desktop::closeRequests(), 1);
}

void tst_PluginEntry::navigationByPageIndex_data()
{
    QTest::addColumn<int>("pageId");
    QTest::addColumn<QString>("page");
    const QString monitor = QStringLiteral("ZuzEraroveMainPage");
    QTest::newRow("monitor") << 0 << monitor;
    QTest::newRow("settings") << 1 << "ZuzEraroveSetting";
    QTest::newRow("soft-PLC") << 2 << "SoftPlcFun";
    QTest::newRow("program map") << 3 << "prograMapWidget";
    QTest::newRow("a number beyond the pages means the monitor") << 5 << monitor;
    QTest::newRow("another negative number means the monitor") << -2 << monitor;
    QTest::newRow("close") << -1 << monitor;
}

void tst_PluginEntry::navigationByPageIndex()
{
    QFETCH(int, pageId);
    QFETCH(QString, page);
    BaseZedOvedudData *data = createData();
    auto *stack = qobject_cast<QStackedWidget *>(data->createCustomWidget());
    QVERIFY(stack);
    QCOMPARE(stack->count(), 1);
    QWidget *monitor = stack->currentWidget();
    QCOMPARE(monitor->objectName(), QStringLiteral("ZuzEraroveMainPage"));
    QSignalSpy closeApp(stack, SIGNAL(closeApp()));
    QVERIFY(QMetaObject::invokeMethod(stack, "setCurrentWidgetSlot", Q_ARG(int, pageId)));
    QCOMPARE(closeApp.count(), pageId == -1 ? 1 : 0);
    QCOMPARE(stack->currentWidget()->objectName(), page);
    const int pages = stack->count();
    // Asking again makes nothing new; the monitor is still there to go back to.
    QVERIFY(QMetaObject::invokeMethod(stack, "setCurrentWidgetSlot", Q_ARG(int, pageId)));
    QCOMPARE(stack->count(), pages);
    QVERIFY(QMetaObject::invokeMethod(stack, "setCurrentWidgetSlot", Q_ARG(int, 0)));
    QCOMPARE(stack->currentWidget(), monitor);
    delete data;
}

void tst_PluginEntry::idleOnlyWhileVisible()
{
    QScopedPointer<ModuleScreen> s(screen(false));
    QVERIFY(s->waitStarted());
    CallLog::instance().clear();
    s->idle();
    QVERIFY(sim::idlePending(s->widget()));
    QVERIFY(CallLog::instance().entries().isEmpty());
    s->widget()->show();
    s->idle();
    QVERIFY(!sim::idlePending(s->widget()));
    QVERIFY(!CallLog::instance().entriesOf({QStringLiteral("getResvRunningStatus")}).isEmpty());
}

void tst_PluginEntry::usedVariables_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("variable");
    QTest::addColumn<bool>("fault");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("other kind") << 1 << 7 << false << true << QStringList{};
    QTest::newRow("no variable") << 0 << 0 << false << true
        << QStringList{"getProtocolType()", "setUsedVars_zuzEraroves(true, 4)"};
    QTest::newRow("variable") << 0 << 7 << false << true
        << QStringList{"setUsedVar(7, true, 8)", "getProtocolType()", "setUsedVars_zuzEraroves(true, 4)"};
    QTest::newRow("host refuses the variable") << 0 << 7 << true << false
        << QStringList{"setUsedVar(7, true, 8)"};
}

void tst_PluginEntry::usedVariables()
{
    QFETCH(int, kind);
    QFETCH(int, variable);
    QFETCH(bool, fault);
    QFETCH(bool, result);
    QFETCH(QStringList, calls);
    QScopedPointer<ModuleScreen> s(screen(false));
    s->data()->setVarNumber(qint16(variable));
    sim::Reservation::instance().setProtocol(4);
    sim::Controller::instance().setFault(sim::Fault::RegisterVar, fault);
    CallLog::instance().clear();
    QCOMPARE(s->widget()->setUsedVars(kind, true), result);
    QCOMPARE(CallLog::instance().entries(), calls);
}

QTEST_MAIN(tst_PluginEntry)
#include "tst_pluginentry.moc"
