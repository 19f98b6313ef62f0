#include "engine/outputfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

OutputFiles::Handle::Handle(Handle &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

OutputFiles::Handle &OutputFiles::Handle::operator=(Handle &&other) noexcept
{
    std::swap(m_fd, other.m_fd);
    return *this;
}

OutputFiles::Handle::~Handle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

namespace {

QString why()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

Result failure(const QString &what, const QString &path)
{
    return Result::failure(QStringLiteral("%1 %2: %3").arg(path, what, why()));
}

constexpr int folderFlags = O_DIRECTORY | O_NOFOLLOW | O_RDONLY | O_CLOEXEC;

// Every name in the folder but "." and "..".
QList<QByteArray> namesIn(int folder)
{
    QList<QByteArray> names;
    const int own = ::dup(folder);
    if (own < 0)
        return names;
    std::unique_ptr<DIR, int (*)(DIR *)> dir(::fdopendir(own), ::closedir);
    if (!dir) {
        ::close(own);
        return names;
    }
    ::rewinddir(dir.get());
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    return names;
}

bool writeAll(int fd, const char *bytes, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= n;
    }
    return true;
}

} // namespace

void OutputFiles::addInput(const QString &path)
{
    struct stat st;
    if (!path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0)
        m_inputs.insert({quint64(st.st_dev), quint64(st.st_ino)}, path);
}

QString OutputFiles::inputOf(const struct stat &st) const
{
    return m_inputs.value({quint64(st.st_dev), quint64(st.st_ino)});
}

Result OutputFiles::openParent(const QString &path, bool make, Place *place) const
{
    QStringList parts = QDir::cleanPath(QDir::current().absoluteFilePath(path)).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return Result::failure(QStringLiteral("%1 is no place for a file").arg(path));
    place->leaf = QFile::encodeName(parts.takeLast());
    Handle at(::open("/", folderFlags));
    QString shown;
    for (const QString &part : std::as_const(parts)) {
        shown += QLatin1Char('/') + part;
        const QByteArray name = QFile::encodeName(part);
        struct stat st;
        if (::fstatat(at.fd(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return failure(QStringLiteral("cannot be opened"), shown);
            if (!make) {
                place->missing = true;
                return Result::ok();
            }
            if (::mkdirat(at.fd(), name.constData(), 0777) != 0 && errno != EEXIST)
                return failure(QStringLiteral("cannot be made"), shown);
        } else if (S_ISLNK(st.st_mode)) {
            return Result::failure(QStringLiteral("%1 is a link; the bench writes through none").arg(shown));
        }
        Handle next(::openat(at.fd(), name.constData(), folderFlags));
        if (!next.isOpen() || ::fstat(next.fd(), &st) != 0)
            return failure(QStringLiteral("cannot be opened"), shown);
        if (const QString input = inputOf(st); !input.isEmpty())
            return Result::failure(QStringLiteral("%1 lies inside %2, which this run reads").arg(path, input));
        at = std::move(next);
    }
    place->folder = std::move(at);
    place->shown = shown + QLatin1Char('/') + QFile::decodeName(place->leaf);
    return Result::ok();
}

Result OutputFiles::checkPlace(int folder, const QByteArray &leaf, const QString &shown, bool isFolder) const
{
    struct stat st;
    if (::fstatat(folder, leaf.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Result::ok() : failure(QStringLiteral("cannot be read"), shown);
    if (S_ISLNK(st.st_mode))
        return Result::failure(QStringLiteral("%1 is a link; the bench writes through none").arg(shown));
    if (const QString input = inputOf(st); !input.isEmpty())
        return Result::failure(QStringLiteral("%1 is %2, which this run reads").arg(shown, input));
    if (S_ISDIR(st.st_mode) != isFolder)
        return Result::failure(QString::fromLatin1(isFolder ? "%1 is no folder" : "%1 is a folder").arg(shown));
    if (!isFolder && st.st_nlink > 1)
        return Result::failure(QStringLiteral("%1 has another name too (a hard link); the bench replaces no file it "
                                              "cannot see whole").arg(shown));
    return Result::ok();
}

Result OutputFiles::placeFor(const QString &path, bool isFolder, Place *place) const
{
    if (const Result opened = openParent(path, true, place); !opened)
        return opened;
    return checkPlace(place->folder.fd(), place->leaf, place->shown, isFolder);
}

Result OutputFiles::check(const QString &path) const
{
    Place place;
    if (const Result opened = openParent(path, false, &place); !opened || place.missing)
        return opened;
    return checkPlace(place.folder.fd(), place.leaf, place.shown, false);
}

Result OutputFiles::writeInto(int folder, const QByteArray &leaf, const QString &shown, const QByteArray &bytes) const
{
    // Where nothing stands, not even a link, the file is made at its place; a write that fails
    // takes it away again.
    if (Handle made(::openat(folder, leaf.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666)); made.isOpen()) {
        if (writeAll(made.fd(), bytes.constData(), bytes.size()))
            return Result::ok();
        ::unlinkat(folder, leaf.constData(), 0);
        return failure(QStringLiteral("cannot be written"), shown);
    } else if (errno != EEXIST) {
        return failure(QStringLiteral("cannot be written"), shown);
    }
    if (const Result free = checkPlace(folder, leaf, shown, false); !free)
        return free;
    // Written beside its place under a name of its own, then renamed over it: whole or not at all.
    QByteArray temp;
    Handle file;
    for (int attempt = 0; !file.isOpen() && attempt < 100; ++attempt) {
        temp = '.' + leaf + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        file = Handle(::openat(folder, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file.isOpen() && errno != EEXIST)
            break;
    }
    if (!file.isOpen())
        return failure(QStringLiteral("cannot be written"), shown);
    if (!writeAll(file.fd(), bytes.constData(), bytes.size())
        || ::renameat(folder, temp.constData(), folder, leaf.constData()) != 0) {
        const Result failed = failure(QStringLiteral("cannot be written"), shown);
        ::unlinkat(folder, temp.constData(), 0);
        return failed;
    }
    return Result::ok();
}

Result OutputFiles::writeFile(const QString &path, const QByteArray &bytes) const
{
    Place place;
    if (const Result opened = openParent(path, true, &place); !opened)
        return opened;
    return writeInto(place.folder.fd(), place.leaf, place.shown, bytes);
}

Result OutputFiles::writeFiles(const QString &folder, const QStringList &names, const QByteArray &bytes) const
{
    Handle opened;
    if (const Result made = openFolder(folder, false, &opened); !made)
        return made;
    // One file is written and each other name made a second name of it, a hard link: thousands
    // of files in a blink instead of an inode each. A name that stood there goes first, so no
    // file another name shares is written into; a link or an input of the run is refused.
    QByteArray first;
    for (const QString &name : names) {
        const QByteArray leaf = QFile::encodeName(name);
        const QString shown = folder + QLatin1Char('/') + name;
        struct stat st;
        if (::fstatat(opened.fd(), leaf.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISLNK(st.st_mode) || S_ISDIR(st.st_mode) || !inputOf(st).isEmpty())
                return checkPlace(opened.fd(), leaf, shown, false);
            if (::unlinkat(opened.fd(), leaf.constData(), 0) != 0)
                return failure(QStringLiteral("cannot be replaced"), shown);
        }
        // A file has at most so many names (EMLINK): the next one written takes the others.
        if (!first.isEmpty() && ::linkat(opened.fd(), first.constData(), opened.fd(), leaf.constData(), 0) == 0)
            continue;
        if (!first.isEmpty() && errno != EMLINK)
            return failure(QStringLiteral("cannot be written"), shown);
        if (const Result written = writeInto(opened.fd(), leaf, shown, bytes); !written)
            return written;
        first = leaf;
    }
    return Result::ok();
}

Result OutputFiles::openStream(const QString &path, QFile *file) const
{
    Place place;
    if (const Result free = placeFor(path, false, &place); !free)
        return free;
    // The old file's name goes first; the new one is made where nothing, not even a link, stands.
    if (::unlinkat(place.folder.fd(), place.leaf.constData(), 0) != 0 && errno != ENOENT)
        return failure(QStringLiteral("cannot be replaced"), place.shown);
    const int fd = ::openat(place.folder.fd(), place.leaf.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return failure(QStringLiteral("cannot be written"), place.shown);
    if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Result::failure(QStringLiteral("%1 cannot be written: %2").arg(place.shown, file->errorString()));
    }
    return Result::ok();
}

Result OutputFiles::openFolder(const QString &path, bool fresh, Handle *folder) const
{
    Place place;
    if (const Result free = placeFor(path, true, &place); !free)
        return free;
    if (::mkdirat(place.folder.fd(), place.leaf.constData(), 0777) != 0 && (fresh || errno != EEXIST))
        return failure(QStringLiteral("cannot be made"), place.shown);
    *folder = Handle(::openat(place.folder.fd(), place.leaf.constData(), folderFlags));
    struct stat st;
    if (!folder->isOpen() || ::fstat(folder->fd(), &st) != 0)
        return failure(QStringLiteral("cannot be opened"), place.shown);
    if (const QString input = inputOf(st); !input.isEmpty())
        return Result::failure(QStringLiteral("%1 is %2, which this run reads").arg(place.shown, input));
    return Result::ok();
}

Result OutputFiles::makeFolder(const QString &path) const
{
    Handle folder;
    return openFolder(path, false, &folder);
}

Result OutputFiles::makeNewFolder(const QString &path) const
{
    Handle folder;
    return openFolder(path, true, &folder);
}

Result OutputFiles::copyTree(const QString &from, const QString &to) const
{
    const Handle source(::open(QFile::encodeName(from).constData(), O_DIRECTORY | O_RDONLY | O_CLOEXEC));
    if (!source.isOpen())
        return Result::failure(QStringLiteral("the folder %1 cannot be read").arg(from));
    Handle target;
    if (const Result opened = openFolder(to, false, &target); !opened)
        return opened;
    return copyInto(source.fd(), target.fd(), to);
}

Result OutputFiles::copyInto(int from, int to, const QString &shown) const
{
    for (const QByteArray &name : namesIn(from)) {
        const QString at = shown + QLatin1Char('/') + QFile::decodeName(name);
        struct stat st;
        if (::fstatat(from, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return failure(QStringLiteral("cannot be read"), at);
        if (S_ISDIR(st.st_mode)) {
            if (::mkdirat(to, name.constData(), 0777) != 0 && errno != EEXIST)
                return failure(QStringLiteral("cannot be made"), at);
            const Handle source(::openat(from, name.constData(), folderFlags));
            const Handle target(::openat(to, name.constData(), folderFlags));
            if (!source.isOpen() || !target.isOpen())
                return failure(QStringLiteral("cannot be opened"), at);
            if (const Result copied = copyInto(source.fd(), target.fd(), at); !copied)
                return copied;
        } else if (S_ISLNK(st.st_mode)) {
            QByteArray target(PATH_MAX, '\0');
            const ssize_t length = ::readlinkat(from, name.constData(), target.data(), size_t(target.size()));
            if (length < 0 || ::symlinkat(target.left(int(length)).constData(), to, name.constData()) != 0)
                return failure(QStringLiteral("cannot be copied"), at);
        } else if (S_ISREG(st.st_mode)) {
            const Handle source(::openat(from, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
            const Handle target(::openat(to, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                         st.st_mode & 0777));
            if (!source.isOpen() || !target.isOpen())
                return failure(QStringLiteral("cannot be copied"), at);
            char buffer[1 << 16];
            ssize_t n;
            while ((n = ::read(source.fd(), buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
                if (n > 0 && !writeAll(target.fd(), buffer, n))
                    return failure(QStringLiteral("cannot be copied"), at);
            if (n < 0)
                return failure(QStringLiteral("cannot be copied"), at);
        }
        // Sockets and pipes are no files of a controller's.
    }
    return Result::ok();
}

Result OutputFiles::makeLink(const QString &path, const QString &target) const
{
    Place place;
    if (const Result opened = openParent(path, true, &place); !opened)
        return opened;
    if (::symlinkat(QFile::encodeName(target).constData(), place.folder.fd(), place.leaf.constData()) != 0)
        return failure(QStringLiteral("cannot be made a link"), place.shown);
    return Result::ok();
}

Result OutputFiles::removePath(const QString &path) const
{
    Place place;
    if (const Result opened = openParent(path, false, &place); !opened || place.missing)
        return opened;
    struct stat st;
    if (::fstatat(place.folder.fd(), place.leaf.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Result::ok() : failure(QStringLiteral("cannot be read"), place.shown);
    return removeEntry(place.folder.fd(), place.leaf, st, place.shown);
}

Result OutputFiles::removeEntry(int parent, const QByteArray &name, const struct stat &st, const QString &shown) const
{
    if (const QString input = inputOf(st); !input.isEmpty())
        return Result::failure(QStringLiteral("%1 is %2, which this run reads").arg(shown, input));
    if (S_ISDIR(st.st_mode)) {
        const Handle folder(::openat(parent, name.constData(), folderFlags));
        if (!folder.isOpen())
            return failure(QStringLiteral("cannot be opened"), shown);
        for (const QByteArray &inner : namesIn(folder.fd())) {
            struct stat innerSt;
            const QString at = shown + QLatin1Char('/') + QFile::decodeName(inner);
            if (::fstatat(folder.fd(), inner.constData(), &innerSt, AT_SYMLINK_NOFOLLOW) != 0)
                return failure(QStringLiteral("cannot be read"), at);
            if (const Result removed = removeEntry(folder.fd(), inner, innerSt, at); !removed)
                return removed;
        }
    }
    // A link is a name like any other: it goes, never what it points to.
    if (::unlinkat(parent, name.constData(), S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) != 0)
        return failure(QStringLiteral("cannot be removed"), shown);
    return Result::ok();
}
