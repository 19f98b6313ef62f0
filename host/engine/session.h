#pragma once

#include "treefiles/result.h"

#include "rtmbasewidget.h"

#include <QPointer>
#include <QTimer>

class BaseRtmWidgetData;
class BaseZedOvedudData;
class QWidget;

// One screen module opened as the panel opens it, and closed as the panel closes it. The module's
// two factories:
//   BaseZedOvedudData *CreateZedOvedudData()    the session owns the data object
//   RtmBaseWidget *CreateZedOvedudWidget(BaseRtmWidgetData *data, QWidget *parent)
//                                               the session (or the parent) owns the widget
// Opening makes the data object, then the widget at 1024x688 on its parent, shows it, takes the
// screen's variables and starts the idle calls; closing gives the variables back and deletes the
// widget before the data object.
class ModuleSession
{
public:
    using CreateDataFn = BaseZedOvedudData *(*)();
    using CreateWidgetFn = RtmBaseWidget *(*)(BaseRtmWidgetData *, QWidget *);

    struct Opening
    {
        bool usedVars = true; // tell the widget its variables are in use, as the panel does
        int idleMs = 20;      // the panel's idle calls; 0 for none (a test calls idle() itself)
        bool show = true;
    };

    ModuleSession(CreateDataFn createData, CreateWidgetFn createWidget);
    ~ModuleSession();

    // The screen on parent, or a window of its own when parent is null. An open screen is closed
    // first.
    Result openScreen(QWidget *parent, const Opening &how);
    Result openScreen(QWidget *parent) { return openScreen(parent, Opening()); }
    void closeScreen();
    // The panel takes the screen away whatever is open over it, as an alarm page does: every box
    // and chooser open is answered as closing answers it (rejected), and the screen closes once
    // the module's code has returned from them.
    void closeUnderBoxes();
    bool isOpen() const { return m_data != nullptr; }

    BaseZedOvedudData *data() const { return m_data; }
    RtmBaseWidget *widget() const { return m_widget; }
    // The host's idle calls, by hand.
    void idle(int times = 1) const;
    // How many idle calls the screen has had: the monitor shows what it polled in them.
    quint64 idleCalls() const { return m_idleCalls; }

    ModuleSession(const ModuleSession &) = delete;
    ModuleSession &operator=(const ModuleSession &) = delete;

private:
    CreateDataFn m_createData;
    CreateWidgetFn m_createWidget;
    BaseZedOvedudData *m_data = nullptr;
    QPointer<RtmBaseWidget> m_widget;
    bool m_usedVars = false;
    QTimer m_idle;
    mutable quint64 m_idleCalls = 0;
};
