#pragma once

#include <QtGlobal>

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
};
