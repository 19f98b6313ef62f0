#include "modulescreen.h"

#include "simenvironment.h"

#include "basezedoveduddata.h"

#include <QtTest>

ModuleScreen::ModuleScreen(CreateDataFn createData, CreateWidgetFn createWidget, bool show)
    : m_session(createData, createWidget)
{
    const Result opened = m_session.openScreen(nullptr, {false, 0, show});
    if (!opened)
        qFatal("%s", qPrintable(opened.error()));
}

QWidget *ModuleScreen::stack() const
{
    return data() ? data()->customWidget() : nullptr;
}

bool ModuleScreen::waitStarted() const
{
    const bool started = waitForCall(QStringLiteral("getFileFromCtrl"), 2000);
    // The start-up finishes in the same timer event as the fetch.
    QCoreApplication::processEvents();
    return started;
}
