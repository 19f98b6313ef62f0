#include "engine/operatorinput.h"
#include "engine/screenprofile.h"

#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

// The operator's finger and keys, on plain widgets: where a touch lands, what the operator could
// not reach and why, what Return answers.
class tst_OperatorInput : public QObject
{
    Q_OBJECT
private slots:
    void tapsTheVisiblePartOfALongRow();
    void unreachable();
    void returnAnswersWithTheKeyItPresses();
    void columnTextIsTheItems();
};

void tst_OperatorInput::tapsTheVisiblePartOfALongRow()
{
    QTreeWidget tree;
    tree.setColumnCount(3);
    tree.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree.resize(240, 200);
    auto *item = new QTreeWidgetItem(&tree, {QString(80, QLatin1Char('A')) + QStringLiteral(".XPL"), QStringLiteral("12"), QStringLiteral("2026")});
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    // The row runs past the view: its centre is out of the operator's reach.
    QVERIFY(!tree.viewport()->rect().contains(tree.visualItemRect(item).center()));
    QSignalSpy clicked(&tree, &QTreeWidget::itemClicked);
    QCOMPARE(operatorinput::tapItem(&tree, item), QString());
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(tree.currentItem(), item);
}

void tst_OperatorInput::unreachable()
{
    QWidget window;
    window.resize(300, 200);
    auto *key = new QPushButton(QStringLiteral("Save"), &window);
    key->setObjectName(QStringLiteral("saveButton"));
    key->setGeometry(10, 10, 100, 40);
    auto *cover = new QWidget(&window);
    cover->setObjectName(QStringLiteral("cover"));
    cover->setGeometry(0, 0, 300, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(operatorinput::unreachable(key, QPoint(50, 5)), QStringLiteral("saveButton is covered by cover there"));
    QCOMPARE(operatorinput::unreachable(key, QPoint(50, 35)), QString());
    key->setEnabled(false);
    QCOMPARE(operatorinput::tap(key), QStringLiteral("saveButton is disabled"));
    key->hide();
    QCOMPARE(operatorinput::tap(key), QStringLiteral("saveButton is not shown"));
}

void tst_OperatorInput::returnAnswersWithTheKeyItPresses()
{
    QDialog box;
    auto *confirm = new QPushButton(QStringLiteral("OK"), &box);
    confirm->setObjectName(screenprofile::confirmKey);
    confirm->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), &box);
    cancel->setObjectName(screenprofile::cancelKey);
    cancel->move(0, 50);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QApplication::setActiveWindow(&box);
    confirm->setFocus();
    QCOMPARE(screenprofile::answerOfReturn(&box), QStringLiteral("confirm"));
    // Return presses the key with the focus: an answer step that says otherwise is refused.
    cancel->setFocus();
    QCOMPARE(screenprofile::answerOfReturn(&box), QStringLiteral("cancel"));
}

void tst_OperatorInput::columnTextIsTheItems()
{
    QTableWidget table(3, 2);
    table.setItem(0, 1, new QTableWidgetItem(QStringLiteral("MAIN.XPL")));
    table.setCellWidget(1, 1, new QPushButton(QStringLiteral("a key with a name of its own")));
    table.setItem(2, 1, new QTableWidgetItem(QStringLiteral("PART,2.XPL")));
    QCOMPARE(operatorinput::columnText(&table, 1), QStringLiteral("MAIN.XPL\n\nPART,2.XPL"));
}

QTEST_MAIN(tst_OperatorInput)
#include "tst_operatorinput.moc"
