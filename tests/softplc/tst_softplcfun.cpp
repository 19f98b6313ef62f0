#include "plugin/factories.h"
#include "softplc/softplcfun.h"

#include "core/softplcconfig.h"
#include "xmloutline.h"

#include "debugcapture.h"
#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using sim::CallLog;
using sim::MsgBoxHooks;

// The soft-PLC page and its two files.
class tst_SoftPlcFun : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writtenDocumentMatchesGolden();
    void environmentList();
    void save_data();
    void save();
    void restoreAndReturn();
    void followsServiceFlagsWhileShown();
    void unchangedSaveWritesWhatWasRead();
    void fileOverOneMebibyteIsNotRead();

private:
    // Opens the screen and goes to the soft-PLC page.
    SoftPlcFun *openPage();
    QComboBox *box(const QString &name) const { return f.screen()->find<QComboBox>(name); }
    QString localFile(const QString &name) const { return f.env().localDir() + QLatin1Char('/') + name; }
    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The four entries as a file holds them: "mode|name" each; none when it does not read.
    static QStringList entriesIn(const QString &path);
    QList<bool> visibleRows() const;

    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
};

static const QString &ctrlConfig = ctrlfiles::softPlc;

void tst_SoftPlcFun::init()
{
    f.setUp();
    f.env().writeControllerFile(QStringLiteral("/xpl/xpl.cfg"),
                                "<XplConfiguration><EnvironmentList>"
                                "<Environment><Name>softplc1</Name></Environment>"
                                "<Environment><Name>softplc2</Name></Environment>"
                                "</EnvironmentList></XplConfiguration>");
}

void tst_SoftPlcFun::cleanup()
{
    QVERIFY(f.tearDown());
}

SoftPlcFun *tst_SoftPlcFun::openPage()
{
    if (!f.start(0, {QStringLiteral("A.XPL")}))
        return nullptr;
    f.screen()->find<QPushButton>(QStringLiteral("softPlcButton"))->click();
    auto *page = qobject_cast<SoftPlcFun *>(f.currentPage());
    CallLog::instance().clear();
    MsgBoxHooks::clearRecords();
    return page;
}

QStringList tst_SoftPlcFun::entriesIn(const QString &path)
{
    SoftPlcConfig config;
    if (!config.read(readFile(path)))
        return {};
    QStringList entries;
    for (int i = 0; i < SoftPlcConfig::count; ++i)
        entries << QStringLiteral("%1|%2").arg(config.mode[i]).arg(config.progName[i]);
    return entries;
}

QList<bool> tst_SoftPlcFun::visibleRows() const
{
    QList<bool> rows;
    for (const char *name : {"frame_3", "frame_4", "framePlc3", "framePlc4"})
        rows << !f.screen()->find<QFrame>(QString::fromLatin1(name))->isHidden();
    return rows;
}

static QByteArray withoutDate(QByteArray document)
{
    return QString::fromUtf8(document)
        .replace(QRegularExpression(QStringLiteral("\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}")), QStringLiteral("DATE"))
        .toUtf8();
}

void tst_SoftPlcFun::writtenDocumentMatchesGolden()
{
    sim::Reservation::instance().setProgramNames({QStringLiteral("P0"), QStringLiteral("P1")});
    QVERIFY(openPage());
    box("comboBoxModePlc1")->setCurrentIndex(1);
    box("comboBoxProgName1")->setCurrentIndex(2);
    box("comboBoxModePlc2")->setCurrentIndex(0);
    box("comboBoxProgName2")->setCurrentIndex(-1);
    box("comboBoxModePlc3")->setCurrentIndex(0);
    box("comboBoxProgName3")->setCurrentIndex(0);
    box("comboBoxModePlc4")->setCurrentIndex(-1);
    box("comboBoxProgName4")->setCurrentIndex(-1);
    f.screen()->find<QPushButton>(QStringLiteral("saveButton"))->click();

    const QByteArray written = readFile(localFile(QStringLiteral("softplcconfig.xml")));
    QVERIFY(QRegularExpression(QStringLiteral("^<\\?xml[^\\n]*\\n<!-- Date\\(ymd\\)/time\\(hms\\) \\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2} -->\\n"))
                .match(QString::fromUtf8(written)).hasMatch());
    QCOMPARE(withoutDate(written), withoutDate(readFile(QStringLiteral(GOLDEN_DIR "/softplcconfig.xml"))));
    QCOMPARE(f.env().controllerFile(ctrlConfig), written);
}

void tst_SoftPlcFun::environmentList()
{
    // The rows of the soft-PLCs the controller's environment list names.
    f.env().writeControllerFile(QStringLiteral("/xpl/xpl.cfg"),
                                "<XplConfiguration><EnvironmentList><E><Name>softplc1</Name></E>"
                                "<E><Name>SOFTPLC3</Name></E></EnvironmentList></XplConfiguration>");
    sim::DebugCapture debug;
    QVERIFY(openPage());
    QCOMPARE(visibleRows(), (QList<bool>{true, false, true, false}));
    QVERIFY(debug.lines().isEmpty());
}

void tst_SoftPlcFun::save_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");
    const QString confirm = QStringLiteral("MsgBox(0, Are you sure to save it?, 3, true)");
    const QString send = QStringLiteral("DataAccess::SendFileFromTPU2Controller(%L, %C, false)");
    QTest::newRow("saved") << 1
        << QStringList{confirm, send, "setAutoStartPLc(0, false)", "setAutoStartPLc(1, true)",
                       "setAutoStartPLc(2, false)", "setAutoStartPLc(3, true)", "MsgBox(0, Save successfully., 1, true)"};
    QTest::newRow("declined") << 0 << QStringList{confirm};
}

void tst_SoftPlcFun::save()
{
    QFETCH(int, answer);
    QFETCH(QStringList, calls);
    // Only softplc1 exists; all four entries are saved and handed over all the same.
    f.env().writeControllerFile(QStringLiteral("/xpl/xpl.cfg"),
                                "<XplConfiguration><EnvironmentList><E><Name>softplc1</Name></E>"
                                "</EnvironmentList></XplConfiguration>");
    SoftPlcFun *page = openPage();
    QVERIFY(page);
    const QString local = localFile(QStringLiteral("softplcconfig.xml"));
    box("comboBoxModePlc2")->setCurrentIndex(1);
    box("comboBoxModePlc4")->setCurrentIndex(1);
    MsgBoxHooks::answerAll(answer);
    f.screen()->find<QPushButton>(QStringLiteral("saveButton"))->click();

    for (QString &c : calls)
        c.replace(QStringLiteral("%L"), local).replace(QStringLiteral("%C"), ctrlConfig);
    QCOMPARE(CallLog::instance().entriesOf({"MsgBox", "DataAccess::SendFileFromTPU2Controller", "setAutoStartPLc"}), calls);
    const bool saved = answer == 1;
    QCOMPARE(sim::Reservation::instance().autoStart(1), saved);
    QCOMPARE(f.env().controllerFileExists(ctrlConfig), saved);
    // The entries took the boxes' values once the operator confirmed.
    QCOMPARE(entriesIn(local), saved ? (QStringList{"0|", "1|", "0|", "1|"}) : QStringList());
}

void tst_SoftPlcFun::restoreAndReturn()
{
    f.env().writeControllerFile(ctrlConfig, "<SoftPlcConfig><PlcData>"
                                            "<PlcInfo><mode>1</mode><ProgName>/RPL/B.XPL</ProgName></PlcInfo>"
                                            "<PlcInfo><mode>0</mode><ProgName>/RPL/</ProgName></PlcInfo>"
                                            "</PlcData></SoftPlcConfig>");
    QVERIFY(openPage());
    QCOMPARE(box("comboBoxModePlc1")->currentIndex(), 1);
    QCOMPARE(box("comboBoxProgName1")->currentText(), QStringLiteral("B.XPL"));
    QCOMPARE(box("comboBoxProgName2")->currentIndex(), -1);

    box("comboBoxModePlc1")->setCurrentIndex(0);
    f.screen()->find<QPushButton>(QStringLiteral("resetButton"))->click();
    QCOMPARE(box("comboBoxModePlc1")->currentIndex(), 1);
    QVERIFY(MsgBoxHooks::records().isEmpty());

    box("comboBoxModePlc1")->setCurrentIndex(0);
    f.screen()->find<QPushButton>(QStringLiteral("returnButton"))->click();
    QCOMPARE(f.currentPage()->objectName(), QStringLiteral("ZuzEraroveMainPage"));
    f.screen()->find<QPushButton>(QStringLiteral("softPlcButton"))->click();
    QCOMPARE(box("comboBoxModePlc1")->currentIndex(), 1);
    // Neither restore nor return fetched the file again.
    QVERIFY(CallLog::instance().entriesOf({"DataAccess::GetFileFromController2TPU"}).filter(ctrlConfig).isEmpty());
}

void tst_SoftPlcFun::followsServiceFlagsWhileShown()
{
    f.env().writeControllerFile(ctrlConfig, "<SoftPlcConfig><PlcData>"
                                            "<PlcInfo><mode>0</mode></PlcInfo><PlcInfo><mode>0</mode></PlcInfo>"
                                            "<PlcInfo><mode>7</mode></PlcInfo><PlcInfo><mode>1</mode></PlcInfo>"
                                            "</PlcData></SoftPlcConfig>");
    QVERIFY(openPage());
    sim::Reservation &resv = sim::Reservation::instance();
    resv.setAutoStart(1, true);
    resv.setAutoStart(3, true);
    f.screen()->idle();
    QCOMPARE(box("comboBoxModePlc2")->currentIndex(), 1);
    QCOMPARE(box("comboBoxModePlc3")->currentIndex(), -1);
    QCOMPARE(box("comboBoxModePlc4")->currentIndex(), 1);

    resv.setAutoStart(1, false);
    resv.setAutoStart(2, true);
    // A box the operator changed stays as it is while entry and service agree.
    box("comboBoxModePlc1")->setCurrentIndex(1);
    f.screen()->idle();
    QCOMPARE(box("comboBoxModePlc1")->currentIndex(), 1);
    QCOMPARE(box("comboBoxModePlc2")->currentIndex(), 0);
    QCOMPARE(box("comboBoxModePlc3")->currentIndex(), 1);
    QVERIFY(CallLog::instance().entriesOf({"DataAccess::SendFileFromTPU2Controller"}).isEmpty());

    // Hidden, the page is not refreshed.
    f.screen()->find<QPushButton>(QStringLiteral("returnButton"))->click();
    resv.setAutoStart(0, true);
    f.screen()->idle();
    QCOMPARE(box("comboBoxModePlc1")->currentIndex(), 1);
    QVERIFY(CallLog::instance().entriesOf({"getAutoStartPLc"}).filter(QStringLiteral("(0)")).size() <= 2);
}

void tst_SoftPlcFun::unchangedSaveWritesWhatWasRead()
{
    // A mode the boxes cannot show, a program the service does not list, a name with "&", invalid
    // bytes, entries past the fourth and parts the page does not know go back as they were read.
    const QByteArray read = "<SoftPlcConfig><PlcData>"
                            "<PlcInfo id=\"1\"><mode>5</mode><ProgName>/RPL/GONE.XPL</ProgName></PlcInfo>"
                            "<PlcInfo id=\"2\"><mode>1</mode><ProgName>/RPL/R&amp;D \xff.XPL</ProgName><Note>x</Note></PlcInfo>"
                            "<PlcInfo id=\"3\"><mode>-2</mode></PlcInfo><PlcInfo id=\"4\"/>"
                            "<PlcInfo id=\"5\"><mode>1</mode></PlcInfo></PlcData></SoftPlcConfig>";
    f.env().writeControllerFile(ctrlConfig, read);
    QVERIFY(openPage());
    QCOMPARE(box(QStringLiteral("comboBoxModePlc1"))->currentIndex(), -1);
    f.screen()->find<QPushButton>(QStringLiteral("saveButton"))->click();
    QVERIFY(waitForCall(QStringLiteral("setAutoStartPLc")));
    const QByteArray written = f.env().controllerFile(ctrlConfig);
    const unsigned int readerOptions = pugi::parse_pi | pugi::parse_escapes;
    QCOMPARE(xmlOutline(written, readerOptions), xmlOutline(read, readerOptions));
    QVERIFY(written.contains("/RPL/R&amp;D \xff.XPL"));
}

void tst_SoftPlcFun::fileOverOneMebibyteIsNotRead()
{
    // Well formed, but past the size of any file the screen reads: it counts as not read, and a
    // save writes nothing over it.
    const QByteArray big = "<SoftPlcConfig><!--" + QByteArray(1 << 20, 'x') + "--><PlcData>"
                           "<PlcInfo id=\"1\"><mode>1</mode><ProgName>/RPL/A.XPL</ProgName></PlcInfo>"
                           "</PlcData></SoftPlcConfig>";
    f.env().writeControllerFile(ctrlConfig, big);
    QVERIFY(openPage());
    MsgBoxHooks::answerAll(1);
    f.screen()->find<QPushButton>(QStringLiteral("saveButton"))->click();
    QStringList texts;
    for (const sim::MsgBoxRecord &record : MsgBoxHooks::records())
        texts << record.text;
    QVERIFY2(texts.contains(QStringLiteral("The soft-PLC settings could not be read from the controller, so nothing was saved.")),
             qPrintable(texts.join(QStringLiteral(" | "))));
    QCOMPARE(f.env().controllerFile(ctrlConfig), big);
}

QTEST_MAIN(tst_SoftPlcFun)
#include "tst_softplcfun.moc"
