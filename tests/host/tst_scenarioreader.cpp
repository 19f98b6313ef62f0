#include "engine/catalogue.h"
#include "engine/scenario.h"
#include "engine/stepcontext.h"
#include "engine/stepregistry.h"
#include "engine/steps.h"

#include <QTemporaryDir>
#include <QtTest>

// What the bench reads and says: the scenario file's form, names whatever their bytes, and
// messages that never show two different texts alike.
class tst_ScenarioReader : public QObject
{
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void visibleText_data();
    void visibleText();
    void hunkHeaders_data();
    void hunkHeaders();
    void unknownWidgets();

private:
    Result load(const QByteArray &steps, Scenario *scenario);
    QTemporaryDir m_dir;
};

Result tst_ScenarioReader::load(const QByteArray &steps, Scenario *scenario)
{
    QFile file(m_dir.filePath(QStringLiteral("s.json")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Result::failure(file.errorString());
    file.write("{\"name\": \"n\", \"controller\": \".\", \"steps\": [" + steps + "]}");
    file.close();
    return loadScenario(file.fileName(), m_dir.path(), stepDefs(), scenario);
}

void tst_ScenarioReader::reads_data()
{
    QTest::addColumn<QByteArray>("steps");
    QTest::addColumn<QString>("refusal"); // a part of it; empty when the file is read
    QTest::newRow("a byte that is no UTF-8") << QByteArray(R"({"pick": "BAD\udcff\udcfe.XPL"})") << QString();
    QTest::newRow("a whole character in two halves") << QByteArray(R"({"pick": "\ud83d\ude00.XPL"})") << QString();
    QTest::newRow("a high half alone") << QByteArray(R"({"pick": "\ud800.XPL"})") << QStringLiteral("half of a character");
    QTest::newRow("a low half that is no byte") << QByteArray(R"({"pick": "\udc41.XPL"})") << QStringLiteral("half of a character");
    QTest::newRow("Escape that confirms") << QByteArray(R"({"answer": "confirm", "by": "escape"})")
                                          << QStringLiteral("Escape cancels");
    QTest::newRow("Escape that cancels") << QByteArray(R"({"answer": "cancel", "by": "escape"})") << QString();
    QTest::newRow("a table's column") << QByteArray(R"({"expect": "text", "of": "tableWidget", "column": 2, "is": "A\nB"})")
                                      << QString();
}

void tst_ScenarioReader::reads()
{
    QFETCH(QByteArray, steps);
    QFETCH(QString, refusal);
    Scenario scenario;
    const Result read = load(steps, &scenario);
    if (refusal.isEmpty()) {
        QVERIFY2(read.isOk(), qPrintable(read.error()));
        return;
    }
    QVERIFY(!read.isOk());
    QVERIFY2(read.error().contains(refusal), qPrintable(read.error()));
}

void tst_ScenarioReader::visibleText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QStringLiteral("MAIN.XPL") << QStringLiteral("MAIN.XPL");
    QTest::newRow("a letter with its accent") << QStringLiteral("CAF\u00c9.XPL") << QStringLiteral("CAF\u00c9.XPL");
    QTest::newRow("a letter and a combining accent") << QStringLiteral("CAFE\u0301.XPL") << QStringLiteral("CAFE\\u0301.XPL");
    QTest::newRow("bytes that are no UTF-8")
        << QString(QStringLiteral("BAD") + QChar(0xdcff) + QChar(0xdcfe)) << QStringLiteral("BAD\\udcff\\udcfe");
    QTest::newRow("a zero-width space and a no-break space") << QStringLiteral("A\u200bB\u00a0C") << QStringLiteral("A\\u200bB\\u00a0C");
    QTest::newRow("a control and a backslash") << QStringLiteral("A\tB\\C") << QStringLiteral("A\\u0009B\\\\C");
    QTest::newRow("a character beyond the first plane") << QStringLiteral("\U0001F600") << QStringLiteral("\U0001F600");
}

void tst_ScenarioReader::visibleText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(::visibleText(text), shown);
}

void tst_ScenarioReader::hunkHeaders_data()
{
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("header");
    QTest::newRow("a line changed in the middle") << "1\n2\n3\n4\n5\n6\n7\n8" << "1\n2\n3\n4\nX\n6\n7\n8" << "@@ -2,6 +2,6 @@";
    QTest::newRow("a last line gone") << "a\nb\nc" << "a\nb" << "@@ -1,3 +1,2 @@";
    QTest::newRow("a first line added") << "b" << "a\nb" << "@@ -1,1 +1,2 @@";
    QTest::newRow("all of it new") << "" << "x\ny" << "@@ -1,1 +1,2 @@";
}

void tst_ScenarioReader::hunkHeaders()
{
    QFETCH(QString, expected);
    QFETCH(QString, found);
    QFETCH(QString, header);
    const StepContext context;
    const StepOutcome outcome = compared(context, QStringLiteral("file"), expected, found);
    QCOMPARE(outcome.state, StepOutcome::NotYet);
    const QStringList lines = outcome.message.split(QLatin1Char('\n'));
    QVERIFY2(lines.size() > 3 && lines.at(3) == header, qPrintable(outcome.message));
}

void tst_ScenarioReader::unknownWidgets()
{
    Scenario scenario;
    const Result read = load(R"({"press": "runOrStopButton"}, {"press": "runOrStopButon"}, {"reserve": 3},
                                {"press": "reserveBtn_12"}, {"expect": "text", "of": "msgBoxText"},
                                {"expect": "rows", "of": "noSuchTable", "is": 1}, {"expect": "lamp", "is": "on"},
                                {"expect": "calls", "of": ["MsgBox"], "count": 0})",
                             &scenario);
    QVERIFY2(read.isOk(), qPrintable(read.error()));
    const QStringList unknown = ::unknownWidgets(scenario, {QStringLiteral("runOrStopButton"), QStringLiteral("tableWidget")});
    QCOMPARE(unknown.size(), 2);
    QVERIFY2(unknown.at(0).contains(QLatin1String("step 2")) && unknown.at(0).contains(QLatin1String("did you mean \"runOrStopButton\"")),
             qPrintable(unknown.at(0)));
    QVERIFY2(unknown.at(1).contains(QLatin1String("there is no noSuchTable on the screen")), qPrintable(unknown.at(1)));
}

QTEST_MAIN(tst_ScenarioReader)
#include "tst_scenarioreader.moc"
