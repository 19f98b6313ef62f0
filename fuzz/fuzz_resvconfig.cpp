// The reservation configuration as the service reads it: shown by the monitor, its names scrolled
// and the page painted; then the settings page built on it and saved without an edit, which must
// send the controller the very record that was read, names byte for byte.

#include "fuzzsetup.h"

#include "zuzerarovemainpage.h"
#include "zuzerarovesetting.h"

#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovefiles.h"
#include "zuzerarovelibapi.h"

#include <QCoreApplication>
#include <QFile>
#include <QPushButton>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    static ZuzEraroveMainPage *monitor = [] {
        fuzzEnvironment().addPrograms({QStringLiteral("A.XPL"), QStringLiteral("SUB/B.XPL")});
        auto *page = new ZuzEraroveMainPage(nullptr);
        page->show();
        QMetaObject::invokeMethod(page, "initTimerSlot");
        return page;
    }();
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    if (!api->readZuzEraroveFile(fuzzInputFile(data, size, QStringLiteral("fuzz-config.xml"))))
        return 0;
    const ZuzEraroveData read = api->resvData;
    monitor->initTable(api->resvData);
    monitor->updateConfigView(api->resvData);
    for (int step = 0; step < 3; ++step) {
        QMetaObject::invokeMethod(monitor, "onRollText");
        monitor->refreshMonitor();
    }
    monitor->repaint();

    const QString ctrlFile = sim::Controller::instance().root() + QLatin1String(zuzfiles::ctrlConfigPath);
    QFile::remove(ctrlFile);
    {
        ZuzEraroveSetting settings(nullptr);
        settings.findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ZuzEraroveData sent;
    // Nothing is sent when the file would pass the size limit; what is sent is what was read.
    if (zuzfiles::readConfig(sim::Controller::instance().root(), ctrlFile, &sent) && !api->isSameRplResData(sent, read))
        std::abort();
    return 0;
}
