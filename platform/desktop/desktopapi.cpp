#include "desktopapi.h"
#include "desktopsim.h"

#include "simcontroller.h"

namespace {

struct Desktop
{
    std::function<void(int, bool)> onClose;
    int requests = 0;
};

Desktop &desktop()
{
    static Desktop d;
    return d;
}

} // namespace

void DesktopApi::closeApplication(int code, bool force)
{
    SIM_LOG_CALL("DesktopApi::closeApplication", code, force);
    ++desktop().requests;
    if (desktop().onClose)
        desktop().onClose(code, force);
}

void sim::Desktop::setCloseHandler(std::function<void(int, bool)> handler)
{
    desktop().onClose = std::move(handler);
}

int sim::Desktop::closeRequests()
{
    return desktop().requests;
}

void sim::Desktop::resetCloseRequests()
{
    desktop().requests = 0;
}
