#include "zedovedudwidget.h"

#include "pagestack.h"
#include "zuzeraroveman.h"

#include "basertmwidgetdata.h"
#include "desktopapi.h"
#include "zuzerarovelibapi.h"

#include <QLayout>

ZedOvedudWidget::ZedOvedudWidget(BaseRtmWidgetData *data, QWidget *parent, Qt::WindowFlags flags)
    : RtmBaseWidget(data, parent, flags)
{
}

ZedOvedudWidget::~ZedOvedudWidget()
{
    // The page stack belongs to the data object and outlives this widget.
    if (QWidget *central = getCentralWidget()) {
        central->setParent(nullptr);
        layout()->removeWidget(central);
    }
}

void ZedOvedudWidget::slotIdle()
{
    if (!isVisible())
        return;
    if (ZuzEraroveMan *stack = pagestack::current())
        stack->refreshVisiblePages();
    m_idlePending = false;
}

bool ZedOvedudWidget::setUsedVars(int kind, bool used)
{
    if (kind != 0)
        return true;
    const qint16 number = widgetData() ? widgetData()->varNumber() : 0;
    if (number != 0 && !setUsedVar(number, used, 8))
        return false;
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    return api->setUsedVars_zuzEraroves(used, api->getProtocolType());
}

void ZedOvedudWidget::closeAppSlot()
{
    setCentralWidget(nullptr);
    pagestack::destroy();
    DesktopApi::closeApplication(0, false);
}
