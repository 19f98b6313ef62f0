// The program map's round trip: whatever the service reads, the page's map saved without an edit
// writes back the same entries in the same order, names byte for byte; every number 1 to 512
// shows its last entry. The saved file is also read a second way, byte for byte.

#include "fuzzsetup.h"

#include "core/programmap.h"
#include "recordbytes.h"

#include "simcontroller.h"
#include "zuzerarovefiles.h"

#include <QFile>

#include <cstdlib>

static bool same(const QList<ProgramMapData> &a, const QList<ProgramMapData> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i].programNum != b[i].programNum || a[i].programName != b[i].programName)
            return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    const QString root = sim::panelRoot();
    QList<ProgramMapData> read;
    if (!zuzfiles::readProgramMap(root, fuzzInputFile(data, size, QStringLiteral("fuzz-programMapping.xml")), &read))
        return 0;
    ProgramMap map;
    map.load(read);
    for (const ProgramMapData &entry : qAsConst(read))
        if (entry.programNum >= 1 && entry.programNum <= ProgramMap::numbers && map.name(entry.programNum).isNull())
            std::abort();
    const QList<ProgramMapData> saved = map.toSave();
    if (!same(saved, read))
        std::abort();
    const QString out = root + QStringLiteral("/Application/zuzerarove/fuzz-saved.xml");
    QList<ProgramMapData> again;
    // A map that would write past the size limit is refused whole.
    if (!zuzfiles::writeProgramMap(root, out, saved))
        return 0;
    QFile written(out);
    if (!zuzfiles::readProgramMap(root, out, &again) || !same(again, read) || !written.open(QIODevice::ReadOnly)
        || !recordbytes::sameMap(QByteArray(reinterpret_cast<const char *>(data), int(size)), written.readAll()))
        std::abort();
    return 0;
}
