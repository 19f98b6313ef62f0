#include "chooser/fileedit.h"

#include "debugcapture.h"
#include "modulefixture.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using sim::Controller;
using sim::MsgBoxHooks;

// The remote program chooser, fed with listings of the controller's "/RPL/".
class tst_FileEdit : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void treeFromListing_data();
    void treeFromListing();
    void select_data();
    void select();
    void selectWithoutCurrentItemCloses();
    void warningOnNonProgramClick_data();
    void warningOnNonProgramClick();
    void rebuiltAtEachConnectedShow();
    void nestedFoldersOpenAgain();
    void nameColumnFitsTheWholeListing();
    void changedListingChangesOnlyItsItems();
    void longListingShowsItsTopFirst();
    void rowsAlike();
    void dragByTitleStrip_data();
    void dragByTitleStrip();
    void cancelAndCloseEmitNothing_data();
    void cancelAndCloseEmitNothing();

private:
    static QTreeWidget *tree(FileEdit &dlg) { return dlg.findChild<QTreeWidget *>(QStringLiteral("rplRemoteFiles")); }
    static QStringList dump(QTreeWidget *tree);

    QScopedPointer<SimEnvironment> m_env;
    QWidgetList m_before;
};

static const QStringList sampleListing{"/RPL/A.XPL,10,D1", "/RPL/SUB/", "/RPL/SUB/B.XPL,20,D2"};

void tst_FileEdit::init()
{
    m_env.reset(new SimEnvironment);
    MsgBoxHooks::answerAll(1);
    m_before = QApplication::topLevelWidgets();
}

void tst_FileEdit::cleanup()
{
    QVERIFY(newTopLevels(m_before).isEmpty());
    m_env.reset();
}

// One line per item, depth-first: two blanks of indent per level, "+" before an expanded and
// "-" before a collapsed directory, and "|size|date" after a program.
QStringList tst_FileEdit::dump(QTreeWidget *tree)
{
    QStringList lines;
    std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *parent, int depth) {
        for (int i = 0; i < parent->childCount(); ++i) {
            QTreeWidgetItem *item = parent->child(i);
            const bool dir = item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
            QString line = QString(depth * 2, QLatin1Char(' '));
            if (dir)
                line += item->isExpanded() ? QLatin1Char('+') : QLatin1Char('-');
            line += item->text(0);
            if (!item->text(1).isEmpty() || !item->text(2).isEmpty())
                line += QStringLiteral("|%1|%2").arg(item->text(1), item->text(2));
            lines << line;
            walk(item, depth + 1);
        }
    };
    walk(tree->invisibleRootItem(), 0);
    return lines;
}

void tst_FileEdit::treeFromListing_data()
{
    QTest::addColumn<QStringList>("listing");
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("program, directory, program inside")
        << sampleListing << QStringList{"Unselected!", "A.XPL|10|D1", "+SUB", "  B.XPL|20|D2"};
    QTest::newRow("empty listing") << QStringList{} << QStringList{"Unselected!"};
}

void tst_FileEdit::treeFromListing()
{
    QFETCH(QStringList, listing);
    QFETCH(QStringList, tree);
    Controller::instance().setListing(QStringLiteral("/RPL/"), listing);
    FileEdit dlg;
    dlg.show();
    QCOMPARE(dump(tst_FileEdit::tree(dlg)), tree);
    QCOMPARE(tst_FileEdit::tree(dlg)->columnCount(), 3);
    QCOMPARE(tst_FileEdit::tree(dlg)->headerItem()->text(2), QStringLiteral("Date"));
}

void tst_FileEdit::select_data()
{
    QTest::addColumn<QStringList>("listing");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<QString>("emitted");
    QTest::newRow("program in a directory") << sampleListing << "SUB/B.XPL" << "/RPL/SUB/B.XPL";
    QTest::newRow("directory") << sampleListing << "SUB" << "";
    QTest::newRow("Unselected!") << sampleListing << "Unselected!" << "";
}

void tst_FileEdit::select()
{
    QFETCH(QStringList, listing);
    QFETCH(QString, pick);
    QFETCH(QString, emitted);
    Controller::instance().setListing(QStringLiteral("/RPL/"), listing);
    FileEdit dlg;
    dlg.show();
    QSignalSpy spy(&dlg, SIGNAL(signalUpateRpl(QString)));
    tree(dlg)->setCurrentItem(itemAt(tree(dlg), pick));
    sim::DebugCapture debug;
    dlg.findChild<QPushButton *>(QStringLiteral("btnSelect"))->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), emitted);
    QCOMPARE(debug.lines(), QStringList{QStringLiteral("getItemPath: ") + pick});
    // The receiver closes the dialog when it takes the choice.
    QVERIFY(dlg.isVisible());
}

void tst_FileEdit::selectWithoutCurrentItemCloses()
{
    Controller::instance().setListing(QStringLiteral("/RPL/"), sampleListing);
    FileEdit dlg;
    dlg.show();
    tree(dlg)->setCurrentItem(itemAt(tree(dlg), QStringLiteral("A.XPL")));
    // Losing the selection loses the current item too.
    tree(dlg)->clearSelection();
    QCOMPARE(tree(dlg)->currentItem(), nullptr);
    QSignalSpy spy(&dlg, SIGNAL(signalUpateRpl(QString)));
    dlg.findChild<QPushButton *>(QStringLiteral("btnSelect"))->click();
    QCOMPARE(spy.count(), 0);
    QVERIFY(!dlg.isVisible());
}

void tst_FileEdit::warningOnNonProgramClick_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("debugLines");
    QTest::addColumn<bool>("warned");
    QTest::newRow("directory") << "SUB" << QStringList{"SUB"} << true;
    QTest::newRow("Unselected!") << "Unselected!" << QStringList{"Unselected!"} << false;
    QTest::newRow("program") << "SUB/B.XPL" << QStringList{} << false;
}

void tst_FileEdit::warningOnNonProgramClick()
{
    QFETCH(QString, item);
    QFETCH(QStringList, debugLines);
    QFETCH(bool, warned);
    Controller::instance().setListing(QStringLiteral("/RPL/"), sampleListing);
    FileEdit dlg;
    dlg.show();
    QTreeWidget *t = tree(dlg);
    const QRect rect = t->visualItemRect(itemAt(t, item));
    sim::DebugCapture debug;
    QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(debug.lines(), debugLines);
    // The note follows from the event loop, once the click is over.
    QCOMPARE(MsgBoxHooks::records().size(), 0);
    QCoreApplication::processEvents();
    const QList<sim::MsgBoxRecord> boxes = MsgBoxHooks::records();
    QCOMPARE(boxes.size(), warned ? 1 : 0);
    if (warned) {
        QCOMPARE(boxes[0].kind, 1);
        QCOMPARE(boxes[0].buttons, 1);
        QCOMPARE(boxes[0].text, QStringLiteral("Please select RPL or PJ file!"));
    }
}

void tst_FileEdit::rebuiltAtEachConnectedShow()
{
    Controller &ctrl = Controller::instance();
    ctrl.setListing(QStringLiteral("/RPL/"), sampleListing);
    FileEdit first;
    first.show();
    QTreeWidget *t = tree(first);
    t->collapseItem(itemAt(t, QStringLiteral("SUB")));
    t->setCurrentItem(itemAt(t, QStringLiteral("A.XPL")));
    first.hide();

    // The same listing again: as if new, every directory open and nothing chosen.
    first.show();
    QCOMPARE(dump(t), (QStringList{"Unselected!", "A.XPL|10|D1", "+SUB", "  B.XPL|20|D2"}));
    QVERIFY(!t->currentItem());
    t->collapseItem(itemAt(t, QStringLiteral("SUB")));
    first.hide();

    // Shown again with the controller there: a fresh listing, every directory open.
    ctrl.setListing(QStringLiteral("/RPL/"), sampleListing + QStringList{"/RPL/SUB/C.XPL,1,x"});
    first.show();
    QCOMPARE(dump(t), (QStringList{"Unselected!", "A.XPL|10|D1", "+SUB", "  B.XPL|20|D2", "  C.XPL|1|X"}));
    t->collapseItem(itemAt(t, QStringLiteral("SUB")));
    first.hide();

    // Without the controller the tree stays as it was left.
    ctrl.setConnected(false);
    first.show();
    QCOMPARE(dump(t), (QStringList{"Unselected!", "A.XPL|10|D1", "-SUB", "  B.XPL|20|D2", "  C.XPL|1|X"}));

    // A second chooser lists with every directory open.
    ctrl.setConnected(true);
    FileEdit second;
    second.show();
    QCOMPARE(dump(tree(second)).value(2), QStringLiteral("+SUB"));
}

void tst_FileEdit::nestedFoldersOpenAgain()
{
    // A folder inside a folder, collapsed by the operator, is open again when the chooser is.
    Controller::instance().setListing(QStringLiteral("/RPL/"), {"/RPL/LINE/", "/RPL/LINE/CELL/", "/RPL/LINE/CELL/W.XPL,5,D"});
    FileEdit dlg;
    dlg.show();
    QTreeWidget *t = tree(dlg);
    t->collapseItem(itemAt(t, QStringLiteral("LINE/CELL")));
    dlg.hide();
    dlg.show();
    QCOMPARE(dump(t), (QStringList{"Unselected!", "+LINE", "  +CELL", "    W.XPL|5|D"}));
}

void tst_FileEdit::nameColumnFitsTheWholeListing()
{
    // The widest name stands far below the rows the view measures by itself.
    QStringList listing;
    for (int i = 0; i < 400; ++i)
        listing << QStringLiteral("/RPL/P%1.XPL,1,D").arg(i, 3, 10, QLatin1Char('0'));
    listing << QStringLiteral("/RPL/ZONE/") << QStringLiteral("/RPL/ZONE/WELDING_THE_LONGEST_SEAM_OF_THE_CELL.XPL,1,D");
    Controller::instance().setListing(QStringLiteral("/RPL/"), listing);
    FileEdit dlg;
    dlg.show();
    QTreeWidgetItem *widest = itemAt(tree(dlg), QStringLiteral("ZONE/WELDING_THE_LONGEST_SEAM_OF_THE_CELL.XPL"));
    QVERIFY(widest);
    const QRect cell = tree(dlg)->visualItemRect(widest);
    QVERIFY(cell.width() >= tree(dlg)->fontMetrics().horizontalAdvance(widest->text(0)) + 16);
}

void tst_FileEdit::changedListingChangesOnlyItsItems()
{
    Controller &ctrl = Controller::instance();
    ctrl.setListing(QStringLiteral("/RPL/"), sampleListing);
    FileEdit dlg;
    dlg.show();
    QTreeWidget *t = tree(dlg);
    QTreeWidgetItem *stays = itemAt(t, QStringLiteral("SUB/B.XPL"));
    t->collapseItem(itemAt(t, QStringLiteral("SUB")));
    t->setCurrentItem(stays);
    dlg.hide();

    // One program gone, one added with the widest name: the others keep their items, and the
    // tree shows as a new one would.
    const QString longName = QStringLiteral("SUB/WELDING_THE_LONGEST_SEAM_OF_THE_CELL.XPL");
    ctrl.setListing(QStringLiteral("/RPL/"), {"/RPL/SUB/", "/RPL/SUB/B.XPL,20,D2", "/RPL/" + longName + ",1,D"});
    dlg.show();
    QCOMPARE(dump(t), (QStringList{"Unselected!", "+SUB", "  B.XPL|20|D2", "  WELDING_THE_LONGEST_SEAM_OF_THE_CELL.XPL|1|D"}));
    QCOMPARE(itemAt(t, QStringLiteral("SUB/B.XPL")), stays);
    QVERIFY(!t->currentItem());
    QTreeWidgetItem *widest = itemAt(t, longName);
    const int wide = t->header()->sectionSize(0);
    QVERIFY(t->visualItemRect(widest).width() >= t->fontMetrics().horizontalAdvance(widest->text(0)) + 16);
    dlg.hide();

    // The widest name gone: the column fits the names that are left.
    ctrl.setListing(QStringLiteral("/RPL/"), {"/RPL/SUB/", "/RPL/SUB/B.XPL,20,D2"});
    dlg.show();
    QCOMPARE(dump(t), (QStringList{"Unselected!", "+SUB", "  B.XPL|20|D2"}));
    QCOMPARE(itemAt(t, QStringLiteral("SUB/B.XPL")), stays);
    QTRY_VERIFY(t->header()->sectionSize(0) < wide);
}

void tst_FileEdit::longListingShowsItsTopFirst()
{
    // Twelve thousand programs: the dialog shows before the whole tree is built, and the rest
    // follows; a show in the meantime finishes the tree first and compares the listing with it.
    QStringList listing;
    QStringList whole{"Unselected!"};
    for (int f = 0; f < 12; ++f) {
        listing << QStringLiteral("/RPL/F%1/").arg(f, 2, 10, QLatin1Char('0'));
        whole << QStringLiteral("+F%1").arg(f, 2, 10, QLatin1Char('0'));
        for (int p = 0; p < 1000; ++p) {
            listing << QStringLiteral("/RPL/F%1/P%2.XPL,1,D").arg(f, 2, 10, QLatin1Char('0')).arg(p, 4, 10, QLatin1Char('0'));
            whole << QStringLiteral("  P%1.XPL|1|D").arg(p, 4, 10, QLatin1Char('0'));
        }
    }
    Controller &ctrl = Controller::instance();
    ctrl.setListing(QStringLiteral("/RPL/"), listing);
    FileEdit dlg;
    dlg.show();
    QTreeWidget *t = tree(dlg);
    QVERIFY(t->topLevelItemCount() < 13);
    QCOMPARE(dump(t).mid(0, 3), whole.mid(0, 3));
    QTRY_COMPARE(dump(t), whole);
    dlg.hide();

    // A new tree, shown again before it is whole: the next listing, the widest name added, is
    // compared with the whole tree.
    const QStringList withoutF00 = listing.mid(1001);
    ctrl.setListing(QStringLiteral("/RPL/"), withoutF00);
    dlg.show();
    dlg.hide();
    const QString longName = QStringLiteral("F11/WELDING_THE_LONGEST_SEAM_OF_THE_CELL.XPL");
    ctrl.setListing(QStringLiteral("/RPL/"), withoutF00 + QStringList{"/RPL/" + longName + ",1,D"});
    dlg.show();
    QCOMPARE(dump(t), QStringList{"Unselected!"} + whole.mid(1002) + QStringList{"  WELDING_THE_LONGEST_SEAM_OF_THE_CELL.XPL|1|D"});
    QTreeWidgetItem *widest = itemAt(t, longName);
    QTRY_VERIFY(t->visualItemRect(widest).width() >= t->fontMetrics().horizontalAdvance(widest->text(0)) + 16);
}

void tst_FileEdit::rowsAlike()
{
    // "Unselected!" has no icon, yet is as high as the rows that have one: the view takes the
    // first row's height for every row.
    Controller::instance().setListing(QStringLiteral("/RPL/"), sampleListing);
    FileEdit dlg;
    dlg.show();
    QTreeWidget *t = tree(dlg);
    const int program = t->visualItemRect(itemAt(t, QStringLiteral("SUB/B.XPL"))).height();
    QCOMPARE(t->sizeHintForRow(0), t->sizeHintForRow(1));
    QCOMPARE(t->visualItemRect(t->topLevelItem(0)).height(), program);
    QCOMPARE(t->visualItemRect(itemAt(t, QStringLiteral("SUB"))).height(), program);
    QCOMPARE(program, t->sizeHintForRow(1));
}

void tst_FileEdit::dragByTitleStrip_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("moveY");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left button in the title strip") << int(Qt::LeftButton) << 31 << true;
    QTest::newRow("left button just below the title strip") << int(Qt::LeftButton) << 32 << false;
    QTest::newRow("right button") << int(Qt::RightButton) << 10 << false;
}

static void sendMouse(QWidget *w, QEvent::Type type, const QPoint &pos, Qt::MouseButton button)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void tst_FileEdit::dragByTitleStrip()
{
    QFETCH(int, button);
    QFETCH(int, moveY);
    QFETCH(bool, moves);
    FileEdit dlg;
    dlg.move(100, 100);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QPoint start = dlg.pos();
    sendMouse(&dlg, QEvent::MouseButtonPress, QPoint(10, 10), Qt::MouseButton(button));
    sendMouse(&dlg, QEvent::MouseMove, QPoint(60, moveY), Qt::MouseButton(button));
    QCOMPARE(dlg.pos() != start, moves);
    if (moves)
        QCOMPARE(dlg.pos(), start + QPoint(50, moveY - 10));
    // After the release, moves drag nothing.
    sendMouse(&dlg, QEvent::MouseButtonRelease, QPoint(60, moveY), Qt::MouseButton(button));
    const QPoint after = dlg.pos();
    sendMouse(&dlg, QEvent::MouseMove, QPoint(90, 5), Qt::NoButton);
    QCOMPARE(dlg.pos(), after);
}

void tst_FileEdit::cancelAndCloseEmitNothing_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("Cancel") << "btnCancle";
    QTest::newRow("X") << "closeBtn";
}

void tst_FileEdit::cancelAndCloseEmitNothing()
{
    QFETCH(QString, key);
    Controller::instance().setListing(QStringLiteral("/RPL/"), sampleListing);
    FileEdit dlg;
    QSignalSpy spy(&dlg, SIGNAL(signalUpateRpl(QString)));
    QTimer::singleShot(0, &dlg, [&] {
        tree(dlg)->setCurrentItem(itemAt(tree(dlg), QStringLiteral("A.XPL")));
        dlg.findChild<QPushButton *>(key)->click();
    });
    dlg.exec();
    QCOMPARE(spy.count(), 0);
    QVERIFY(!dlg.isVisible());
}

QTEST_MAIN(tst_FileEdit)
#include "tst_fileedit.moc"
