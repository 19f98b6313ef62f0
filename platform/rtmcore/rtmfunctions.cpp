#include "rtmfunctions.h"

#include "rtmcoresim.h"
#include "simcontroller.h"

#include "treefiles/treepath.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QWidget>

namespace {

struct PanelState
{
    int lastPage = -1;
    std::function<void(int)> goToPage;
    QMap<int, bool> usedVars;
};

PanelState &panel()
{
    static PanelState state;
    return state;
}

} // namespace

namespace sim {

void Panel::setRoot(const QString &dir)
{
    setPanelRoot(dir);
}

QString Panel::root()
{
    return panelRoot();
}

int Panel::lastPage()
{
    return panel().lastPage;
}

void Panel::setGoToPageHandler(std::function<void(int)> handler)
{
    panel().goToPage = std::move(handler);
}

QMap<int, bool> Panel::usedVars()
{
    return panel().usedVars;
}

void Panel::recordUsedVar(int number, bool used)
{
    panel().usedVars[number] = used;
}

void Panel::reset()
{
    panel().lastPage = -1;
    panel().usedVars.clear();
}

} // namespace sim

QString RtmGetLocalizedFileName(const QString &name, bool localized)
{
    Q_UNUSED(localized)
    if (QDir::isAbsolutePath(name))
        return QDir::cleanPath(name);
    return QDir::cleanPath(sim::Panel::root() + QStringLiteral("/bin/") + name);
}

QString RtmGetLocalBaseFlashDir(int drive)
{
    const QString dir = sim::Panel::root() + QStringLiteral("/flash%1").arg(drive);
    treepath::makeFolder(sim::Panel::root(), dir);
    return dir;
}

bool RtmRemoveFolderContent(const QString &dir)
{
    SIM_LOG_CALL("RtmRemoveFolderContent", dir);
    // Emptying never follows a link: not the folder's own, and none out of the panel's tree;
    // the tree's root itself is no folder to empty.
    const QString real = treepath::writable(sim::Panel::root(), dir);
    if (dir.isEmpty() || real.isEmpty() || real == treepath::realPath(sim::Panel::root()))
        return false;
    treefiles::Folder folder;
    QList<QByteArray> names;
    if (!treefiles::Folder::open(real, treefiles::Make::No, &folder) || !folder.isOpen() || !folder.names(&names))
        return false;
    bool ok = true;
    for (const QByteArray &name : std::as_const(names))
        ok = folder.remove(name).isOk() && ok;
    return ok;
}

bool RtmSetUIStyleSheet(QWidget *w, QString styleName)
{
    SIM_LOG_CALL("RtmSetUIStyleSheet", w ? w->objectName() : QStringLiteral("null"), styleName);
    static QHash<QString, QString> cache;
    if (!w || styleName.isEmpty())
        return false;
    auto it = cache.find(styleName);
    if (it == cache.end()) {
        QFile file(QStringLiteral(":/rtmcore/styles/%1.qss").arg(styleName));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        it = cache.insert(styleName, QString::fromUtf8(file.readAll()));
    }
    w->setStyleSheet(*it);
    return true;
}

void RtmGoToPage(int page)
{
    SIM_LOG_CALL("RtmGoToPage", page);
    panel().lastPage = page;
    if (panel().goToPage)
        panel().goToPage(page);
}

void RtmSwitchWidgetVariablesContext()
{
    SIM_LOG_CALL("RtmSwitchWidgetVariablesContext");
}
