// The soft-PLC configuration file and the controller's environment list, read and written in
// the panel's tree through its guard; the documents themselves are SoftPlcConfig's.

#include "softplc/softplcfun.h"

#include "core/modulelog.h"
#include "core/treepath.h"
#include "plugin/modulepaths.h"

#include "dataaccess.h"
#include "rtmfunctions.h"

#include <QDateTime>
#include <QDebug>

namespace {

bool readLocalized(const QString &path, QByteArray *bytes)
{
    return treepath::readFile(modulepaths::panelRoot(), RtmGetLocalizedFileName(path, true), bytes);
}

} // namespace

bool SoftPlcFun::readSoftPlcConfig(const QString &path)
{
    QByteArray bytes;
    return readLocalized(path, &bytes) && config.read(bytes);
}

bool SoftPlcFun::writeSoftPlcConfig(const QString &path)
{
    const QString &root = modulepaths::panelRoot();
    const QString dir = RtmGetLocalizedFileName(path.left(path.lastIndexOf(QLatin1Char('/'))), true);
    return treepath::makeFolder(root, dir)
           && treepath::writeFile(root, path, config.write(QDateTime::currentDateTime()));
}

void SoftPlcFun::loadXplConfig()
{
    for (int plc = 0; plc < SoftPlcCount; ++plc)
        plcRow(plc)->hide();
    const QString local = RtmGetLocalizedFileName(QStringLiteral("../Application/zuzerarove/xpl.cfg"), true);
    const QString dir = RtmGetLocalizedFileName(QStringLiteral("../Application/zuzerarove"), true);
    // A folder that cannot be made fails the fetch into it, which shows the first two rows.
    if (!treepath::makeFolder(modulepaths::panelRoot(), dir))
        qCWarning(moduleLog).noquote() << "The local folder could not be made:" << dir;
    if (DataAccess::GetFileFromController2TPU(QStringLiteral("/xpl/xpl.cfg"), local, false)) {
        parseXplConfig(local);
        return;
    }
    qDebug("DataAccess::GetFileFromController2TPU failed");
    plcRow(0)->show();
    plcRow(1)->show();
}

void SoftPlcFun::parseXplConfig(const QString &path)
{
    QByteArray bytes;
    if (!readLocalized(path, &bytes))
        return;
    const auto named = softPlcsNamed(bytes);
    for (int plc = 0; plc < SoftPlcCount; ++plc)
        if (named[plc])
            plcRow(plc)->show();
}
