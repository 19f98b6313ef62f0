#include "factories.h"

#include "debugcapture.h"
#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "fileedit.h"

using sim::Controller;
using sim::Fault;
using sim::MsgBoxHooks;

// Every failure of every page, one after the other: the exact messages shown (or none), what
// the page shows afterwards, and what the service and the controller's files hold.
class tst_FailureSweep : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sweep_data();
    void sweep();

public:
    struct Case
    {
        const char *name;
        std::function<void(tst_FailureSweep &)> run;
        QStringList boxes;
        std::function<void(tst_FailureSweep &)> verify;
    };

    // Helpers the cases use.
    void open() { QVERIFY(f.open()); }
    void openPage(const char *key)
    {
        open();
        click(key);
    }
    void click(const char *name) { f.screen()->find<QPushButton>(QString::fromLatin1(name))->click(); }
    QComboBox *combo(const QString &name) { return f.screen()->find<QComboBox>(name); }
    QTableWidget *table(const char *name) { return f.screen()->find<QTableWidget>(QString::fromLatin1(name)); }
    bool rowVisible(const char *frame) { return !f.screen()->find<QFrame>(QString::fromLatin1(frame))->isHidden(); }
    QString page() { return f.currentPage()->objectName(); }
    QByteArray ctrl(const QString &path) { return f.env().controllerFile(path); }
    QString local(const char *name) { return f.env().localDir() + QLatin1Char('/') + QLatin1String(name); }
    void waitMapLoad()
    {
        for (int i = 0; i < 50; ++i)
            QTest::qWait(5);
    }
    ZuzEraroveLibApi *api() { return ZuzEraroveLibApi::getInstance(); }

    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
    QByteArray before;
    QStringList debugLines;
};

Q_DECLARE_METATYPE(const tst_FailureSweep::Case *)

static const QString config = QStringLiteral("/application/zuzerarove/zuzeraroveconfig.xml");
static const QString plcConfig = QStringLiteral("/application/zuzerarove/softplcconfig.xml");
static const QString map = QStringLiteral("/application/zuzerarove/programMapping.xml");

void tst_FailureSweep::init()
{
    f.setUp();
    SimEnvironment &env = f.env();
    env.writeReservationConfig(1, 2, {QStringLiteral("A.XPL"), QStringLiteral("SUB/B.XPL")});
    sim::Reservation::instance().applyControllerConfig();
    env.writeControllerFile(QStringLiteral("/xpl/xpl.cfg"),
                            "<XplConfiguration><EnvironmentList><E><Name>softplc1</Name></E><E><Name>softplc2</Name></E>"
                            "<E><Name>softplc3</Name></E></EnvironmentList></XplConfiguration>");
    env.writeControllerFile(plcConfig, "<SoftPlcConfig><PlcData><PlcInfo><mode>1</mode><ProgName>/RPL/</ProgName>"
                                       "</PlcInfo></PlcData></SoftPlcConfig>");
    env.writeControllerFile(map, "<ProgramMapping><Program num=\"1\" name=\"/RPL/A.XPL\"/></ProgramMapping>");
    Controller::instance().setListing(QStringLiteral("/RPL/"), {"/RPL/A.XPL,1,d", "/RPL/SUB/", "/RPL/SUB/B.XPL,2,d"});
}

void tst_FailureSweep::cleanup()
{
    QVERIFY(f.tearDown());
}

using T = tst_FailureSweep;

static const T::Case cases[] = {
    // The monitor's start-up and its start/stop command.
    {"monitor: configuration fetch fails",
     [](T &t) { Controller::instance().setFault(Fault::Fetch, true, config); t.open(); },
     {"Failed to get file."},
     [](T &t) { QCOMPARE(t.table("zuzeraroveMonitoeTW")->rowCount(), 4); QCOMPARE(t.api()->resvData.signalMode, 0); }},
    {"monitor: configuration read fails",
     [](T &t) { Controller::instance().setFault(Fault::Read, true, QStringLiteral("zuzeraroveconfig")); t.open(); },
     {"Failed to read file."},
     [](T &t) { QCOMPARE(t.table("zuzeraroveMonitoeTW")->rowCount(), 4); }},
    {"monitor: controller not connected",
     [](T &t) { Controller::instance().setConnected(false); t.open(); },
     {"Failed to get file."},
     [](T &t) { QCOMPARE(t.table("zuzeraroveMonitoeTW")->item(0, 1)->text(), QStringLiteral("Null")); }},
    {"monitor: start, local write fails",
     [](T &t) { t.open(); t.before = t.ctrl(config); Controller::instance().setFault(Fault::Write, true); t.click("runOrStopButton"); },
     {"Failed to save file."},
     [](T &t) {
         QCOMPARE(t.api()->resvData.runState, 0); // as the controller still has it
         QVERIFY(!sim::Reservation::instance().isStarted());
         QCOMPARE(t.ctrl(config), t.before);
     }},
    {"monitor: start, send fails",
     [](T &t) { t.open(); t.before = t.ctrl(config); Controller::instance().setFault(Fault::Send, true); t.click("runOrStopButton"); },
     {"Failed to send file."},
     [](T &t) { QVERIFY(!sim::Reservation::instance().isStarted()); QCOMPARE(t.ctrl(config), t.before); }},
    {"monitor: start, controller gone",
     [](T &t) { t.open(); t.before = t.ctrl(config); Controller::instance().setConnected(false); t.click("runOrStopButton"); },
     {"Failed to send file."},
     [](T &t) { QVERIFY(!sim::Reservation::instance().isStarted()); QCOMPARE(t.ctrl(config), t.before); }},

    // The settings page's save.
    {"settings: local write fails",
     [](T &t) {
         t.openPage("settingButton");
         t.before = t.ctrl(config);
         t.combo(QStringLiteral("protocolCB"))->setCurrentIndex(5);
         Controller::instance().setFault(Fault::Write, true);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to write file."},
     [](T &t) {
         QCOMPARE(t.api()->resvDataSaved.protocol, 2);
         QCOMPARE(sim::Reservation::instance().protocol(), 2);
         QCOMPARE(t.ctrl(config), t.before);
         QCOMPARE(t.page(), QStringLiteral("ZuzEraroveSetting"));
     }},
    {"settings: send fails",
     [](T &t) {
         t.openPage("settingButton");
         t.before = t.ctrl(config);
         t.combo(QStringLiteral("modeCB"))->setCurrentIndex(0);
         Controller::instance().setFault(Fault::Send, true);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to send file."},
     [](T &t) {
         QCOMPARE(t.api()->resvDataSaved.signalMode, 1);
         QCOMPARE(sim::Reservation::instance().signalMode(), 1);
         QCOMPARE(t.ctrl(config), t.before);
     }},
    {"settings: controller gone",
     [](T &t) {
         t.openPage("settingButton");
         t.before = t.ctrl(config);
         Controller::instance().setConnected(false);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to send file."},
     [](T &t) { QCOMPARE(t.ctrl(config), t.before); QVERIFY(!t.api()->isSameRplResData(t.api()->resvData, ZuzEraroveData())); }},

    // The soft-PLC page.
    {"soft-PLC: configuration fetch fails",
     [](T &t) { Controller::instance().setFault(Fault::Fetch, true, QStringLiteral("softplcconfig")); t.openPage("softPlcButton"); },
     {},
     [](T &t) { QCOMPARE(t.combo(QStringLiteral("comboBoxModePlc1"))->currentIndex(), 0); }},
    {"soft-PLC: environment list fetch fails",
     [](T &t) {
         Controller::instance().setFault(Fault::Fetch, true, QStringLiteral("xpl.cfg"));
         sim::DebugCapture debug;
         t.openPage("softPlcButton");
         t.debugLines = debug.lines();
     },
     {},
     [](T &t) {
         QVERIFY(t.rowVisible("frame_3") && t.rowVisible("frame_4"));
         QVERIFY(!t.rowVisible("framePlc3") && !t.rowVisible("framePlc4"));
         QVERIFY(t.debugLines.contains(QStringLiteral("DataAccess::GetFileFromController2TPU failed")));
     }},
    {"soft-PLC: local write fails",
     [](T &t) {
         t.openPage("softPlcButton");
         QDir(t.local("softplcconfig.xml")).removeRecursively();
         QFile::remove(t.local("softplcconfig.xml"));
         QDir().mkpath(t.local("softplcconfig.xml"));
         t.before = t.ctrl(plcConfig);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to write file."},
     [](T &t) { QCOMPARE(t.ctrl(plcConfig), t.before); QVERIFY(!sim::Reservation::instance().autoStart(0)); }},
    {"soft-PLC: send fails",
     [](T &t) {
         t.openPage("softPlcButton");
         t.before = t.ctrl(plcConfig);
         Controller::instance().setFault(Fault::Send, true);
         t.combo(QStringLiteral("comboBoxModePlc2"))->setCurrentIndex(1);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to send file."},
     [](T &t) {
         QCOMPARE(t.ctrl(plcConfig), t.before);
         QVERIFY(!sim::Reservation::instance().autoStart(1));
         QVERIFY(QFile(t.local("softplcconfig.xml")).size() > t.before.size());
     }},
    {"soft-PLC: controller not connected",
     [](T &t) { t.open(); Controller::instance().setConnected(false); t.click("softPlcButton"); },
     {},
     [](T &t) {
         QCOMPARE(t.page(), QStringLiteral("SoftPlcFun"));
         QVERIFY(t.rowVisible("frame_3") && t.rowVisible("frame_4") && !t.rowVisible("framePlc3"));
     }},

    // The program map page.
    {"map: download fails",
     [](T &t) { Controller::instance().setFault(Fault::Fetch, true, QStringLiteral("programMapping")); t.openPage("prograMapBtn"); t.waitMapLoad(); },
     {"Failed to get /application/zuzerarove/programMapping.xml file form Ctrl."},
     [](T &t) { QCOMPARE(t.table("tableWidget")->item(0, 1)->text(), QString()); }},
    {"map: read fails",
     [](T &t) { Controller::instance().setFault(Fault::Read, true, QStringLiteral("programMapping")); t.openPage("prograMapBtn"); t.waitMapLoad(); },
     {"Failed to read %L/programMapping.xml file."},
     [](T &t) { QCOMPARE(t.table("tableWidget")->item(0, 1)->text(), QString()); }},
    {"map: local write fails",
     [](T &t) {
         t.openPage("prograMapBtn");
         t.waitMapLoad();
         t.before = t.ctrl(map);
         t.click("saveButton");
         t.click("emptyBtn");
         Controller::instance().setFault(Fault::Write, true);
         t.click("saveButton");
     },
     {"Are you sure you want to clear the list?", "Are you sure Save?", "Failed write %L/programMapping.xml file."},
     [](T &t) {
         QCOMPARE(t.f.screen()->find<QPushButton>(QStringLiteral("saveButton"))->text(), QStringLiteral("Save"));
         QVERIFY(t.api()->programMaps.isEmpty());
         QCOMPARE(t.ctrl(map), t.before);
     }},
    {"map: send fails",
     [](T &t) {
         t.openPage("prograMapBtn");
         t.waitMapLoad();
         t.before = t.ctrl(map);
         t.click("saveButton");
         Controller::instance().setFault(Fault::Send, true);
         t.click("saveButton");
     },
     {"Are you sure Save?", "Failed send %L/programMapping.xml file to Ctrl."},
     [](T &t) {
         QCOMPARE(t.f.screen()->find<QPushButton>(QStringLiteral("saveButton"))->text(), QStringLiteral("Edit"));
         QCOMPARE(t.ctrl(map), t.before);
     }},
    {"map: controller not connected",
     [](T &t) { t.open(); Controller::instance().setConnected(false); t.click("prograMapBtn"); t.waitMapLoad(); },
     {"Failed to get /application/zuzerarove/programMapping.xml file form Ctrl."},
     [](T &t) { QCOMPARE(t.page(), QStringLiteral("prograMapWidget")); }},

    // The program chooser.
    {"chooser: listing fails",
     [](T &t) {
         Controller::instance().setFault(Fault::Listing, true);
         FileEdit chooser;
         chooser.show();
         t.debugLines = QStringList{QString::number(chooser.findChild<QTreeWidget *>()->topLevelItemCount())};
     },
     {},
     [](T &t) { QCOMPARE(t.debugLines, QStringList{QStringLiteral("1")}); }},
    {"chooser: controller not connected",
     [](T &t) {
         Controller::instance().setConnected(false);
         FileEdit chooser;
         chooser.show();
         t.debugLines = QStringList{QString::number(chooser.findChild<QTreeWidget *>()->topLevelItemCount())};
     },
     {},
     [](T &t) { QCOMPARE(t.debugLines, QStringList{QStringLiteral("0")}); }},
};

void tst_FailureSweep::sweep_data()
{
    QTest::addColumn<const Case *>("failure");
    for (const Case &c : cases)
        QTest::newRow(c.name) << &c;
}

void tst_FailureSweep::sweep()
{
    QFETCH(const Case *, failure);
    failure->run(*this);
    QStringList expected = failure->boxes;
    expected.replaceInStrings(QStringLiteral("%L"), f.env().localDir());
    QCOMPARE(boxTexts(), expected);
    for (const sim::MsgBoxRecord &r : MsgBoxHooks::records())
        if (r.text.startsWith(QLatin1String("Failed")))
            QCOMPARE(r.kind, 2);
    failure->verify(*this);
}

QTEST_MAIN(tst_FailureSweep)
#include "tst_failuresweep.moc"
