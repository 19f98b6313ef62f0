// The reservation configuration as the service reads it, then shown by the monitor, its names
// scrolled and the page painted, and by the settings page, whatever its mode, protocol, names
// and cycle indices.

#include "fuzzsetup.h"

#include "zuzerarovemainpage.h"
#include "zuzerarovesetting.h"

#include "zuzerarovelibapi.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    static ZuzEraroveMainPage *monitor = [] {
        auto *page = new ZuzEraroveMainPage(nullptr);
        page->show();
        QMetaObject::invokeMethod(page, "initTimerSlot");
        return page;
    }();
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    if (!api->readZuzEraroveFile(fuzzInputFile(data, size, QStringLiteral("fuzz-config.xml"))))
        return 0;
    monitor->initTable(api->resvData);
    monitor->updateConfigView(api->resvData);
    for (int step = 0; step < 3; ++step) {
        QMetaObject::invokeMethod(monitor, "onRollText");
        monitor->refreshMonitor();
    }
    monitor->repaint();
    delete new ZuzEraroveSetting(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
