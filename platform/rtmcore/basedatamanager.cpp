#include "basedatamanager.h"

BaseDataManager::BaseDataManager() = default;
BaseDataManager::~BaseDataManager() = default;

bool BaseDataManager::ParseBinData(const QByteArray &data, unsigned short version)
{
    Q_UNUSED(version)
    return !data.isEmpty();
}
