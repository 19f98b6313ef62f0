#include "rbxinterface.h"

#include "simcontroller.h"

rbxInterface::rbxInterface(int channel, bool shared)
{
    sim::logCall("rbxInterface", channel, shared);
}

rbxInterface::~rbxInterface() = default;

bool rbxInterface::isConnected()
{
    sim::logCall("rbxInterface::isConnected");
    return sim::Controller::instance().isConnected();
}

bool rbxInterface::flashDir(QStringList &entries, const QString &dir)
{
    sim::logCall("rbxInterface::flashDir", dir);
    return sim::Controller::instance().list(dir, &entries);
}
