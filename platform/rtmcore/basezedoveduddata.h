#pragma once

#include "basertmwidgetdata.h"

class QWidget;

// Data of a page element whose widget a plug-in module provides. The host owns this object
// and destroys it through its virtual destructor.
class RTMCORE_EXPORT BaseZedOvedudData : public BaseRtmWidgetData
{
public:
    BaseZedOvedudData();
    ~BaseZedOvedudData() override;

    // The module's widget, made on the first call; null when the module has none.
    virtual QWidget *createCustomWidget();
    // The widget that createCustomWidget made, or null.
    virtual QWidget *customWidget();
};
