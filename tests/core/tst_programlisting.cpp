#include "core/programlisting.h"
#include "listingshape.h"

#include <QtTest>

// The chooser's listing: entries to tree nodes, what is a program, the choice an item gives.
class tst_ProgramListing : public QObject
{
    Q_OBJECT
private slots:
    void tree_data();
    void tree();
    void upperCasedWhereverTheLetterStands();
    void choice_data();
    void choice();
    void sameListingKeepsTheTree();
    void changedListingKeepsWhatStayed_data();
    void changedListingKeepsWhatStayed();
};

namespace {

// One line per node in order: two blanks of indent per level, "+" before a directory, and
// "|size|date" after a program that has them.
QStringList dump(const ProgramListing &listing)
{
    QStringList lines;
    for (const ProgramListing::Node &node : listing.nodes()) {
        QString line = QString(node.depth * 2, QLatin1Char(' '));
        if (node.entry < 0)
            line += QLatin1Char('+');
        line += listing.text(node, 0);
        if (!listing.text(node, 1).isEmpty() || !listing.text(node, 2).isEmpty())
            line += QStringLiteral("|%1|%2").arg(listing.text(node, 1), listing.text(node, 2));
        lines << line;
    }
    return lines;
}

} // namespace

void tst_ProgramListing::tree_data()
{
    QTest::addColumn<QStringList>("listing");
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("program, directory, program inside")
        << QStringList{"/RPL/A.XPL,10,d1", "/RPL/SUB/", "/RPL/SUB/B.XPL,20,d2"}
        << QStringList{"A.XPL|10|D1", "+SUB", "  B.XPL|20|D2"};
    QTest::newRow("without the /RPL/ prefix") << QStringList{"A.XPL,1,d", "SUB/B.XPL,2,d"}
                                              << QStringList{"A.XPL|1|D", "+SUB", "  B.XPL|2|D"};
    // "A.XPL,OLD" is no program, and no "A.XPL" either.
    QTest::newRow("commas in a name, and no fields")
        << QStringList{"/RPL/PART,2.XPL,1,d", "/RPL/B.XPL", "/RPL/A.XPL,OLD,3,d", "/RPL/C,D/E.XPL,4,d"}
        << QStringList{"B.XPL", "+C,D", "  E.XPL|4|D", "PART,2.XPL|1|D"};
    QTest::newRow("directories without an entry of their own")
        << QStringList{"/RPL/D1/D2/C.XPL,3,x", "/RPL/D1/E.XPL,4,y"}
        << QStringList{"+D1", "  +D2", "    C.XPL|3|X", "  E.XPL|4|Y"};
    QTest::newRow("only programs and directories")
        << QStringList{"/RPL/P.PJ,1,x", "/RPL/N.TXT,1,x", "/RPL/Q.XPL,1,x", "/RPL/DIR/R.PJ,1,x", "/RPL/Z.XPLX,1,x"}
        << QStringList{"Q.XPL|1|X"};
    QTest::newRow("upper-cased, then sorted") << QStringList{"/RPL/B.XPL,2,x", "/RPL/A/", "/RPL/a.xpl,1,x", "/RPL/A/C.XPL,3,x"}
                                              << QStringList{"A.XPL|1|X", "+A", "  C.XPL|3|X", "B.XPL|2|X"};
    QTest::newRow("directory named like a program before it")
        << QStringList{"/RPL/A.XPL,1,x", "/RPL/A.XPL/B.XPL,2,y", "/RPL/A.XPL/C/D.XPL,3,z"}
        << QStringList{"A.XPL|1|X", "  B.XPL|2|Y", "  +C", "    D.XPL|3|Z"};
    QTest::newRow("two directories of one name in different places")
        << QStringList{"/RPL/X/S/A.XPL,1,x", "/RPL/Y/S/B.XPL,2,y", "/RPL/X/S/C/D.XPL,3,z"}
        << QStringList{"+X", "  +S", "    A.XPL|1|X", "    +C", "      D.XPL|3|Z", "+Y", "  +S", "    B.XPL|2|Y"};
    QTest::newRow("empty directory name") << QStringList{"/RPL//B.XPL,2,y"} << QStringList{"+", "  B.XPL|2|Y"};
    QTest::newRow("empty listing") << QStringList{} << QStringList{};
}

void tst_ProgramListing::tree()
{
    QFETCH(QStringList, listing);
    QFETCH(QStringList, tree);
    ProgramListing programs;
    QVERIFY(programs.take(listing));
    QCOMPARE(dump(programs).join(QLatin1Char('\n')), tree.join(QLatin1Char('\n')));
    for (const ProgramListing::Node &node : programs.nodes())
        QVERIFY(node.expanded);
    // Read in parts, as the chooser shows a long listing: a part only adds to the ones before.
    for (int part = 1; part <= 2; ++part) {
        ProgramListing inParts;
        QVERIFY(inParts.take(listing, part));
        for (; !inParts.wholeRead(); inParts.readTo(inParts.nodes().size() + part))
            QCOMPARE(dump(inParts), tree.mid(0, inParts.nodes().size()));
        QCOMPARE(dump(inParts), tree);
    }
}

void tst_ProgramListing::upperCasedWhereverTheLetterStands()
{
    // Letters just inside and just outside "a" to "z", and past ASCII, at every place of a name.
    const QString upper = QStringLiteral("/RPL/ABCDEFGHIJK.XPL,1,D");
    for (int at = 5; at < 16; ++at) {
        for (const QChar c : {QChar('a'), QChar('z'), QChar(0xE9), QChar(0x101), QChar('`'), QChar('{'), QChar(0x7F)}) {
            QString entry = upper;
            entry[at] = c;
            ProgramListing programs;
            QVERIFY(programs.take({entry}));
            QCOMPARE(programs.text(programs.nodes().value(0), 0), entry.mid(5, 15).toUpper());
        }
    }
}

void tst_ProgramListing::choice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("choice");
    QTest::newRow("program in a directory") << "B.XPL" << "SUB/B.XPL" << "/RPL/SUB/B.XPL";
    QTest::newRow("program at the top") << "A.XPL" << "A.XPL" << "/RPL/A.XPL";
    QTest::newRow("any letter case, a project too") << "b.pj" << "D/b.pj" << "/RPL/D/b.pj";
    QTest::newRow("directory") << "SUB" << "SUB" << "";
    QTest::newRow("Unselected!") << "Unselected!" << "Unselected!" << "";
}

void tst_ProgramListing::choice()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, choice);
    QCOMPARE(ProgramListing::choice(name, path), choice);
}

void tst_ProgramListing::sameListingKeepsTheTree()
{
    ProgramListing programs;
    // The first listing, even an empty one, makes a tree.
    QVERIFY(programs.take({}));
    QVERIFY(!programs.take({}));
    QVERIFY(programs.take({"/RPL/A.XPL,1,x"}));
    QVERIFY(!programs.take({"/RPL/A.XPL,1,x"}));
    QVERIFY(programs.take({"/RPL/a.xpl,1,x"}));
}

void tst_ProgramListing::changedListingKeepsWhatStayed_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 300; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

// A listing changed by a few entries gives the tree a listing of its own would, and says which
// nodes stayed: the same texts under the parent that stayed as theirs.
void tst_ProgramListing::changedListingKeepsWhatStayed()
{
    QFETCH(int, seed);
    QRandomGenerator random{quint32(seed)};
    // Directories with and without entries, a directory named like a program, names differing
    // in case, files that are not shown, entries without the prefix.
    const QStringList pool{"/RPL/A/", "/RPL/A/P1.XPL,1,d", "/RPL/A/p2.xpl,2,d", "/RPL/A/B/P3.XPL,3,d",
                           "/RPL/A/B/", "/RPL/C/P4.XPL,4,d", "/RPL/C/D/P5.XPL,5,d", "/RPL/X.XPL,6,d",
                           "/RPL/X.XPL/P6.XPL,7,d", "/RPL/x.xpl,8,d", "/RPL/P7.XPL,9,d", "/RPL/P7.XPL,9,e",
                           "/RPL/N.TXT,1,d", "/RPL/A/N.PJ,1,d", "A/P8.XPL,1,d", "/RPL/P9.XPL", "/RPL/A/P0.XPL,0,d",
                           "/RPL/Q.XPL/", "/RPL/q.xpl,1,d", "/RPL/PART,2.XPL,1,d", "/RPL/P7.XPL,OLD,1,d"};
    QStringList before;
    for (const QString &entry : pool)
        if (random.bounded(3) > 0)
            before << entry;
    QStringList after = before;
    for (int n = 1 + int(random.bounded(3)); n > 0; --n) {
        const QString entry = pool.at(int(random.bounded(pool.size())));
        if (after.contains(entry))
            after.removeOne(entry);
        else
            after.insert(int(random.bounded(after.size() + 1)), entry);
    }
    ProgramListing changed;
    // A first tree read in part, as the chooser reads it, is read whole before it is compared.
    QVERIFY(changed.take(before, seed % 4));
    ProgramListing first;
    first.take(before);
    const QStringList old = listingShape(first);
    QVERIFY(changed.take(after) || after == before);
    ProgramListing fresh;
    QVERIFY(fresh.take(after));
    QCOMPARE(listingShape(changed), listingShape(fresh));
    if (after == before)
        return;
    const QStringList now = listingShape(changed);
    QVector<int> seen(old.size(), 0);
    for (int j = 0; j < now.size(); ++j) {
        const int i = changed.earlier().at(j);
        if (i < 0)
            continue;
        ++seen[i];
        const int parent = changed.nodes().at(j).parent;
        QCOMPARE(parent < 0 ? -1 : changed.earlier().at(parent), old.at(i).section(QLatin1Char(' '), 0, 0).toInt());
        QCOMPARE(now.at(j).section(QLatin1Char(' '), 1), old.at(i).section(QLatin1Char(' '), 1));
    }
    for (int i : changed.gone())
        ++seen[i];
    QCOMPARE(seen, QVector<int>(old.size(), 1));
}

QTEST_GUILESS_MAIN(tst_ProgramListing)
#include "tst_programlisting.moc"
