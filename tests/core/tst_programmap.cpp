#include "core/programmap.h"

#include <QtTest>

using Entries = QList<QPair<int, QString>>;
Q_DECLARE_METATYPE(Entries)

// The program map's rules: what each number shows, what a save writes back.
class tst_ProgramMap : public QObject
{
    Q_OBJECT
private slots:
    void unchangedSaveWritesWhatWasRead_data();
    void unchangedSaveWritesWhatWasRead();
    void edits_data();
    void edits();
    void duplicateRefused_data();
    void duplicateRefused();
};

namespace {

QList<ProgramMapData> toMaps(const Entries &entries)
{
    QList<ProgramMapData> maps;
    for (const auto &e : entries)
        maps.append({e.first, e.second});
    return maps;
}

Entries toEntries(const QList<ProgramMapData> &maps)
{
    Entries entries;
    for (const ProgramMapData &m : maps)
        entries.append({m.programNum, m.programName});
    return entries;
}

} // namespace

void tst_ProgramMap::unchangedSaveWritesWhatWasRead_data()
{
    QTest::addColumn<Entries>("read");
    Entries full{{600, "FAR.XPL"}};
    for (int n = 1; n <= 512; ++n)
        full.append({n, QStringLiteral("P%1.XPL").arg(n)});
    QTest::newRow("512 numbers behind one numbered 600") << full;
    QTest::newRow("numbers 0, negative and over 512 in place") << Entries{{3, "C.XPL"}, {0, "Z.XPL"}, {-4, "N.XPL"}, {1, "A.XPL"}, {513, "B.XPL"}};
    QTest::newRow("one number twice") << Entries{{4, "A.XPL"}, {2, "X.XPL"}, {4, "B.XPL"}};
    QTest::newRow("subfolders and the directory prefix") << Entries{{1, "PALLET/LAYER1.XPL"}, {2, "/RPL/SUB/B.XPL"}, {3, "/RPL/C.XPL"}};
    QTest::newRow("empty names") << Entries{{1, ""}, {2, "A.XPL"}};
    QTest::newRow("empty map") << Entries{};
}

void tst_ProgramMap::unchangedSaveWritesWhatWasRead()
{
    QFETCH(Entries, read);
    ProgramMap map;
    map.load(toMaps(read));
    QCOMPARE(toEntries(map.toSave()), read);
    // Each number shows the last entry that has it, however many entries come before.
    QMap<int, QString> last;
    for (const auto &e : read)
        last[e.first] = e.second;
    for (int n = 1; n <= ProgramMap::numbers; ++n)
        QCOMPARE(map.name(n), last.value(n));
}

void tst_ProgramMap::edits_data()
{
    QTest::addColumn<Entries>("read");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<Entries>("saved");
    const Entries read{{0, "Z.XPL"}, {4, "OLD.XPL"}, {2, "SUB/B.XPL"}, {4, "A.XPL"}, {600, "F.XPL"}};
    QTest::newRow("a changed number keeps the place of its last entry")
        << read << 4 << "/RPL/NEW.XPL" << "NEW.XPL" << Entries{{0, "Z.XPL"}, {2, "SUB/B.XPL"}, {4, "NEW.XPL"}, {600, "F.XPL"}};
    QTest::newRow("a cleared number loses all its entries")
        << read << 4 << "" << "" << Entries{{0, "Z.XPL"}, {2, "SUB/B.XPL"}, {600, "F.XPL"}};
    QTest::newRow("a new number goes last")
        << read << 7 << "/RPL/PALLET/LAYER2.XPL" << "PALLET/LAYER2.XPL"
        << Entries{{0, "Z.XPL"}, {4, "OLD.XPL"}, {2, "SUB/B.XPL"}, {4, "A.XPL"}, {600, "F.XPL"}, {7, "PALLET/LAYER2.XPL"}};
    QTest::newRow("the program a number holds, chosen again")
        << read << 4 << "/RPL/A.XPL" << "A.XPL" << read;
}

void tst_ProgramMap::edits()
{
    QFETCH(Entries, read);
    QFETCH(int, number);
    QFETCH(QString, choice);
    QFETCH(QString, shown);
    QFETCH(Entries, saved);
    ProgramMap map;
    map.load(toMaps(read));
    QCOMPARE(map.shown(2), QStringLiteral("B.XPL"));
    QCOMPARE(map.assign(number, choice), ProgramMap::Assign::Done);
    QCOMPARE(map.shown(number), shown);
    QCOMPARE(toEntries(map.toSave()), saved);
}

void tst_ProgramMap::duplicateRefused_data()
{
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("refused");
    QTest::newRow("same program") << "A.XPL" << "/RPL/A.XPL" << true;
    QTest::newRow("held with the directory prefix") << "/RPL/A.XPL" << "/RPL/A.XPL" << true;
    QTest::newRow("same program in a subfolder") << "SUB/A.XPL" << "/RPL/SUB/A.XPL" << true;
    QTest::newRow("same name, other subfolder") << "P1/A.XPL" << "/RPL/P2/A.XPL" << false;
    QTest::newRow("differs in case") << "A.XPL" << "/RPL/a.XPL" << false;
    QTest::newRow("clearing") << "A.XPL" << "" << false;
}

void tst_ProgramMap::duplicateRefused()
{
    QFETCH(QString, held);
    QFETCH(QString, choice);
    QFETCH(bool, refused);
    ProgramMap map;
    map.load({{1, held}, {2, QStringLiteral("OTHER.XPL")}});
    QCOMPARE(map.assign(2, choice) == ProgramMap::Assign::Duplicate, refused);
    QCOMPARE(map.name(2), refused ? QStringLiteral("OTHER.XPL") : ProgramMap::displayForm(choice));
}

QTEST_GUILESS_MAIN(tst_ProgramMap)
#include "tst_programmap.moc"
