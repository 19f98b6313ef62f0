// The reservation configuration as the service reads it, then shown by the monitor and the
// settings page, whatever its mode, protocol, names and cycle indices.

#include "fuzzsetup.h"

#include "zuzerarovemainpage.h"
#include "zuzerarovesetting.h"

#include "zuzerarovelibapi.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    static ZuzEraroveMainPage *monitor = new ZuzEraroveMainPage(nullptr);
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    if (!api->readZuzEraroveFile(fuzzInputFile(data, size, QStringLiteral("fuzz-config.xml"))))
        return 0;
    monitor->initTable(api->resvData);
    monitor->updateConfigView(api->resvData);
    delete new ZuzEraroveSetting(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
