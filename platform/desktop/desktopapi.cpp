#include "desktopapi.h"

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
    sim::logCall("DesktopApi::closeApplication", code, force);
    ++desktop().requests;
    if (desktop().onClose)
        desktop().onClose(code, force);
}

void DesktopApi::setCloseHandler(std::function<void(int, bool)> handler)
{
    desktop().onClose = std::move(handler);
}

int DesktopApi::closeRequests()
{
    return desktop().requests;
}

void DesktopApi::resetCloseRequests()
{
    desktop().requests = 0;
}
