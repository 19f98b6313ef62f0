#include "plugin/zedovedudwidget.h"

#include "plugin/zedoveduddata.h"
#include "plugin/zuzeraroveman.h"

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
    if (auto *stack = qobject_cast<ZuzEraroveMan *>(getCentralWidget()))
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
    // Only a widget shown with the module's data has a stack that can ask to close.
    static_cast<ZedOvedudData *>(widgetData())->destroyStack();
    DesktopApi::closeApplication(0, false);
}
