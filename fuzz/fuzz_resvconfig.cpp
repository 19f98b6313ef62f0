// The reservation configuration as the service reads it: the monitor's rows, polls and scrolling
// on it, then the settings saved without an edit, which must give the controller the very record
// that was read, names byte for byte, by the service's reader and by a second one.

#include "fuzzsetup.h"

#include "core/reservationmonitor.h"
#include "core/settingseditor.h"
#include "recordbytes.h"

#include "simcontroller.h"
#include "zuzerarovefiles.h"
#include "zuzerarovelibapi.h"

#include <QFile>

#include <cstdlib>

static QByteArray savedBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    if (!api->readZuzEraroveFile(fuzzInputFile(data, size, QStringLiteral("fuzz-config.xml"))))
        return 0;
    const ZuzEraroveData read = api->resvData;
    const QStringList listed{QStringLiteral("A.XPL"), QStringLiteral("SUB/B.XPL")};

    ReservationMonitor monitor;
    monitor.setConfig(read, listed);
    for (int step = 0; step < 3; ++step) {
        monitor.roll();
        monitor.apply(monitor.read(*api));
    }
    for (int r = 0; r < monitor.rows(); ++r)
        if (monitor.shownName(r).isEmpty() || monitor.statusText(r).isEmpty() || monitor.sequenceText(r).isEmpty())
            std::abort();

    SettingsEditor settings;
    settings.load(read, listed);
    settings.missingReport();
    api->resvData = SettingsEditor::withRunState(settings.record(), read.runState);
    const QString root = sim::panelRoot();
    const QString out = root + QStringLiteral("/Application/zuzerarove/fuzz-saved.xml");
    ZuzEraroveData sent;
    // A record that would write past the size limit is refused whole; what is written is what was read.
    if (api->writeZuzEraroveFile(out)
        && (!zuzfiles::readConfig(root, out, &sent) || !api->isSameRplResData(sent, read)
            || !recordbytes::sameConfig(QByteArray(reinterpret_cast<const char *>(data), int(size)), savedBytes(out))))
        std::abort();
    return 0;
}
