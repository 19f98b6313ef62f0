#pragma once

#include "modulescreen.h"
#include "simenvironment.h"

#include <QScopedPointer>
#include <QStringList>
#include <QWidgetList>

// What the module's page tests share: one panel and controller for the whole test program
// (the module computes its paths once), emptied before each test, and the module on a screen.
class QTreeWidget;
class QTreeWidgetItem;

// The item a path of column-0 texts joined by "/" leads to, or null.
QTreeWidgetItem *itemAt(QTreeWidget *tree, const QString &path);

class ModuleFixture
{
public:
    ModuleFixture(ModuleScreen::CreateDataFn createData, ModuleScreen::CreateWidgetFn createWidget);

    // Before each test: empty file trees, the programs A.XPL, B.XPL, C.XPL and SUB/D.XPL on the
    // controller, every message box confirmed.
    void setUp();
    // After each test: the screen is closed; false when a top-level window was left behind.
    bool tearDown();

    // Puts the configuration on the controller and has the service take it, opens the screen
    // and waits for the monitor to start; the call log and box records start empty after it.
    bool start(int signalMode, const QStringList &names, int protocol = 0);
    // Opens the screen on whatever the controller holds now.
    bool open();

    SimEnvironment &env() const { return *m_env; }
    ModuleScreen *screen() const { return m_screen.data(); }
    void closeScreen() { m_screen.reset(); }
    // The page stack's current page, and its object name.
    QWidget *currentPage() const;
    QString pageName() const;

    // What an operator does, by the widgets' object names; each fails the test when the widget
    // is not on the screen. Several pages have keys of the same name: the page shown is searched
    // first.
    void click(const QString &key) const;
    void choose(const QString &combo, const QString &text) const;
    template<typename T>
    T *find(const QString &name) const
    {
        if (QWidget *page = currentPage())
            if (T *widget = page->findChild<T *>(name))
                return widget;
        return m_screen ? m_screen->find<T>(name) : nullptr;
    }

private:
    ModuleScreen::CreateDataFn m_createData;
    ModuleScreen::CreateWidgetFn m_createWidget;
    QScopedPointer<SimEnvironment> m_env;
    QScopedPointer<ModuleScreen> m_screen;
    QWidgetList m_before;
};
