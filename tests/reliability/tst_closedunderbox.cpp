#include "plugin/factories.h"

#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QComboBox>
#include <QtTest>

using sim::CallLog;

// Every road to a box, with the screen closed by the panel while that box is open: the page
// that asked is gone when the box returns, and the confirmed answer must do nothing. Under
// AddressSanitizer a page that touches itself afterwards fails the run.
class tst_ClosedUnderBox : public QObject
{
    Q_OBJECT
private slots:
    void init() { f.setUp(); }
    void cleanup() { QVERIFY(f.tearDown()); }
    void answerDoesNothing_data();
    void answerDoesNothing();

private:
    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
};

void tst_ClosedUnderBox::answerDoesNothing_data()
{
    QTest::addColumn<QStringList>("setup"); // before the screen opens
    QTest::addColumn<QStringList>("steps"); // keys pressed, "combo=index", "@call" waited for, "up", "nofault"
    QTest::addColumn<QString>("box");       // the screen closes under the first box that says this
    QTest::addColumn<bool>("quiet");        // nothing but reads follows the box
    const QStringList none;
    auto row = [](const char *name, const QStringList &setup, const QStringList &steps, const char *box, bool quiet = true) {
        QTest::newRow(name) << setup << steps << QString::fromUtf8(box) << quiet;
    };
    row("start-up, the link down", {"down"}, none, "Failed to get file.");
    row("start-up, the file unreadable", {"fault:read"}, none, "Failed to read file.");
    row("start fetches again and fails", {"down"}, {"@getResvRunningStatus", "runOrStopButton"}, "Failed to get file.#2");
    row("start with the robot busy", {"robot"}, {"runOrStopButton"}, "A robot program is running.");
    row("start, the write fails", {"fault:write"}, {"runOrStopButton"}, "Failed to save file.");
    row("start, the send fails", {"fault:send"}, {"runOrStopButton"}, "Failed to send file.");
    row("stop with the robot busy", {"running", "robot"}, {"runOrStopButton"}, "The reserved program is running");
    row("reserve while stopped", none, {"reserveBtn_1"}, "Please start before reserving programe.");
    row("cancel the running slot", {"running"}, {"reserveBtn_1", "cancelBtn_1"}, "The program is running. Are you sure");
    row("cancel all", {"running"}, {"reserveBtn_1", "reserveBtn_2", "cancelAllBtn"}, "Are you sure to cancel all");
    row("clear the totals", none, {"clearButton"}, "Are you sure to clear the total?");
    row("settings: restore", none, {"settingButton", "resetButton"}, "Are you sure to restore");
    row("settings: leave unsaved", none, {"settingButton", "protocolCB=3", "returnButton"}, "Are you sure not to save");
    row("settings: save", none, {"settingButton", "saveButton"}, "Are you sure to save it?");
    row("settings: never read", {"down"}, {"up", "settingButton", "saveButton"}, "The settings could not be read");
    row("settings: the write fails", {"fault:write"}, {"settingButton", "saveButton"}, "Failed to write file.");
    row("settings: the send fails", {"fault:send"}, {"settingButton", "saveButton"}, "Failed to send file.");
    row("settings: saved", none, {"settingButton", "saveButton"}, "Save successfully.", false);
    row("soft-PLC: save", none, {"softPlcButton", "saveButton"}, "Are you sure to save it?");
    row("soft-PLC: never read", {"softplc", "fault:fetch:softplc"}, {"softPlcButton", "saveButton"}, "The soft-PLC settings could not be read");
    row("soft-PLC: read again", {"softplc", "fault:fetch:softplc"}, {"softPlcButton", "nofault", "saveButton"}, "The soft-PLC settings were read again");
    row("soft-PLC: the send fails", {"fault:send"}, {"softPlcButton", "saveButton"}, "Failed to send file.");
    row("soft-PLC: saved", none, {"softPlcButton", "saveButton"}, "Save successfully.");
    row("map: the fetch fails", {"fault:fetch:programMapping"}, {"prograMapBtn"}, "Failed to get /application/zuzerarove/programMapping.xml");
    row("map: the read fails", {"map", "fault:read:programMapping"}, {"prograMapBtn"}, "Failed to read ");
    row("map: number 0", {"map0"}, {"prograMapBtn"}, "Version update");
    row("map: never read", {"fault:fetch:programMapping"}, {"prograMapBtn", "saveButton", "saveButton"}, "The program map could not be read");
    const QStringList mapEdited{"prograMapBtn", "@readPrograMapFile", "saveButton"};
    row("map: save", {"map"}, mapEdited + QStringList{"saveButton"}, "Are you sure Save?");
    row("map: the write fails", {"map", "fault:write"}, mapEdited + QStringList{"saveButton"}, "Failed write ");
    row("map: the send fails", {"map", "fault:send"}, mapEdited + QStringList{"saveButton"}, "Failed send ");
    row("map: saved", {"map"}, mapEdited + QStringList{"saveButton"}, "Save file successfully.");
    row("map: reset", {"map"}, mapEdited + QStringList{"resetBtn"}, "Are you sure you want to restore the list?");
    row("map: empty", {"map"}, mapEdited + QStringList{"emptyBtn"}, "Are you sure you want to clear the list?");
    row("map: leave edited", {"map"}, mapEdited + QStringList{"backBtn"}, "Do you want to exit the current page modification?");
}

void tst_ClosedUnderBox::answerDoesNothing()
{
    QFETCH(QStringList, setup);
    QFETCH(QStringList, steps);
    QFETCH(QString, box);
    QFETCH(bool, quiet);
    sim::Controller &ctrl = sim::Controller::instance();
    static const QMap<QString, sim::Fault> faults{{"fetch", sim::Fault::Fetch}, {"send", sim::Fault::Send},
                                                  {"read", sim::Fault::Read}, {"write", sim::Fault::Write}};
    f.env().writeReservationConfig(1, 0, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")}, setup.contains("running"));
    sim::Reservation::instance().applyControllerConfig();
    for (const QString &s : qAsConst(setup)) {
        if (s == QLatin1String("down"))
            ctrl.setConnected(false);
        else if (s == QLatin1String("robot"))
            ctrl.setRobotRunning(true);
        else if (s.startsWith(QLatin1String("fault:")))
            ctrl.setFault(faults.value(s.section(QLatin1Char(':'), 1, 1)), true, s.section(QLatin1Char(':'), 2));
        else if (s == QLatin1String("softplc"))
            f.env().writeControllerFile(ctrlfiles::softPlc, "<SoftPlcConfig><PlcData><PlcInfo><mode>1</mode></PlcInfo></PlcData></SoftPlcConfig>");
        else if (s.startsWith(QLatin1String("map")))
            f.env().writeControllerFile(ctrlfiles::programMap, s == QLatin1String("map0")
                ? "<ProgramMapping><Program num=\"0\" name=\"A.XPL\"/></ProgramMapping>"
                : "<ProgramMapping><Program num=\"1\" name=\"A.XPL\"/></ProgramMapping>");
    }
    // "text#n": the n-th box that says it.
    const int nth = box.contains(QLatin1Char('#')) ? box.section(QLatin1Char('#'), 1).toInt() : 1;
    box = box.section(QLatin1Char('#'), 0, 0);
    int seen = 0;
    int closedAt = -1;
    sim::MsgBoxHooks::setResponder([&](const sim::MsgBoxRecord &record) {
        if (closedAt < 0 && record.text.contains(box) && ++seen == nth) {
            f.screen()->close();
            closedAt = CallLog::instance().entries().size();
        }
        return 1;
    });
    QVERIFY(f.open() || f.screen()->isClosed());
    for (const QString &step : qAsConst(steps)) {
        if (f.screen()->isClosed())
            break;
        if (step.startsWith(QLatin1Char('@'))) {
            QVERIFY(waitForCall(step.mid(1)));
        } else if (step == QLatin1String("up")) {
            ctrl.setConnected(true);
        } else if (step == QLatin1String("nofault")) {
            for (sim::Fault fault : faults)
                ctrl.setFault(fault, false, QStringLiteral("softplc"));
        } else if (step.contains(QLatin1Char('='))) {
            f.find<QComboBox>(step.section(QLatin1Char('='), 0, 0))->setCurrentIndex(step.section(QLatin1Char('='), 1).toInt());
        } else {
            f.click(step);
            f.screen()->idle();
        }
    }
    QTRY_VERIFY(f.screen()->isClosed());
    // Whatever the timers of the gone pages would have done has had its time.
    QTest::qWait(400);
    if (quiet) {
        const QStringList after = CallLog::instance().entries().mid(closedAt);
        static const QStringList acts{"writeZuzEraroveFile", "sendFileToCtrl", "setUpdateConfig", "setStartRunProgram",
                                      "addResvProgram", "delResvProgram", "clearRunTotal", "clearUnusedIdTotal",
                                      "setProtocolType", "setSignalMode", "writePrograMapFile", "setUpdateProgramMapConfig",
                                      "setAutoStartPLc", "DataAccess::SendFileFromTPU2Controller", "RtmRemoveFolderContent"};
        for (const QString &call : after)
            QVERIFY2(!acts.contains(call.section(QLatin1Char('('), 0, 0)), qPrintable(call));
    }
}

QTEST_MAIN(tst_ClosedUnderBox)
#include "tst_closedunderbox.moc"
