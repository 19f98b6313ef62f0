#include "common/modulepaths.h"

#include "rtmfunctions.h"

#include <QDir>

namespace {

struct Paths
{
    QString panelRoot;
    QString localDir;
    QString localConfig;
    QString ctrlConfig;
    QString localProgramMap;
    QString ctrlProgramMap;
    QString localSoftPlc;
    QString ctrlSoftPlc;
    QString localEnvironmentList;
    QString ctrlEnvironmentList;
};

Paths &paths()
{
    static Paths p;
    return p;
}

bool ready = false;

} // namespace

static void registerResources()
{
    Q_INIT_RESOURCE(ruvozuvid);
    Q_INIT_RESOURCE(ruvozuvid_i18n);
}

namespace modulepaths {

void init()
{
    if (ready)
        return;
    ready = true;
    registerResources();
    Paths &p = paths();
    p.localDir = RtmGetLocalizedFileName(QStringLiteral("../Application/zuzerarove"), true);
    // Localized names are relative to the panel's "bin"; the tree is the folder above it.
    p.panelRoot = RtmGetLocalizedFileName(QStringLiteral(".."), true);
    p.localConfig = p.localDir + QStringLiteral("/zuzeraroveconfig.xml");
    p.ctrlConfig = QStringLiteral("/application/zuzerarove/zuzeraroveconfig.xml");
    p.localProgramMap = p.localDir + QStringLiteral("/programMapping.xml");
    p.ctrlProgramMap = QStringLiteral("/application/zuzerarove/programMapping.xml");
    p.localSoftPlc = p.localDir + QStringLiteral("/softplcconfig.xml");
    p.ctrlSoftPlc = QStringLiteral("/application/zuzerarove/softplcconfig.xml");
    p.localEnvironmentList = p.localDir + QStringLiteral("/xpl.cfg");
    p.ctrlEnvironmentList = QStringLiteral("/xpl/xpl.cfg");
}

// Each path once the module's paths are computed.
static const Paths &computed()
{
    init();
    return paths();
}

const QString &panelRoot() { return computed().panelRoot; }
const QString &localDir() { return computed().localDir; }
const QString &localConfigPath() { return computed().localConfig; }
const QString &ctrlConfigPath() { return computed().ctrlConfig; }
const QString &localProgramMapPath() { return computed().localProgramMap; }
const QString &ctrlProgramMapPath() { return computed().ctrlProgramMap; }
const QString &localSoftPlcPath() { return computed().localSoftPlc; }
const QString &ctrlSoftPlcPath() { return computed().ctrlSoftPlc; }
const QString &localEnvironmentListPath() { return computed().localEnvironmentList; }
const QString &ctrlEnvironmentListPath() { return computed().ctrlEnvironmentList; }

} // namespace modulepaths
