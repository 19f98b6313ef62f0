#pragma once

#include "rtmcore_global.h"

#include <QString>
#include <QStringList>

// The panel's link to the robot controller.
class RTMCORE_EXPORT rbxInterface
{
public:
    rbxInterface(int channel, bool shared);
    ~rbxInterface();

    bool isConnected();
    // Lists dir on the controller recursively: "path,size,date" for each file and "path/" for
    // each directory, paths as controller paths. False when there is no listing.
    bool flashDir(QStringList &entries, const QString &dir);

    rbxInterface(const rbxInterface &) = delete;
    rbxInterface &operator=(const rbxInterface &) = delete;
};
