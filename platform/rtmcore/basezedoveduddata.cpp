#include "basezedoveduddata.h"

BaseZedOvedudData::BaseZedOvedudData() = default;
BaseZedOvedudData::~BaseZedOvedudData() = default;

QWidget *BaseZedOvedudData::createCustomWidget()
{
    return nullptr;
}

QWidget *BaseZedOvedudData::customWidget()
{
    return nullptr;
}
