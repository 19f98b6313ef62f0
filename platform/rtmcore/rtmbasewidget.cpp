#include "rtmbasewidget.h"

#include "rtmcoresim.h"
#include "simcontroller.h"

#include <QVBoxLayout>

RtmBaseWidget::RtmBaseWidget(BaseRtmWidgetData *data, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_data(data)
{
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
}

RtmBaseWidget::~RtmBaseWidget() = default;

void RtmBaseWidget::setCentralWidget(QWidget *w)
{
    if (m_central == w)
        return;
    if (m_central)
        layout()->removeWidget(m_central);
    m_central = w;
    if (w) {
        layout()->addWidget(w);
        w->show();
    }
}

QWidget *RtmBaseWidget::getCentralWidget()
{
    return m_central;
}

bool RtmBaseWidget::setUsedVar(int number, bool used, unsigned int kind)
{
    SIM_LOG_CALL("setUsedVar", number, used, kind);
    if (sim::Controller::instance().isFaulty(sim::Fault::RegisterVar))
        return false;
    sim::Panel::recordUsedVar(number, used);
    return true;
}

void RtmBaseWidget::slotIdle()
{
    m_idlePending = false;
}

bool RtmBaseWidget::canBeDeleted()
{
    return true;
}

bool RtmBaseWidget::setUsedVars(int kind, bool used)
{
    Q_UNUSED(kind)
    Q_UNUSED(used)
    return true;
}

bool RtmBaseWidget::isTransparent()
{
    return false;
}

namespace {

// The host's own view of its element: the flag it raises before each idle call.
struct IdleFlag : RtmBaseWidget
{
    static bool RtmBaseWidget::*member() { return &IdleFlag::m_idlePending; }
};

} // namespace

void sim::hostIdle(RtmBaseWidget *widget)
{
    if (!widget)
        return;
    widget->*IdleFlag::member() = true;
    widget->slotIdle();
}

bool sim::idlePending(RtmBaseWidget *widget)
{
    return widget && widget->*IdleFlag::member();
}
