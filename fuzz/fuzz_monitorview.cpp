// The monitor page painted on whatever configuration the controller holds: fetched, read, its
// rows built, polled and drawn.

#include "fuzzsetup.h"

#include "monitor/zuzerarovemainpage.h"

#include "simenvironment.h"
#include "zuzerarovefiles.h"
#include "zuzerarovelibapi.h"

#include <QTest>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    static ZuzEraroveMainPage *monitor = [] {
        fuzzEnvironment().addPrograms({QStringLiteral("A.XPL"), QStringLiteral("SUB/B.XPL")});
        auto *page = new ZuzEraroveMainPage(nullptr);
        page->show();
        // Past the page's start-up, so that it polls.
        QTest::qWait(400);
        return page;
    }();
    const QByteArray config(reinterpret_cast<const char *>(data), int(size));
    if (!fuzzEnvironment().writeControllerFile(QLatin1String(zuzfiles::ctrlConfigPath), config))
        return 0;
    if (monitor->loadConfigFromCtrl() != Outcome::Done)
        return 0;
    monitor->updateConfigView(ZuzEraroveLibApi::getInstance()->resvData);
    monitor->refreshMonitor();
    monitor->grab();
    return 0;
}
