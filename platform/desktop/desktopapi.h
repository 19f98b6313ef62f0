#pragma once

#include <QtGlobal>

#include <functional>

#if defined(DESKTOP_LIBRARY)
#define DESKTOP_EXPORT Q_DECL_EXPORT
#else
#define DESKTOP_EXPORT Q_DECL_IMPORT
#endif

// The panel's desktop: the screens an operator switches between.
class DESKTOP_EXPORT DesktopApi
{
public:
    // Closes the current application screen. code: the exit code handed to the desktop;
    // force: close even when the screen says it cannot be deleted.
    static void closeApplication(int code, bool force);

    // Hooks: what the desktop does on a close request (the virtual panel quits), and how
    // many close requests came since the last reset.
    static void setCloseHandler(std::function<void(int code, bool force)> handler);
    static int closeRequests();
    static void resetCloseRequests();
};
