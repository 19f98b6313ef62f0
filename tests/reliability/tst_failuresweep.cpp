#include "roads.h"

#include "debugcapture.h"
#include "fileedit.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

using sim::Controller;
using sim::Fault;
using sim::Reservation;
using namespace roadpaths;

namespace {

const QString mapFile = localDir + QStringLiteral("programMapping.xml");
// What a road saw that the checks afterwards look at: debug lines, an item count.
QStringList seen;

ZuzEraroveLibApi *api()
{
    return ZuzEraroveLibApi::getInstance();
}

QString keyText(RoadRunner &t, const char *name)
{
    return t.f.find<QPushButton>(QString::fromLatin1(name))->text();
}

QString mapCell(RoadRunner &t)
{
    return t.f.find<QTableWidget>(QStringLiteral("tableWidget"))->item(0, 1)->text();
}

void fault(Fault which, const QString &pathPart = QString())
{
    Controller::instance().setFault(which, true, pathPart);
}

void openChooser()
{
    FileEdit chooser;
    chooser.show();
    seen = QStringList{QString::number(chooser.findChild<QTreeWidget *>()->topLevelItemCount())};
}

} // namespace

using T = RoadRunner;

// Every failure of every page: the exact messages shown (or none), what the page shows
// afterwards, what the service holds, and no file changed but those the road may change.
static const Road failures[] = {
    // The monitor's start-up and its start/stop command.
    {"monitor: configuration fetch fails", [](T &) { fault(Fault::Fetch, config); }, nullptr,
     {"Failed to get file."}, {},
     [](T &t) {
         QCOMPARE(t.f.find<QTableWidget>(QStringLiteral("zuzeraroveMonitoeTW"))->rowCount(), 4);
         QCOMPARE(api()->resvData.signalMode, 0);
     }},
    {"monitor: configuration read fails", [](T &) { fault(Fault::Read, QStringLiteral("zuzeraroveconfig")); }, nullptr,
     {"Failed to read file."}, {}, nullptr},
    {"monitor: controller not connected", [](T &) { Controller::instance().setConnected(false); }, nullptr,
     {"Failed to get file."}, {},
     [](T &t) { QCOMPARE(t.f.find<QTableWidget>(QStringLiteral("zuzeraroveMonitoeTW"))->item(0, 1)->text(), QStringLiteral("Null")); }},
    {"monitor: start, local write fails", nullptr,
     [](T &t) { fault(Fault::Write); t.click("runOrStopButton"); },
     {"Failed to save file."}, {},
     [](T &) { QCOMPARE(api()->resvData.runState, 0); QVERIFY(!Reservation::instance().isStarted()); }},
    {"monitor: start, send fails", nullptr,
     [](T &t) { fault(Fault::Send); t.click("runOrStopButton"); },
     {"Failed to send file."}, {localDir + "zuzeraroveconfig.xml"},
     [](T &) { QCOMPARE(api()->resvData.runState, 0); QVERIFY(!Reservation::instance().isStarted()); }},
    {"monitor: start, controller gone", nullptr,
     [](T &t) { Controller::instance().setConnected(false); t.click("runOrStopButton"); },
     {"Failed to send file."}, {localDir + "zuzeraroveconfig.xml"},
     [](T &) { QVERIFY(!Reservation::instance().isStarted()); }},

    // The settings page's save.
    {"settings: local write fails", nullptr,
     [](T &t) {
         t.click("settingButton");
         t.combo("protocolCB")->setCurrentIndex(5);
         fault(Fault::Write);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to write file."}, {},
     [](T &t) {
         QCOMPARE(api()->resvDataSaved.protocol, 2);
         QCOMPARE(Reservation::instance().protocol(), 2);
         QCOMPARE(t.f.pageName(), QStringLiteral("ZuzEraroveSetting"));
     }},
    {"settings: send fails", nullptr,
     [](T &t) {
         t.click("settingButton");
         t.combo("modeCB")->setCurrentIndex(0);
         fault(Fault::Send);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to send file."}, {localDir + "zuzeraroveconfig.xml"},
     [](T &) { QCOMPARE(api()->resvDataSaved.signalMode, 1); QCOMPARE(Reservation::instance().signalMode(), 1); }},
    {"settings: controller gone", nullptr,
     [](T &t) {
         t.click("settingButton");
         Controller::instance().setConnected(false);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to send file."}, {localDir + "zuzeraroveconfig.xml"}, nullptr},

    // The soft-PLC page.
    {"soft-PLC: configuration fetch fails", [](T &) { fault(Fault::Fetch, plcConfig); },
     [](T &t) { t.click("softPlcButton"); },
     {}, {localDir + "xpl.cfg"},
     [](T &t) { QCOMPARE(t.combo("comboBoxModePlc1")->currentIndex(), 0); }},
    {"soft-PLC: environment list fetch fails", [](T &) { fault(Fault::Fetch, QStringLiteral("xpl.cfg")); },
     [](T &t) {
         sim::DebugCapture debug;
         t.click("softPlcButton");
         seen = debug.lines();
     },
     {}, {localDir + "softplcconfig.xml"},
     [](T &t) {
         QVERIFY(t.rowVisible("frame_3") && t.rowVisible("frame_4"));
         QVERIFY(!t.rowVisible("framePlc3") && !t.rowVisible("framePlc4"));
         QVERIFY(seen.contains(QStringLiteral("DataAccess::GetFileFromController2TPU failed")));
     }},
    {"soft-PLC: local write fails", nullptr,
     [](T &t) {
         t.click("softPlcButton");
         const QString local = t.f.env().localDir() + QStringLiteral("/softplcconfig.xml");
         QFile::remove(local);
         QDir().mkpath(local);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to write file."}, {localDir},
     [](T &) { QVERIFY(!Reservation::instance().autoStart(0)); }},
    {"soft-PLC: send fails", nullptr,
     [](T &t) {
         t.click("softPlcButton");
         fault(Fault::Send);
         t.combo("comboBoxModePlc2")->setCurrentIndex(1);
         t.click("saveButton");
     },
     {"Are you sure to save it?", "Failed to send file."}, {localDir},
     [](T &t) {
         QVERIFY(!Reservation::instance().autoStart(1));
         QVERIFY(t.local(QStringLiteral("softplcconfig.xml")).contains("<mode>1</mode>\n\t\t\t<ProgName>/RPL/</ProgName>"));
     }},
    {"soft-PLC: controller not connected", nullptr,
     [](T &t) { Controller::instance().setConnected(false); t.click("softPlcButton"); },
     {}, {},
     [](T &t) {
         QCOMPARE(t.f.pageName(), QStringLiteral("SoftPlcFun"));
         QVERIFY(t.rowVisible("frame_3") && t.rowVisible("frame_4") && !t.rowVisible("framePlc3"));
     }},

    // The program map page.
    {"map: download fails", [](T &) { fault(Fault::Fetch, QStringLiteral("programMapping")); },
     [](T &t) { t.openMap(); },
     {"Failed to get /application/zuzerarove/programMapping.xml file form Ctrl."}, {flash},
     [](T &t) { QCOMPARE(mapCell(t), QString()); }},
    {"map: read fails", [](T &) { fault(Fault::Read, QStringLiteral("programMapping")); },
     [](T &t) { t.openMap(); },
     {"Failed to read %L/programMapping.xml file."}, {flash, mapFile},
     [](T &t) { QCOMPARE(mapCell(t), QString()); }},
    {"map: local write fails", nullptr,
     [](T &t) {
         t.editMap();
         t.click("emptyBtn");
         fault(Fault::Write);
         t.click("saveButton");
     },
     {"Are you sure you want to clear the list?", "Are you sure Save?", "Failed write %L/programMapping.xml file."},
     {flash, mapFile},
     [](T &t) { QCOMPARE(keyText(t, "saveButton"), QStringLiteral("Save")); QVERIFY(api()->programMaps.isEmpty()); }},
    {"map: send fails", nullptr,
     [](T &t) {
         t.editMap();
         fault(Fault::Send);
         t.click("saveButton");
     },
     {"Are you sure Save?", "Failed send %L/programMapping.xml file to Ctrl."}, {flash, mapFile},
     [](T &t) { QCOMPARE(keyText(t, "saveButton"), QStringLiteral("Edit")); }},
    {"map: controller not connected", nullptr,
     [](T &t) { Controller::instance().setConnected(false); t.openMap(); },
     {"Failed to get /application/zuzerarove/programMapping.xml file form Ctrl."}, {flash},
     [](T &t) { QCOMPARE(t.f.pageName(), QStringLiteral("prograMapWidget")); }},

    // The program chooser keeps "Unselected!" when the listing fails, and its last tree when
    // the controller is away.
    {"chooser: listing fails", nullptr, [](T &) { fault(Fault::Listing); openChooser(); },
     {}, {flash}, [](T &) { QCOMPARE(seen, QStringList{"1"}); }},
    {"chooser: controller not connected", nullptr,
     [](T &) { Controller::instance().setConnected(false); openChooser(); },
     {}, {flash}, [](T &) { QCOMPARE(seen, QStringList{"0"}); }},
};

ROAD_TEST_MAIN(failures)
