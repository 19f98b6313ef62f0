#pragma once

#include "rtmbasewidget.h"

// The widget the host shows: the page stack as its central widget, the host's idle calls
// relayed to the visible page, and the close request turned into the end of the module.
class ZedOvedudWidget : public RtmBaseWidget
{
    Q_OBJECT
public:
    ZedOvedudWidget(BaseRtmWidgetData *data, QWidget *parent, Qt::WindowFlags flags);
    ~ZedOvedudWidget() override;

    bool setUsedVars(int kind, bool used) override;

public slots:
    void slotIdle() override;
    // Deletes the page stack, then asks the desktop to close the screen.
    void closeAppSlot();
};
