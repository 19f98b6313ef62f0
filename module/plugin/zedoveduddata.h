#pragma once

#include "basezedoveduddata.h"

// The widget data that the host keeps for the screen. It owns the page stack on the module's
// behalf; its type, class name, copying and record parsing are the host's.
class ZedOvedudData : public BaseZedOvedudData
{
public:
    ZedOvedudData();
    ~ZedOvedudData() override;

    // Builds the page stack on the first call; later calls retranslate and return it.
    QWidget *createCustomWidget() override;
    QWidget *customWidget() override;
};
