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

const QString &panelRoot()
{
    init();
    return paths().panelRoot;
}

const QString &localDir()
{
    init();
    return paths().localDir;
}

const QString &localConfigPath()
{
    init();
    return paths().localConfig;
}

const QString &ctrlConfigPath()
{
    init();
    return paths().ctrlConfig;
}

const QString &localProgramMapPath()
{
    init();
    return paths().localProgramMap;
}

const QString &ctrlProgramMapPath()
{
    init();
    return paths().ctrlProgramMap;
}

const QString &localSoftPlcPath()
{
    init();
    return paths().localSoftPlc;
}

const QString &ctrlSoftPlcPath()
{
    init();
    return paths().ctrlSoftPlc;
}

const QString &localEnvironmentListPath()
{
    init();
    return paths().localEnvironmentList;
}

const QString &ctrlEnvironmentListPath()
{
    init();
    return paths().ctrlEnvironmentList;
}

} // namespace modulepaths
