#include "zuzeraroveman.h"

#include "zuzerarovemainpage.h"

ZuzEraroveMan::ZuzEraroveMan(QWidget *parent) : QStackedWidget(parent), monitorPage(nullptr)
{
    setCurrentWidgetSlot(0);
}

ZuzEraroveMan::~ZuzEraroveMan() = default;

void ZuzEraroveMan::setCurrentWidgetSlot(int pageId)
{
    if (pageId == -1) {
        // The receiver deletes this stack: nothing may touch it after the emission.
        emit closeApp();
        return;
    }
    if (!monitorPage) {
        monitorPage = new ZuzEraroveMainPage(nullptr);
        addWidget(monitorPage);
        connect(monitorPage, &ZuzEraroveMainPage::setCurrentWidgetSignal, this,
                &ZuzEraroveMan::setCurrentWidgetSlot);
    }
    setCurrentWidget(monitorPage);
}

void ZuzEraroveMan::refreshVisiblePages()
{
    if (monitorPage && monitorPage->isVisible())
        monitorPage->refreshMonitor();
}

void ZuzEraroveMan::retranslatePages()
{
}
