#include "plugin/factories.h"

#include "basezedoveduddata.h"

#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovefiles.h"
#include "zuzerarovelibapi.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

using sim::CallLog;
using sim::MsgBoxHooks;

using Entries = QList<QPair<int, QString>>;
using Cells = QMap<int, QString>; // program number -> name shown

// The program mapping page and its use of the remote program chooser.
class tst_prograMapWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fillFromMap_data();
    void fillFromMap();
    void viewModeCoversCells();
    void chooserAssigns_data();
    void chooserAssigns();
    void duplicateRefusedChooserStaysOpen();
    void save_data();
    void save();
    void back_data();
    void back();
    void resetAndEmptyKeepMode_data();
    void resetAndEmptyKeepMode();
    void retranslateKeepsMode();

private:
    bool openPage(const Entries &entries);
    bool reachedLoad(int loadsBefore) const;
    static QByteArray mapXml(const Entries &entries);
    Cells cells() const;
    QTableWidget *table() const { return f.screen()->find<QTableWidget>(QStringLiteral("tableWidget")); }
    QPushButton *key(const char *name) const { return f.screen()->find<QPushButton>(QString::fromLatin1(name)); }
    bool inEditMode() const
    {
        return key("saveButton")->text() == QLatin1String("Save")
            && f.screen()->find<QLabel>(QStringLiteral("editLabel"))->isHidden();
    }
    // Clicks the name cell of program number n and, in the chooser that opens, picks path and
    // presses Select; then Cancel if the chooser is still open.
    void choose(int number, const QString &path);
    QString local() const { return f.env().localDir() + QStringLiteral("/programMapping.xml"); }

    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
};

static const QString &ctrlMap = ctrlfiles::programMap;

void tst_prograMapWidget::init()
{
    f.setUp();
    sim::Controller::instance().setListing(QStringLiteral("/RPL/"),
        {"/RPL/A.XPL,1,d", "/RPL/B.XPL,1,d", "/RPL/SUB/", "/RPL/SUB/B.XPL,1,d", "/RPL/c.xpl,1,d"});
}

void tst_prograMapWidget::cleanup()
{
    QVERIFY(f.tearDown());
}

QByteArray tst_prograMapWidget::mapXml(const Entries &entries)
{
    QByteArray xml = "<ProgramMapping>\n";
    for (const auto &e : entries)
        xml += QStringLiteral("<Program num=\"%1\" name=\"%2\"/>\n").arg(e.first).arg(e.second.toHtmlEscaped()).toUtf8();
    return xml + "</ProgramMapping>\n";
}

bool tst_prograMapWidget::reachedLoad(int loadsBefore) const
{
    auto loads = [] { return CallLog::instance().entriesOf({QStringLiteral("getFileFromCtrl")}).filter(ctrlMap).size(); };
    return QTest::qWaitFor([&] { return loads() > loadsBefore; }, 2000);
}

bool tst_prograMapWidget::openPage(const Entries &entries)
{
    f.env().writeControllerFile(ctrlMap, mapXml(entries));
    if (!f.start(0, {QStringLiteral("A.XPL")}))
        return false;
    key("prograMapBtn")->click();
    // The page loads the map 50 ms after it is made.
    const bool loaded = reachedLoad(0);
    CallLog::instance().clear();
    return loaded && f.pageName() == QLatin1String("prograMapWidget");
}

Cells tst_prograMapWidget::cells() const
{
    Cells shown;
    for (int r = 0; r < table()->rowCount(); ++r)
        if (!table()->item(r, 1)->text().isEmpty())
            shown.insert(r + 1, table()->item(r, 1)->text());
    return shown;
}

void tst_prograMapWidget::choose(int number, const QString &path)
{
    QTableWidgetItem *item = table()->item(number - 1, 1);
    table()->scrollToItem(item);
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, table()->visualItemRect(item).center());
    // The click queued the chooser; this runs once it is open.
    bool done = false;
    QTimer::singleShot(0, this, [path, &done] {
        QWidget *chooser = QApplication::activeModalWidget();
        done = true;
        QVERIFY(chooser);
        auto *tree = chooser->findChild<QTreeWidget *>(QStringLiteral("rplRemoteFiles"));
        tree->setCurrentItem(itemAt(tree, path));
        chooser->findChild<QPushButton *>(QStringLiteral("btnSelect"))->click();
        if (chooser->isVisible())
            chooser->findChild<QPushButton *>(QStringLiteral("btnCancle"))->click();
    });
    QTRY_VERIFY(done);
}

static const QString versionNotice = QStringLiteral(
    "Version update, please confirm whether the '0' program mapping number was configured before! \n"
    "If yes, change the '0' program mapping number to another unconfigured program number.");

void tst_prograMapWidget::fillFromMap_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<Cells>("shown");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("names in display form")
        << Entries{{1, "/RPL/MAIN.XPL"}, {3, "/RPL/SUB/B.XPL"}, {4, "PLAIN.XPL"}, {5, "DIR/C.XPL"}, {512, "Z.XPL"}}
        << Cells{{1, "MAIN.XPL"}, {3, "SUB/B.XPL"}, {4, "PLAIN.XPL"}, {5, "C.XPL"}, {512, "Z.XPL"}} << QStringList{};
    QTest::newRow("first entry numbered 0") << Entries{{0, "X.XPL"}, {2, "A.XPL"}} << Cells{{2, "A.XPL"}}
                                           << QStringList{versionNotice};
}

void tst_prograMapWidget::fillFromMap()
{
    QFETCH(Entries, entries);
    QFETCH(Cells, shown);
    QFETCH(QStringList, boxes);
    QVERIFY(openPage(entries));
    QCOMPARE(table()->rowCount(), 512);
    QCOMPARE(table()->item(511, 0)->text(), QStringLiteral("512"));
    QCOMPARE(cells(), shown);
    QCOMPARE(boxTexts(), boxes);
    for (const sim::MsgBoxRecord &r : MsgBoxHooks::records())
        QVERIFY(r.kind == 0 && r.buttons == 1);
    QVERIFY(!inEditMode());
}


void tst_prograMapWidget::viewModeCoversCells()
{
    QVERIFY(openPage({{1, "A.XPL"}}));
    auto *group = f.screen()->find<QGroupBox>(QStringLiteral("groupBox"));
    QWidget *label = f.screen()->find<QLabel>(QStringLiteral("editLabel"));
    const QPoint cell = table()->viewport()->mapTo(group, table()->visualItemRect(table()->item(0, 1)).center());
    const QPoint scrollBar = table()->verticalScrollBar()->mapTo(group, table()->verticalScrollBar()->rect().center());
    QCOMPARE(group->childAt(cell), label);
    QVERIFY(table()->verticalScrollBar()->isAncestorOf(group->childAt(scrollBar))
            || group->childAt(scrollBar) == table()->verticalScrollBar());
    key("saveButton")->click();
    QVERIFY(inEditMode());
    QCOMPARE(group->childAt(cell), table()->viewport());
    QVERIFY(MsgBoxHooks::records().isEmpty());
}

void tst_prograMapWidget::chooserAssigns_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<Cells>("shown");
    QTest::newRow("program in a sub-directory") << 3 << "SUB/B.XPL" << Cells{{1, "A.XPL"}, {2, "B.XPL"}, {3, "SUB/B.XPL"}};
    QTest::newRow("Unselected! clears the row") << 2 << "Unselected!" << Cells{{1, "A.XPL"}};
    QTest::newRow("a directory clears the row") << 2 << "SUB" << Cells{{1, "A.XPL"}};
}

void tst_prograMapWidget::chooserAssigns()
{
    QFETCH(int, number);
    QFETCH(QString, pick);
    QFETCH(Cells, shown);
    QVERIFY(openPage({{1, "A.XPL"}, {2, "B.XPL"}}));
    key("saveButton")->click();
    MsgBoxHooks::clearRecords();
    choose(number, pick);
    QCOMPARE(cells(), shown);
    QCOMPARE(boxTexts(), QStringList());
    // Nothing is saved until Save.
    QVERIFY(CallLog::instance().entriesOf({"writePrograMapFile"}).isEmpty());
    QVERIFY(inEditMode());
}

void tst_prograMapWidget::duplicateRefusedChooserStaysOpen()
{
    QVERIFY(openPage({{1, "A.XPL"}, {2, "SUB/B.XPL"}}));
    key("saveButton")->click();
    bool openAfterRefusal = false;
    MsgBoxHooks::setResponder([&](const sim::MsgBoxRecord &) -> int {
        openAfterRefusal = QApplication::activeModalWidget() != nullptr;
        return 1;
    });
    choose(3, QStringLiteral("A.XPL"));
    QCOMPARE(boxTexts(), QStringList{"Program mapping information is duplicated, adding failed!"});
    QCOMPARE(MsgBoxHooks::records()[0].kind, 2);
    QVERIFY(openAfterRefusal);
    QCOMPARE(cells(), (Cells{{1, "A.XPL"}, {2, "B.XPL"}}));
}

void tst_prograMapWidget::save_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");
    const QString ask = QStringLiteral("MsgBox(0, Are you sure Save?, 3, true)");
    QTest::newRow("saved") << 1
        << QStringList{ask, "writePrograMapFile(%L)", "sendFileToCtrl(%L, %C)", "setUpdateProgramMapConfig()",
                       "delay_MSec(16)", "MsgBox(0, Save file successfully., 1, true)"};
    QTest::newRow("declined") << 0 << QStringList{ask};
}

void tst_prograMapWidget::save()
{
    QFETCH(int, answer);
    QFETCH(QStringList, calls);
    QVERIFY(openPage({{1, "A.XPL"}, {600, "FAR.XPL"}}));
    key("saveButton")->click();
    choose(10, QStringLiteral("SUB/B.XPL"));
    choose(3, QStringLiteral("B.XPL"));
    choose(1, QStringLiteral("Unselected!"));
    const QByteArray controllerCopy = f.env().controllerFile(ctrlMap);
    CallLog::instance().clear();
    MsgBoxHooks::answerAll(answer);
    key("saveButton")->click();

    for (QString &c : calls)
        c.replace(QStringLiteral("%L"), local()).replace(QStringLiteral("%C"), ctrlMap);
    QCOMPARE(CallLog::instance().entriesOf({"MsgBox", "writePrograMapFile", "sendFileToCtrl",
                                             "setUpdateProgramMapConfig", "delay_MSec"}), calls);
    const bool saved = answer == 1;
    QCOMPARE(inEditMode(), !saved);
    QCOMPARE(f.env().controllerFile(ctrlMap) != controllerCopy, saved);
    // The number the table cannot show first, then the rows with names in row order.
    QStringList maps;
    for (const ProgramMapData &entry : ZuzEraroveLibApi::getInstance()->programMaps)
        maps << QStringLiteral("%1 %2").arg(entry.programNum).arg(entry.programName);
    QCOMPARE(maps, saved ? (QStringList{"600 FAR.XPL", "3 B.XPL", "10 SUB/B.XPL"})
                         : (QStringList{"1 A.XPL", "600 FAR.XPL"}));
}

void tst_prograMapWidget::back_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("left");
    QTest::addColumn<Cells>("shown");
    const QString ask = QStringLiteral("Do you want to exit the current page modification?");
    QTest::newRow("view mode") << false << 1 << QStringList{} << true << Cells{{1, "A.XPL"}};
    QTest::newRow("edit mode, declined") << true << 0 << QStringList{ask} << false << Cells{{1, "A.XPL"}, {2, "B.XPL"}};
    QTest::newRow("edit mode, confirmed") << true << 1 << QStringList{ask} << true << Cells{{1, "A.XPL"}};
}

void tst_prograMapWidget::back()
{
    QFETCH(bool, edit);
    QFETCH(int, answer);
    QFETCH(QStringList, boxes);
    QFETCH(bool, left);
    QFETCH(Cells, shown);
    QVERIFY(openPage({{1, "A.XPL"}}));
    if (edit) {
        key("saveButton")->click();
        choose(2, QStringLiteral("B.XPL"));
    }
    CallLog::instance().clear();
    MsgBoxHooks::clearRecords();
    MsgBoxHooks::answerAll(answer);
    key("backBtn")->click();
    QCOMPARE(boxTexts(), boxes);
    QCOMPARE(f.pageName(), left ? QStringLiteral("ZuzEraroveMainPage") : QStringLiteral("prograMapWidget"));
    QCOMPARE(cells(), shown);
    QCOMPARE(inEditMode(), edit && !left);
    // Only the confirmed drop of edits reloads the map.
    QCOMPARE(CallLog::instance().entriesOf({"getFileFromCtrl"}).size(), edit && left ? 1 : 0);
}

void tst_prograMapWidget::resetAndEmptyKeepMode_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QByteArray>("keyName");
    QTest::addColumn<int>("answer");
    QTest::addColumn<Cells>("shown");
    QTest::newRow("reset in edit mode") << true << QByteArray("resetBtn") << 1 << Cells{{1, "A.XPL"}};
    QTest::newRow("reset declined") << true << QByteArray("resetBtn") << 0 << Cells{{1, "A.XPL"}, {2, "B.XPL"}};
    QTest::newRow("empty in view mode") << false << QByteArray("emptyBtn") << 1 << Cells{};
    QTest::newRow("empty declined") << true << QByteArray("emptyBtn") << 0 << Cells{{1, "A.XPL"}, {2, "B.XPL"}};
}

void tst_prograMapWidget::resetAndEmptyKeepMode()
{
    QFETCH(bool, edit);
    QFETCH(QByteArray, keyName);
    QFETCH(int, answer);
    QFETCH(Cells, shown);
    QVERIFY(openPage({{1, "A.XPL"}}));
    if (edit) {
        key("saveButton")->click();
        choose(2, QStringLiteral("B.XPL"));
    }
    MsgBoxHooks::clearRecords();
    MsgBoxHooks::answerAll(answer);
    key(keyName.constData())->click();
    QCOMPARE(boxTexts().size(), 1);
    QCOMPARE(cells(), shown);
    QCOMPARE(inEditMode(), edit);
    QVERIFY(CallLog::instance().entriesOf({"writePrograMapFile", "sendFileToCtrl"}).isEmpty());
}

void tst_prograMapWidget::retranslateKeepsMode()
{
    QVERIFY(openPage({{1, "A.XPL"}}));
    key("saveButton")->click();
    // The host makes another widget on the same data object: the pages' texts are set again.
    QCOMPARE(f.screen()->data()->createCustomWidget(), f.screen()->stack());
    QVERIFY(inEditMode());
    QCOMPARE(table()->horizontalHeaderItem(1)->text(), QStringLiteral("ProgramName"));
    QCOMPARE(key("emptyBtn")->text(), QStringLiteral("empty"));
}

QTEST_MAIN(tst_prograMapWidget)
#include "tst_programapwidget.moc"
