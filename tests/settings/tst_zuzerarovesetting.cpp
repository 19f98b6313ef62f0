#include "plugin/factories.h"

#include "modulefixture.h"
#include "msgboxsim.h"
#include "qtouchlineedit.h"
#include "simcontroller.h"
#include "zuzerarovefiles.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using sim::CallLog;
using sim::MsgBoxHooks;

// The reservation settings page, reached from the monitor's Setting key.
class tst_ZuzEraroveSetting : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rowsFollowSignalMode_data();
    void rowsFollowSignalMode();
    void modeSwitchKeepsRowsBeyondFour();
    void cycleIndexFromOneTo9999_data();
    void cycleIndexFromOneTo9999();
    void missingProgramsReported();
    void returnToMonitor_data();
    void returnToMonitor();
    void restoreSavedRecord_data();
    void restoreSavedRecord();
    void saveHandsOverInOrder();
    void programListFollowsService();
    void emptyProgramList();
    void unchangedWritesWhatWasRead_data();
    void unchangedWritesWhatWasRead();

private:
    // Opens the screen on this configuration and goes to the settings page.
    bool openSettings(int signalMode, const QStringList &names, int protocol = 0);
    QTableWidget *table() const { return find<QTableWidget>(QStringLiteral("rplSettingTw")); }
    QComboBox *nameBox(int row) const { return find<QComboBox>(QStringLiteral("nameBox_%1").arg(row)); }
    QTouchLineEdit *cycleEdit(int row) const { return find<QTouchLineEdit>(QStringLiteral("cycleEdit_%1").arg(row)); }
    QComboBox *combo(const char *name) const { return find<QComboBox>(QString::fromLatin1(name)); }
    void click(const char *name) const { f.click(QString::fromLatin1(name)); }
    template<typename T>
    T *find(const QString &name) const { return f.find<T>(name); }

    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
};

void tst_ZuzEraroveSetting::init()
{
    f.setUp();
}

void tst_ZuzEraroveSetting::cleanup()
{
    QVERIFY(f.tearDown());
}

bool tst_ZuzEraroveSetting::openSettings(int signalMode, const QStringList &names, int protocol)
{
    if (!f.start(signalMode, names, protocol))
        return false;
    click("settingButton");
    const bool shown = f.pageName() == QLatin1String("ZuzEraroveSetting");
    CallLog::instance().clear();
    MsgBoxHooks::clearRecords();
    return shown;
}

void tst_ZuzEraroveSetting::rowsFollowSignalMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("height");
    QTest::newRow("Binary") << 1 << 15 << 50;
    QTest::newRow("Alone") << 0 << 4 << 80;
}

void tst_ZuzEraroveSetting::rowsFollowSignalMode()
{
    QFETCH(int, mode);
    QFETCH(int, rows);
    QFETCH(int, height);
    QVERIFY(openSettings(mode, {QStringLiteral("B.XPL"), QString(), QStringLiteral("SUB/D.XPL")}, 10));
    QCOMPARE(table()->rowCount(), rows);
    for (int r = 1; r <= rows; ++r) {
        QCOMPARE(table()->rowHeight(r - 1), height);
        QCOMPARE(table()->item(r - 1, 0)->text(), QString::number(r));
        QCOMPARE(nameBox(r)->count(), 5);
        QCOMPARE(cycleEdit(r)->text(), QStringLiteral("1"));
    }
    QCOMPARE(nameBox(1)->currentText(), QStringLiteral("B.XPL"));
    QCOMPARE(nameBox(2)->currentText(), QStringLiteral("Unselected"));
    QCOMPARE(nameBox(3)->currentText(), QStringLiteral("SUB/D.XPL"));
    QCOMPARE(combo("protocolCB")->currentIndex(), 10);
    QCOMPARE(combo("modeCB")->currentIndex(), mode <= 1 ? mode : -1);
}

void tst_ZuzEraroveSetting::modeSwitchKeepsRowsBeyondFour()
{
    QStringList names;
    for (int i = 0; i < 15; ++i)
        names << QStringLiteral("C.XPL");
    QVERIFY(openSettings(1, names));
    cycleEdit(6)->setText(QStringLiteral("42"));
    combo("modeCB")->setCurrentIndex(0);
    QCOMPARE(table()->rowCount(), 4);
    QVERIFY(!nameBox(5) && !cycleEdit(15));
    // The working record keeps all 15 names until the next write-back from the widgets.
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    QCOMPARE(api->resvData.rplNames[14], QStringLiteral("C.XPL"));
    QCOMPARE(api->resvData.cycleIndex[5], 42);

    // Slots without a row keep what they hold: back in "Binary" they show it again.
    combo("modeCB")->setCurrentIndex(1);
    QCOMPARE(table()->rowCount(), 15);
    for (int r = 1; r <= 15; ++r)
        QCOMPARE(nameBox(r)->currentText(), QStringLiteral("C.XPL"));
    QCOMPARE(cycleEdit(6)->text(), QStringLiteral("42"));
    QCOMPARE(api->resvData.rplNames[14], QStringLiteral("C.XPL"));
    // A row shown again takes the operator's edits as its first showing did.
    cycleEdit(15)->setText(QStringLiteral("7"));
    combo("modeCB")->setCurrentIndex(0);
    QCOMPARE(api->resvData.cycleIndex[14], 7);
    QVERIFY(MsgBoxHooks::records().isEmpty());
}

static int keptBoxes()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->objectName() == QLatin1String("MsgBox");
    return n;
}

void tst_ZuzEraroveSetting::cycleIndexFromOneTo9999_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");
    QTest::newRow("0") << QStringLiteral("0") << false;
    QTest::newRow("1") << QStringLiteral("1") << true;
    QTest::newRow("9999") << QStringLiteral("9999") << true;
    QTest::newRow("10000") << QStringLiteral("10000") << false;
}

void tst_ZuzEraroveSetting::cycleIndexFromOneTo9999()
{
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    QVERIFY(openSettings(1, {QStringLiteral("A.XPL")}));
    const QValidator *validator = cycleEdit(1)->validator();
    QVERIFY(validator);
    int at = 0;
    QCOMPARE(validator->validate(typed, at) == QValidator::Acceptable, taken);
}

void tst_ZuzEraroveSetting::missingProgramsReported()
{
    QVERIFY(f.start(1, {QStringLiteral("A.XPL"), QStringLiteral("GONE.XPL"), QString(), QString(),
                        QStringLiteral("a.xpl")}));
    click("settingButton");
    // The report is made when the page is built, kept, and neither shown by the page nor
    // waited for. Empty names are not missing; names differing in case are.
    const QList<sim::MsgBoxRecord> boxes = MsgBoxHooks::records();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].kind, 2);
    QCOMPARE(boxes[0].buttons, 1);
    QCOMPARE(boxes[0].modal, false);
    QCOMPARE(boxes[0].text, QStringLiteral("The following files do not exist, please reselect.\nID:2 Name:GONE.XPL\nID:5 Name:a.xpl"));
    QCOMPARE(keptBoxes(), 1);
    QCOMPARE(nameBox(2)->currentIndex(), 0);
    QCOMPARE(nameBox(5)->currentIndex(), 0);

    // The next showing of a record replaces the report. A missing name nobody replaced stays
    // in the working record; one the operator explicitly left "Unselected" goes.
    nameBox(5)->activated(0);
    combo("modeCB")->setCurrentIndex(0);
    QCOMPARE(keptBoxes(), 1);
    QCOMPARE(MsgBoxHooks::records().size(), 2);
    QCOMPARE(MsgBoxHooks::records().last().text, QStringLiteral("The following files do not exist, please reselect.\nID:2 Name:GONE.XPL"));
    QCOMPARE(ZuzEraroveLibApi::getInstance()->resvData.rplNames[1], QStringLiteral("GONE.XPL"));
    QCOMPARE(ZuzEraroveLibApi::getInstance()->resvData.rplNames[4], QString());
}

void tst_ZuzEraroveSetting::returnToMonitor_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("changedRow"); // 0: nothing changed
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("onMonitor");
    QTest::newRow("unchanged") << 0 << 0 << 0 << 1 << true;
    QTest::newRow("a mode and a protocol outside the lists, unchanged") << 2 << 12 << 0 << 1 << true;
    QTest::newRow("changed, leave declined") << 0 << 0 << 1 << 0 << false;
    QTest::newRow("the last slot changed, leave declined") << 1 << 0 << 15 << 0 << false;
}

void tst_ZuzEraroveSetting::returnToMonitor()
{
    QFETCH(int, mode);
    QFETCH(int, protocol);
    QFETCH(int, changedRow);
    QFETCH(int, answer);
    QFETCH(bool, onMonitor);
    QVERIFY(openSettings(mode, {QStringLiteral("A.XPL")}, protocol));
    if (changedRow)
        f.choose(QStringLiteral("nameBox_%1").arg(changedRow), QStringLiteral("B.XPL"));
    MsgBoxHooks::answerAll(answer);
    click("returnButton");
    QCOMPARE(boxTexts(), changedRow ? QStringList{"Are you sure not to save settings and exit?"} : QStringList());
    QCOMPARE(f.pageName(), onMonitor ? QStringLiteral("ZuzEraroveMainPage") : QStringLiteral("ZuzEraroveSetting"));
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    QCOMPARE(api->resvData.rplNames[0], changedRow == 1 && !onMonitor ? QStringLiteral("B.XPL") : QStringLiteral("A.XPL"));
    QCOMPARE(nameBox(1)->currentText(), api->resvData.rplNames[0]);
    QCOMPARE(api->resvData.signalMode, mode);
    QCOMPARE(api->resvData.protocol, protocol);
    QVERIFY(CallLog::instance().entriesOf({"writeZuzEraroveFile", "sendFileToCtrl"}).isEmpty());
}

void tst_ZuzEraroveSetting::restoreSavedRecord_data()
{
    QTest::addColumn<bool>("switchMode");
    QTest::addColumn<int>("answer");
    QTest::newRow("restore confirmed") << false << 1;
    QTest::newRow("restore after switching to Alone") << true << 1;
}

void tst_ZuzEraroveSetting::restoreSavedRecord()
{
    QFETCH(bool, switchMode);
    QFETCH(int, answer);
    QVERIFY(openSettings(1, {QStringLiteral("A.XPL"), QString(), QString(), QString(), QStringLiteral("B.XPL")}, 2));
    if (switchMode)
        combo("modeCB")->setCurrentIndex(0);
    f.choose(QStringLiteral("nameBox_1"), QStringLiteral("C.XPL"));
    combo("protocolCB")->setCurrentIndex(5);
    MsgBoxHooks::answerAll(answer);
    click("resetButton");
    QCOMPARE(boxTexts(), QStringList{"Are you sure to restore data from the file?"});
    const bool restored = answer == 1;
    QCOMPARE(nameBox(1)->currentText(), restored ? QStringLiteral("A.XPL") : QStringLiteral("C.XPL"));
    QCOMPARE(combo("protocolCB")->currentIndex(), restored ? 2 : 5);
    if (restored) {
        QCOMPARE(combo("modeCB")->currentIndex(), 1);
        QCOMPARE(nameBox(5)->currentText(), QStringLiteral("B.XPL"));
    }
    // No file is read, and the page leaves as it came when nothing else changes.
    QVERIFY(CallLog::instance().entriesOf({"getFileFromCtrl", "readZuzEraroveFile"}).isEmpty());
    MsgBoxHooks::clearRecords();
    click("returnButton");
    QCOMPARE(boxTexts().isEmpty(), restored);
}

void tst_ZuzEraroveSetting::saveHandsOverInOrder()
{
    QVERIFY(openSettings(1, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")}));
    sim::Reservation::instance().setTotal(1, 5);
    sim::Reservation::instance().setTotal(0, 3);
    combo("modeCB")->setCurrentIndex(0);
    combo("protocolCB")->setCurrentIndex(4);
    nameBox(2)->setCurrentIndex(0);
    cycleEdit(1)->setText(QStringLiteral("12"));
    CallLog::instance().clear();
    click("saveButton");

    const QString local = f.env().localDir() + QStringLiteral("/zuzeraroveconfig.xml");
    QCOMPARE(CallLog::instance().entriesOf({"MsgBox", "writeZuzEraroveFile", "sendFileToCtrl", "setUpdateConfig",
                                             "delay_MSec", "setProtocolType", "setSignalMode", "clearUnusedIdTotal"}),
             (QStringList{"MsgBox(0, Are you sure to save it?, 3, true)",
                          QStringLiteral("writeZuzEraroveFile(%1)").arg(local),
                          QStringLiteral("sendFileToCtrl(%1, %2)").arg(local, ctrlfiles::config),
                          "setUpdateConfig()", "delay_MSec(16)", "setProtocolType(4)", "delay_MSec(16)",
                          "setSignalMode(0)", "MsgBox(0, Save successfully., 1, true)", "clearUnusedIdTotal()"}));
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    QVERIFY(api->isSameRplResData(api->resvData, api->resvDataSaved));
    const ZuzEraroveData inForce = sim::Reservation::instance().configInForce();
    QCOMPARE(inForce.signalMode, 0);
    QCOMPARE(inForce.protocol, 4);
    QCOMPARE(inForce.rplNames[1], QString());
    QCOMPARE(inForce.cycleIndex[0], 12);
    QCOMPARE(api->getProgramRunTotal(1), 0);
    QCOMPARE(api->getProgramRunTotal(0), 3);

    // Back on the monitor the table follows the saved mode.
    click("returnButton");
    QCOMPARE(f.pageName(), QStringLiteral("ZuzEraroveMainPage"));
    QCOMPARE(find<QTableWidget>(QStringLiteral("zuzeraroveMonitoeTW"))->rowCount(), 4);
}


void tst_ZuzEraroveSetting::programListFollowsService()
{
    QVERIFY(openSettings(0, {QStringLiteral("A.XPL")}));
    nameBox(2)->setCurrentIndex(3);
    MsgBoxHooks::answerAll(0);
    click("returnButton");
    QCOMPARE(f.pageName(), QStringLiteral("ZuzEraroveSetting"));

    // A program that appears while the page is away is listed when it is shown again,
    // the unsaved choices kept.
    f.env().addPrograms({QStringLiteral("AA.XPL")});
    f.screen()->widget()->hide();
    f.screen()->widget()->show();
    QCOMPARE(nameBox(1)->itemText(2), QStringLiteral("AA.XPL"));
    QCOMPARE(nameBox(2)->currentText(), QStringLiteral("C.XPL"));
}

void tst_ZuzEraroveSetting::emptyProgramList()
{
    sim::Reservation::instance().setProgramNames({});
    QVERIFY(openSettings(0, {QStringLiteral("A.XPL")}));
    QCOMPARE(nameBox(1)->count(), 1);
    QCOMPARE(nameBox(1)->itemText(0), QStringLiteral("Unselected"));

    // With only "Unselected" listed, showing the page again changes nothing...
    sim::Reservation::instance().clearProgramNames();
    f.screen()->widget()->hide();
    f.screen()->widget()->show();
    QCOMPARE(nameBox(1)->count(), 1);
    // ... until the table is rebuilt.
    combo("modeCB")->setCurrentIndex(1);
    QCOMPARE(nameBox(1)->count(), 5);
}

void tst_ZuzEraroveSetting::unchangedWritesWhatWasRead_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("kept"); // bytes that reach the controller as they were read
    QTest::addColumn<bool>("viaStart");   // Start on the monitor, else Save on the settings page
    const QByteArray odd = "<ZuzEraroveConfig runState=\"0\" signalMode=\"1\" protocol=\"2\">"
                           "<Slot id=\"1\" program=\"A.XPL\" cycleIndex=\"1\"/>"
                           "<Slot id=\"2\" program=\"R&amp;D &lt;\xff\xfe&gt; &quot;q&quot; \xe7\x84\x8a.XPL\" cycleIndex=\"3\"/>"
                           "</ZuzEraroveConfig>";
    QTest::newRow("names with invalid bytes, escapes and quotes") << odd << QByteArray("\xff\xfe") << false;
    QTest::newRow("the same at Start") << odd << QByteArray("\xff\xfe") << true;
    QTest::newRow("mode and protocol outside the lists, cycle indices out of range")
        << QByteArray("<ZuzEraroveConfig runState=\"0\" signalMode=\"7\" protocol=\"42\">"
                      "<Slot id=\"1\" program=\"A.XPL\" cycleIndex=\"0\"/><Slot id=\"2\" program=\"B.XPL\" cycleIndex=\"70000\"/>"
                      "</ZuzEraroveConfig>")
        << QByteArray("signalMode=\"7\" protocol=\"42\"") << false;
    QTest::newRow("programs the service does not list")
        << QByteArray("<ZuzEraroveConfig runState=\"0\" signalMode=\"1\" protocol=\"0\">"
                      "<Slot id=\"3\" program=\"GONE.XPL\" cycleIndex=\"2\"/></ZuzEraroveConfig>")
        << QByteArray("program=\"GONE.XPL\"") << false;
}

void tst_ZuzEraroveSetting::unchangedWritesWhatWasRead()
{
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, kept);
    QFETCH(bool, viaStart);
    QVERIFY(f.env().writeControllerFile(ctrlfiles::config, config));
    QVERIFY(f.env().writeControllerFile(QStringLiteral("/read.xml"), config));
    QVERIFY(f.open());
    if (viaStart) {
        click("runOrStopButton");
    } else {
        click("settingButton");
        click("saveButton");
    }
    QVERIFY(QTest::qWaitFor([] { return !CallLog::instance().entriesOf({"setUpdateConfig"}).isEmpty(); }));
    ZuzEraroveData read, sent;
    const QString root = f.env().controllerRoot();
    QVERIFY(zuzfiles::readConfig(root, root + QStringLiteral("/read.xml"), &read));
    QVERIFY(zuzfiles::readConfig(root, root + ctrlfiles::config, &sent));
    // Only Start changes the run state; nothing else differs from what was read.
    read.runState = viaStart ? 1 : read.runState;
    QVERIFY(ZuzEraroveLibApi::getInstance()->isSameRplResData(sent, read));
    QVERIFY(f.env().controllerFile(ctrlfiles::config).contains(kept));
}

QTEST_MAIN(tst_ZuzEraroveSetting)
#include "tst_zuzerarovesetting.moc"
