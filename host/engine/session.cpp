#include "engine/session.h"

#include "engine/operatorinput.h"

#include "basezedoveduddata.h"
#include "rtmcoresim.h"

#include <QDialog>
#include <QLayout>
#include <QWidget>

ModuleSession::ModuleSession(CreateDataFn createData, CreateWidgetFn createWidget)
    : m_createData(createData), m_createWidget(createWidget)
{
    QObject::connect(&m_idle, &QTimer::timeout, [this] { idle(); });
}

ModuleSession::~ModuleSession()
{
    closeScreen();
}

Result ModuleSession::openScreen(QWidget *parent, const Opening &how)
{
    closeScreen();
    if (!m_createData || !m_createWidget)
        return Result::failure(QStringLiteral("the module has no factories"));
    m_data = m_createData();
    if (!m_data)
        return Result::failure(QStringLiteral("CreateZedOvedudData returned no data object"));
    m_widget = m_createWidget(m_data, parent);
    if (!m_widget) {
        delete m_data;
        m_data = nullptr;
        return Result::failure(QStringLiteral("CreateZedOvedudWidget returned no widget"));
    }
    if (parent) {
        m_widget->setParent(parent);
        m_widget->setFixedSize(1024, 688);
        if (parent->layout())
            parent->layout()->addWidget(m_widget);
    } else {
        m_widget->resize(1024, 688);
    }
    if (how.show)
        m_widget->show();
    m_usedVars = how.usedVars;
    if (m_usedVars)
        m_widget->setUsedVars(0, true);
    if (how.idleMs > 0)
        m_idle.start(how.idleMs);
    return Result::ok();
}

void ModuleSession::closeScreen()
{
    m_idle.stop();
    if (m_widget && m_usedVars)
        m_widget->setUsedVars(0, false);
    m_usedVars = false;
    delete m_widget;
    delete m_data;
    m_data = nullptr;
}

void ModuleSession::closeUnderBoxes()
{
    for (QDialog *dialog : operatorinput::waitingDialogs())
        dialog->reject();
    QTimer::singleShot(0, &m_idle, [this] { closeScreen(); });
}

void ModuleSession::idle(int times) const
{
    for (int i = 0; i < times && m_widget; ++i) {
        sim::hostIdle(m_widget);
        ++m_idleCalls;
    }
}
