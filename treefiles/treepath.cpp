#include "treefiles/treepath.h"

#include "treefiles/rawtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

// A descriptor, closed with it.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// The folder at real, a path the guard has resolved (a folder at every component, no link),
// opened from "/" one component at a time without following a link: a component that became a
// link since the path was resolved is refused, never followed. With make, missing folders are
// made on the way. -1 when it cannot be opened so.
int openResolvedFolder(const QString &real, bool make)
{
    Fd at(::open("/", O_DIRECTORY | O_RDONLY | O_CLOEXEC));
    for (const QString &part : real.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (at.get() < 0)
            return -1;
        const QByteArray name = rawtext::encode(part);
        int next = ::openat(at.get(), name.constData(), O_DIRECTORY | O_NOFOLLOW | O_RDONLY | O_CLOEXEC);
        if (next < 0 && errno == ENOENT && make && ::mkdirat(at.get(), name.constData(), 0777) == 0)
            next = ::openat(at.get(), name.constData(), O_DIRECTORY | O_NOFOLLOW | O_RDONLY | O_CLOEXEC);
        at.reset(next);
    }
    return at.release();
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
    if (real.isEmpty())
        return false;
    // Made and opened name by name from the resolved path: a link that appears on the way is
    // refused where it stands.
    const Fd folder(openResolvedFolder(real, true));
    return folder.get() >= 0;
}

bool readFile(const QString &root, const QString &path, QByteArray *bytes, qint64 limit)
{
    const QString real = inside(root, path);
    if (real.isEmpty() || !bytes)
        return false;
    const Fd folder(openResolvedFolder(parentOf(real), false));
    if (folder.get() < 0)
        return false;
    const Fd fd(::openat(folder.get(), rawtext::encode(real.mid(real.lastIndexOf(QLatin1Char('/')) + 1)).constData(),
                         O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat st;
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > limit)
        return false;
    // Read one byte over the limit: a file that grows while it is read is refused too.
    QFile file;
    if (!file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return false;
    QByteArray read = limit == anySize ? file.readAll() : file.read(limit + 1);
    if (read.size() > limit || file.error() != QFileDevice::NoError)
        return false;
    *bytes = read;
    return true;
}

bool writeFile(const QString &root, const QString &path, const QByteArray &bytes, qint64 limit)
{
    if (bytes.size() > limit)
        return false;
    const QString real = writable(root, path);
    if (real.isEmpty())
        return false;
    // Inside the folder opened from the resolved path: written beside its place under a name of
    // its own, unbuffered (a short write on a full disk shows in the count), then renamed over it.
    const Fd folder(openResolvedFolder(parentOf(real), false));
    if (folder.get() < 0)
        return false;
    const QByteArray leaf = rawtext::encode(real.mid(real.lastIndexOf(QLatin1Char('/')) + 1));
    const QByteArray temp = '.' + leaf + ".new" + QByteArray::number(qint64(::getpid()));
    ::unlinkat(folder.get(), temp.constData(), 0);
    const Fd file(::openat(folder.get(), temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return false;
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(file.get(), bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size() || ::renameat(folder.get(), temp.constData(), folder.get(), leaf.constData()) != 0) {
        ::unlinkat(folder.get(), temp.constData(), 0);
        return false;
    }
    return true;
}

} // namespace treepath
