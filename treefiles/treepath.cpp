#include "treefiles/treepath.h"

#include "treefiles/folder.h"
#include "treefiles/rawtext.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace treepath {

namespace {

// As many links as the system follows in one path before it gives up.
constexpr int maxLinks = 40;

QString parentOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QString() : path.left(slash);
}

// The target of the link at path, or a null string when it is no link.
QString linkTarget(const QString &path)
{
    const QByteArray name = rawtext::encode(path.isEmpty() ? QStringLiteral("/") : path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return QString();
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlink(name.constData(), target.data(), size_t(target.size()));
    if (n <= 0)
        return QString();
    target.truncate(int(n));
    return rawtext::decode(target);
}

// The path as written, a relative one taken from the root.
QString placeOf(const QString &root, const QString &path)
{
    return QDir::isAbsolutePath(path) ? path : root + QLatin1Char('/') + path;
}

bool isWithin(const QString &path, const QString &root)
{
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

// The folder at real, a path the guard has resolved (a folder at every component, no link),
// opened from "/" one name at a time without following a link: a component that became a link
// since the path was resolved is refused, never followed.
bool openResolved(const QString &real, treefiles::Make make, treefiles::Folder *folder)
{
    return treefiles::Folder::open(real, make, folder) && folder->isOpen();
}

QByteArray leafOf(const QString &real)
{
    return rawtext::encode(real.mid(real.lastIndexOf(QLatin1Char('/')) + 1));
}

} // namespace

QString realPath(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return QString();
    // Taken as written: cleaning ".." away before the links are resolved would be wrong.
    const QString absolute = path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    QStringList todo = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    // The resolved part so far; empty stands for "/".
    QString done;
    int links = 0;
    while (!todo.isEmpty()) {
        const QString part = todo.takeFirst();
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            done = parentOf(done);
            continue;
        }
        const QString next = done + QLatin1Char('/') + part;
        const QString target = linkTarget(next);
        if (target.isNull()) {
            done = next;
            continue;
        }
        if (++links > maxLinks)
            return QString();
        // The link's target goes in its place, resolved from the folder that holds the link.
        todo = target.split(QLatin1Char('/'), Qt::SkipEmptyParts) + todo;
        if (target.startsWith(QLatin1Char('/')))
            done.clear();
    }
    return done.isEmpty() ? QStringLiteral("/") : done;
}

QString inside(const QString &root, const QString &path)
{
    if (root.isEmpty() || path.isEmpty() || !QFileInfo(root).isDir())
        return QString();
    const QString realRoot = realPath(root);
    const QString real = realPath(placeOf(root, path));
    return !realRoot.isEmpty() && !real.isEmpty() && isWithin(real, realRoot) ? real : QString();
}

QString writable(const QString &root, const QString &path)
{
    const QString real = inside(root, path);
    if (real.isEmpty())
        return QString();
    // The place itself as written, before its last component is resolved.
    struct stat st;
    const bool link = ::lstat(rawtext::encode(placeOf(root, path)).constData(), &st) == 0 && S_ISLNK(st.st_mode);
    return link ? QString() : real;
}

bool makeFolder(const QString &root, const QString &path)
{
    const QString real = inside(root, path);
    treefiles::Folder folder;
    return !real.isEmpty() && openResolved(real, treefiles::Make::Missing, &folder);
}

bool readFile(const QString &root, const QString &path, QByteArray *bytes, qint64 limit)
{
    const QString real = inside(root, path);
    treefiles::Folder folder;
    return !real.isEmpty() && bytes && openResolved(parentOf(real), treefiles::Make::No, &folder)
           && folder.readFile(leafOf(real), limit, bytes);
}

bool writeFile(const QString &root, const QString &path, const QByteArray &bytes, qint64 limit)
{
    if (bytes.size() > limit)
        return false;
    const QString real = writable(root, path);
    treefiles::Folder folder;
    return !real.isEmpty() && openResolved(parentOf(real), treefiles::Make::No, &folder)
           && folder.writeFile(leafOf(real), bytes);
}

} // namespace treepath
