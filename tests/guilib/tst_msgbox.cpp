#include "msgbox.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using sim::MsgBoxHooks;

class tst_MsgBox : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void operatorAnswers_data();
    void operatorAnswers();
    void responderAnswersWithoutShowing();

private:
    QWidgetList m_before;
};

void tst_MsgBox::init()
{
    resetPlatform();
    m_before = QApplication::topLevelWidgets();
}

void tst_MsgBox::cleanup()
{
    QVERIFY(newTopLevels(m_before).isEmpty());
}

static MsgBox *makeBox(int kind, const QString &text, int buttons, bool execNow)
{
    return new MsgBox(kind, text, buttons, execNow, false, 0, false, false,
                      QStringLiteral("unchanged"), QStringLiteral("unchanged"),
                      QStringLiteral("unchanged"), 18);
}

void tst_MsgBox::operatorAnswers_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("hasCancel");
    QTest::newRow("question confirmed") << 0 << 3 << "msgBoxConfirm" << 1 << true;
    QTest::newRow("question cancelled") << 0 << 3 << "msgBoxCancel" << 0 << true;
    QTest::newRow("error acknowledged") << 2 << 1 << "msgBoxConfirm" << 1 << false;
    QTest::newRow("escape on a warning") << 1 << 3 << "" << 0 << true;
}

void tst_MsgBox::operatorAnswers()
{
    QFETCH(int, kind);
    QFETCH(int, buttons);
    QFETCH(QString, key);
    QFETCH(int, answer);
    QFETCH(bool, hasCancel);

    QString shownText;
    bool sawCancel = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        shownText = box->findChild<QLabel *>(QStringLiteral("msgBoxText"))->text();
        sawCancel = box->findChild<QAbstractButton *>(QStringLiteral("msgBoxCancel"));
        if (key.isEmpty())
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->findChild<QAbstractButton *>(key)->click();
    });
    QScopedPointer<MsgBox> box(makeBox(kind, QStringLiteral("Line one\nLine two"), buttons, true));
    QCOMPARE(box->result(), answer);
    QCOMPARE(shownText, QStringLiteral("Line one\nLine two"));
    QCOMPARE(sawCancel, hasCancel);
    QCOMPARE(MsgBoxHooks::records().size(), 1);
    QCOMPARE(MsgBoxHooks::records()[0].answer, answer);
    QCOMPARE(MsgBoxHooks::records()[0].kind, kind);
}

void tst_MsgBox::responderAnswersWithoutShowing()
{
    bool shown = false;
    MsgBoxHooks::setResponder([&](const sim::MsgBoxRecord &r) -> int {
        shown = shown || QApplication::activeModalWidget();
        return r.kind == 1 ? 1 : 0;
    });
    QScopedPointer<MsgBox> warning(makeBox(1, QStringLiteral("Sure?"), 3, true));
    QCOMPARE(warning->result(), 1);
    QVERIFY(!shown);
    QCOMPARE(sim::CallLog::instance().entriesOf({QStringLiteral("MsgBox")}),
             QStringList{QStringLiteral("MsgBox(1, Sure?, 3, true)")});
}

QTEST_MAIN(tst_MsgBox)
#include "tst_msgbox.moc"
