#include "core/settingseditor.h"

#include <QtTest>

// The settings page's rules: what the boxes show, what an edit changes, what is kept.
class tst_SettingsEditor : public QObject
{
    Q_OBJECT
private slots:
    void edits_data();
    void edits();
    void missingReport_data();
    void missingReport();
    void programNames();
};

namespace {

const QStringList listed{"A.XPL", "B.XPL", "SUB/C.XPL"};

// A record with slots "name:cycle" from the first.
ZuzEraroveData record(int mode, int protocol, const QStringList &slotTexts)
{
    ZuzEraroveData data;
    data.runState = 1;
    data.signalMode = mode;
    data.protocol = protocol;
    for (int i = 0; i < slotTexts.size(); ++i) {
        data.rplNames[i] = slotTexts[i].section(QLatin1Char(':'), 0, 0);
        data.cycleIndex[i] = slotTexts[i].section(QLatin1Char(':'), 1).toInt();
    }
    return data;
}

bool same(const ZuzEraroveData &a, const ZuzEraroveData &b)
{
    if (a.runState != b.runState || a.signalMode != b.signalMode || a.protocol != b.protocol)
        return false;
    for (int i = 0; i < ZUZ_SLOT_COUNT; ++i) {
        if (a.rplNames[i] != b.rplNames[i] || a.cycleIndex[i] != b.cycleIndex[i])
            return false;
    }
    return true;
}

} // namespace

Q_DECLARE_METATYPE(ZuzEraroveData)

void tst_SettingsEditor::edits_data()
{
    // Edits as "what row value": mode, protocol, pick (box item), cycle (field text).
    QTest::addColumn<ZuzEraroveData>("loaded");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<ZuzEraroveData>("expected");
    QTest::addColumn<QVector<int>>("boxItems"); // of the first four rows
    const ZuzEraroveData odd = record(7, 42, {"A.XPL:0", "GONE.XPL:70000", ":1", "SUB/C.XPL:3", "B.XPL:5"});
    QTest::newRow("no edit: values no box can show stay, rows beyond Alone too")
        << odd << QStringList{} << odd << QVector<int>{1, 0, 0, 3};
    QTest::newRow("a field given back the text it was loaded with keeps its value")
        << odd << QStringList{"cycle 1 70000", "cycle 0 0"} << odd << QVector<int>{1, 0, 0, 3};
    QTest::newRow("mode and protocol chosen")
        << odd << QStringList{"mode 0 1", "protocol 0 10"}
        << record(1, 10, {"A.XPL:0", "GONE.XPL:70000", ":1", "SUB/C.XPL:3", "B.XPL:5"}) << QVector<int>{1, 0, 0, 3};
    QTest::newRow("programs picked, cleared, and an unlisted one replaced")
        << odd << QStringList{"pick 0 0", "pick 1 2", "pick 2 3", "pick 14 1"}
        << record(7, 42, {":0", "B.XPL:70000", "SUB/C.XPL:1", "SUB/C.XPL:3", "B.XPL:5", ":1", ":1", ":1", ":1", ":1", ":1", ":1", ":1", ":1", "A.XPL:1"})
        << QVector<int>{1, 0, 0, 3};
    QTest::newRow("an item past the list clears; a row past the slots, or no item shown, changes nothing")
        << odd << QStringList{"pick 3 9", "pick 15 1", "cycle 15 3", "pick -1 1", "pick 0 -1"}
        << record(7, 42, {"A.XPL:0", "GONE.XPL:70000", ":1", ":3", "B.XPL:5"}) << QVector<int>{1, 0, 0, 3};
    QTest::newRow("cycle indices in base ten, anything else 0")
        << record(0, 0, {"A.XPL:1", "A.XPL:1", "A.XPL:1", "A.XPL:1"})
        << QStringList{"cycle 0 abc", "cycle 1 0x10", "cycle 2 010", "cycle 3 9999"}
        << record(0, 0, {"A.XPL:0", "A.XPL:0", "A.XPL:10", "A.XPL:9999"}) << QVector<int>{1, 1, 1, 1};
}

void tst_SettingsEditor::edits()
{
    QFETCH(ZuzEraroveData, loaded);
    QFETCH(QStringList, edits);
    QFETCH(ZuzEraroveData, expected);
    QFETCH(QVector<int>, boxItems);
    SettingsEditor editor;
    editor.load(loaded, listed);
    QVector<int> items;
    for (int r = 0; r < 4; ++r)
        items << editor.programIndex(r);
    QCOMPARE(items, boxItems);
    for (const QString &edit : edits) {
        const QStringList e = edit.split(QLatin1Char(' '));
        const int row = e[1].toInt();
        if (e[0] == "mode")
            editor.setMode(e[2].toInt());
        else if (e[0] == "protocol")
            editor.setProtocol(e[2].toInt());
        else if (e[0] == "pick")
            editor.pickProgram(row, e[2].toInt());
        else
            editor.setCycleText(row, e[2]);
    }
    QVERIFY(same(editor.record(), expected));
    QVERIFY(same(editor.shown(), loaded));
    // The run state is no setting: the page hands it over as the working record has it.
    QCOMPARE(SettingsEditor::withRunState(editor.record(), 0).runState, 0);
}

void tst_SettingsEditor::missingReport_data()
{
    QTest::addColumn<ZuzEraroveData>("loaded");
    QTest::addColumn<QString>("report");
    QTest::newRow("all listed, empty slots are no missing programs")
        << record(1, 0, {"A.XPL:1", ":1", "SUB/C.XPL:1"}) << "";
    QTest::newRow("unlisted and differing in case")
        << record(1, 0, {"A.XPL:1", "GONE.XPL:1", ":1", ":1", "a.xpl:1"})
        << "The following files do not exist, please reselect.\nID:2 Name:GONE.XPL\nID:5 Name:a.xpl";
    QTest::newRow("Alone: only the rows shown")
        << record(0, 0, {"A.XPL:1", ":1", ":1", "X.XPL:1", "GONE.XPL:1"})
        << "The following files do not exist, please reselect.\nID:4 Name:X.XPL";
}

void tst_SettingsEditor::missingReport()
{
    QFETCH(ZuzEraroveData, loaded);
    QFETCH(QString, report);
    SettingsEditor editor;
    editor.load(loaded, listed);
    QCOMPARE(editor.missingReport(), report);
}

void tst_SettingsEditor::programNames()
{
    // What a box finds in the editor's model is what QComboBox::findText would find in its items.
    SettingsEditor editor;
    editor.load(record(1, 0, {}), {"A.XPL", "Unselected", "B.XPL", "A.XPL", ""});
    const ProgramNames *names = editor.programNames();
    QCOMPARE(names->rowCount(), 6);
    const QStringList texts{"Unselected", "A.XPL", "B.XPL", "", "a.xpl", "GONE.XPL"};
    const QVector<int> rows{0, 1, 3, 5, -1, -1};
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(names->findRow(texts[i]), rows[i]);
    QCOMPARE(names->nameAt(4), QString("A.XPL"));
    QCOMPARE(names->nameAt(0), QString());
    QCOMPARE(names->nameAt(6), QString());
    QCOMPARE(names->index(2).data().toString(), QString("Unselected"));
    // The same list again keeps the model the boxes show; another one makes a new one.
    editor.load(record(0, 0, {}), {"A.XPL", "Unselected", "B.XPL", "A.XPL", ""});
    QCOMPARE(editor.programNames(), names);
    editor.load(record(0, 0, {}), {"A.XPL"});
    QVERIFY(editor.programNames() != names);
}

QTEST_GUILESS_MAIN(tst_SettingsEditor)
#include "tst_settingseditor.moc"
