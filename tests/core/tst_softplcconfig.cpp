#include "treefiles/rawtext.h"
#include "core/softplcconfig.h"
#include "xmloutline.h"

#include <QDateTime>
#include <QtTest>

// softplcconfig.xml: what the reader takes, and that a write changes only what was edited.
class tst_SoftPlcConfig : public QObject
{
    Q_OBJECT
private slots:
    void readerCases_data();
    void readerCases();
    void unchangedWriteKeepsTheDocument_data();
    void unchangedWriteKeepsTheDocument();
    void editReplacesOnlyItsValue_data();
    void editReplacesOnlyItsValue();
    void editChangesOnlyItsEntry_data();
    void editChangesOnlyItsEntry();
    void environmentList_data();
    void environmentList();
};

namespace {

QByteArray doc(const QByteArray &infos)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Date(ymd)/time(hms) 2026/01/01 00:00:00 -->\n"
           "<SoftPlcConfig>\n\t<PlcData>\n" + infos + "\t</PlcData>\n</SoftPlcConfig>\n";
}

QByteArray info(const QByteArray &id, const QByteArray &mode, const QByteArray &name)
{
    QByteArray x = "\t\t<PlcInfo id=\"" + id + "\">\n";
    if (!mode.isNull())
        x += "\t\t\t<mode>" + mode + "</mode>\n";
    if (!name.isNull())
        x += "\t\t\t<ProgName>" + name + "</ProgName>\n";
    return x + "\t\t</PlcInfo>\n";
}

QStringList entries(const SoftPlcConfig &c)
{
    QStringList out;
    for (int i = 0; i < SoftPlcConfig::count; ++i)
        out << QStringLiteral("%1|%2").arg(c.mode[i]).arg(c.progName[i]);
    return out;
}

SoftPlcConfig known()
{
    SoftPlcConfig c;
    c.mode = {1, 1, 1, 1};
    c.progName = {QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("K3"), QStringLiteral("K4")};
    return c;
}

const QDateTime stamp(QDate(2026, 12, 6), QTime(10, 0));

// The bytes without their date comment and the line end after it.
QByteArray withoutDate(QByteArray bytes)
{
    const int at = bytes.indexOf("<!-- Date(ymd)/time(hms) ");
    if (at < 0)
        return bytes;
    int end = bytes.indexOf("-->", at) + 3;
    end += bytes.mid(end, 2) == "\r\n" ? 2 : bytes.mid(end, 1) == "\n" ? 1 : 0;
    return bytes.remove(at, end - at);
}
// What the reader takes from a document.
constexpr unsigned int readOptions = pugi::parse_pi | pugi::parse_escapes;

} // namespace

void tst_SoftPlcConfig::readerCases_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QStringList>("entries");
    const QStringList before{"1|K1", "1|K2", "1|K3", "1|K4"};
    const QByteArray four = info("1", "1", "/RPL/A") + info("2", "0", "/RPL/B") + info("3", "1", "/RPL/C") + info("4", "0", "/RPL/D");
    QTest::newRow("four entries") << doc(four) << true << QStringList{"1|A", "0|B", "1|C", "0|D"};
    QTest::newRow("two entries: the rest keep their values")
        << doc(info("1", "0", "/RPL/A") + info("2", "0", "/RPL/B")) << true << QStringList{"0|A", "0|B", "1|K3", "1|K4"};
    QTest::newRow("a name in CDATA") << doc(info("1", "1", "<![CDATA[/RPL/R&D.XPL]]>")) << true
        << QStringList{"1|R&D.XPL", "1|K2", "1|K3", "1|K4"};
    QTest::newRow("no mode, no ProgName")
        << doc(info("1", QByteArray(), QByteArray()) + info("2", QByteArray(), "/RPL/B") + info("3", "1", QByteArray()))
        << true << QStringList{"0|", "0|B", "1|", "1|K4"};
    QTest::newRow("program names")
        << doc(info("1", "0", "/RPL/ABC") + info("2", "0", "ABC") + info("3", "0", "/RPL/") + info("4", "0", "/rpl/ABC"))
        << true << QStringList{"0|ABC", "0|ABC", "0|", "0|/rpl/ABC"};
    QTest::newRow("every /RPL/ removed") << doc(info("1", "0", "/RPL/SUB/RPL//RPL/X")) << true
                                        << QStringList{"0|SUBX", "1|K2", "1|K3", "1|K4"};
    QTest::newRow("processing instruction takes an entry")
        << doc(info("1", "1", "/RPL/A") + "<?marker here?>\n" + info("2", "1", "/RPL/B"))
        << true << QStringList{"1|A", "0|", "1|B", "1|K4"};
    QTest::newRow("name outside ASCII") << doc(info("1", "1", "/RPL/Schweißnaht_ä.XPL")) << true
                                        << QStringList{"1|Schweißnaht_ä.XPL", "1|K2", "1|K3", "1|K4"};
    QTest::newRow("references expanded") << doc(info("1", "1", "/RPL/R&amp;D &lt;1&gt;.XPL")) << true
                                         << QStringList{"1|R&D <1>.XPL", "1|K2", "1|K3", "1|K4"};
    QTest::newRow("instructions named like the elements")
        << QByteArray("<?SoftPlcConfig x?>\n<SoftPlcConfig><?PlcData?><PlcData><PlcInfo><?mode 0?><mode>1</mode>"
           "<?ProgName /RPL/X?><ProgName>/RPL/A</ProgName></PlcInfo></PlcData></SoftPlcConfig>")
        << true << QStringList{"1|A", "1|K2", "1|K3", "1|K4"};
    QTest::newRow("missing") << QByteArray() << false << before;
    QTest::newRow("truncated") << doc(four).left(140) << false << before;
}

void tst_SoftPlcConfig::readerCases()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, loads);
    QFETCH(QStringList, entries);
    SoftPlcConfig c = known();
    QCOMPARE(c.read(document), loads);
    QCOMPARE(::entries(c), entries);
}

void tst_SoftPlcConfig::unchangedWriteKeepsTheDocument_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::newRow("the golden form") << doc(info("1", "1", "/RPL/P1") + info("2", "0", "/RPL/") + info("3", "0", "/RPL/U") + info("4", "-1", "/RPL/"));
    QTest::newRow("modes outside 0 and 1") << doc(info("1", "5", "/RPL/A") + info("2", "-7", "/RPL/B") + info("3", "x", "") + info("4", "99999999999", "/RPL/D"));
    QTest::newRow("names with &, <, quotes") << doc(info("1", "0", "/RPL/R&amp;D &lt;1&gt; &quot;q&quot; 'a'.XPL"));
    QTest::newRow("invalid UTF-8 and non-ASCII") << doc(info("1", "0", "/RPL/\xff\xfe\xc3(.XPL") + info("2", "1", "/RPL/焊接.XPL"));
    QTest::newRow("subfolders and no prefix") << doc(info("1", "0", "/RPL/SUB/DEEP/A.XPL") + info("2", "0", "B.XPL"));
    QTest::newRow("ids out of order, six entries, unknown parts")
        << doc("<Extra a=\"1\">x</Extra>" + info("4", "1", "/RPL/D") + info("3", "0", "/RPL/C") + "<?pi x?>" + info("2", "1", "/RPL/B")
               + info("1", "0", "/RPL/A") + info("9", "1", "/RPL/E") + info("7", "0", "/RPL/F"));
    QTest::newRow("no PlcData") << QByteArray("<SoftPlcConfig><Other/></SoftPlcConfig>");
    QTest::newRow("another root") << QByteArray("<Config><PlcData/></Config>");
    QTest::newRow("texts a comment keeps apart") << QByteArray("<SoftPlcConfig><PlcData>a<!--c-->b<PlcInfo><mode>1</mode></PlcInfo></PlcData></SoftPlcConfig>");
    QTest::newRow("text standing for an entry") << QByteArray("<SoftPlcConfig><PlcData>text<PlcInfo><mode>1</mode></PlcInfo></PlcData></SoftPlcConfig>");
    QTest::newRow("CDATA, comments, a mark, CRLF, quoting")
        << QByteArray("\xEF\xBB\xBF<?xml version='1.0'?>\r\n<!-- c -->\r\n<SoftPlcConfig a='1'><PlcData>\r\n"
                      "<PlcInfo id='1'><mode>1</mode><ProgName><![CDATA[/RPL/R&D.XPL]]></ProgName></PlcInfo>\r\n"
                      "</PlcData></SoftPlcConfig>\r\n");
}

void tst_SoftPlcConfig::unchangedWriteKeepsTheDocument()
{
    QFETCH(QByteArray, document);
    SoftPlcConfig read;
    QVERIFY(read.read(document));
    const QByteArray written = read.write(stamp);
    // Byte for byte, but for the date comment (put first when the file had none).
    QCOMPARE(withoutDate(written), withoutDate(document));
    QVERIFY(written.contains("<!-- Date(ymd)/time(hms) 2026/12/06 10:00:00 -->"));
    SoftPlcConfig again;
    QVERIFY(again.read(written));
    QCOMPARE(entries(again), entries(read));
}

void tst_SoftPlcConfig::editReplacesOnlyItsValue_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray crlf = "\xEF\xBB\xBF<?xml version='1.0'?>\r\n<!-- kept -->\r\n<SoftPlcConfig a='1' b=\"2\">\r\n<PlcData>\r\n"
                            "<PlcInfo id='1'><mode>0</mode><ProgName><![CDATA[/RPL/R&D.XPL]]></ProgName></PlcInfo>\r\n"
                            "<PlcInfo id='2'><mode >1</mode><!-- note --><ProgName/></PlcInfo>\r\n"
                            "</PlcData>\r\n</SoftPlcConfig>\r\n";
    const QByteArray dated = QByteArray(crlf).insert(crlf.indexOf("\r\n") + 2, "<!-- Date(ymd)/time(hms) 2026/12/06 10:00:00 -->\r\n");
    QTest::newRow("a mode beside a CDATA name") << crlf << 0 << 1 << QStringLiteral("R&D.XPL")
        << QByteArray(dated).replace("<mode>0</mode>", "<mode>1</mode>");
    QTest::newRow("a CDATA name replaced, escaped") << crlf << 0 << 0 << QStringLiteral("A<B.XPL")
        << QByteArray(dated).replace("<![CDATA[/RPL/R&D.XPL]]>", "/RPL/A&lt;B.XPL");
    QTest::newRow("an empty name element opened") << crlf << 1 << 1 << QStringLiteral("N.XPL")
        << QByteArray(dated).replace("<ProgName/>", "<ProgName>/RPL/N.XPL</ProgName>");
    QTest::newRow("a mode whose tag has a space") << crlf << 1 << 0 << QString()
        << QByteArray(dated).replace("<mode >1</mode>", "<mode >0</mode>");
}

void tst_SoftPlcConfig::editReplacesOnlyItsValue()
{
    QFETCH(QByteArray, document);
    QFETCH(int, entry);
    QFETCH(int, mode);
    QFETCH(QString, program);
    QFETCH(QByteArray, expected);
    SoftPlcConfig c;
    QVERIFY(c.read(document));
    c.mode[entry] = mode;
    c.progName[entry] = program;
    QCOMPARE(c.write(stamp), expected);
}

void tst_SoftPlcConfig::editChangesOnlyItsEntry_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QStringList>("after");
    const QByteArray odd = doc(info("1", "5", "/RPL/A&amp;B") + "<?pi x?>" + info("3", "0", "/RPL/\xff.XPL"));
    const QString invalid = rawtext::decode("\xff.XPL");
    QTest::newRow("an element entry") << odd << 0 << QStringList{"1|A&B", "0|", "0|" + invalid, "0|"};
    QTest::newRow("an instruction standing for one") << odd << 1 << QStringList{"5|A&B", "1|", "0|" + invalid, "0|"};
    QTest::newRow("one the document lacks") << odd << 3 << QStringList{"5|A&B", "0|", "0|" + invalid, "1|"};
}

void tst_SoftPlcConfig::editChangesOnlyItsEntry()
{
    QFETCH(QByteArray, document);
    QFETCH(int, entry);
    QFETCH(QStringList, after);
    SoftPlcConfig c;
    QVERIFY(c.read(document));
    c.mode[entry] = 1;
    const QByteArray written = c.write(stamp);
    SoftPlcConfig again;
    QVERIFY(again.read(written));
    QCOMPARE(entries(again), after);
    // The untouched invalid byte is still the byte it was.
    QVERIFY(written.contains("/RPL/\xff.XPL"));
    QVERIFY(written.contains("<?pi x?>") == (entry != 1));
}

void tst_SoftPlcConfig::environmentList_data()
{
    QTest::addColumn<QByteArray>("xpl");
    QTest::addColumn<QVector<bool>>("named");
    auto list = [](const QByteArray &names) {
        QByteArray envs;
        for (const QByteArray &n : names.split(','))
            envs += "<Environment><Path>/x</Path><Name>" + n + "</Name></Environment>\n";
        return "<?xml version=\"1.0\"?>\n<XplConfiguration>\n<EnvironmentList>\n" + envs + "</EnvironmentList>\n</XplConfiguration>\n";
    };
    QTest::newRow("letter case ignored") << list("SoftPLC3") << QVector<bool>{false, false, true, false};
    QTest::newRow("all four in any order") << list("softplc4,SOFTPLC2,softplc3,softplc1") << QVector<bool>{true, true, true, true};
    QTest::newRow("whole names only") << list("softplc5,softplc1 ,xsoftplc2") << QVector<bool>{false, false, false, false};
    QTest::newRow("instructions named like the elements")
        << QByteArray("<?XplConfiguration?><XplConfiguration><?EnvironmentList?><EnvironmentList><E><?Name softplc1?>"
           "<Name>softplc2</Name></E></EnvironmentList></XplConfiguration>")
        << QVector<bool>{false, true, false, false};
    QTest::newRow("no document") << QByteArray("<XplConfiguration>") << QVector<bool>{false, false, false, false};
}

void tst_SoftPlcConfig::environmentList()
{
    QFETCH(QByteArray, xpl);
    QFETCH(QVector<bool>, named);
    const auto found = softPlcsNamed(xpl);
    QCOMPARE(QVector<bool>(found.begin(), found.end()), named);
}

QTEST_GUILESS_MAIN(tst_SoftPlcConfig)
#include "tst_softplcconfig.moc"
