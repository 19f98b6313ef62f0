#pragma once

class BaseRtmWidgetData;
class BaseZedOvedudData;
class QWidget;
class RtmBaseWidget;

// What the two exported factories do; the loadable module only forwards to these.
BaseZedOvedudData *createZedOvedudData();
RtmBaseWidget *createZedOvedudWidget(BaseRtmWidgetData *data, QWidget *parent);
