#include "plugin/factories.h"

#include "plugin/zedoveduddata.h"
#include "plugin/zedovedudwidget.h"
#include "plugin/zuzeraroveman.h"

BaseZedOvedudData *createZedOvedudData()
{
    return new ZedOvedudData;
}

RtmBaseWidget *createZedOvedudWidget(BaseRtmWidgetData *data, QWidget *parent)
{
    auto *widget = new ZedOvedudWidget(data, parent, Qt::FramelessWindowHint);
    auto *moduleData = static_cast<BaseZedOvedudData *>(data);
    if (!moduleData || !moduleData->createCustomWidget())
        return widget;
    widget->setCentralWidget(moduleData->customWidget());
    QObject::connect(widget->getCentralWidget(), SIGNAL(closeApp()), widget, SLOT(closeAppSlot()));
    return widget;
}
