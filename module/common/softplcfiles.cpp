#include "common/softplcfiles.h"

#include "common/modulepaths.h"
#include "treefiles/treepath.h"

#include "rtmfunctions.h"

namespace softplcfiles {

bool read(const QString &localPath, QByteArray *bytes)
{
    return treepath::readFile(modulepaths::panelRoot(), RtmGetLocalizedFileName(localPath, true), bytes);
}

bool write(const QString &localPath, const QByteArray &bytes)
{
    const QString &root = modulepaths::panelRoot();
    const QString dir = RtmGetLocalizedFileName(localPath.left(localPath.lastIndexOf(QLatin1Char('/'))), true);
    return treepath::makeFolder(root, dir) && treepath::writeFile(root, localPath, bytes);
}

bool makeLocalFolder()
{
    return treepath::makeFolder(modulepaths::panelRoot(), modulepaths::localDir());
}

} // namespace softplcfiles
