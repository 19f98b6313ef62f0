#include "roads.h"

#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using sim::Controller;
using sim::Fault;
using sim::Reservation;
using namespace roadpaths;

using T = RoadRunner;

// Nothing reaches the controller that the operator did not confirm: each road ends with the
// boxes the operator saw, exactly the files that may change changed, and every other file of both
// trees, and of a folder beside them, byte for byte as it was.
static const Road roads[] = {
    // The run state goes to the controller through Start and Stop alone.
    {"stop, then the settings page left without edits and saved",
     [](T &t) { t.f.env().writeReservationConfig(1, 2, {QStringLiteral("A.XPL")}, 1); Reservation::instance().applyControllerConfig(); },
     [](T &t) {
         t.idle();
         t.click("runOrStopButton");
         t.idle();
         t.click("settingButton");
         t.click("returnButton");
         t.click("settingButton");
         t.combo("protocolCB")->setCurrentIndex(4);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Save successfully."},
     {ctrlDir + "zuzeraroveconfig.xml", localDir + "zuzeraroveconfig.xml"},
     [](T &t) {
         QVERIFY(!Reservation::instance().isStarted());
         QVERIFY(t.ctrl(config).contains("runState=\"0\""));
         QVERIFY(t.ctrl(config).contains("protocol=\"4\""));
     }},
    {"start while sending fails, then a settings save with the robot busy",
     nullptr,
     [](T &t) {
         Controller::instance().setFault(Fault::Send, true);
         t.click("runOrStopButton");
         Controller::instance().setFault(Fault::Send, false);
         Controller::instance().setRobotRunning(true);
         t.idle();
         t.click("settingButton");
         t.combo("protocolCB")->setCurrentIndex(5);
         t.click("saveButton");
     },
     {"Failed to send file.", "Are you sure to save it?", "Save successfully."},
     {ctrlDir + "zuzeraroveconfig.xml", localDir + "zuzeraroveconfig.xml"},
     [](T &t) {
         QVERIFY(!Reservation::instance().isStarted());
         QVERIFY(Controller::instance().isRobotRunning());
         QVERIFY(t.ctrl(config).contains("runState=\"0\""));
     }},

    // Nothing is saved over what was never read.
    {"start after the configuration could not be fetched",
     [](T &) { Controller::instance().setFault(Fault::Fetch, true, config); },
     [](T &t) {
         Controller::instance().setFault(Fault::Fetch, false, config);
         t.click("runOrStopButton");
     },
     {"Failed to get file."},
     {ctrlDir + "zuzeraroveconfig.xml", localDir + "zuzeraroveconfig.xml"},
     [](T &t) {
         QVERIFY(Reservation::instance().isStarted());
         const ZuzEraroveData inForce = Reservation::instance().configInForce();
         QCOMPARE(inForce.rplNames[1], QStringLiteral("B.XPL"));
         QCOMPARE(inForce.protocol, 2);
         QCOMPARE(t.f.find<QTableWidget>(QStringLiteral("zuzeraroveMonitoeTW"))->rowCount(), 15);
     }},
    {"start while the configuration still cannot be fetched",
     [](T &) { Controller::instance().setFault(Fault::Fetch, true, config); },
     [](T &t) { t.click("runOrStopButton"); },
     {"Failed to get file.", "Failed to get file."},
     {},
     [](T &t) {
         QVERIFY(t.calls({"setStartRunProgram", "writeZuzEraroveFile"}).isEmpty());
         QVERIFY(t.f.find<QPushButton>(QStringLiteral("runOrStopButton"))->isEnabled());
     }},
    {"settings saved after the configuration could not be read",
     [](T &) { Controller::instance().setFault(Fault::Read, true, QStringLiteral("zuzeraroveconfig")); },
     [](T &t) {
         t.click("settingButton");
         t.combo("protocolCB")->setCurrentIndex(1);
         t.click("saveButton");
     },
     {"Failed to read file.", "Are you sure to save it?",
      "The settings could not be read from the controller, so nothing was saved. Check the connection, then leave the screen and open it again."},
     {},
     [](T &t) { QVERIFY(t.calls({"writeZuzEraroveFile", "sendFileToCtrl"}).isEmpty()); }},
    {"settings with a mode and a protocol outside the lists",
     [](T &t) { t.f.env().writeReservationConfig(5, 12, {QStringLiteral("A.XPL")}); },
     [](T &t) {
         t.click("settingButton");
         t.click("returnButton");
         t.click("settingButton");
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Save successfully."},
     {ctrlDir + "zuzeraroveconfig.xml", localDir + "zuzeraroveconfig.xml"},
     [](T &t) {
         QVERIFY(t.ctrl(config).contains("signalMode=\"5\" protocol=\"12\""));
         QCOMPARE(Reservation::instance().protocol(), 12);
     }},
    {"settings saved while the program directory cannot be listed",
     nullptr,
     [](T &t) {
         Controller::instance().setFault(Fault::Listing, true);
         t.click("settingButton");
         t.combo("protocolCB")->setCurrentIndex(3);
         t.click("saveButton");
     },
     {"The following files do not exist, please reselect.\nID:1 Name:A.XPL\nID:2 Name:B.XPL\nID:4 Name:SUB/D.XPL",
      "Are you sure to save it?", "Save successfully."},
     {ctrlDir + "zuzeraroveconfig.xml", localDir + "zuzeraroveconfig.xml"},
     [](T &t) {
         QVERIFY(t.ctrl(config).contains("program=\"SUB/D.XPL\""));
         QVERIFY(t.ctrl(config).contains("program=\"B.XPL\""));
     }},
    {"soft-PLC saved after its file could not be fetched",
     [](T &) { Controller::instance().setFault(Fault::Fetch, true, plcConfig); },
     [](T &t) {
         t.click("softPlcButton");
         t.combo("comboBoxModePlc2")->setCurrentIndex(1);
         t.click("saveButton");
         Controller::instance().setFault(Fault::Fetch, false, plcConfig);
         t.click("saveButton");
         QCOMPARE(t.combo("comboBoxModePlc1")->currentIndex(), 1);
         t.combo("comboBoxModePlc2")->setCurrentIndex(1);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "The soft-PLC settings could not be read from the controller, so nothing was saved.",
      "Are you sure to save it?", "The soft-PLC settings were read again from the controller. Check them and save again.",
      "Are you sure to save it?", "Save successfully."},
     {ctrlDir + "softplcconfig.xml", localDir + "softplcconfig.xml", localDir + "xpl.cfg"},
     [](T &t) {
         const QByteArray written = t.ctrl(plcConfig);
         QVERIFY(written.contains("<ProgName>/RPL/B.XPL</ProgName>"));
         QVERIFY(Reservation::instance().autoStart(0) && Reservation::instance().autoStart(1));
     }},
    {"soft-PLC saved on a controller that has no soft-PLC file",
     [](T &t) { QFile::remove(t.f.env().controllerRoot() + plcConfig); },
     [](T &t) {
         t.click("softPlcButton");
         t.combo("comboBoxModePlc1")->setCurrentIndex(1);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Save successfully."},
     {ctrlDir + "softplcconfig.xml", localDir},
     [](T &t) { QVERIFY(t.ctrl(plcConfig).contains("<mode>1</mode>")); }},
    {"program map with entries the table cannot show",
     [](T &t) {
         t.f.env().writeControllerFile(map, "<ProgramMapping><Program num=\"0\" name=\"ZERO.XPL\"/>"
                                            "<Program num=\"3\" name=\"/RPL/C.XPL\"/><Program num=\"600\" name=\"FAR.XPL\"/>"
                                            "</ProgramMapping>");
     },
     [](T &t) {
         t.editMap();
         t.click("saveButton");
     },
     {"Version update, please confirm whether the '0' program mapping number was configured before! \n"
      "If yes, change the '0' program mapping number to another unconfigured program number.",
      "Are you sure Save?", "Save file successfully."},
     {ctrlDir + "programMapping.xml", localDir + "programMapping.xml", flash},
     [](T &t) {
         QCOMPARE(Reservation::instance().programMapInForce().size(), 3);
         QCOMPARE(Reservation::instance().programMapInForce().first().programName, QStringLiteral("ZERO.XPL"));
         QVERIFY(t.ctrl(map).contains("num=\"600\" name=\"FAR.XPL\""));
     }},
    {"program map saved after its download failed",
     [](T &) { Controller::instance().setFault(Fault::Fetch, true, map); },
     [](T &t) {
         t.editMap();
         t.click("saveButton");
     },
     {"Failed to get /application/zuzerarove/programMapping.xml file form Ctrl.", "Are you sure Save?",
      "The program map could not be read from the controller, so nothing was saved. Press Reset to read it again."},
     {flash},
     [](T &t) { QVERIFY(t.calls({"writePrograMapFile"}).isEmpty()); }},

    // Links never lead a write or a removal out of the two trees.
    {"dangling link out of the controller at the configuration",
     [](T &t) {
         QFile::remove(t.f.env().controllerRoot() + config);
         t.link(t.f.env().controllerRoot() + config, t.f.env().outsideDir() + "/config.xml");
     },
     [](T &t) { t.click("runOrStopButton"); },
     {"Failed to get file.", "Failed to send file."},
     {localDir + "zuzeraroveconfig.xml"},
     [](T &t) { QVERIFY(!QFile::exists(t.f.env().outsideDir() + "/config.xml")); }},
    {"link out of the controller at the program map",
     [](T &t) {
         t.write(t.f.env().outsideDir() + "/map.xml", "<ProgramMapping/>");
         QFile::remove(t.f.env().controllerRoot() + map);
         t.link(t.f.env().controllerRoot() + map, t.f.env().outsideDir() + "/map.xml");
     },
     [](T &t) {
         t.editMap();
         t.click("saveButton");
     },
     // The controller lists no file that leads out of it, so the save goes ahead and its send fails.
     {"Failed to get /application/zuzerarove/programMapping.xml file form Ctrl.", "Are you sure Save?",
      "Failed send %L/programMapping.xml file to Ctrl."},
     {localDir + "programMapping.xml", flash},
     nullptr},
    {"local soft-PLC copy is a link out of the panel",
     [](T &t) {
         t.write(t.f.env().outsideDir() + "/plc.xml", "kept");
         t.link(t.f.env().localDir() + "/softplcconfig.xml", t.f.env().outsideDir() + "/plc.xml");
     },
     [](T &t) {
         t.click("softPlcButton");
         t.click("saveButton");
     },
     {"Are you sure to save it?", "The soft-PLC settings could not be read from the controller, so nothing was saved."},
     {localDir + "xpl.cfg"},
     nullptr},
    {"panel's program folder is a link elsewhere when the chooser opens",
     [](T &t) {
         t.write(t.f.env().outsideDir() + "/KEEP.XPL", "kept");
         QDir().mkpath(t.f.env().panelRoot() + "/flash1");
         t.link(t.f.env().panelRoot() + "/flash1/RPL", t.f.env().outsideDir());
     },
     [](T &t) {
         t.editMap();
         QTimer::singleShot(0, [] {
             if (QWidget *chooser = QApplication::activeModalWidget())
                 chooser->findChild<QPushButton *>(QStringLiteral("btnCancle"))->click();
         });
         QTableWidget *table = t.f.find<QTableWidget>(QStringLiteral("tableWidget"));
         emit table->cellClicked(4, 1);
     },
     {},
     {localDir + "programMapping.xml"},
     nullptr},

    // A write that fails half-way leaves the old file whole.
    {"disk full while the soft-PLC file is written",
     nullptr,
     [](T &t) {
         t.click("softPlcButton");
         t.combo("comboBoxModePlc2")->setCurrentIndex(1);
         withFileSizeLimit(200, [&t] { t.click("saveButton"); });
     },
     {"Are you sure to save it?", "Failed to write file."},
     {localDir + "xpl.cfg", localDir + "softplcconfig.xml"},
     [](T &t) {
         QFile local(t.f.env().localDir() + "/softplcconfig.xml");
         QVERIFY(local.open(QIODevice::ReadOnly));
         QCOMPARE(local.readAll(), plcFile);
     }},
    {"disk full while the configuration is written at start",
     nullptr,
     [](T &t) { withFileSizeLimit(200, [&t] { t.click("runOrStopButton"); }); },
     {"Failed to save file."},
     {},
     [](T &) { QCOMPARE(ZuzEraroveLibApi::getInstance()->resvData.runState, 0); }},

    // An answer given after the panel closed the screen does nothing.
    {"screen closed during the cancel-all question",
     [](T &) { Reservation::instance().setStarted(true); },
     [](T &t) {
         Reservation::instance().reserve(0);
         t.closeScreenAt(QStringLiteral("Are you sure to cancel all"));
         t.click("cancelAllBtn");
     },
     {"Are you sure to cancel all reservations?"},
     {},
     [](T &t) { QVERIFY(t.calls({"delResvProgram", "getResvStatus"}).isEmpty()); }},
    {"screen closed during the start warning",
     [](T &) { Controller::instance().setRobotRunning(true); },
     [](T &t) {
         t.closeScreenAt(QStringLiteral("A robot program is running."));
         t.click("runOrStopButton");
     },
     {"A robot program is running.\nAre you sure you want to terminate the program and start the program reservation?"},
     {},
     [](T &t) {
         QVERIFY(t.calls({"setStartRunProgram", "writeZuzEraroveFile"}).isEmpty());
         QVERIFY(Controller::instance().isRobotRunning());
     }},
    {"screen closed during the stop warning",
     [](T &t) { t.f.env().writeReservationConfig(1, 2, {QStringLiteral("A.XPL")}, 1); Reservation::instance().applyControllerConfig(); },
     [](T &t) {
         t.idle();
         Controller::instance().setRobotRunning(true);
         t.closeScreenAt(QStringLiteral("The reserved program is running"));
         t.click("runOrStopButton");
     },
     {"The reserved program is running, are you sure to stop the program reservation?\nThe running program will finish running normally."},
     {},
     [](T &t) { QVERIFY(t.calls({"setStartRunProgram", "writeZuzEraroveFile"}).isEmpty()); }},
    {"screen closed during the start's failure notice",
     [](T &) { Controller::instance().setFault(Fault::Send, true); },
     [](T &t) {
         t.closeScreenAt(QStringLiteral("Failed to send file."));
         t.click("runOrStopButton");
     },
     {"Failed to send file."},
     {localDir + "zuzeraroveconfig.xml"},
     [](T &) { QCOMPARE(ZuzEraroveLibApi::getInstance()->resvData.runState, 0); }},
    {"screen closed during the settings save question",
     nullptr,
     [](T &t) {
         t.click("settingButton");
         t.combo("protocolCB")->setCurrentIndex(6);
         t.closeScreenAt(QStringLiteral("Are you sure to save it?"));
         t.click("saveButton");
     },
     {"Are you sure to save it?"},
     {},
     [](T &t) { QVERIFY(t.calls({"writeZuzEraroveFile", "sendFileToCtrl"}).isEmpty()); }},
    {"screen closed during the soft-PLC save question",
     nullptr,
     [](T &t) {
         t.click("softPlcButton");
         t.closeScreenAt(QStringLiteral("Are you sure to save it?"));
         t.click("saveButton");
     },
     {"Are you sure to save it?"},
     {localDir + "xpl.cfg", localDir + "softplcconfig.xml"},
     [](T &t) { QVERIFY(t.calls({"DataAccess::SendFileFromTPU2Controller", "setAutoStartPLc"}).isEmpty()); }},
    {"screen closed during the program map's back question",
     nullptr,
     [](T &t) {
         t.editMap();
         t.closeScreenAt(QStringLiteral("Do you want to exit"));
         t.click("backBtn");
     },
     {"Do you want to exit the current page modification?"},
     {localDir + "programMapping.xml", flash},
     [](T &t) { QCOMPARE(t.calls({"getFileFromCtrl"}).size(), 1); }},
    {"screen closed while the chooser refuses a duplicate",
     nullptr,
     [](T &t) {
         t.editMap();
         t.closeScreenAt(QStringLiteral("Program mapping information is duplicated"));
         QTimer::singleShot(0, [] {
             QWidget *chooser = QApplication::activeModalWidget();
             QTreeWidget *tree = chooser ? chooser->findChild<QTreeWidget *>() : nullptr;
             if (!tree)
                 return;
             const QList<QTreeWidgetItem *> found = tree->findItems(QStringLiteral("A.XPL"), Qt::MatchExactly);
             if (!found.isEmpty())
                 tree->setCurrentItem(found.first());
             chooser->findChild<QPushButton *>(QStringLiteral("btnSelect"))->click();
         });
         emit t.f.find<QTableWidget>(QStringLiteral("tableWidget"))->cellClicked(1, 1);
     },
     {"Program mapping information is duplicated, adding failed!"},
     {localDir + "programMapping.xml", flash},
     [](T &t) { QVERIFY(t.calls({"writePrograMapFile"}).isEmpty()); }},

    // Files of any size leave the screen working.
    {"configuration over a megabyte",
     [](T &t) {
         t.f.env().writeReservationConfig(1, 0, {QString(2 << 20, QLatin1Char('N'))});
     },
     nullptr,
     {"Failed to read file."},
     {},
     nullptr},
    {"program name of most of a megabyte",
     [](T &t) { t.f.env().writeReservationConfig(1, 0, {QString(900000, QLatin1Char('N'))}); },
     [](T &t) {
         QTableWidget *table = t.f.find<QTableWidget>(QStringLiteral("zuzeraroveMonitoeTW"));
         const QString first = table->item(0, 1)->text();
         QVERIFY(first.size() < 300);
         QTRY_VERIFY(table->item(0, 1)->text() != first); // scrolled
         QVERIFY(table->item(0, 1)->text().size() < 300);
         t.click("settingButton");
     },
     {QStringLiteral("The following files do not exist, please reselect.\nID:1 Name:")
      + QString(256, QLatin1Char('N')) + QChar(0x2026)},
     {},
     nullptr},
    {"program map name of most of a megabyte",
     [](T &t) {
         t.f.env().writeControllerFile(map, "<ProgramMapping><Program num=\"2\" name=\"" + QByteArray(900000, 'M')
                                                + "\"/></ProgramMapping>");
     },
     [](T &t) {
         t.openMap();
         QVERIFY(t.f.find<QTableWidget>(QStringLiteral("tableWidget"))->item(1, 1)->text().size() < 300);
         t.click("saveButton");
         t.click("saveButton");
     },
     {"Are you sure Save?", "Save file successfully."},
     {ctrlDir + "programMapping.xml", localDir + "programMapping.xml", flash},
     [](T &t) { QVERIFY(t.ctrl(map).contains("num=\"2\" name=\"" + QByteArray(900000, 'M') + "\"")); }},
};

ROAD_TEST_MAIN(roads)
