#include "plugin/zuzeraroveman.h"

#include "core/domain.h"

#include "monitor/zuzerarovemainpage.h"
#include "programmap/programapwidget.h"
#include "settings/zuzerarovesetting.h"
#include "softplc/softplcfun.h"

ZuzEraroveMan::ZuzEraroveMan(QWidget *parent)
    : QStackedWidget(parent), monitorPage(nullptr), settingPage(nullptr), softPlcPage(nullptr),
      prograMapPage(nullptr)
{
    setCurrentWidgetSlot(PageMonitor);
}

ZuzEraroveMan::~ZuzEraroveMan() = default;

void ZuzEraroveMan::setCurrentWidgetSlot(int pageId)
{
    if (pageId == PageClose) {
        // The receiver deletes this stack: nothing may touch it after the emission.
        emit closeApp();
        return;
    }
    switch (pageId) {
    case PageSettings:
        setCurrentWidget(page(settingPage));
        break;
    case PageSoftPlc:
        setCurrentWidget(page(softPlcPage));
        break;
    case PageProgramMap:
        setCurrentWidget(page(prograMapPage));
        break;
    default:
        setCurrentWidget(page(monitorPage));
        break;
    }
}

template<typename Page>
Page *ZuzEraroveMan::page(Page *&member)
{
    if (!member) {
        // Made inside the stack, the page takes the screen's style once, as it builds itself;
        // made apart and added after, every widget of it would take the style again.
        member = new Page(this);
        attach(member);
        addWidget(member);
        connect(member, &Page::setCurrentWidgetSignal, this, &ZuzEraroveMan::setCurrentWidgetSlot);
    }
    return member;
}

void ZuzEraroveMan::attach(ZuzEraroveMainPage *page)
{
    page->shareConfigState(configState);
}

void ZuzEraroveMan::attach(ZuzEraroveSetting *page)
{
    page->shareConfigState(configState);
}

void ZuzEraroveMan::refreshVisiblePages()
{
    if (monitorPage && monitorPage->isVisible())
        monitorPage->refreshMonitor();
    if (softPlcPage && softPlcPage->isVisible())
        softPlcPage->syncAutoStartState();
}

void ZuzEraroveMan::retranslatePages()
{
    if (prograMapPage)
        prograMapPage->retranslateUi();
}
