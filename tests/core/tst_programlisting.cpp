#include "core/programlisting.h"

#include <QtTest>

// The chooser's listing: entries to tree nodes, what is a program, the choice an item gives.
class tst_ProgramListing : public QObject
{
    Q_OBJECT
private slots:
    void tree_data();
    void tree();
    void choice_data();
    void choice();
    void sameListingKeepsTheTree();
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
    QTest::newRow("extra fields, and none") << QStringList{"/RPL/A.XPL,1,d,more,fields", "/RPL/B.XPL"}
                                            << QStringList{"A.XPL|1|D", "B.XPL"};
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
    QCOMPARE(dump(programs), tree);
    for (const ProgramListing::Node &node : programs.nodes())
        QVERIFY(node.expanded);
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

QTEST_GUILESS_MAIN(tst_ProgramListing)
#include "tst_programlisting.moc"
