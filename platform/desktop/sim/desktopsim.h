#pragma once

#if defined(RUVOZUVID_MODULE_BUILD)
#error "the module sees the platform's API only, never the simulator's hooks"
#endif

#include "desktopapi.h"

#include <functional>

namespace sim {

// Test and virtual panel hooks of the desktop.
class DESKTOP_EXPORT Desktop
{
public:
    // What the desktop does on a close request (the virtual panel quits).
    static void setCloseHandler(std::function<void(int code, bool force)> handler);
    // How many close requests came since the last reset.
    static int closeRequests();
    static void resetCloseRequests();
};

} // namespace sim
