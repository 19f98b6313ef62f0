#include "treefiles/folder.h"

#include "treefiles/rawtext.h"

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace treefiles {

namespace {

constexpr int folderFlags = O_DIRECTORY | O_NOFOLLOW | O_RDONLY | O_CLOEXEC;

Result failure(const QString &shown, const char *what)
{
    return Result::failure(QStringLiteral("%1 %2: %3").arg(shown, QLatin1String(what), lastError()));
}

Result linkRefused(const QString &shown)
{
    return Result::failure(QStringLiteral("%1 is a link; nothing is written or read through one").arg(shown));
}

bool writeAll(int fd, const char *bytes, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += n;
        size -= n;
    }
    return true;
}

int syncFd(int fd)
{
    int done;
    while ((done = ::fsync(fd)) != 0 && errno == EINTR) {
    }
    // A folder some file systems cannot sync is no fault of the write.
    return done == 0 || errno == EINVAL ? 0 : -1;
}

// A name for a file on its way: short, whatever the length of the name it is for, and random, so
// nothing standing at a name known beforehand can block a save.
QByteArray freshName()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name(".~", 2);
    for (int i = 0; i < 12; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name;
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// A regular file's bytes into a new file of the same name in to, a buffer at a time.
Result copyFile(const Folder &from, const QByteArray &name, const Folder &to, const struct stat &st)
{
    const Descriptor source(::openat(from.fd(), name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const Descriptor target(::openat(to.fd(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                     st.st_mode & 0777));
    if (source.get() < 0 || target.get() < 0)
        return failure(to.shown(name), "cannot be copied");
    char buffer[1 << 14];
    for (;;) {
        const ssize_t n = ::read(source.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || (n > 0 && !writeAll(target.get(), buffer, n)))
            return failure(to.shown(name), "cannot be copied");
        if (n == 0)
            return Result::ok();
    }
}

} // namespace

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

Result readTree(const QString &path, qint64 limit, QMap<QString, TreeEntry> *entries)
{
    Folder start;
    if (const Result opened = Folder::openAsGiven(path, &start); !opened)
        return opened;
    QStringList prefixes{QString()};
    Walker reading;
    reading.enter = [&](const Folder &folder, const QByteArray &name, int depth, QList<QByteArray> *inner) {
        if (depth > 0)
            prefixes.append(prefixes.last() + rawtext::decode(name) + QLatin1Char('/'));
        QList<Folder::Entry> found;
        if (const Result read = folder.entries(&found); !read)
            return read;
        for (const auto &[each, st] : std::as_const(found)) {
            const QString at = prefixes.last() + rawtext::decode(each);
            if (S_ISDIR(st.st_mode)) {
                entries->insert(at, {TreeEntry::Folder, {}});
                inner->append(each);
            } else if (S_ISLNK(st.st_mode)) {
                QByteArray led(PATH_MAX, '\0');
                const ssize_t length = ::readlinkat(folder.fd(), each.constData(), led.data(), size_t(led.size()));
                entries->insert(at, {TreeEntry::Link, led.left(int(std::max<ssize_t>(length, 0)))});
            } else if (S_ISREG(st.st_mode)) {
                QByteArray bytes;
                const bool read = folder.readFile(each, limit, &bytes).isOk();
                entries->insert(at, {read ? TreeEntry::File : TreeEntry::Unreadable, bytes});
            }
        }
        return Result::ok();
    };
    reading.leave = [&](const Folder &, const QByteArray &, int) {
        prefixes.removeLast();
        return Result::ok();
    };
    return walk(std::move(start), reading);
}

bool readGiven(const QString &path, qint64 limit, QByteArray *bytes, QString *why)
{
    const Descriptor fd(path.contains(QChar(0)) ? -1
                                                : ::open(rawtext::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        *why = path.contains(QChar(0)) ? QStringLiteral("the name holds a NUL") : lastError();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = QStringLiteral("it is no regular file");
        return false;
    }
    QByteArray read;
    char buffer[1 << 14];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *why = lastError();
            return false;
        }
        if (n == 0)
            break;
        read.append(buffer, int(n));
        if (read.size() > limit) {
            *why = QStringLiteral("it is larger than %1 bytes").arg(limit);
            return false;
        }
    }
    *bytes = read;
    return true;
}

Identity identityOf(const struct stat &st)
{
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

Folder::Folder(Folder &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)), m_shown(std::move(other.m_shown)) {}

Folder &Folder::operator=(Folder &&other) noexcept
{
    std::swap(m_fd, other.m_fd);
    std::swap(m_shown, other.m_shown);
    return *this;
}

Folder::~Folder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString Folder::shown(const QByteArray &name) const
{
    return (m_shown == QLatin1String("/") ? QString() : m_shown) + QLatin1Char('/') + rawtext::decode(name);
}

Result Folder::open(const QString &path, Make make, Folder *folder, const Veto &veto)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return Result::failure(QStringLiteral("\"%1\" is no path of a folder").arg(path));
    // With no link on the way, ".." is the folder above as written.
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    Folder at(::open("/", folderFlags), QStringLiteral("/"));
    if (!at.isOpen())
        return failure(at.m_shown, "cannot be opened");
    for (const QString &part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        Folder next;
        if (const Result opened = at.child(rawtext::encode(part), make, &next); !opened) {
            struct stat st;
            bool exists = true;
            if (make == Make::No && at.entry(rawtext::encode(part), &st, &exists) && !exists) {
                *folder = Folder();
                return Result::ok();
            }
            return opened;
        }
        struct stat st;
        if (veto && next.status(&st))
            if (const QString why = veto(st, next.shown()); !why.isEmpty())
                return Result::failure(why);
        at = std::move(next);
    }
    *folder = std::move(at);
    return Result::ok();
}

Result Folder::openAsGiven(const QString &path, Folder *folder)
{
    const int fd = path.contains(QChar(0)) ? -1 : ::open(rawtext::encode(path).constData(), O_DIRECTORY | O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(path, "cannot be read");
    *folder = Folder(fd, path);
    return Result::ok();
}

Result Folder::makeFresh(QByteArray *name, Folder *folder) const
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = freshName();
        if (::mkdirat(m_fd, name->constData(), 0777) == 0)
            return child(*name, Make::No, folder);
        if (errno != EEXIST)
            break;
    }
    return failure(m_shown, "cannot hold a new folder");
}

Result Folder::duplicate(Folder *folder) const
{
    const int fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return failure(m_shown, "cannot be opened");
    *folder = Folder(fd, m_shown);
    return Result::ok();
}

Result Folder::status(struct stat *st) const
{
    return ::fstat(m_fd, st) == 0 ? Result::ok() : failure(m_shown, "cannot be read");
}

Result Folder::child(const QByteArray &name, Make make, Folder *folder) const
{
    const QString shownName = shown(name);
    int fd = ::openat(m_fd, name.constData(), folderFlags);
    if (fd < 0 && errno == ENOENT && make == Make::Missing) {
        if (::mkdirat(m_fd, name.constData(), 0777) != 0 && errno != EEXIST)
            return failure(shownName, "cannot be made");
        if (syncFd(m_fd) != 0)
            return failure(shownName, "cannot be made");
        fd = ::openat(m_fd, name.constData(), folderFlags);
    }
    if (fd < 0) {
        struct stat st;
        if (errno == ELOOP || (::fstatat(m_fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)))
            return linkRefused(shownName);
        return failure(shownName, "cannot be opened");
    }
    *folder = Folder(fd, shownName);
    return Result::ok();
}

Result Folder::parent(const Identity &expected, Folder *folder) const
{
    const QString above = m_shown.left(std::max(1, int(m_shown.lastIndexOf(QLatin1Char('/')))));
    Folder up(::openat(m_fd, "..", folderFlags), above);
    struct stat st;
    if (!up.isOpen() || ::fstat(up.fd(), &st) != 0)
        return failure(above, "cannot be opened");
    if (!(identityOf(st) == expected))
        return Result::failure(QStringLiteral("%1 was moved while it was gone through").arg(m_shown));
    *folder = std::move(up);
    return Result::ok();
}

Result Folder::entry(const QByteArray &name, struct stat *st, bool *exists) const
{
    *exists = ::fstatat(m_fd, name.constData(), st, AT_SYMLINK_NOFOLLOW) == 0;
    return *exists || errno == ENOENT ? Result::ok() : failure(shown(name), "cannot be read");
}

Result Folder::names(QList<QByteArray> *names) const
{
    names->clear();
    const int own = ::openat(m_fd, ".", folderFlags);
    if (own < 0)
        return failure(m_shown, "cannot be read");
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::fdopendir(own), ::closedir);
    if (!dir) {
        ::close(own);
        return failure(m_shown, "cannot be read");
    }
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (!entry)
            return errno == 0 ? Result::ok() : failure(m_shown, "cannot be read");
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names->append(QByteArray(entry->d_name));
    }
}

Result Folder::entries(QList<Entry> *entries) const
{
    entries->clear();
    QList<QByteArray> all;
    if (const Result read = names(&all); !read)
        return read;
    for (const QByteArray &name : std::as_const(all)) {
        Entry each{name, {}};
        bool there = false;
        if (const Result seen = entry(name, &each.st, &there); !seen)
            return seen;
        if (there)
            entries->append(each);
    }
    return Result::ok();
}

Result Folder::readFile(const QByteArray &name, qint64 limit, QByteArray *bytes) const
{
    const QString shownName = shown(name);
    const Descriptor fd(::openat(m_fd, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat st;
    if (fd.get() < 0)
        return errno == ELOOP ? linkRefused(shownName) : failure(shownName, "cannot be read");
    if (::fstat(fd.get(), &st) != 0)
        return failure(shownName, "cannot be read");
    if (!S_ISREG(st.st_mode))
        return Result::failure(QStringLiteral("%1 is no file").arg(shownName));
    if (st.st_size > limit)
        return Result::failure(QStringLiteral("%1 is larger than %2 bytes").arg(shownName).arg(limit));
    // Read to one byte over the limit: a file that grows while it is read is refused too. The
    // buffer grows with what is read, never with what the file claims.
    QByteArray read;
    char buffer[1 << 14];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failure(shownName, "cannot be read");
        if (n == 0)
            break;
        read.append(buffer, int(n));
        if (read.size() > limit)
            return Result::failure(QStringLiteral("%1 is larger than %2 bytes").arg(shownName).arg(limit));
    }
    *bytes = read;
    return Result::ok();
}

Result Folder::writeFile(const QByteArray &name, const QByteArray &bytes) const
{
    PendingFile file;
    if (const Result begun = PendingFile::begin(*this, name, &file); !begun)
        return begun;
    if (const Result written = file.append(bytes); !written)
        return written;
    return file.commit();
}

Result Folder::makeLink(const QByteArray &name, const QByteArray &target) const
{
    if (::symlinkat(target.constData(), m_fd, name.constData()) != 0)
        return failure(shown(name), "cannot be made a link");
    return syncFd(m_fd) == 0 ? Result::ok() : failure(shown(name), "cannot be made a link");
}

Result Folder::makeSecondName(const QByteArray &existing, const QByteArray &name) const
{
    // Made under a fresh name and renamed over what stood at name: the old file or the new.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray fresh = freshName();
        if (::linkat(m_fd, existing.constData(), m_fd, fresh.constData(), 0) != 0) {
            if (errno == EEXIST)
                continue;
            return failure(shown(name), "cannot be written");
        }
        if (::renameat(m_fd, fresh.constData(), m_fd, name.constData()) != 0) {
            const Result failed = failure(shown(name), "cannot be written");
            ::unlinkat(m_fd, fresh.constData(), 0);
            return failed;
        }
        return Result::ok();
    }
    return failure(shown(name), "cannot be written");
}

Result Folder::rename(const QByteArray &name, const Folder &to, const QByteArray &newName, Keep keep) const
{
    if (::renameat2(m_fd, name.constData(), to.fd(), newName.constData(), keep == Keep::Existing ? RENAME_NOREPLACE : 0) != 0)
        return failure(to.shown(newName), "cannot be put in place");
    if (syncFd(to.fd()) != 0 || syncFd(m_fd) != 0)
        return failure(to.shown(newName), "cannot be synced");
    return Result::ok();
}

bool Folder::tryLock() const
{
    return ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

Result Folder::sync() const
{
    return syncFd(m_fd) == 0 ? Result::ok() : failure(m_shown, "cannot be synced");
}

Result Folder::syncAll() const
{
    return ::syncfs(m_fd) == 0 ? Result::ok() : failure(m_shown, "cannot be synced");
}

Result Folder::remove(const QByteArray &name, const Veto &veto) const
{
    struct stat st;
    bool exists = false;
    if (const Result seen = entry(name, &st, &exists); !seen || !exists)
        return seen;
    if (veto)
        if (const QString why = veto(st, shown(name)); !why.isEmpty())
            return Result::failure(why);
    if (!S_ISDIR(st.st_mode)) {
        // A link is a name like any other: it goes, never what it points to.
        if (::unlinkat(m_fd, name.constData(), 0) != 0)
            return failure(shown(name), "cannot be removed");
        return sync();
    }
    Folder top;
    if (const Result opened = child(name, Make::No, &top); !opened)
        return opened;
    // Each folder is emptied of its files and links as it is entered and removed as it is left.
    Walker emptying;
    emptying.enter = [&veto](const Folder &folder, const QByteArray &, int, QList<QByteArray> *inner) {
        QList<Folder::Entry> found;
        if (const Result read = folder.entries(&found); !read)
            return read;
        for (const auto &[each, inside] : std::as_const(found)) {
            if (veto)
                if (const QString why = veto(inside, folder.shown(each)); !why.isEmpty())
                    return Result::failure(why);
            if (S_ISDIR(inside.st_mode))
                inner->append(each);
            else if (::unlinkat(folder.fd(), each.constData(), 0) != 0)
                return failure(folder.shown(each), "cannot be removed");
        }
        return Result::ok();
    };
    emptying.leave = [](const Folder &parent, const QByteArray &inner, int) {
        return ::unlinkat(parent.fd(), inner.constData(), AT_REMOVEDIR) == 0 ? Result::ok()
                                                                              : failure(parent.shown(inner), "cannot be removed");
    };
    if (const Result emptied = walk(std::move(top), emptying); !emptied)
        return emptied;
    if (::unlinkat(m_fd, name.constData(), AT_REMOVEDIR) != 0)
        return failure(shown(name), "cannot be removed");
    return sync();
}

Result Folder::copyInto(const Folder &to, const Veto &veto) const
{
    Folder from;
    if (const Result opened = duplicate(&from); !opened)
        return opened;
    // The copy's folder moves down and up with the walk's.
    Folder target;
    if (const Result opened = to.duplicate(&target); !opened)
        return opened;
    QList<Identity> above;
    Walker copying;
    copying.enter = [&](const Folder &folder, const QByteArray &name, int depth, QList<QByteArray> *inner) {
        if (depth > 0) {
            struct stat here;
            if (const Result seen = target.status(&here); !seen)
                return seen;
            Folder next;
            if (const Result made = target.child(name, Make::Missing, &next); !made)
                return made;
            above.append(identityOf(here));
            target = std::move(next);
        }
        QList<Folder::Entry> found;
        if (const Result read = folder.entries(&found); !read)
            return read;
        for (const auto &[each, st] : std::as_const(found)) {
            if (veto)
                if (const QString why = veto(st, folder.shown(each)); !why.isEmpty())
                    return Result::failure(why);
            if (S_ISDIR(st.st_mode)) {
                inner->append(each);
            } else if (S_ISLNK(st.st_mode)) {
                QByteArray led(PATH_MAX, '\0');
                const ssize_t length = ::readlinkat(folder.fd(), each.constData(), led.data(), size_t(led.size()));
                if (length < 0 || ::symlinkat(led.left(int(length)).constData(), target.fd(), each.constData()) != 0)
                    return failure(target.shown(each), "cannot be copied");
            } else if (S_ISREG(st.st_mode)) {
                if (const Result copied = copyFile(folder, each, target, st); !copied)
                    return copied;
            }
            // Sockets, pipes and devices are no files of a tree's.
        }
        return Result::ok();
    };
    copying.leave = [&](const Folder &, const QByteArray &, int) {
        Folder up;
        if (const Result back = target.parent(above.takeLast(), &up); !back)
            return back;
        target = std::move(up);
        return Result::ok();
    };
    return walk(std::move(from), copying);
}

PendingFile::PendingFile(PendingFile &&other) noexcept
    : m_folder(std::move(other.m_folder)), m_name(std::move(other.m_name)), m_temp(std::move(other.m_temp)),
      m_fd(std::exchange(other.m_fd, -1)), m_placed(other.m_placed)
{
}

PendingFile &PendingFile::operator=(PendingFile &&other) noexcept
{
    discard();
    m_folder = std::move(other.m_folder);
    m_name = std::move(other.m_name);
    m_temp = std::move(other.m_temp);
    m_fd = std::exchange(other.m_fd, -1);
    m_placed = other.m_placed;
    return *this;
}

PendingFile::~PendingFile()
{
    discard();
}

void PendingFile::discard()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    if (!m_placed)
        ::unlinkat(m_folder.fd(), m_temp.constData(), 0);
    m_fd = -1;
}

Result PendingFile::publish()
{
    if (m_fd < 0 || m_placed)
        return Result::failure(QStringLiteral("%1 is not open to be written").arg(m_folder.shown(m_name)));
    if (syncFd(m_fd) != 0 || ::renameat(m_folder.fd(), m_temp.constData(), m_folder.fd(), m_name.constData()) != 0) {
        const Result failed = failure(m_folder.shown(m_name), "cannot be written");
        discard();
        return failed;
    }
    m_placed = true;
    return m_folder.sync();
}

Result PendingFile::begin(const Folder &folder, const QByteArray &name, PendingFile *file)
{
    const QString shown = folder.shown(name);
    if (name.isEmpty() || name.contains('/') || name == "." || name == "..")
        return Result::failure(QStringLiteral("\"%1\" is no name of a file").arg(shown));
    PendingFile made;
    if (const Result opened = folder.duplicate(&made.m_folder); !opened)
        return opened;
    made.m_name = name;
    // Nothing at a fresh name is ever opened: a name taken is passed over for another.
    for (int attempt = 0; made.m_fd < 0 && attempt < 100; ++attempt) {
        made.m_temp = freshName();
        made.m_fd = ::openat(folder.fd(), made.m_temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (made.m_fd < 0 && errno != EEXIST)
            break;
    }
    if (made.m_fd < 0)
        return failure(shown, "cannot be written");
    *file = std::move(made);
    return Result::ok();
}

Result PendingFile::append(const QByteArray &bytes)
{
    if (m_fd < 0)
        return Result::failure(QStringLiteral("%1 is not open to be written").arg(m_folder.shown(m_name)));
    // Unbuffered: a short write on a full disk shows here, where a buffered file would later
    // commit a file cut short.
    if (!writeAll(m_fd, bytes.constData(), bytes.size())) {
        const Result failed = failure(m_folder.shown(m_name), "cannot be written");
        discard();
        return failed;
    }
    return Result::ok();
}

Result PendingFile::commit()
{
    if (m_fd < 0)
        return Result::failure(QStringLiteral("%1 is not open to be written").arg(m_folder.shown(m_name)));
    // The bytes reach the disk before the name does: a power cut leaves the old file or the new.
    if (syncFd(m_fd) != 0) {
        const Result failed = failure(m_folder.shown(m_name), "cannot be written");
        discard();
        return failed;
    }
    ::close(std::exchange(m_fd, -1));
    if (m_placed)
        return Result::ok();
    if (::renameat(m_folder.fd(), m_temp.constData(), m_folder.fd(), m_name.constData()) != 0) {
        const Result failed = failure(m_folder.shown(m_name), "cannot be written");
        ::unlinkat(m_folder.fd(), m_temp.constData(), 0);
        return failed;
    }
    return m_folder.sync();
}

Result walk(Folder start, const Walker &walker)
{
    struct Level
    {
        QByteArray name;
        Identity identity;
        QList<QByteArray> inner;
        int next = 0;
    };
    QList<Level> levels;
    Folder at = std::move(start);
    struct stat st;
    if (const Result seen = at.status(&st); !seen)
        return seen;
    levels.append({QByteArray(), identityOf(st), {}, 0});
    if (const Result entered = walker.enter(at, QByteArray(), 0, &levels.last().inner); !entered)
        return entered;
    while (!levels.isEmpty()) {
        Level &top = levels.last();
        if (top.next < top.inner.size()) {
            const QByteArray name = top.inner.at(top.next++);
            Folder inner;
            if (const Result opened = at.child(name, Make::No, &inner); !opened)
                return opened;
            if (const Result seen = inner.status(&st); !seen)
                return seen;
            levels.append({name, identityOf(st), {}, 0});
            at = std::move(inner);
            if (const Result entered = walker.enter(at, name, levels.size() - 1, &levels.last().inner); !entered)
                return entered;
            continue;
        }
        if (levels.size() == 1)
            break;
        // Back up through "..", checked to be the folder come down from, so only the folder in
        // hand is held open at any depth.
        Folder up;
        if (const Result back = at.parent(levels.at(levels.size() - 2).identity, &up); !back)
            return back;
        at = std::move(up);
        const Level left = levels.takeLast();
        if (walker.leave)
            if (const Result done = walker.leave(at, left.name, levels.size()); !done)
                return done;
    }
    return Result::ok();
}

} // namespace treefiles
