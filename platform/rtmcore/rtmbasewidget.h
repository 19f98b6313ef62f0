#pragma once

#include "rtmcore_global.h"

#include <QPointer>
#include <QWidget>

class BaseRtmWidgetData;

// A page element of the panel. The host calls slotIdle() on every pass of its idle loop and
// setUsedVars() when the page that holds the element is entered or left.
class RTMCORE_EXPORT RtmBaseWidget : public QWidget
{
    Q_OBJECT
public:
    RtmBaseWidget(BaseRtmWidgetData *data, QWidget *parent = nullptr,
                  Qt::WindowFlags flags = Qt::WindowFlags());
    ~RtmBaseWidget() override;

    // Shows w filling this widget's layout; null takes the current one out of the layout.
    // The widget shown is not owned: taking it out leaves it alive.
    void setCentralWidget(QWidget *w);
    QWidget *getCentralWidget();

    // Registers (used) or releases the panel variable number for this element.
    bool setUsedVar(int number, bool used, unsigned int kind);

    BaseRtmWidgetData *widgetData() const { return m_data; }

public slots:
    virtual void slotIdle();

public:
    virtual bool canBeDeleted();
    virtual bool setUsedVars(int kind, bool used);
    virtual bool isTransparent();

protected:
    // Raised by the host before each idle call; the element lowers it when it takes the call.
    bool m_idlePending = false;

private:
    BaseRtmWidgetData *m_data;
    QPointer<QWidget> m_central;
};
