#include "common/controllerfiles.h"

#include "rbxinterface.h"
#include "treefiles/listingentry.h"

#include <QStringList>

bool absentOnController(const QString &ctrlPath)
{
    rbxInterface rbx(1, true);
    if (!rbx.isConnected() || !ctrlPath.startsWith(QLatin1Char('/')))
        return false;
    // From the file's folder upwards, the first folder that lists tells whether the next part
    // of the path is there; entries may carry the listed folder's path or not.
    QString rest = ctrlPath;
    while (rest.size() > 1) {
        const int slash = rest.lastIndexOf(QLatin1Char('/'), rest.endsWith(QLatin1Char('/')) ? -2 : -1);
        const QString dir = rest.left(slash + 1);
        const QString name = rest.mid(slash + 1).section(QLatin1Char('/'), 0, 0);
        QStringList entries;
        if (rbx.flashDir(entries, dir)) {
            for (const QString &entry : qAsConst(entries)) {
                QString path = listingentry::path(entry);
                if (path.startsWith(dir, Qt::CaseInsensitive))
                    path = path.mid(dir.size());
                if (path.section(QLatin1Char('/'), 0, 0).compare(name, Qt::CaseInsensitive) == 0)
                    return false;
            }
            return true;
        }
        rest = dir;
    }
    return false;
}
