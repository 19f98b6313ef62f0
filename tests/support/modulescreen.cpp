#include "modulescreen.h"

#include "simenvironment.h"

#include "basezedoveduddata.h"
#include "rtmbasewidget.h"
#include "rtmcoresim.h"
#include "simcontroller.h"

#include <QtTest>

ModuleScreen::ModuleScreen(CreateDataFn createData, CreateWidgetFn createWidget, bool show)
{
    m_data = createData();
    m_widget = createWidget(m_data, nullptr);
    m_widget->resize(1024, 688);
    if (show)
        m_widget->show();
}

ModuleScreen::~ModuleScreen()
{
    close();
}

void ModuleScreen::close()
{
    delete m_widget;
    delete m_data;
    m_data = nullptr;
}

QWidget *ModuleScreen::stack() const
{
    return m_data ? m_data->customWidget() : nullptr;
}

bool ModuleScreen::waitStarted() const
{
    const bool started = waitForCall(QStringLiteral("getFileFromCtrl"), 2000);
    // The start-up finishes in the same timer event as the fetch.
    QCoreApplication::processEvents();
    return started;
}

void ModuleScreen::idle(int times) const
{
    for (int i = 0; i < times && m_widget; ++i)
        sim::hostIdle(m_widget);
}
