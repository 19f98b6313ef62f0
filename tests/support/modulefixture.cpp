#include "modulefixture.h"

#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QApplication>
#include <QStackedWidget>

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
