#pragma once

#include "rtmbasewidget.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class BaseRtmWidgetData;
class BaseZedOvedudData;

// The module on a host screen, made through its two factories the way the host makes it:
// the data object, then the widget on it, shown at 1024x688. The widget is deleted before the
// data object, as the host does.
class ModuleScreen
{
public:
    using CreateDataFn = BaseZedOvedudData *(*)();
    using CreateWidgetFn = RtmBaseWidget *(*)(BaseRtmWidgetData *, QWidget *);

    ModuleScreen(CreateDataFn createData, CreateWidgetFn createWidget, bool show = true);
    ~ModuleScreen();

    BaseZedOvedudData *data() const { return m_data; }
    RtmBaseWidget *widget() const { return m_widget; }
    // The page stack, as the data object reports it.
    QWidget *stack() const;

    // The host closes the screen: the widget, then the data object, deleted; the rest of this
    // object then stands for a closed screen.
    void close();
    bool isClosed() const { return !m_data; }

    // Waits until the monitor page has fetched its configuration and started.
    bool waitStarted() const;
    // The host's idle calls.
    void idle(int times = 1) const;

    template<typename T>
    T *find(const QString &name) const
    {
        return m_widget ? m_widget->findChild<T *>(name) : nullptr;
    }

    ModuleScreen(const ModuleScreen &) = delete;
    ModuleScreen &operator=(const ModuleScreen &) = delete;

private:
    BaseZedOvedudData *m_data = nullptr;
    QPointer<RtmBaseWidget> m_widget;
};
