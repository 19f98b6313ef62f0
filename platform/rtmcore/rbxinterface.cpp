#include "rbxinterface.h"

#include "simcontroller.h"

rbxInterface::rbxInterface(int channel, bool shared)
{
    SIM_LOG_CALL("rbxInterface", channel, shared);
}

rbxInterface::~rbxInterface() = default;

bool rbxInterface::isConnected()
{
    SIM_LOG_CALL("rbxInterface::isConnected");
    return sim::Controller::instance().isConnected();
}

bool rbxInterface::flashDir(QStringList &entries, const QString &dir)
{
    SIM_LOG_CALL("rbxInterface::flashDir", dir);
    return sim::Controller::instance().list(dir, &entries);
}
