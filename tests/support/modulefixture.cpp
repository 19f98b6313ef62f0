#include "modulefixture.h"

#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

QTreeWidgetItem *itemAt(QTreeWidget *tree, const QString &path)
{
    QTreeWidgetItem *item = tree->invisibleRootItem();
    for (const QString &part : path.split(QLatin1Char('/'))) {
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i)
            if (item->child(i)->text(0) == part)
                next = item->child(i);
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

ModuleFixture::ModuleFixture(ModuleScreen::CreateDataFn createData,
                             ModuleScreen::CreateWidgetFn createWidget)
    : m_createData(createData), m_createWidget(createWidget), m_env(new SimEnvironment)
{
}

void ModuleFixture::setUp()
{
    m_env->clear();
    m_env->addPrograms({QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QStringLiteral("C.XPL"),
                        QStringLiteral("SUB/D.XPL")});
    sim::MsgBoxHooks::answerAll(1);
    m_before = QApplication::topLevelWidgets();
}

bool ModuleFixture::tearDown()
{
    m_screen.reset();
    return newTopLevels(m_before).isEmpty();
}

bool ModuleFixture::start(int signalMode, const QStringList &names, int protocol)
{
    m_env->writeReservationConfig(signalMode, protocol, names);
    sim::Reservation::instance().applyControllerConfig();
    if (!open())
        return false;
    sim::CallLog::instance().clear();
    sim::MsgBoxHooks::clearRecords();
    return true;
}

bool ModuleFixture::open()
{
    m_screen.reset(new ModuleScreen(m_createData, m_createWidget));
    if (!m_screen->waitStarted())
        return false;
    m_screen->idle();
    return true;
}

QWidget *ModuleFixture::currentPage() const
{
    auto *stack = qobject_cast<QStackedWidget *>(m_screen ? m_screen->stack() : nullptr);
    return stack ? stack->currentWidget() : nullptr;
}

QString ModuleFixture::pageName() const
{
    QWidget *page = currentPage();
    return page ? page->objectName() : QString();
}

void ModuleFixture::click(const QString &key) const
{
    auto *button = find<QAbstractButton>(key);
    QVERIFY2(button, qPrintable(QStringLiteral("no key ") + key));
    button->click();
}

void ModuleFixture::choose(const QString &combo, const QString &text) const
{
    auto *box = find<QComboBox>(combo);
    QVERIFY2(box, qPrintable(QStringLiteral("no box ") + combo));
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(index >= 0, qPrintable(combo + QStringLiteral(" does not list ") + text));
    box->setCurrentIndex(index);
}
