#pragma once

#include "rtmcore_global.h"

#include <QByteArray>

// Root of every piece of data that the panel keeps for a page element.
class RTMCORE_EXPORT BaseDataManager
{
public:
    BaseDataManager();
    virtual ~BaseDataManager();

    // Reads the element's record from the panel's page file; false when it is too short.
    virtual bool ParseBinData(const QByteArray &data, unsigned short version);

    BaseDataManager(const BaseDataManager &) = delete;
    BaseDataManager &operator=(const BaseDataManager &) = delete;
};
