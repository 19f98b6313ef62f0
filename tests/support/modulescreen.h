#pragma once

#include "engine/session.h"

#include <QString>
#include <QWidget>

// The module in a window of its own, opened by the panel's session: no idle calls but the test's
// own, and the screen's variables left alone, so that a test sees only the calls it causes.
class ModuleScreen
{
public:
    using CreateDataFn = ModuleSession::CreateDataFn;
    using CreateWidgetFn = ModuleSession::CreateWidgetFn;

    ModuleScreen(CreateDataFn createData, CreateWidgetFn createWidget, bool show = true);

    BaseZedOvedudData *data() const { return m_session.data(); }
    RtmBaseWidget *widget() const { return m_session.widget(); }
    // The page stack, as the data object reports it.
    QWidget *stack() const;

    // The host closes the screen: the widget, then the data object, deleted; the rest of this
    // object then stands for a closed screen.
    void close() { m_session.closeScreen(); }
    bool isClosed() const { return !m_session.isOpen(); }

    // Waits until the monitor page has fetched its configuration and started.
    bool waitStarted() const;
    // The host's idle calls.
    void idle(int times = 1) const { m_session.idle(times); }

    template<typename T>
    T *find(const QString &name) const
    {
        return widget() ? widget()->findChild<T *>(name) : nullptr;
    }

    ModuleScreen(const ModuleScreen &) = delete;
    ModuleScreen &operator=(const ModuleScreen &) = delete;

private:
    ModuleSession m_session;
};
